#include "pictures/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "pictures/PictureError.h"

namespace orb {
namespace {

// Output coordinates beyond this are damage, not drawing: such primitives
// are skipped rather than handed to the rasterizer.
constexpr double kCoordinateLimit = 4'000'000;
// Saved states beyond this depth are not kept (SaveDC is then ignored).
constexpr std::size_t kMaxSavedStates = 4096;
constexpr int kRop2Nop = 11;

// The composition that a binary raster operation (1..16) stands for.
QPainter::CompositionMode Rop2Mode(int rop2) {
  switch (rop2) {
    case 1: return QPainter::RasterOp_ClearDestination;
    case 2: return QPainter::RasterOp_NotSourceAndNotDestination;
    case 3: return QPainter::RasterOp_NotSourceAndDestination;
    case 4: return QPainter::RasterOp_NotSource;
    case 5: return QPainter::RasterOp_SourceAndNotDestination;
    case 6: return QPainter::RasterOp_NotDestination;
    case 7: return QPainter::RasterOp_SourceXorDestination;
    case 8: return QPainter::RasterOp_NotSourceOrNotDestination;
    case 9: return QPainter::RasterOp_SourceAndDestination;
    case 10: return QPainter::RasterOp_NotSourceXorDestination;
    case 12: return QPainter::RasterOp_NotSourceOrDestination;
    case 14: return QPainter::RasterOp_SourceOrNotDestination;
    case 15: return QPainter::RasterOp_SourceOrDestination;
    case 16: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

// Millimetres per logical unit of the metric mapping modes.
double MillimetresPerUnit(int mode) {
  switch (mode) {
    case kMapLoMetric: return 0.1;
    case kMapHiMetric: return 0.01;
    case kMapLoEnglish: return 0.254;
    case kMapHiEnglish: return 0.0254;
    case kMapTwips: return 25.4 / 1440;
    default: return 0;
  }
}

bool IsFinite(const QRectF& r) {
  return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) && std::isfinite(r.bottom());
}

// A rectangle in output pixels as the whole pixels it covers.
QRect PixelRect(const QRectF& r) {
  QRectF n = r.normalized();
  auto clamp = [](double v) { return int(std::clamp(std::round(v), -kCoordinateLimit, kCoordinateLimit)); };
  return QRect(QPoint(clamp(n.left()), clamp(n.top())), QPoint(clamp(n.right()) - 1, clamp(n.bottom()) - 1));
}

}  // namespace

QImage MakeMetafileCanvas(const TBitmap& bitmap) {
  QImage canvas(bitmap.Width, bitmap.Height, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  return canvas;
}

void CopyCanvasToBitmap(const QImage& canvas, TBitmap& bitmap) {
  for (int y = 0; y < canvas.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    std::uint8_t* dst = bitmap.Row(y).data();
    for (int x = 0; x < canvas.width(); ++x, dst += 4) {
      dst[0] = std::uint8_t(qRed(src[x]));
      dst[1] = std::uint8_t(qGreen(src[x]));
      dst[2] = std::uint8_t(qBlue(src[x]));
      dst[3] = 255;
    }
  }
}

TMetafilePlayer::TMetafilePlayer(const char* format, QImage* canvas, double pixelsPerMm, double workBudget)
    : format_(format), canvas_(canvas), pixelsPerMm_(pixelsPerMm), workLeft_(workBudget) {
  if (canvas_) {
    painter_.emplace(canvas_);
    painter_->setRenderHint(QPainter::Antialiasing);
  }
  UpdateTransform();
}

TMetafilePlayer::~TMetafilePlayer() = default;

void TMetafilePlayer::Fail(const char* what) const { throw EPictureError(std::string(format_) + ": " + what); }

void TMetafilePlayer::Charge(double amount) {
  workLeft_ -= amount;
  if (workLeft_ < 0) Fail("too much drawing work");
}

void TMetafilePlayer::ChargePoints(std::size_t count) { Charge(double(count)); }

void TMetafilePlayer::SetDeviceToImage(const QTransform& transform) {
  deviceToImage_ = transform;
  UpdateTransform();
}

// Logical -> world transform -> window/viewport mapping -> device -> output.
void TMetafilePlayer::UpdateTransform() {
  double sx = 1, sy = 1;
  if (double mm = MillimetresPerUnit(dc_.MapMode); mm > 0) {
    sx = mm * pixelsPerMm_;
    sy = -mm * pixelsPerMm_;
  } else if (dc_.MapMode == kMapIsotropic || dc_.MapMode == kMapAnisotropic) {
    sx = dc_.ViewportExt.x() / dc_.WindowExt.x();
    sy = dc_.ViewportExt.y() / dc_.WindowExt.y();
    if (dc_.MapMode == kMapIsotropic) {
      double s = std::min(std::abs(sx), std::abs(sy));
      sx = std::copysign(s, sx);
      sy = std::copysign(s, sy);
    }
  }
  QTransform page(sx, 0, 0, sy, dc_.ViewportOrg.x() - dc_.WindowOrg.x() * sx,
                  dc_.ViewportOrg.y() - dc_.WindowOrg.y() * sy);
  logicalToImage_ = dc_.World * page * deviceToImage_;
}

void TMetafilePlayer::Select(const TGdiObject& object) {
  if (auto* pen = std::get_if<TLogPen>(&object)) dc_.Pen = *pen;
  else if (auto* brush = std::get_if<TLogBrush>(&object)) dc_.Brush = *brush;
  else if (auto* font = std::get_if<TLogFont>(&object)) dc_.Font = *font;
  else if (auto* region = std::get_if<TLogRegion>(&object)) CombineClip(region->Region, 5, false);
}

void TMetafilePlayer::SaveDc() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
}

void TMetafilePlayer::RestoreDc(int level) {
  std::int64_t index = level < 0 ? std::int64_t(saved_.size()) + level : std::int64_t(level) - 1;
  if (level == 0 || index < 0 || index >= std::int64_t(saved_.size())) return;
  dc_ = saved_[std::size_t(index)];
  saved_.resize(std::size_t(index));
  clipDirty_ = true;
  UpdateTransform();
}

void TMetafilePlayer::SetMapMode(int mode) {
  if (mode < kMapText || mode > kMapAnisotropic) return;
  dc_.MapMode = mode;
  UpdateTransform();
}

void TMetafilePlayer::SetWindowOrg(QPointF org) {
  dc_.WindowOrg = org;
  UpdateTransform();
}

// A zero extent would divide by zero; GDI refuses it, and so do we.
void TMetafilePlayer::SetWindowExt(QPointF ext) {
  if (ext.x() == 0 || ext.y() == 0) return;
  dc_.WindowExt = ext;
  UpdateTransform();
}

void TMetafilePlayer::SetViewportOrg(QPointF org) {
  dc_.ViewportOrg = org;
  UpdateTransform();
}

void TMetafilePlayer::SetViewportExt(QPointF ext) {
  if (ext.x() == 0 || ext.y() == 0) return;
  dc_.ViewportExt = ext;
  UpdateTransform();
}

void TMetafilePlayer::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  SetWindowExt(QPointF(dc_.WindowExt.x() * xNum / xDenom, dc_.WindowExt.y() * yNum / yDenom));
}

void TMetafilePlayer::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  SetViewportExt(QPointF(dc_.ViewportExt.x() * xNum / xDenom, dc_.ViewportExt.y() * yNum / yDenom));
}

