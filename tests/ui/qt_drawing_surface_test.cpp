// The drawing surface measures in twips at a fixed 96 dpi and keeps what it drew.
#include <QFontInfo>
#include <QTest>

#include "ui/qt_drawing_surface.h"

using korvani::ui::QtDrawingSurface;
using korvani::ui::SurfaceWidget;

class QtDrawingSurfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
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
    surface.DrawText("MMMM", 1500, 1500, 0xFF0000);  // blue text at pixel 100, 100
    int blue = 0;
    for (int y = 100; y < 130; ++y) {
      for (int x = 100; x < 160; ++x) {
        blue += surface.Image().pixelColor(x, y).blue() > 128 ? 1 : 0;
      }
    }
    QVERIFY(blue > 50);

    widget.show();
    const QImage shown = widget.grab().toImage();
    QCOMPARE(shown.pixelColor(2 + 10, 2 + 10), QColor(255, 0, 0));

    surface.Clear();
    QCOMPARE(surface.Image().pixelColor(10, 10), QColor(0, 255, 0));
  }
};

QTEST_MAIN(QtDrawingSurfaceTest)
#include "qt_drawing_surface_test.moc"
