#include "qt/qt_fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace qzarn {

void InstallFontSubstitutions() {
  static const bool installed = [] {
    const QString gothic = QStringLiteral("IPAGothic");
    const QString pgothic = QStringLiteral("IPAPGothic");
    const QString mincho = QStringLiteral("IPAMincho");
    const QString pmincho = QStringLiteral("IPAPMincho");
    const struct {
      const char* name;  // UTF-8
      QString first;
      QString second;
    } table[] = {
        {"ＭＳ ゴシック", gothic, pgothic},    {"ＭＳ Ｐゴシック", pgothic, gothic},
        {"ＭＳ 明朝", mincho, pmincho},        {"ＭＳ Ｐ明朝", pmincho, mincho},
        {"ＭＳ ＵＩ Gothic", pgothic, gothic}, {"MS Gothic", gothic, pgothic},
        {"MS PGothic", pgothic, gothic},       {"MS Mincho", mincho, pmincho},
        {"MS PMincho", pmincho, mincho},       {"MS UI Gothic", pgothic, gothic},
        {"メイリオ", pgothic, gothic},         {"Meiryo", pgothic, gothic},
        {"Meiryo UI", pgothic, gothic},
    };
    for (const auto& row : table) {
      QFont::insertSubstitutions(QString::fromUtf8(row.name), QStringList{row.first, row.second});
    }
    return true;
  }();
  (void)installed;
}

}  // namespace qzarn