void TMetafilePlayer::ModifyWorldTransform(const QTransform& transform, int mode) {
  if (!transform.isAffine() || !std::isfinite(transform.determinant())) return;
  switch (mode) {
    case 1: dc_.World = QTransform(); break;
    case 2: dc_.World = transform * dc_.World; break;
    case 3: dc_.World = dc_.World * transform; break;
    case 4: dc_.World = transform; break;
    default: return;
  }
  UpdateTransform();
}

QRegion TMetafilePlayer::ImageRect() const {
  if (canvas_) return QRegion(canvas_->rect());
  int limit = int(kCoordinateLimit);
  return QRegion(-limit, -limit, 2 * limit, 2 * limit);
}

QRegion TMetafilePlayer::ToImageRegion(const QRegion& region, bool deviceUnits) const {
  const QTransform& t = deviceUnits ? deviceToImage_ : logicalToImage_;
  QRegion result;
  for (const QRect& r : region) result += PixelRect(t.mapRect(QRectF(r)));
  return result;
}

void TMetafilePlayer::ClipChanged() {
  clipDirty_ = true;
  // Region operations take time in proportion to the rectangles involved;
  // many small exclusions make a region of very many.
  if (dc_.Clip) Charge(16.0 * dc_.Clip->rectCount());
}

