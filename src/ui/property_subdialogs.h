#pragma once
// The two small dialogs the property dialogs share: the locus settings
// ("軌跡(&K)") and the arrow settings ("矢印(&Y)").

#include "forms/arrow_settings.h"
#include "forms/locus_settings.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace qzarn::ui {

class TPro_Kiseki final : public QDialog {
  Q_OBJECT
 public:
  // `function`: a function's locus shows "線を表示(&L)" and "点を表示(&P)"
  // instead of "線で結ぶ(&L)".
  TPro_Kiseki(const LocusSettings& settings, const QString& caption, bool function,
              QWidget* parent = nullptr);
  LocusSettings settings() const;

 private:
  LocusSettings settings_;
  bool function_;
  QCheckBox* on_ = nullptr;
  QCheckBox* connect_ = nullptr;
  QCheckBox* points_ = nullptr;
  QComboBox* size_ = nullptr;
  QComboBox* width_ = nullptr;
  QPushButton* colour_ = nullptr;
};

class TPro_Ya final : public QDialog {
  Q_OBJECT
 public:
  TPro_Ya(const forms::ArrowSettings& settings, const QString& caption, QWidget* parent = nullptr);
  forms::ArrowSettings settings() const;

 private:
  QComboBox* type_ = nullptr;
  QComboBox* length_ = nullptr;
  QComboBox* angle_ = nullptr;
};

// Modal; true (and the settings changed) when confirmed.
bool EditLocusSettings(QWidget* parent, LocusSettings& settings, const QString& caption,
                       bool function);
bool EditArrowSettings(QWidget* parent, forms::ArrowSettings& settings, const QString& caption);

// The locus dialog of a figure on the screen (the 設定 menu's and the pop-up
// menu's "軌跡の設定"): opens with the figure's attributes and stores them on
// OK. True when confirmed; false at once for a figure without a locus.
bool EditFigureLocus(QWidget* parent, FigureRecord& record);

}  // namespace qzarn::ui
