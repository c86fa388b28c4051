// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_drawing_surface.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "base/numbers.h"

namespace korvani::ui {

namespace {
// Dots per metre that QImage reports back as exactly kDpi dots per inch.
constexpr int kDotsPerMetre = 3780;

QString ToText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QtDrawingSurface::QtDrawingSurface(SurfaceWidget& widget) : Widget(widget) {
  Measure = QImage(1, 1, QImage::Format_RGB32);
  Measure.setDotsPerMeterX(kDotsPerMetre);
  Measure.setDotsPerMeterY(kDotsPerMetre);
  Canvas = NewCanvas(Logical);
  CurrentFont.setStyleHint(QFont::TypeWriter);
  CurrentFont.setFixedPitch(true);
  Widget.SetSurface(this);
  ShowTimer.setSingleShot(true);
  ShowTimer.setInterval(kShowIntervalMs);
  QObject::connect(&ShowTimer, &QTimer::timeout, &ShowTimer, [this] { ShowChanges(); });
}

QImage QtDrawingSurface::NewCanvas(QSize logical) const {
  const double ratio = std::max(1.0, Widget.devicePixelRatioF());
  QImage canvas(static_cast<int>(std::ceil(logical.width() * ratio)),
                static_cast<int>(std::ceil(logical.height() * ratio)), QImage::Format_RGB32);
  canvas.setDevicePixelRatio(ratio);
  canvas.setDotsPerMeterX(kDotsPerMetre);
  canvas.setDotsPerMeterY(kDotsPerMetre);
  canvas.fill(ToQColor(Back));
  return canvas;
}

QColor QtDrawingSurface::ToQColor(hmi::screen::Colour colour) {
  const auto value = static_cast<std::uint32_t>(colour);
  return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8U) & 0xFFU),
          static_cast<int>((value >> 16U) & 0xFFU)};
}

int QtDrawingSurface::ToPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

void QtDrawingSurface::SetFont(std::string_view family, double points) {
  DrawNoted();  // in the glyphs they were measured in
  CurrentFont.setFamily(ToText(family));
  CurrentFont.setPointSizeF(points);
  GlyphsReady = false;
}

void QtDrawingSurface::PrepareGlyphs() const {
  if (GlyphsReady) {
    return;
  }
  const QFontMetricsF metrics(CurrentFont, &Measure);
  Ascent = metrics.ascent();
  LineHeight = metrics.height();
  QString all(256, QChar());
  for (int code = 0; code < 256; ++code) {
    all[code] = QChar(code);
    GlyphAdvance[static_cast<std::size_t>(code)] = metrics.horizontalAdvance(QChar(code));
  }
  QFont font = CurrentFont;
  font.setPixelSize(1);  // the size is set on the raw font, in the canvas's pixels
  GlyphFont = QRawFont::fromFont(font);
  GlyphFont.setPixelSize(CurrentFont.pointSizeF() * kDpi / 72.0);
  const QList<quint32> indexes = GlyphFont.glyphIndexesForString(all);
  for (int code = 0; code < 256 && code < indexes.size(); ++code) {
    GlyphIndex[static_cast<std::size_t>(code)] = indexes[code];
  }
  GlyphsReady = true;
}

double QtDrawingSurface::TextHeight(std::string_view /*text*/) const {
  // One line of the font, whatever the text: the row height of the screen.
  PrepareGlyphs();
  return LineHeight * kTwipsPerPixel;
}

double QtDrawingSurface::TextWidth(std::string_view text) const {
  PrepareGlyphs();
  double width = 0;
  for (const char ch : text) {
    width += GlyphAdvance[static_cast<unsigned char>(ch)];
  }
  return width * kTwipsPerPixel;
}

void QtDrawingSurface::FillRect(double x1, double y1, double x2, double y2, hmi::screen::Colour colour) {
  const QRect rect =
      QRect(QPoint(ToPixels(x1), ToPixels(y1)), QPoint(ToPixels(x2), ToPixels(y2))).normalized();
  // Whatever the rectangle covers whole is hidden by it: it need not be drawn.
  std::erase_if(Noted, [&rect](const Drawing& noted) {
    return noted.Area.left() >= rect.left() && noted.Area.right() <= rect.right() &&
           noted.Area.top() >= rect.top() && noted.Area.bottom() <= rect.bottom();
  });
  Note({rect, colour, false, {}, {}});
  LastFill = rect;
}

void QtDrawingSurface::DrawText(std::string_view text, double x, double y, hmi::screen::Colour colour) {
  if (text.empty()) {
    return;
  }
  PrepareGlyphs();
  // The text's cell: the rectangle drawn just before it, which gives the text its background,
  // when the text starts at its corner; else as wide as the text and one line high (in whole
  // twips, its corners inclusive, as a rectangle's are).
  const QPoint corner(ToPixels(x), ToPixels(y));
  QRect cell = LastFill;
  if (!cell.isValid() || cell.topLeft() != corner) {
    const double width = base::WholeNumber(TextWidth(text));
    const double height = base::WholeNumber((LineHeight - 1) * kTwipsPerPixel);
    cell = QRect(corner, QPoint(ToPixels(x + width), ToPixels(y + height)));
  }
  LastFill = QRect();
  Note({cell, colour, true, std::string(text), QPointF(x / kTwipsPerPixel, y / kTwipsPerPixel + Ascent)});
}