void TMetafilePlayer::IntersectClipRect(const QRectF& rect) {
  dc_.Clip = dc_.Clip.value_or(ImageRect()) & QRegion(PixelRect(logicalToImage_.mapRect(rect)));
  ClipChanged();
}

void TMetafilePlayer::ExcludeClipRect(const QRectF& rect) {
  dc_.Clip = dc_.Clip.value_or(ImageRect()) - QRegion(PixelRect(logicalToImage_.mapRect(rect)));
  ClipChanged();
}

void TMetafilePlayer::OffsetClip(QPointF offset) {
  if (!dc_.Clip) return;
  QPointF d = logicalToImage_.map(offset) - logicalToImage_.map(QPointF(0, 0));
  if (!std::isfinite(d.x()) || !std::isfinite(d.y()) || std::abs(d.x()) > kCoordinateLimit ||
      std::abs(d.y()) > kCoordinateLimit)
    return;
  dc_.Clip->translate(int(std::round(d.x())), int(std::round(d.y())));
  ClipChanged();
}

void TMetafilePlayer::CombineClip(const std::optional<QRegion>& region, int mode, bool deviceUnits) {
  clipDirty_ = true;
  if (!region) {
    if (mode == 5) dc_.Clip.reset();
    return;
  }
  Charge(16.0 * region->rectCount());
  QRegion r = ToImageRegion(*region, deviceUnits);
  QRegion base = dc_.Clip.value_or(ImageRect());
  switch (mode) {
    case 1: dc_.Clip = base & r; break;
    case 2: dc_.Clip = base | r; break;
    case 3: dc_.Clip = base ^ r; break;
    case 4: dc_.Clip = base - r; break;
    case 5: dc_.Clip = r; break;
    default: break;
  }
  ClipChanged();
}

void TMetafilePlayer::ApplyClip() {
  if (!clipDirty_ || !painter_) return;
  if (dc_.Clip) painter_->setClipRegion(*dc_.Clip);
  else painter_->setClipping(false);
  clipDirty_ = false;
}

double TMetafilePlayer::PenImageWidth() const {
  return dc_.Pen.Width * std::sqrt(std::abs(logicalToImage_.determinant()));
}

QPen TMetafilePlayer::MakePen() const {
  int style = dc_.Pen.Style & kPenStyleMask;
  if (style == kPenNull) return Qt::NoPen;
  QPen pen(dc_.Pen.Color);
  // GDI draws every pen at least one pixel wide.
  double width = PenImageWidth();
  pen.setWidthF(width < 1 ? 1 : width);
  switch (style) {
    case kPenDash: pen.setStyle(Qt::DashLine); break;
    case kPenDot: pen.setStyle(Qt::DotLine); break;
    case kPenDashDot: pen.setStyle(Qt::DashDotLine); break;
    case kPenDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
  }
  switch (dc_.Pen.Style & kPenEndCapMask) {
    case kPenEndCapSquare: pen.setCapStyle(Qt::SquareCap); break;
    case kPenEndCapFlat: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
  }
  switch (dc_.Pen.Style & kPenJoinMask) {
    case kPenJoinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
    // GDI's default miter limit of 10 counts whole widths, Qt's half widths.
    case kPenJoinMiter: pen.setJoinStyle(Qt::MiterJoin); pen.setMiterLimit(5); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
  }
  return pen;
}

QBrush TMetafilePlayer::MakeBrush(const TLogBrush& logBrush) const {
  static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
  switch (logBrush.Style) {
    case kBrushNull: return Qt::NoBrush;
    case kBrushHatched:
      if (logBrush.Hatch >= 0 && logBrush.Hatch < 6) return QBrush(logBrush.Color, kHatches[logBrush.Hatch]);
      return QBrush(logBrush.Color);
    case kBrushPattern:
      if (!logBrush.Pattern.isNull()) return QBrush(logBrush.Pattern);
      return QBrush(logBrush.Color);
    default: return QBrush(logBrush.Color);
  }
}

