#pragma once
// The label font of a figure chosen in a dialog: the toolkit's font chooser
// with the font colour beside it. Sizes are stored as pixel heights and the
// chooser works in points, so they are converted both ways at the screen's
// resolution; a family the machine lacks keeps its stored name unless the
// user picks another one. OK without a change gives back exactly what came in.

#include <cstdint>
#include <optional>
#include <string>

#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace qzarn::ui {

struct ChosenFont {
  std::string name;          // UTF-8
  std::uint32_t colour = 0;  // 0x00BBGGRR
  std::int32_t size = 0;     // pixel height
  std::uint8_t style = 0;    // 1 bold, 2 italic, 4 underline, 8 strike-out
  bool operator==(const ChosenFont&) const = default;
};

// Pixel heights and the chooser's points at `dpi` logical dots per inch.
double PointsOfPixels(int pixels, double dpi);
int PixelsOfPoints(double points, double dpi);

class LabelFontDialog final : public QDialog {
 public:
  LabelFontDialog(const ChosenFont& initial, const QString& title, QWidget* parent = nullptr);

  // The font as the controls show it now.
  ChosenFont chosen() const;
  QFontDialog& fontChooser() { return *fonts_; }
  QPushButton& colourButton() { return *colour_; }
  QPushButton& okButton() { return *ok_; }
  // Sets the colour as the colour button's chooser would.
  void SetColour(std::uint32_t bgr);

 private:
  void ChooseColour();

  ChosenFont initial_;
  QFont shown_;  // the font as the chooser first showed it
  double dpi_ = 96;
  std::uint32_t colour_value_ = 0;
  QFontDialog* fonts_ = nullptr;
  QPushButton* colour_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// Runs the dialog; nothing when cancelled.
std::optional<ChosenFont> ChooseLabelFont(QWidget* parent, const ChosenFont& initial,
                                          const QString& title);

}  // namespace qzarn::ui