void QtDrawingSurface::Note(Drawing drawing) {
  Changed(drawing.Area);
  Noted.push_back(std::move(drawing));
  if (Noted.size() >= kMostNoted) {
    DrawNoted();
  }
}

void QtDrawingSurface::DrawNoted() const {
  if (Noted.empty()) {
    return;
  }
  QPainter painter(&Canvas);
  for (const Drawing& noted : Noted) {
    if (noted.IsText) {
      DrawTextNow(painter, noted);
    } else {
      painter.fillRect(noted.Area, ToQColor(noted.Colour));
    }
  }
  Noted.clear();
}

void QtDrawingSurface::DrawTextNow(QPainter& painter, const Drawing& text) const {
  QList<quint32> glyphs;
  QList<QPointF> positions;
  glyphs.reserve(static_cast<qsizetype>(text.Text.size()));
  positions.reserve(static_cast<qsizetype>(text.Text.size()));
  double advance = 0;
  for (const char ch : text.Text) {
    const auto code = static_cast<unsigned char>(ch);
    glyphs.push_back(GlyphIndex[code]);
    positions.push_back(QPointF(advance, 0));
    advance += GlyphAdvance[code];
  }
  QGlyphRun run;
  run.setRawFont(GlyphFont);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  painter.setClipRect(text.Area);
  painter.setPen(ToQColor(text.Colour));
  painter.drawGlyphRun(text.Origin, run);
  painter.setClipping(false);
}

void QtDrawingSurface::Clear() {
  Noted.clear();  // all of it is covered
  LastFill = QRect();
  Canvas.fill(ToQColor(Back));
  Changed(QRect(QPoint(), Logical));
  Refresh();
}

void QtDrawingSurface::SetBackColour(hmi::screen::Colour colour) {
  Back = colour;
  Clear();
  if (QWidget* area = Widget.parentWidget(); area != nullptr) {
    area->update();  // full screen, the surround is painted in this colour
  }
}

void QtDrawingSurface::Refresh() {
  if (!ShowTimer.isActive()) {
    ShowTimer.start();
  }
}

void QtDrawingSurface::ShowChanges() {
  DrawNoted();
  if (!Dirty.isEmpty()) {
    Widget.update(Dirty.translated(kBorderPixels, kBorderPixels));
  }
  Dirty = QRect();
}

void QtDrawingSurface::SetOuterSize(double width, double height) {
  const int innerWidth = std::max(1, ToPixels(width) - 2 * kBorderPixels);
  const int innerHeight = std::max(1, ToPixels(height) - 2 * kBorderPixels);
  Logical = QSize(innerWidth, innerHeight);
  DrawNoted();
  QImage resized = NewCanvas(Logical);
  {
    QPainter painter(&resized);
    painter.drawImage(0, 0, Canvas);
  }
  Canvas = resized;
  Widget.setFixedSize(innerWidth + 2 * kBorderPixels, innerHeight + 2 * kBorderPixels);
  Widget.update();  // all of it, the border too
}

double QtDrawingSurface::OuterWidth() const {
  return (Logical.width() + 2 * kBorderPixels) * kTwipsPerPixel;
}
double QtDrawingSurface::OuterHeight() const {
  return (Logical.height() + 2 * kBorderPixels) * kTwipsPerPixel;
}
double QtDrawingSurface::InnerWidth() const {
  return Logical.width() * kTwipsPerPixel;
}
double QtDrawingSurface::InnerHeight() const {
  return Logical.height() * kTwipsPerPixel;
}

SurfaceWidget::SurfaceWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect outer = rect();
  const QRect exposed = event->rect();
  painter.fillRect(exposed, palette().window());
  painter.setPen(palette().dark().color());
  painter.drawLine(outer.topLeft(), outer.topRight());
  painter.drawLine(outer.topLeft(), outer.bottomLeft());
  painter.setPen(palette().light().color());
  painter.drawLine(outer.bottomLeft(), outer.bottomRight());
  painter.drawLine(outer.topRight(), outer.bottomRight());
  if (Surface != nullptr) {
    // Only the part of the picture that is to be shown again.
    const QPoint origin(QtDrawingSurface::kBorderPixels, QtDrawingSurface::kBorderPixels);
    const QRect part = exposed.translated(-origin).intersected(QRect(QPoint(), Surface->LogicalSize()));
    const double ratio = Surface->Image().devicePixelRatio();
    painter.drawImage(
        QRectF(part.translated(origin)), Surface->Image(),
        QRectF(part.x() * ratio, part.y() * ratio, part.width() * ratio, part.height() * ratio));
  }
}

}  // namespace korvani::ui
