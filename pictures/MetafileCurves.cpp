// The curve records of TMetafilePlayer: Béziers, elliptic arcs and PolyDraw,
// which build paths from the current position as GDI defines them.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "pictures/MetafilePlayer.h"

namespace orb {

void TMetafilePlayer::PolyBezier(const QPolygonF& points, bool fromCurrent) {
  qsizetype first = fromCurrent ? 0 : 1;
  if (points.size() < first + 3) return;
  QPainterPath shape(fromCurrent ? dc_.Position : points[0]);
  for (qsizetype i = first; i + 2 < points.size(); i += 3) shape.cubicTo(points[i], points[i + 1], points[i + 2]);
  if (fromCurrent) {
    if (inPath_) ContinuePathFromPosition();
    dc_.Position = shape.currentPosition();
    if (inPath_) {
      // Continue the open figure instead of starting a new one.
      QPainterPath mapped = logicalToImage_.map(shape);
      for (int i = 1; i + 2 < mapped.elementCount(); i += 3)
        path_.cubicTo(mapped.elementAt(i), mapped.elementAt(i + 1), mapped.elementAt(i + 2));
      Charge(double(points.size()));
      return;
    }
  }
  DrawPath(shape, false, true);
}

void TMetafilePlayer::Arc(TArcKind kind, const QRectF& rect, QPointF start, QPointF end) {
  QRectF r = rect.normalized();
  if (r.width() <= 0 || r.height() <= 0) return;
  QPointF c = r.center();
  // Angles of the radials through start and end, counter-clockwise on the
  // screen as Qt counts them, on the ellipse scaled to a circle.
  auto angle = [&](QPointF p) {
    return std::atan2(-(p.y() - c.y()) / r.height(), (p.x() - c.x()) / r.width()) * 180 / std::numbers::pi;
  };
  double a0 = angle(start), a1 = angle(end);
  double sweep = a1 - a0;
  if (dc_.ClockwiseArcs) {
    if (sweep >= 0) sweep -= 360;
  } else if (sweep <= 0) {
    sweep += 360;
  }
  QPainterPath shape;
  if (kind == TArcKind::Pie) {
    shape.moveTo(c);
    shape.arcTo(r, a0, sweep);
    shape.closeSubpath();
  } else {
    shape.arcMoveTo(r, a0);
    if (kind == TArcKind::ArcTo) {
      QPointF arcStart = shape.currentPosition();
      shape = QPainterPath(dc_.Position);
      shape.lineTo(arcStart);
    }
    shape.arcTo(r, a0, sweep);
    if (kind == TArcKind::Chord) shape.closeSubpath();
  }
  if (kind == TArcKind::ArcTo) {
    if (inPath_) {
      ContinuePathFromPosition();
      path_.connectPath(logicalToImage_.map(shape));
    }
    dc_.Position = shape.currentPosition();
    if (inPath_) return;
  }
  bool closed = kind == TArcKind::Chord || kind == TArcKind::Pie;
  DrawPath(shape, closed, true);
}

void TMetafilePlayer::AngleArc(QPointF center, double radius, double startAngle, double sweepAngle) {
  if (!std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(sweepAngle)) return;
  QRectF r(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
  // A line from the current position to the arc's start, then the arc.
  QPainterPath shape(dc_.Position);
  QPainterPath start;
  start.arcMoveTo(r, startAngle);
  shape.lineTo(start.currentPosition());
  shape.arcTo(r, startAngle, std::clamp(sweepAngle, -360.0, 360.0));
  DrawFigureFromPosition(shape);
}

void TMetafilePlayer::PolyDraw(const QPolygonF& points, std::span<const std::uint8_t> types) {
  constexpr std::uint8_t kClose = 0x01, kLineTo = 0x02, kBezierTo = 0x04, kMoveTo = 0x06;
  QPainterPath shape(dc_.Position);
  for (qsizetype i = 0; i < points.size() && std::size_t(i) < types.size(); ++i) {
    std::uint8_t type = types[std::size_t(i)];
    if ((type & kMoveTo) == kMoveTo) {
      shape.moveTo(points[i]);
    } else if (type & kBezierTo) {
      if (i + 2 >= points.size()) break;
      shape.cubicTo(points[i], points[i + 1], points[i + 2]);
      i += 2;
      type = types[std::size_t(i)];
    } else if (type & kLineTo) {
      shape.lineTo(points[i]);
    }
    if (type & kClose) shape.closeSubpath();
  }
  DrawFigureFromPosition(shape);
}

void TMetafilePlayer::DrawFigureFromPosition(const QPainterPath& shape) {
  if (inPath_) {
    ContinuePathFromPosition();
    path_.connectPath(logicalToImage_.map(shape));
    Charge(double(shape.elementCount()));
  }
  dc_.Position = shape.currentPosition();
  if (!inPath_) DrawPath(shape, false, true);
}

}  // namespace orb
