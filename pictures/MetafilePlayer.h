#pragma once
// TMetafilePlayer: paints the drawing records of a WMF or EMF onto a Qt
// image. The record parsers call it in logical coordinates; it keeps the
// device context (objects, modes, mapping, clip, saved states, the current
// path) and maps every primitive to output pixels. Without a canvas it only
// measures the extent of what would be drawn, for metafiles that state no
// size of their own.
//
// Text needs a QGuiApplication for Qt's font database; without one, text
// records are skipped and everything else is still drawn.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include "pictures/Bitmap.h"
#include "pictures/MetafileState.h"

namespace orb {

// Text of the 8-bit text records, in the code page of Western Windows.
QString DecodeWindows1252(std::span<const std::uint8_t> bytes);

// The white canvas a metafile is played onto, of the size of the result
// bitmap (allocated, and so checked against the limits, first), and the
// copy of the played canvas into that bitmap.
QImage MakeMetafileCanvas(const TBitmap& bitmap);
void CopyCanvasToBitmap(const QImage& canvas, TBitmap& bitmap);

class TMetafilePlayer {
 public:
  // format names the format in failure messages. canvas may be null to
  // measure only. pixelsPerMm is the resolution of the device the metafile
  // was recorded for (the metric mapping modes use it). workBudget bounds the
  // total output pixels and points all records may touch.
  TMetafilePlayer(const char* format, QImage* canvas, double pixelsPerMm, double workBudget);
  ~TMetafilePlayer();
  TMetafilePlayer(const TMetafilePlayer&) = delete;
  TMetafilePlayer& operator=(const TMetafilePlayer&) = delete;

  // Maps device units to output pixels, after the window/viewport mapping.
  void SetDeviceToImage(const QTransform& transform);
  // The extent of everything drawn, in output pixels (for measuring).
  QRectF DrawnBounds() const { return drawnBounds_; }
  // Whether this player only measures; bitmaps then need not be decoded.
  bool Measuring() const { return canvas_ == nullptr; }
  // Counts points of a record against the work budget.
  void ChargePoints(std::size_t count);

  TDeviceContext& Dc() { return dc_; }
  void Select(const TGdiObject& object);
  void SaveDc();
  // level > 0: that saved state; level < 0: that many states back.
  void RestoreDc(int level);

  // Mapping: each call changes the logical-to-output transform.
  void SetMapMode(int mode);
  void SetWindowOrg(QPointF org);
  void SetWindowExt(QPointF ext);
  void SetViewportOrg(QPointF org);
  void SetViewportExt(QPointF ext);
  void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
  void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
  // mode: 1 identity, 2 left-multiply, 3 right-multiply, 4 set.
  void ModifyWorldTransform(const QTransform& transform, int mode);

  // Clipping, in logical coordinates (regions in logical units for WMF,
  // device units for EMF: deviceUnits says which).
  void IntersectClipRect(const QRectF& rect);
  void ExcludeClipRect(const QRectF& rect);
  void OffsetClip(QPointF offset);
  // mode: 1 and, 2 or, 3 xor, 4 diff, 5 copy; region none resets the clip.
  void CombineClip(const std::optional<QRegion>& region, int mode, bool deviceUnits);

  // Drawing with the selected pen and brush.
  void MoveTo(QPointF point);
  void LineTo(QPointF point);
  void Polyline(const QPolygonF& points);
  void PolylineTo(const QPolygonF& points);
  void PolyBezier(const QPolygonF& points, bool fromCurrent);
  void Polygon(const QPolygonF& points);
  void PolyPolygon(const std::vector<QPolygonF>& polygons);
  void PolyPolyline(const std::vector<QPolygonF>& polylines);
  void Rectangle(const QRectF& rect);
  void RoundRect(const QRectF& rect, QSizeF corner);
  void Ellipse(const QRectF& rect);
  enum class TArcKind { Arc, ArcTo, Chord, Pie };
  void Arc(TArcKind kind, const QRectF& rect, QPointF start, QPointF end);
  // A line from the current position to a circular arc, angles in degrees.
  void AngleArc(QPointF center, double radius, double startAngle, double sweepAngle);
  // Lines and Béziers from the current position by point types (PT_*).
  void PolyDraw(const QPolygonF& points, std::span<const std::uint8_t> types);
  void SetPixel(QPointF point, const QColor& color);
  void FillRegion(const QRegion& region, const TLogBrush& brush, bool deviceUnits);

  // Text at a logical reference point; dx are the logical advances of the
  // characters (may be empty). options: 2 opaque, 4 clipped by rect.
  void Text(QPointF reference, const QString& text, std::span<const double> dx, int options,
            const std::optional<QRectF>& rect);

  // A bitmap block transfer to a logical rectangle; source null for the
  // raster operations that use only the brush and the destination. opacity
  // below 1 blends the source over the picture (alpha blending).
  void Blit(const QRectF& dest, const QImage* source, const QRectF& sourceRect, std::uint32_t rop,
            double opacity = 1);

  // Path brackets (EMF).
  void BeginPath();
  void EndPath();
  void AbortPath();
  void CloseFigure();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  void SelectClipPath(int mode);

 private:
  void Fail(const char* what) const;
  void Charge(double amount);
  void UpdateTransform();
  // Draws a shape given in logical coordinates, or adds it to the open path.
  void DrawPath(const QPainterPath& shape, bool fill, bool stroke);
  void DrawPolygon(const QPolygonF& points, bool closed);
  // Paints a shape already in output pixels with the pen and brush.
  void PaintImagePath(const QPainterPath& shape, bool fill, bool stroke);
  // Checks and charges output bounds; false when nothing needs painting.
  bool Admit(QRectF imageBounds);
  // Sets pen, brush, raster operation and clip on the painter; false when
  // the raster operation draws nothing.
  bool PreparePainter(bool fill, bool stroke);
  QPen MakePen() const;
  QBrush MakeBrush(const TLogBrush& logBrush) const;
  void ApplyClip();
  void ClipChanged();
  QRegion ToImageRegion(const QRegion& region, bool deviceUnits) const;
  QRegion ImageRect() const;
  double PenImageWidth() const;
  // How far the pen reaches beyond a shape's outline, in output pixels.
  double StrokePadding(bool stroke) const;
  // Starts a path figure at the current position unless the path is there.
  void ContinuePathFromPosition();
  // Adds an open figure that starts at the current position to the open
  // path, or strokes it; the current position moves to its end.
  void DrawFigureFromPosition(const QPainterPath& shape);

  const char* format_;
  QImage* canvas_;
  std::optional<QPainter> painter_;
  double pixelsPerMm_;
  double workLeft_;
  QTransform deviceToImage_;
  QTransform logicalToImage_;
  TDeviceContext dc_;
  std::vector<TDeviceContext> saved_;
  QRectF drawnBounds_;
  bool clipDirty_ = true;
  // The path under construction (output pixels) while a bracket is open,
  // and the finished one until it is used.
  bool inPath_ = false;
  QPainterPath path_;
};

}  // namespace orb
