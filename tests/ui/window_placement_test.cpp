// Every window on the desktop's available area: the main frame from any stored
// place, the palettes beside it, dialogs shown off the edge, and a palette
// that keeps the place the user gave it. CTest runs these tests again on
// screens of other sizes and scale factors (see tests/CMakeLists.txt).

#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <climits>
#include <fstream>

#include "main_window_fixture.h"
#include "ui/palette_editor.h"
#include "ui/screen_keeper.h"
#include "ui/standard_palette.h"
#include "ui/user_palette.h"

namespace qzarn::shell {
namespace {

QRect Available() {
  return QGuiApplication::primaryScreen()->availableGeometry();
}

::testing::AssertionResult OnScreen(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  if (Available().contains(frame)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << w.metaObject()->className() << " \"" << w.windowTitle().toStdString() << "\" at "
         << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
         << " leaves " << Available().width() << "x" << Available().height();
}

class WindowPlacementTest : public MainWindowTest {
 protected:
  void Store(long long left, long long top, long long width, long long height) {
    std::ofstream ini(Options().settings.user_file);
    ini << "[Window]\r\nLeft=" << left << "\r\nTop=" << top << "\r\nWidth=" << width
        << "\r\nHeight=" << height << "\r\nWindowState=1\r\n";
  }
};

TEST_F(WindowPlacementTest, MainFrameAndItsPalettesLieOnTheScreenFromAnyStoredPlace) {
  const QRect a = Available();
  const int w = a.width(), h = a.height();
  struct Case {
    const char* what;
    long long left, top, width, height;
  };
  const Case cases[] = {
      {"first start: the whole screen", 0, 0, -100, -100},
      {"a window that fits", 10, 10, w / 2, h / 2},
      {"reaching past the right and bottom edges", w - 100, h - 100, w / 2, h / 2},
      {"as large as the screen, moved down", 0, h / 2, w, h},
      {"past the top-left corner", -w / 2, -h / 2, w, h},
      {"edges at the end of the 32-bit range", INT_MAX, INT_MAX, 800, 600},
      {"edges at the start of the 32-bit range", INT_MIN, INT_MIN, INT_MAX, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.left, c.top, c.width, c.height);
    MainWindow main(Options());
    main.Start({});
    main.ShowPlaced();
    QApplication::processEvents();
    EXPECT_TRUE(OnScreen(main));
    ui::TEditValue& standard = main.standardPalette();
    ASSERT_TRUE(standard.isVisible());  // the start palette of the default settings
    EXPECT_TRUE(OnScreen(standard));
    main.UserPaletteClick();
    QApplication::processEvents();
    ASSERT_TRUE(main.userPalette().isVisible());
    EXPECT_TRUE(OnScreen(main.userPalette()));
  }
}

TEST_F(WindowPlacementTest, DialogsShownPastAnEdgeComeOnTheScreen) {
  MainWindow main(Options());
  main.Start({});
  main.ShowPlaced();
  const QRect a = Available();
  const QPoint outside[] = {{a.right() - 20, a.bottom() - 20},
                            {a.left() - 300, a.top() - 200},
                            {a.left() + 10, a.bottom() + 500}};
  for (const QPoint at : outside) {
    QDialog dialog(&main);
    dialog.setWindowTitle(QStringLiteral("確認"));
    dialog.resize(300, 200);
    dialog.move(at);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(OnScreen(dialog)) << at.x() << "," << at.y();
    // Too large for the screen: shrunk onto it.
    dialog.hide();
    dialog.resize(a.width() + 200, a.height() + 100);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(OnScreen(dialog));
  }
}

TEST_F(WindowPlacementTest, PaletteKeepsItsPlaceWhenThePaletteEditorIsCancelled) {
  MainWindow main(Options());
  main.Start({});
  main.ShowPlaced();
  main.UserPaletteClick();
  QApplication::processEvents();
  ui::TEditValue2& palette = main.userPalette();
  ASSERT_TRUE(palette.isVisible());
  const QRect a = Available();
  const QPoint chosen(a.left() + 30, a.top() + 40);
  palette.move(chosen);
  QApplication::processEvents();
  main.run_palette_editor = [](ui::TEditValue_E&) { return int{QDialog::Rejected}; };
  main.EditPaletteClick();
  QApplication::processEvents();
  ASSERT_TRUE(palette.isVisible());
  EXPECT_EQ(palette.frameGeometry().topLeft(), chosen);
}

}  // namespace
}  // namespace qzarn::shell
