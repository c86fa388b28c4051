// SPDX-License-Identifier: GPL-3.0-or-later
// The HMI screen's drawing surface: a QImage with a fixed 96 dpi, so every measurement is
// the same whatever the display, shown by the widget picHMI1 inside a 2-pixel border.
#pragma once

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QTimer>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "hmi/screen/drawing_surface.h"

namespace korvani::ui {

class SurfaceWidget;

class QtDrawingSurface final : public hmi::screen::DrawingSurface {
 public:
  static constexpr int kDpi = 96;
  static constexpr double kTwipsPerPixel = 1440.0 / kDpi;
  static constexpr int kBorderPixels = 2;
  // What a message draws is noted at once and drawn into the picture when it is shown, at
  // most this often, and the widget repaints only the part that changed: a flooding board
  // costs no repaint per chunk, and what a later rectangle covers is never drawn at all.
  static constexpr int kShowIntervalMs = 16;
  // At most this many drawings wait to be drawn; the one that makes more draws them all.
  static constexpr std::size_t kMostNoted = 256;

  explicit QtDrawingSurface(SurfaceWidget& widget);

  void SetFont(std::string_view family, double points) override;
  [[nodiscard]] double TextHeight(std::string_view text) const override;
  [[nodiscard]] double TextWidth(std::string_view text) const override;
  void FillRect(double x1, double y1, double x2, double y2, hmi::screen::Colour colour) override;
  void DrawText(std::string_view text, double x, double y, hmi::screen::Colour colour) override;
  void Clear() override;
  void SetBackColour(hmi::screen::Colour colour) override;
  [[nodiscard]] hmi::screen::Colour BackColour() const override { return Back; }
  void Refresh() override;
  void SetOuterSize(double width, double height) override;
  [[nodiscard]] double OuterWidth() const override;
  [[nodiscard]] double OuterHeight() const override;
  [[nodiscard]] double InnerWidth() const override;
  [[nodiscard]] double InnerHeight() const override;
  [[nodiscard]] double TwipsPerPixel() const override { return kTwipsPerPixel; }

  // The picture, at the display's resolution: its device pixel ratio is the widget's (2 on a
  // display scaled twice), while every coordinate and size stays in logical pixels, 15 twips
  // each.
  [[nodiscard]] const QImage& Image() const {
    DrawNoted();
    return Canvas;
  }
  [[nodiscard]] QSize LogicalSize() const { return Logical; }
  [[nodiscard]] const QFont& Font() const { return CurrentFont; }

  static QColor ToQColor(hmi::screen::Colour colour);

 private:
  static int ToPixels(double twips);
  // The font's glyph and advance for every byte value, looked up once per font: text is
  // then drawn glyph by glyph on the character grid, with no shaping per call.
  void PrepareGlyphs() const;
  void Changed(const QRect& area) { Dirty |= area; }
  void ShowChanges();
  // A rectangle or a text, in the picture's logical pixels. A text is drawn only inside its
  // cell (`Area`), so a rectangle that covers the cell covers all of it, and the two can be
  // noted and drawn later, or never, with the same result.
  struct Drawing {
    QRect Area;
    hmi::screen::Colour Colour = 0;
    bool IsText = false;
    std::string Text;
    QPointF Origin;  // the text's baseline start
  };
  void Note(Drawing drawing);
  void DrawNoted() const;
  void DrawTextNow(QPainter& painter, const Drawing& text) const;

  // A picture of the logical size at the widget's device pixel ratio, filled with the back colour.
  QImage NewCanvas(QSize logical) const;

  SurfaceWidget& Widget;
  mutable QImage Canvas;
  mutable std::vector<Drawing> Noted;  // in order, not yet in the picture
  QRect LastFill;                      // the rectangle drawn last, if nothing came since
  QSize Logical{1, 1};
  QImage Measure;  // fonts are measured here, at 96 dpi, whatever the display's ratio
  QFont CurrentFont;
  mutable bool GlyphsReady = false;
  mutable QRawFont GlyphFont;
  mutable std::array<quint32, 256> GlyphIndex{};
  mutable std::array<double, 256> GlyphAdvance{};  // pixels
  mutable double Ascent = 0;                       // pixels
  mutable double LineHeight = 0;                   // pixels
  hmi::screen::Colour Back = 0;                    // black, as designed
  QRect Dirty;                                     // drawn but not shown yet, in picture pixels
  QTimer ShowTimer;
};

// picHMI1: paints the surface's image inside a sunken border.
class SurfaceWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit SurfaceWidget(QWidget* parent = nullptr);
  void SetSurface(const QtDrawingSurface* surface) { Surface = surface; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QtDrawingSurface* Surface = nullptr;
};

}  // namespace korvani::ui