bool TMetafilePlayer::Admit(QRectF bounds) {
  if (!IsFinite(bounds) || std::abs(bounds.left()) > kCoordinateLimit || std::abs(bounds.right()) > kCoordinateLimit ||
      std::abs(bounds.top()) > kCoordinateLimit || std::abs(bounds.bottom()) > kCoordinateLimit)
    return false;
  if (dc_.Rop2 == kRop2Nop) return false;
  if (!canvas_) {
    drawnBounds_ = drawnBounds_.isNull() ? bounds : drawnBounds_.united(bounds);
    Charge(1);
    return false;
  }
  // A pixel of margin for anti-aliased edges and hairlines.
  QRectF visible = bounds.adjusted(-1, -1, 1, 1).intersected(QRectF(canvas_->rect()));
  Charge(1 + visible.width() * visible.height());
  return !visible.isEmpty();
}

bool TMetafilePlayer::PreparePainter(bool fill, bool stroke) {
  if (!painter_) return false;
  ApplyClip();
  QPainter::CompositionMode mode = Rop2Mode(dc_.Rop2);
  painter_->setCompositionMode(mode);
  // Raster operations combine whole pixels; blending edges would corrupt them.
  painter_->setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
  painter_->setPen(stroke ? MakePen() : QPen(Qt::NoPen));
  painter_->setBrush(fill ? MakeBrush(dc_.Brush) : QBrush(Qt::NoBrush));
  painter_->setBackgroundMode(dc_.BkMode == kBkOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
  painter_->setBackground(dc_.BkColor);
  return true;
}

double TMetafilePlayer::StrokePadding(bool stroke) const {
  if (!stroke || (dc_.Pen.Style & kPenStyleMask) == kPenNull) return 0;
  return std::max(PenImageWidth(), 1.0) / 2;
}

void TMetafilePlayer::PaintImagePath(const QPainterPath& shape, bool fill, bool stroke) {
  double pad = StrokePadding(stroke);
  if (!Admit(shape.controlPointRect().adjusted(-pad, -pad, pad, pad))) return;
  if (!PreparePainter(fill, stroke)) return;
  painter_->drawPath(shape);
}

void TMetafilePlayer::DrawPath(const QPainterPath& shape, bool fill, bool stroke) {
  Charge(double(shape.elementCount()));
  QPainterPath mapped = logicalToImage_.map(shape);
  if (inPath_) {
    path_.addPath(mapped);
    return;
  }
  mapped.setFillRule(dc_.PolyFillMode == kFillWinding ? Qt::WindingFill : Qt::OddEvenFill);
  PaintImagePath(mapped, fill, stroke);
}

void TMetafilePlayer::DrawPolygon(const QPolygonF& points, bool closed) {
  if (points.isEmpty()) return;
  Charge(double(points.size()));
  QPolygonF mapped = logicalToImage_.map(points);
  if (inPath_) {
    path_.addPolygon(mapped);
    if (closed) path_.closeSubpath();
    return;
  }
  double pad = StrokePadding(true);
  if (!Admit(mapped.boundingRect().adjusted(-pad, -pad, pad, pad))) return;
  if (!PreparePainter(closed, true)) return;
  if (closed)
    painter_->drawPolygon(mapped, dc_.PolyFillMode == kFillWinding ? Qt::WindingFill : Qt::OddEvenFill);
  else
    painter_->drawPolyline(mapped);
}

void TMetafilePlayer::ContinuePathFromPosition() {
  QPointF at = logicalToImage_.map(dc_.Position);
  if (path_.elementCount() == 0 || path_.currentPosition() != at) path_.moveTo(at);
}

void TMetafilePlayer::MoveTo(QPointF point) {
  dc_.Position = point;
  if (inPath_) path_.moveTo(logicalToImage_.map(point));
}

void TMetafilePlayer::LineTo(QPointF point) {
  if (inPath_) {
    ContinuePathFromPosition();
    path_.lineTo(logicalToImage_.map(point));
  } else {
    DrawPolygon(QPolygonF({dc_.Position, point}), false);
  }
  dc_.Position = point;
}

void TMetafilePlayer::Polyline(const QPolygonF& points) { DrawPolygon(points, false); }

void TMetafilePlayer::PolylineTo(const QPolygonF& points) {
  if (points.isEmpty()) return;
  if (inPath_) {
    ContinuePathFromPosition();
    for (QPointF p : points) path_.lineTo(logicalToImage_.map(p));
    Charge(double(points.size()));
  } else {
    QPolygonF line = points;
    line.prepend(dc_.Position);
    DrawPolygon(line, false);
  }
  dc_.Position = points.back();
}

void TMetafilePlayer::Polygon(const QPolygonF& points) { DrawPolygon(points, true); }

void TMetafilePlayer::PolyPolygon(const std::vector<QPolygonF>& polygons) {
  QPainterPath shape;
  for (const QPolygonF& polygon : polygons) {
    if (polygon.isEmpty()) continue;
    shape.addPolygon(polygon);
    shape.closeSubpath();
  }
  DrawPath(shape, true, true);
}

void TMetafilePlayer::PolyPolyline(const std::vector<QPolygonF>& polylines) {
  QPainterPath shape;
  for (const QPolygonF& line : polylines) shape.addPolygon(line);
  DrawPath(shape, false, true);
}

void TMetafilePlayer::Rectangle(const QRectF& rect) {
  QRectF r = rect.normalized();
  DrawPolygon(QPolygonF({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()}), true);
}

void TMetafilePlayer::RoundRect(const QRectF& rect, QSizeF corner) {
  QPainterPath shape;
  shape.addRoundedRect(rect.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
  DrawPath(shape, true, true);
}

void TMetafilePlayer::Ellipse(const QRectF& rect) {
  QPainterPath shape;
  shape.addEllipse(rect.normalized());
  DrawPath(shape, true, true);
}

void TMetafilePlayer::SetPixel(QPointF point, const QColor& color) {
  QPointF p = logicalToImage_.map(point);
  QRectF pixel(std::floor(p.x()), std::floor(p.y()), 1, 1);
  if (!Admit(pixel) || !PreparePainter(false, false)) return;
  painter_->fillRect(pixel, color);
}

void TMetafilePlayer::FillRegion(const QRegion& region, const TLogBrush& brush, bool deviceUnits) {
  QRegion r = ToImageRegion(region, deviceUnits);
  if (!Admit(QRectF(r.boundingRect())) || !PreparePainter(false, false)) return;
  QBrush fill = MakeBrush(brush);
  for (const QRect& rect : r) painter_->fillRect(rect, fill);
}

void TMetafilePlayer::BeginPath() {
  inPath_ = true;
  path_ = QPainterPath();
}

void TMetafilePlayer::EndPath() { inPath_ = false; }

void TMetafilePlayer::AbortPath() {
  inPath_ = false;
  path_ = QPainterPath();
}

void TMetafilePlayer::CloseFigure() {
  if (inPath_) path_.closeSubpath();
}

void TMetafilePlayer::FillPath() {
  if (inPath_) return;
  path_.setFillRule(dc_.PolyFillMode == kFillWinding ? Qt::WindingFill : Qt::OddEvenFill);
  PaintImagePath(path_, true, false);
  path_ = QPainterPath();
}

void TMetafilePlayer::StrokePath() {
  if (inPath_) return;
  PaintImagePath(path_, false, true);
  path_ = QPainterPath();
}

void TMetafilePlayer::StrokeAndFillPath() {
  if (inPath_) return;
  path_.setFillRule(dc_.PolyFillMode == kFillWinding ? Qt::WindingFill : Qt::OddEvenFill);
  PaintImagePath(path_, true, true);
  path_ = QPainterPath();
}

void TMetafilePlayer::SelectClipPath(int mode) {
  if (inPath_) return;
  path_.setFillRule(dc_.PolyFillMode == kFillWinding ? Qt::WindingFill : Qt::OddEvenFill);
  QRegion region(path_.toFillPolygon().toPolygon(), path_.fillRule());
  path_ = QPainterPath();
  // The path is already in output pixels.
  QRegion base = dc_.Clip.value_or(ImageRect());
  switch (mode) {
    case 1: dc_.Clip = base & region; break;
    case 2: dc_.Clip = base | region; break;
    case 3: dc_.Clip = base ^ region; break;
    case 4: dc_.Clip = base - region; break;
    case 5: dc_.Clip = region; break;
    default: return;
  }
  ClipChanged();
}

}  // namespace orb
