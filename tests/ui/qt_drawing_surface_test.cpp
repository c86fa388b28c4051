// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface measures in twips at a fixed 96 dpi and keeps what it drew.
#include <QFontInfo>
#include <QTest>

#include "adapters/qt_drawing_surface.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_surface.h"
#include "hmi/screen/screen.h"

using korvani::ui::QtDrawingSurface;
using korvani::ui::SurfaceWidget;

// The board's screen on a real surface, reset and laid out for `columns` columns.
struct ScreenOnSurface {
  explicit ScreenOnSurface(std::int16_t columns) {
    screen.SetAvailableHeights(7200, 10200);
    screen.RecordDefaultColours(korvani::hmi::screen::kDesignedForeColour,
                                korvani::hmi::screen::kDesignedBackColour);
    korvani::hmi::screen::Layout3x2(screen.Layouts());
    screen.ScreenSetup(columns);
    screen.ScreenReset();
  }
  SurfaceWidget widget;
  QtDrawingSurface surface{widget};
  korvani::fakes::FakePanelView view;
  korvani::fakes::FakeDialogs dialogs;
  korvani::hmi::screen::Screen screen{surface, view, dialogs, [](std::string_view) {}};
};

class QtDrawingSurfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  }

  // The picture has the display's pixels, the device pixel ratio's times the logical ones each
  // way, and is shown pixel for pixel: on a display scaled twice, text and edges are drawn at
  // its resolution, not enlarged. Sizes and coordinates stay logical. (The test suite runs this
  // once more with QT_SCALE_FACTOR=2.)
  void drawnAtTheDisplaysResolution() {
    korvani::ui::SurfaceWidget widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    korvani::ui::QtDrawingSurface surface(widget);
    const double ratio = widget.devicePixelRatioF();
    surface.SetOuterSize(388 * 15, 472 * 15);
    QCOMPARE(surface.InnerWidth(), 384 * 15.0);
    QCOMPARE(surface.Image().size(), QSize(qRound(384 * ratio), qRound(468 * ratio)));
    surface.SetFont("Courier New", 12);
    surface.DrawText("W#", 150, 150, 0xFFFFFF);
    const QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(qRound(388 * ratio), qRound(472 * ratio)));
    const int border = qRound(2 * ratio);
    QImage inner = shown.copy(border, border, surface.Image().width(), surface.Image().height());
    QImage picture = surface.Image();
    inner.setDevicePixelRatio(1);
    picture.setDevicePixelRatio(1);
    QVERIFY(inner == picture);
  }

  void courierNewIsAFixedPitchFaceWithMetricsInTwips() {
    SurfaceWidget widget;
    QtDrawingSurface surface(widget);
    surface.SetFont("Courier New", 12);
    QCOMPARE(QFontInfo(surface.Font()).family(), QStringLiteral("Liberation Mono"));
    const double m = surface.TextWidth("M");
    QVERIFY(m > 0);
    QCOMPARE(surface.TextWidth("MMMM"), 4 * m);
    QCOMPARE(surface.TextWidth("i"), m);
    // 12 points at 96 dpi is 16 pixels; the face's advance is 0.6 em: 9.6 px = 144 twips.
    QVERIFY(qAbs(m - 144.0) < 16.0);
    QVERIFY(surface.TextHeight("MjyT") > m);

    surface.SetFont("Courier New", 24);
    QVERIFY(qAbs(surface.TextWidth("M") - 2 * m) < 16.0);
    QCOMPARE(surface.TwipsPerPixel(), 15.0);
  }

  void cellSizesOfTheScreenFaceAtSeveralSizes() {
    // Liberation Mono: advance 0.6 em, line height about 1.133 em, at 96 dpi (20 twips a point).
    SurfaceWidget widget;
    QtDrawingSurface surface(widget);
    for (const double points : {8.0, 10.0, 12.0, 20.0, 30.0}) {
      surface.SetFont("Courier New", points);
      const double em = points * 20;
      QVERIFY2(qAbs(surface.TextWidth("M") - 0.6 * em) <= 15, qPrintable(QString::number(points)));
      QVERIFY2(qAbs(surface.TextHeight("MjyT") - 1.133 * em) <= 30, qPrintable(QString::number(points)));
    }
    surface.SetFont("Courier New", 30);
    QCOMPARE(surface.TextWidth("M"), 24 * 15.0);  // exactly 24 pixels at 30 points
  }

  void printCellLeavesTheBackgroundInTheWholeBox() {
    ScreenOnSurface board(40);
    QtDrawingSurface& surface = board.surface;
    korvani::hmi::screen::Screen& screen = board.screen;

    screen.SetBackColour("0", "0", "255");  // blue box
    screen.CursorTo("2", "0");
    screen.PrintAtCursor(std::string(40, '.'));  // a text that leaves most of its box bare
    const QImage& image = surface.Image();
    const int top = static_cast<int>(std::lround(screen.CursorY() / 15.0));
    const int bottom = static_cast<int>(
        std::lround((static_cast<double>(screen.CursorY()) + screen.CellHeight() - 15) / 15.0));
    for (const int x : {0, image.width() / 2, image.width() - 1}) {
      QCOMPARE(image.pixelColor(x, top), QColor(0, 0, 255));
      QCOMPARE(image.pixelColor(x, bottom), QColor(0, 0, 255));
      QCOMPARE(image.pixelColor(x, bottom + 1), QColor(0, 0, 0));  // the next row is untouched
      QCOMPARE(image.pixelColor(x, top - 1), QColor(0, 0, 0));
    }
    // Forty cells fill the inner width to within the pixel the surface rounds its size to.
    QVERIFY(qAbs(screen.CursorX() - surface.InnerWidth()) < QtDrawingSurface::kTwipsPerPixel);
  }

  void outerSizeIncludesTheBorder() {
    SurfaceWidget widget;
    QtDrawingSurface surface(widget);
    surface.SetOuterSize(6000, 3000);  // 400 x 200 pixels
    QCOMPARE(surface.OuterWidth(), 6000.0);
    QCOMPARE(surface.OuterHeight(), 3000.0);
    QCOMPARE(surface.InnerWidth(), 6000.0 - 4 * 15);
    QCOMPARE(surface.InnerHeight(), 3000.0 - 4 * 15);
    QCOMPARE(widget.size(), QSize(400, 200));
  }

  void drawingUsesRedInTheLowByteAndStays() {
    SurfaceWidget widget;
    QtDrawingSurface surface(widget);
    surface.SetOuterSize(3000, 3000);
    surface.SetBackColour(0x00FF00);  // green
    QCOMPARE(surface.Image().pixelColor(5, 5), QColor(0, 255, 0));

    surface.FillRect(150, 150, 450, 300, 0x0000FF);  // red, pixels 10..30 x 10..20
    QCOMPARE(surface.Image().pixelColor(10, 10), QColor(255, 0, 0));
    QCOMPARE(surface.Image().pixelColor(30, 20), QColor(255, 0, 0));
    QCOMPARE(surface.Image().pixelColor(31, 20), QColor(0, 255, 0));

    surface.SetFont("Courier New", 20);
    // Blue text at pixel 100, 100, and at the corner with no rectangle drawn just before it.
    for (const int at : {100, 0}) {
      surface.DrawText("MMMM", at * 15.0, at * 15.0, 0xFF0000);
      int blue = 0;
      for (int y = at; y < at + 30; ++y) {
        for (int x = at; x < at + 60; ++x) {
          blue += surface.Image().pixelColor(x, y).blue() > 128 ? 1 : 0;
        }
      }
      QVERIFY2(blue > 50, qPrintable(QString::number(at)));
    }

    widget.show();
    const QImage shown = widget.grab().toImage();
    QCOMPARE(shown.pixelColor(2 + 20, 2 + 20), QColor(255, 0, 0));

    surface.Clear();
    QCOMPARE(surface.Image().pixelColor(10, 10), QColor(0, 255, 0));
  }

  // What a message draws is drawn when the picture is next shown, and what a later print
  // covers is never drawn: the picture must be the same as when every print is shown at
  // once. Texts reach the edges of their cells (W, @, descenders) at fractional pixels.
  void thePictureIsTheSameShownAfterEveryPrintOrOnceAtTheEnd() {
    std::string latin;  // every glyph of the face's Latin-1 range
    for (int code = 33; code < 256; ++code) {
      latin += static_cast<char>(code);
    }
    const auto draw = [&latin](bool showEach, int columns) {
      ScreenOnSurface board(static_cast<std::int16_t>(columns));  // cells of a fractional width
      QtDrawingSurface& surface = board.surface;
      korvani::hmi::screen::Screen& screen = board.screen;
      const std::string texts[] = {"W@gj_|",
                                   latin.substr(0, 30),
                                   "",
                                   latin.substr(30, 35),
                                   "_",
                                   latin.substr(65, 40),
                                   latin.substr(105, 40),
                                   latin.substr(145)};
      int n = 0;
      for (int round = 0; round < 3; ++round) {
        for (const std::string& text : texts) {
          screen.SetBackColour(std::to_string(n * 40 % 256), "0", std::to_string(255 - n * 30 % 256));
          screen.SetForeColour("255", std::to_string(n * 70 % 256), "0");
          const std::string row = std::to_string(n % 3);
          const std::string column = std::to_string(n * 5 % 13);
          screen.CursorTo(row, column);
          screen.PrintAtCursor(text);
          if (n % 2 == 0) {  // printed over: all of it, or the start of it
            screen.CursorTo(row, column);
            screen.PrintAtCursor(std::string(text.size() / (n % 4 + 1), ' '));
          }
          ++n;
          if (showEach) {
            (void)surface.Image();
          }
        }
        screen.DrawBar({"1", "3", "1", "6", "0.5"});
      }
      return surface.Image().copy();
    };
    for (const int columns : {37, 53, 80}) {
      const QImage once = draw(false, columns);
      QCOMPARE(draw(true, columns), once);
    }
  }
};

QTEST_MAIN(QtDrawingSurfaceTest)
#include "qt_drawing_surface_test.moc"
