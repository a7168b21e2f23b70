// The text and bitmap records of TMetafilePlayer: glyphs need Qt's font
// machinery and bitmaps the raster operations, unlike the plain shapes.

#include <algorithm>
#include <cmath>

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineF>

#include "pictures/MetafilePlayer.h"
#include "text/TextBytes.h"

namespace orb {
namespace {

constexpr int kEtoOpaque = 2;
constexpr int kEtoClipped = 4;
constexpr int kAlignVerticalMask = 24;

// The composition that a ternary raster operation's source part stands for.
QPainter::CompositionMode SourceRopMode(int rop3) {
  switch (rop3) {
    case 0x88: return QPainter::RasterOp_SourceAndDestination;
    case 0xEE: return QPainter::RasterOp_SourceOrDestination;
    case 0x66: return QPainter::RasterOp_SourceXorDestination;
    case 0x33: return QPainter::RasterOp_NotSource;
    case 0x44: return QPainter::RasterOp_SourceAndNotDestination;
    case 0x11: return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0xBB: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

}  // namespace

QString DecodeWindows1252(std::span<const std::uint8_t> bytes) {
  return QString::fromStdString(Windows1252ToUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
}

void TMetafilePlayer::Text(QPointF reference, const QString& text, std::span<const double> dx, int options,
                           const std::optional<QRectF>& rect) {
  Charge(1 + double(text.size()));
  if (rect && (options & kEtoOpaque)) {
    QPolygonF area = logicalToImage_.map(QPolygonF(rect->normalized()));
    if (Admit(area.boundingRect()) && PreparePainter(false, false)) {
      painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
      painter_->setPen(Qt::NoPen);
      painter_->setBrush(dc_.BkColor);
      painter_->drawPolygon(area);
    }
  }
  // Qt's font database exists only with a GUI application object.
  if (text.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;

  if (dc_.TextAlign & kAlignUpdateCp) reference = dc_.Position;
  const TLogFont& logFont = dc_.Font;
  QPointF origin = logicalToImage_.map(reference);
  double scaleX = QLineF(origin, logicalToImage_.map(reference + QPointF(1, 0))).length();
  double scaleY = QLineF(origin, logicalToImage_.map(reference + QPointF(0, 1))).length();
  // A zero height asks for the default font: 12 points on a 96 dpi device.
  double em = logFont.Height == 0 ? 16 * std::sqrt(std::abs(deviceToImage_.determinant())) : std::abs(logFont.Height) * scaleY;
  if (!std::isfinite(em) || em < 0.5 || em > 20000 || !std::isfinite(scaleX)) return;
  // Every glyph is rasterized on its own, wherever it lands.
  double canvasArea = canvas_ ? double(canvas_->width()) * canvas_->height() : 0;
  Charge(double(text.size()) * std::min(em * em, canvasArea));

  QFont font(logFont.Face);
  font.setPixelSize(std::max(1, int(std::lround(em))));
  font.setWeight(QFont::Weight(std::clamp(logFont.Weight == 0 ? 400 : logFont.Weight, 1, 1000)));
  font.setItalic(logFont.Italic);
  font.setUnderline(logFont.Underline);
  font.setStrikeOut(logFont.StrikeOut);
  if (logFont.Height > 0) {
    // A positive height is the cell height: ascent plus descent.
    QFontMetricsF cell(font);
    double cellHeight = cell.ascent() + cell.descent();
    if (cellHeight > 0) font.setPixelSize(std::max(1, int(std::lround(em * em / cellHeight))));
  }
  if (logFont.Width > 0) {
    QFontMetricsF normal(font);
    if (normal.averageCharWidth() > 0)
      font.setStretch(std::clamp(int(std::lround(logFont.Width * scaleX / normal.averageCharWidth() * 100)), 1, 4000));
  }
  QFontMetricsF metrics(font);

  std::vector<double> positions;
  double width = 0;
  if (!dx.empty()) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      positions.push_back(width);
      width += i < qsizetype(dx.size()) ? dx[std::size_t(i)] * scaleX : metrics.horizontalAdvance(text[i]);
    }
  } else {
    width = metrics.horizontalAdvance(text);
  }
  double x = 0, y = 0;
  if ((dc_.TextAlign & kAlignCenter) == kAlignCenter) x = -width / 2;
  else if (dc_.TextAlign & kAlignRight) x = -width;
  int vertical = dc_.TextAlign & kAlignVerticalMask;
  if (vertical == 0) y = metrics.ascent();
  else if (vertical == kAlignBottom) y = -metrics.descent();

  // The text's own frame: origin at the reference point, x along the baseline.
  QTransform frame;
  frame.translate(origin.x(), origin.y());
  frame.rotate(-logFont.Escapement / 10.0);
  QRectF box(x, y - metrics.ascent(), width, metrics.ascent() + metrics.descent());
  if (!Admit(frame.mapRect(box.normalized()))) return;
  if (!PreparePainter(false, false)) return;
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_->setRenderHint(QPainter::Antialiasing);
  if (rect && (options & kEtoClipped))
    painter_->setClipRegion(QRegion(logicalToImage_.map(QPolygonF(rect->normalized())).toPolygon()),
                            dc_.Clip ? Qt::IntersectClip : Qt::ReplaceClip);
  painter_->setTransform(frame);
  if (dc_.BkMode == kBkOpaque)
    painter_->fillRect(box, dc_.BkColor);
  painter_->setFont(font);
  painter_->setPen(dc_.TextColor);
  if (positions.empty()) {
    painter_->drawText(QPointF(x, y), text);
  } else {
    for (qsizetype i = 0; i < text.size(); ++i) painter_->drawText(QPointF(x + positions[std::size_t(i)], y), QString(text[i]));
  }
  painter_->resetTransform();
  if (rect && (options & kEtoClipped)) clipDirty_ = true;

  if (dc_.TextAlign & kAlignUpdateCp) {
    QPointF end = frame.map(QPointF(x + width, 0)) - frame.map(QPointF(x, 0)) + origin;
    bool invertible = false;
    QTransform back = logicalToImage_.inverted(&invertible);
    if (invertible) dc_.Position = back.map(end);
  }
}

void TMetafilePlayer::Blit(const QRectF& dest, const QImage* source, const QRectF& sourceRect, std::uint32_t rop,
                           double opacity) {
  int rop3 = int((rop >> 16) & 0xFF);
  if (rop3 == 0xAA) return;  // leaves the destination as it is
  QPolygonF area = logicalToImage_.map(QPolygonF(dest));
  if (!Admit(area.boundingRect())) return;
  if (!PreparePainter(false, false)) return;
  painter_->setRenderHint(QPainter::Antialiasing, false);

  bool usesSource = source && !source->isNull() && rop3 != 0x00 && rop3 != 0xFF && rop3 != 0x55 &&
                    rop3 != 0xF0 && rop3 != 0x5A;
  if (!usesSource) {
    QBrush brush = MakeBrush(dc_.Brush);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (rop3 == 0x00) brush = QBrush(Qt::black);
    else if (rop3 == 0xFF) brush = QBrush(Qt::white);
    else if (rop3 == 0x55) mode = QPainter::RasterOp_NotDestination;
    else if (rop3 == 0x5A) mode = QPainter::RasterOp_SourceXorDestination;
    painter_->setCompositionMode(mode);
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(brush);
    painter_->drawPolygon(area);
    return;
  }

  QRectF from = sourceRect.intersected(QRectF(source->rect()));
  if (from.isEmpty() || sourceRect.width() == 0 || sourceRect.height() == 0) return;
  // Source pixels -> destination rectangle (mirrored when its size is
  // negative) -> output pixels.
  QTransform place = QTransform::fromTranslate(-sourceRect.x(), -sourceRect.y()) *
                     QTransform::fromScale(dest.width() / sourceRect.width(), dest.height() / sourceRect.height()) *
                     QTransform::fromTranslate(dest.x(), dest.y()) * logicalToImage_;
  painter_->setCompositionMode(SourceRopMode(rop3));
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, dc_.StretchMode == 4);
  painter_->setTransform(place);
  painter_->setOpacity(opacity);
  painter_->drawImage(from, *source, from);
  painter_->setOpacity(1);
  painter_->resetTransform();
}

}  // namespace orb
