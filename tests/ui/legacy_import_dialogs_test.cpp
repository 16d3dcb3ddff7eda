// The two import dialogs on folders made by the test: what the lists show, what the
// message line says for damaged files and pages, and what reaches the main window.
#include "ui/legacy_import_dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <algorithm>
#include <fstream>

namespace qzarn::ui {
namespace {

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qzarn-import-ui-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, std::vector<std::uint8_t> bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  static void Put(std::vector<std::uint8_t>& v, std::size_t at, std::string_view text) {
    v[at] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), v.begin() + static_cast<std::ptrdiff_t>(at + 1));
  }
  QString folder() const { return QString::fromStdString(dir_.string()); }
  std::filesystem::path dir_;
};

TEST_F(ImportDialogTest, FunctionsAreListedAndTheChosenOneIsHandedOver) {
  std::vector<std::uint8_t> bytes(100 * 499, 0);
  const std::size_t r = 6 * 499;  // entry 7
  bytes[r] = 1;
  bytes[2 * 499] = 0;  // entry 3 empty, with a title shown in grey
  Put(bytes, 2 * 499 + 8, "unused");
  Put(bytes, r + 8, "circle");
  Put(bytes, r + 49, "0");
  Put(bytes, r + 65, "6.28");
  Put(bytes, r + 97, "cos(t)");
  Put(bytes, r + 298, "sin(t)");
  Write("Function.dat", bytes);
  std::vector<import::FunctionEntry> handed;
  Tdlg_Dos2 dialog(folder(), [&](const import::FunctionEntry& e) { handed.push_back(e); });
  ASSERT_EQ(dialog.list().count(), 100);
  EXPECT_EQ(dialog.list().item(6)->text(), QStringLiteral("7.circle"));
  EXPECT_FALSE(dialog.importButton().isEnabled());
  dialog.list().setCurrentRow(6);
  EXPECT_TRUE(dialog.importButton().isEnabled());
  dialog.importButton().click();
  ASSERT_EQ(handed.size(), 1U);
  EXPECT_EQ(handed[0].end, "6.28");
  EXPECT_EQ(dialog.accessibleName(), QStringLiteral("関数のｲﾝﾎﾟｰﾄ"));
  if (const char* shots = std::getenv("QZARN_SHOTS")) {
    dialog.grab().save(QString::fromUtf8(shots) + QStringLiteral("/function_import.png"));
  }

  // A truncated file: an empty list and the reason in the message line.
  bytes.resize(499 * 3 + 20);
  Write("Function.dat", bytes);
  dialog.ChooseFolder(folder());
  EXPECT_EQ(dialog.list().count(), 0);
  EXPECT_FALSE(dialog.importButton().isEnabled());
  EXPECT_EQ(dialog.message().text(),
            QStringLiteral("FUNCTION.DAT が途中で切れています（完全なﾚｺｰﾄﾞは 3 件）．"));
}

TEST_F(ImportDialogTest, AFigureWhosePagesCannotBeReadSaysSoAndStaysUnselected) {
  std::vector<std::uint8_t> holders(8 * 37, 0), figures(400 * 45, 0);
  Put(holders, 37, "geometry");
  figures[54 * 45] = 1;  // entry 55, holder 2
  Put(figures, 54 * 45 + 4, "triangles");
  Write("HOLDER.DAT", holders);
  Write("FIGURE.DAT", figures);
  Write("grf055.dat", std::vector<std::uint8_t>(120, 0));
  int imports = 0;
  Tdlg_Dos dialog(folder(), std::make_unique<import::FilePageReader>(),
                  [&](const import::FigureEntry&, const import::PageReader&, std::span<const int>) {
                    ++imports;
                  });
  ASSERT_EQ(dialog.list().count(), 1);
  EXPECT_EQ(dialog.list().item(0)->text(), QStringLiteral("geometry≫triangles"));
  dialog.list().setCurrentRow(0);
  EXPECT_EQ(dialog.list().currentRow(), -1);
  EXPECT_EQ(dialog.message().text().toStdString(), import::UnknownPageFormatMessage(55));
  for (QWidget* w : std::initializer_list<QWidget*>{&dialog.importButton(), &dialog.pageBox(),
                                                    &dialog.allPages()})
    EXPECT_FALSE(w->isEnabled());
  const QImage preview = dialog.preview().pixmap().toImage();
  EXPECT_EQ(preview.size(), QSize(400, 600));
  EXPECT_EQ(preview.pixelColor(200, 300), QColor(0xC0, 0xC0, 0xC0));
  // Shown whole, as large as the desktop leaves room for (all of it on a
  // desktop of 960 x 750 pixels and more), and the dialog is no taller than the
  // desktop.
  const QSize shown = dialog.preview().size();
  const QRect desk = dialog.screen()->availableGeometry();
  EXPECT_EQ(shown.width() * 3 / 2, shown.height());
  EXPECT_GT(shown.height(), 300);
  dialog.show();
  // Room on the desktop for the whole dialog (where it is placed is the
  // window placement's business).
  EXPECT_LE(dialog.frameGeometry().height(), desk.height());
  EXPECT_EQ(imports, 0);
  if (const char* shots = std::getenv("QZARN_SHOTS")) {
    dialog.grab().save(QString::fromUtf8(shots) + QStringLiteral("/figure_import.png"));
  }
}

}  // namespace
}  // namespace qzarn::ui
