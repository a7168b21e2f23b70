#include "pictures/EmfDecoder.h"

#include <bit>
#include <cmath>
#include <optional>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/MetafileDib.h"
#include "pictures/MetafilePlayer.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "EMF";
constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kStockObject = 0x80000000;
constexpr double kWorkPerByte = 4096;
constexpr double kWorkPerPicturePixel = 16;
constexpr std::uint32_t kEtoGlyphIndex = 0x10;
constexpr std::uint32_t kEtoPdy = 0x2000;
constexpr std::uint32_t kPenGeometric = 0x10000;

// Record types.
enum : std::uint32_t {
  kHeader = 1, kPolyBezier = 2, kPolygon = 3, kPolyline = 4, kPolyBezierTo = 5, kPolylineTo = 6,
  kPolyPolyline = 7, kPolyPolygon = 8, kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11,
  kSetViewportOrg = 12, kEof = 14, kSetPixel = 15, kSetMapMode = 17, kSetBkMode = 18,
  kSetPolyFillMode = 19, kSetRop2 = 20, kSetStretchBltMode = 21, kSetTextAlign = 22, kSetTextColor = 24,
  kSetBkColor = 25, kOffsetClipRgn = 26, kMoveTo = 27, kExcludeClipRect = 29, kIntersectClipRect = 30,
  kScaleViewportExt = 31, kScaleWindowExt = 32, kSaveDc = 33, kRestoreDc = 34, kSetWorldTransform = 35,
  kModifyWorldTransform = 36, kSelectObject = 37, kCreatePen = 38, kCreateBrush = 39, kDeleteObject = 40,
  kAngleArc = 41, kEllipse = 42, kRectangle = 43, kRoundRect = 44, kArc = 45, kChord = 46, kPie = 47,
  kCreatePalette = 49, kLineTo = 54, kArcTo = 55, kPolyDraw = 56, kSetArcDirection = 57, kBeginPath = 59, kEndPath = 60,
  kCloseFigure = 61, kFillPath = 62, kStrokeAndFillPath = 63, kStrokePath = 64, kSelectClipPath = 67,
  kAbortPath = 68, kFillRgn = 71, kPaintRgn = 74, kExtSelectClipRgn = 75, kBitBlt = 76, kStretchBlt = 77,
  kSetDiBitsToDevice = 80, kStretchDiBits = 81, kCreateFont = 82, kExtTextOutA = 83, kExtTextOutW = 84,
  kPolyBezier16 = 85, kPolygon16 = 86, kPolyline16 = 87, kPolyBezierTo16 = 88, kPolylineTo16 = 89,
  kPolyPolyline16 = 90, kPolyPolygon16 = 91, kPolyDraw16 = 92, kCreateMonoBrush = 93, kCreateDibPatternBrush = 94,
  kExtCreatePen = 95, kAlphaBlend = 114, kTransparentBlt = 116,
};

QColor ReadColor(TByteReader& in) {
  std::uint32_t c = in.U32LE();
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QPointF ReadPoint(TByteReader& in) {
  double x = in.I32LE();
  double y = in.I32LE();
  return {x, y};
}

QRectF ReadRect(TByteReader& in) {
  QPointF topLeft = ReadPoint(in);
  return QRectF(topLeft, ReadPoint(in));
}

float ReadFloat(TByteReader& in) { return std::bit_cast<float>(in.U32LE()); }

QTransform ReadXform(TByteReader& in) {
  double m[6];
  for (double& v : m) v = ReadFloat(in);
  return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// Points of 32 or 16 bits; the count is checked against the record first.
QPolygonF ReadPoints(TByteReader& in, std::uint32_t count, bool small) {
  std::size_t size = small ? 4 : 8;
  if (count > in.Remaining() / size) in.Fail("unexpected end of file");
  QPolygonF points;
  points.reserve(qsizetype(count));
  for (std::uint32_t i = 0; i < count; ++i) {
    if (small) {
      double x = in.I16LE();
      double y = in.I16LE();
      points.append(QPointF(x, y));
    } else {
      points.append(ReadPoint(in));
    }
  }
  return points;
}

// RGNDATA: a header and its rectangles, in device units.
QRegion ReadRegionData(TByteReader& in) {
  in.Skip(8);  // header size, type
  std::uint32_t count = in.U32LE();
  in.Skip(20);  // size, bounds
  if (count > in.Remaining() / 16) in.Fail("unexpected end of file");
  QRegion region;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::int32_t left = in.I32LE(), top = in.I32LE(), right = in.I32LE(), bottom = in.I32LE();
    if (right > left && bottom > top && std::int64_t(right) - left < (1 << 30) &&
        std::int64_t(bottom) - top < (1 << 30) && region.rectCount() < kMaxRegionRects)
      region += QRect(left, top, right - left, bottom - top);
  }
  return region;
}

// Selects one of the stock objects that every device context has.
void SelectStockObject(TDeviceContext& dc, std::uint32_t index) {
  auto brush = [&](QColor color, int style = kBrushSolid) { dc.Brush = TLogBrush{style, 0, color, {}}; };
  auto pen = [&](QColor color, int style = kPenSolid) { dc.Pen = TLogPen{style, 0, color}; };
  switch (index) {
    case 0: case 18: brush(Qt::white); break;
    case 1: brush(QColor(0xC0, 0xC0, 0xC0)); break;
    case 2: brush(QColor(0x80, 0x80, 0x80)); break;
    case 3: brush(QColor(0x40, 0x40, 0x40)); break;
    case 4: brush(Qt::black); break;
    case 5: brush(Qt::black, kBrushNull); break;
    case 6: pen(Qt::white); break;
    case 7: case 19: pen(Qt::black); break;
    case 8: pen(Qt::black, kPenNull); break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17: dc.Font = TLogFont{}; break;
    default: break;
  }
}

// Plays the records of one enhanced metafile onto a player.
class TEmfPlayback {
 public:
  TEmfPlayback(TMetafilePlayer& player, std::uint16_t handles) : player_(player) { objects_.resize(handles); }
  void Record(std::uint32_t type, TByteReader& in);

 private:
  template <typename TObject>
  void SetObject(std::uint32_t index, const TObject& object) {
    if (index > 0 && index < objects_.size()) objects_[index].emplace(std::in_place_type<TObject>, object);
  }
  void Text(TByteReader& in, bool wide);
  void Bitmap(std::uint32_t type, TByteReader& in);
  std::optional<QImage> RecordDib(TByteReader& in, std::uint32_t offInfo, std::uint32_t infoSize, std::uint32_t offBits,
                                  std::uint32_t bitsSize) const;

  TMetafilePlayer& player_;
  std::vector<std::optional<TGdiObject>> objects_;
};

std::optional<QImage> TEmfPlayback::RecordDib(TByteReader& in, std::uint32_t offInfo, std::uint32_t infoSize,
                                              std::uint32_t offBits, std::uint32_t bitsSize) const {
  if (infoSize == 0) return std::nullopt;
  return DecodeMetafileDib(kFormat, in.BytesAt(offInfo, infoSize), in.BytesAt(offBits, bitsSize));
}

void TEmfPlayback::Text(TByteReader& in, bool wide) {
  in.Skip(28);  // bounds, graphics mode, scales
  QPointF at = ReadPoint(in);
  std::uint32_t count = in.U32LE(), offString = in.U32LE(), options = in.U32LE();
  QRectF rect = ReadRect(in);
  std::uint32_t offDx = in.U32LE();
  QString text;
  if (wide) {
    if (count > in.Size() / 2) in.Fail("unexpected end of file");
    auto bytes = in.BytesAt(offString, std::size_t(count) * 2);
    text.resize(qsizetype(count));
    for (std::uint32_t i = 0; i < count; ++i) text[i] = QChar(char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  } else {
    text = DecodeWindows1252(in.BytesAt(offString, count));
  }
  // Glyph indices name glyphs of a font we do not have; such text is skipped.
  if (options & kEtoGlyphIndex) text.clear();
  std::vector<double> dx;
  std::size_t stride = options & kEtoPdy ? 8 : 4;
  if (offDx != 0 && count <= in.Size() / stride) {
    TByteReader advances(in.BytesAt(offDx, count * stride), kFormat);
    for (std::uint32_t i = 0; i < count; ++i) {
      dx.push_back(advances.I32LE());
      if (stride == 8) advances.Skip(4);
    }
  }
  std::optional<QRectF> clip;
  if (options & 0x6) clip = rect;
  player_.Text(at, text, dx, int(options), clip);
}

void TEmfPlayback::Bitmap(std::uint32_t type, TByteReader& in) {
  in.Skip(16);  // bounds
  if (type == kStretchDiBits || type == kSetDiBitsToDevice) {
    QPointF dest = ReadPoint(in);
    double sx = in.I32LE(), sy = in.I32LE(), sw = in.I32LE(), sh = in.I32LE();
    std::uint32_t offInfo = in.U32LE(), infoSize = in.U32LE(), offBits = in.U32LE(), bitsSize = in.U32LE();
    in.Skip(4);  // colour usage
    std::uint32_t rop = 0x00CC0020;
    double dw = sw, dh = sh;
    if (type == kStretchDiBits) {
      rop = in.U32LE();
      dw = in.I32LE();
      dh = in.I32LE();
    }
    std::optional<QImage> image = RecordDib(in, offInfo, infoSize, offBits, bitsSize);
    // Source rows count from the bottom of the bitmap here.
    if (image) player_.Blit(QRectF(dest.x(), dest.y(), dw, dh), &*image, QRectF(sx, image->height() - sy - sh, sw, sh), rop);
    return;
  }
  // BitBlt, StretchBlt, AlphaBlend and TransparentBlt share one layout; the
  // last two hold a blend function or a transparent colour in place of the
  // raster operation.
  QPointF dest = ReadPoint(in);
  double dw = in.I32LE(), dh = in.I32LE();
  std::uint32_t rop = in.U32LE();
  double sx = in.I32LE(), sy = in.I32LE();
  in.Skip(28);  // source transform, background colour
  in.Skip(4);   // colour usage
  std::uint32_t offInfo = in.U32LE(), infoSize = in.U32LE(), offBits = in.U32LE(), bitsSize = in.U32LE();
  double sw = dw, sh = dh;
  if (type != kBitBlt) {
    sw = in.I32LE();
    sh = in.I32LE();
  }
  QRectF target(dest.x(), dest.y(), dw, dh), source(sx, sy, sw, sh);
  constexpr std::uint32_t kSrcCopy = 0x00CC0020;
  if (type == kAlphaBlend) {
    bool perPixel = (rop >> 24) & 0x01;  // AC_SRC_ALPHA
    double constant = double((rop >> 16) & 0xFF) / 255;
    if (infoSize == 0) return;
    QImage image = DecodeMetafileDib(kFormat, in.BytesAt(offInfo, infoSize), in.BytesAt(offBits, bitsSize), perPixel);
    player_.Blit(target, &image, source, kSrcCopy, constant);
    return;
  }
  std::optional<QImage> image = RecordDib(in, offInfo, infoSize, offBits, bitsSize);
  if (type == kTransparentBlt) {
    if (!image) return;
    QRgb transparent = qRgb(int(rop & 0xFF), int((rop >> 8) & 0xFF), int((rop >> 16) & 0xFF));
    QImage keyed = image->convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
      for (int x = 0; x < keyed.width(); ++x)
        if ((line[x] & 0xFFFFFF) == (transparent & 0xFFFFFF)) line[x] = 0;
    }
    player_.Blit(target, &keyed, source, kSrcCopy);
    return;
  }
  player_.Blit(target, image ? &*image : nullptr, source, rop);
}

void TEmfPlayback::Record(std::uint32_t type, TByteReader& in) {
  TDeviceContext& dc = player_.Dc();
  switch (type) {
    case kPolyBezier: case kPolygon: case kPolyline: case kPolyBezierTo: case kPolylineTo:
    case kPolyBezier16: case kPolygon16: case kPolyline16: case kPolyBezierTo16: case kPolylineTo16: {
      bool small = type >= kPolyBezier16;
      std::uint32_t base = small ? type - kPolyBezier16 + kPolyBezier : type;
      in.Skip(16);
      std::uint32_t count = in.U32LE();
      QPolygonF points = ReadPoints(in, count, small);
      if (base == kPolyBezier) player_.PolyBezier(points, false);
      else if (base == kPolyBezierTo) player_.PolyBezier(points, true);
      else if (base == kPolygon) player_.Polygon(points);
      else if (base == kPolyline) player_.Polyline(points);
      else player_.PolylineTo(points);
      break;
    }
    case kPolyPolyline: case kPolyPolygon: case kPolyPolyline16: case kPolyPolygon16: {
      bool small = type >= kPolyPolyline16;
      in.Skip(16);
      std::uint32_t figures = in.U32LE();
      in.Skip(4);  // total points
      if (figures > in.Remaining() / 4) in.Fail("unexpected end of file");
      std::vector<std::uint32_t> counts(figures);
      for (auto& count : counts) count = in.U32LE();
      std::vector<QPolygonF> polygons;
      for (std::uint32_t count : counts) polygons.push_back(ReadPoints(in, count, small));
      if (type == kPolyPolygon || type == kPolyPolygon16) player_.PolyPolygon(polygons);
      else player_.PolyPolyline(polygons);
      break;
    }
    case kPolyDraw: case kPolyDraw16: {
      in.Skip(16);
      std::uint32_t count = in.U32LE();
      QPolygonF points = ReadPoints(in, count, type == kPolyDraw16);
      player_.PolyDraw(points, in.Bytes(count));
      break;
    }
    case kAngleArc: {
      QPointF center = ReadPoint(in);
      double radius = in.U32LE();
      double start = ReadFloat(in);
      player_.AngleArc(center, radius, start, ReadFloat(in));
      break;
    }
    case kSetWindowExt: player_.SetWindowExt(ReadPoint(in)); break;
    case kSetWindowOrg: player_.SetWindowOrg(ReadPoint(in)); break;
    case kSetViewportExt: player_.SetViewportExt(ReadPoint(in)); break;
    case kSetViewportOrg: player_.SetViewportOrg(ReadPoint(in)); break;
    case kSetPixel: {
      QPointF at = ReadPoint(in);
      player_.SetPixel(at, ReadColor(in));
      break;
    }
    case kSetMapMode: player_.SetMapMode(int(in.U32LE())); break;
    case kSetBkMode: dc.BkMode = int(in.U32LE()); break;
    case kSetPolyFillMode: dc.PolyFillMode = int(in.U32LE()); break;
    case kSetRop2: dc.Rop2 = int(in.U32LE()); break;
    case kSetStretchBltMode: dc.StretchMode = int(in.U32LE()); break;
    case kSetTextAlign: dc.TextAlign = int(in.U32LE()); break;
    case kSetTextColor: dc.TextColor = ReadColor(in); break;
    case kSetBkColor: dc.BkColor = ReadColor(in); break;
    case kSetArcDirection: dc.ClockwiseArcs = in.U32LE() == 2; break;
    case kOffsetClipRgn: player_.OffsetClip(ReadPoint(in)); break;
    case kMoveTo: player_.MoveTo(ReadPoint(in)); break;
    case kLineTo: player_.LineTo(ReadPoint(in)); break;
    case kExcludeClipRect: player_.ExcludeClipRect(ReadRect(in)); break;
    case kIntersectClipRect: player_.IntersectClipRect(ReadRect(in)); break;
    case kScaleViewportExt: case kScaleWindowExt: {
      double xNum = in.I32LE(), xDenom = in.I32LE(), yNum = in.I32LE(), yDenom = in.I32LE();
      if (type == kScaleWindowExt) player_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
      else player_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
      break;
    }
    case kSaveDc: player_.SaveDc(); break;
    case kRestoreDc: player_.RestoreDc(in.I32LE()); break;
    case kSetWorldTransform: player_.ModifyWorldTransform(ReadXform(in), 4); break;
    case kModifyWorldTransform: {
      QTransform transform = ReadXform(in);
      player_.ModifyWorldTransform(transform, int(in.U32LE()));
      break;
    }
    case kSelectObject: {
      std::uint32_t index = in.U32LE();
      if (index & kStockObject) SelectStockObject(dc, index & ~kStockObject);
      else if (index < objects_.size() && objects_[index]) player_.Select(*objects_[index]);
      break;
    }
    case kDeleteObject:
      if (std::uint32_t index = in.U32LE(); index < objects_.size()) objects_[index].reset();
      break;
    case kCreatePen: {
      std::uint32_t index = in.U32LE();
      TLogPen pen;
      pen.Style = int(in.U32LE() & 0xFFFF);
      pen.Width = in.I32LE();
      in.Skip(4);
      pen.Color = ReadColor(in);
      SetObject(index, pen);
      break;
    }
    case kExtCreatePen: {
      std::uint32_t index = in.U32LE();
      in.Skip(16);  // pattern bitmap
      std::uint32_t style = in.U32LE();
      TLogPen pen;
      pen.Style = int(style & 0xFFFF);
      std::uint32_t width = in.U32LE();
      // Cosmetic pens are one pixel wide whatever their width says.
      pen.Width = style & kPenGeometric ? double(width) : 0.0;
      if (in.U32LE() == kBrushNull) pen.Style = kPenNull;
      pen.Color = ReadColor(in);
      SetObject(index, pen);
      break;
    }
    case kCreateBrush: {
      std::uint32_t index = in.U32LE();
      TLogBrush brush;
      brush.Style = int(in.U32LE());
      brush.Color = ReadColor(in);
      brush.Hatch = int(in.U32LE());
      SetObject(index, brush);
      break;
    }
    case kCreateMonoBrush: case kCreateDibPatternBrush: {
      std::uint32_t index = in.U32LE();
      in.Skip(4);  // colour usage
      std::uint32_t offInfo = in.U32LE(), infoSize = in.U32LE(), offBits = in.U32LE(), bitsSize = in.U32LE();
      TLogBrush brush;
      brush.Style = kBrushPattern;
      brush.Color = Qt::gray;
      if (std::optional<QImage> pattern = RecordDib(in, offInfo, infoSize, offBits, bitsSize)) brush.Pattern = *pattern;
      SetObject(index, brush);
      break;
    }
    case kCreateFont: {
      std::uint32_t index = in.U32LE();
      TLogFont font;
      font.Height = in.I32LE();
      font.Width = in.I32LE();
      font.Escapement = in.I32LE();
      in.Skip(4);
      font.Weight = in.I32LE();
      font.Italic = in.U8() != 0;
      font.Underline = in.U8() != 0;
      font.StrikeOut = in.U8() != 0;
      in.Skip(5);
      for (int i = 0; i < 32 && in.Remaining() >= 2; ++i) {
        char16_t c = in.U16LE();
        if (c == 0) break;
        font.Face.append(QChar(c));
      }
      SetObject(index, font);
      break;
    }
    case kCreatePalette: SetObject(in.U32LE(), std::monostate{}); break;
    case kRectangle: player_.Rectangle(ReadRect(in)); break;
    case kEllipse: player_.Ellipse(ReadRect(in)); break;
    case kRoundRect: {
      QRectF rect = ReadRect(in);
      QPointF corner = ReadPoint(in);
      player_.RoundRect(rect, QSizeF(corner.x(), corner.y()));
      break;
    }
    case kArc: case kChord: case kPie: case kArcTo: {
      QRectF rect = ReadRect(in);
      QPointF start = ReadPoint(in), end = ReadPoint(in);
      auto kind = type == kArc    ? TMetafilePlayer::TArcKind::Arc
                  : type == kChord ? TMetafilePlayer::TArcKind::Chord
                  : type == kPie   ? TMetafilePlayer::TArcKind::Pie
                                   : TMetafilePlayer::TArcKind::ArcTo;
      player_.Arc(kind, rect, start, end);
      break;
    }
    case kBeginPath: player_.BeginPath(); break;
    case kEndPath: player_.EndPath(); break;
    case kCloseFigure: player_.CloseFigure(); break;
    case kFillPath: player_.FillPath(); break;
    case kStrokeAndFillPath: player_.StrokeAndFillPath(); break;
    case kStrokePath: player_.StrokePath(); break;
    case kAbortPath: player_.AbortPath(); break;
    case kSelectClipPath: player_.SelectClipPath(int(in.U32LE())); break;
    case kFillRgn: case kPaintRgn: {
      in.Skip(16);
      in.Skip(4);  // region data size
      const TLogBrush* brush = &dc.Brush;
      if (type == kFillRgn) {
        std::uint32_t index = in.U32LE();
        const TGdiObject* object = index < objects_.size() && objects_[index] ? &*objects_[index] : nullptr;
        brush = object ? std::get_if<TLogBrush>(object) : nullptr;
      }
      QRegion region = ReadRegionData(in);
      if (brush) player_.FillRegion(region, *brush, true);
      break;
    }
    case kExtSelectClipRgn: {
      std::uint32_t size = in.U32LE();
      int mode = int(in.U32LE());
      player_.CombineClip(size >= 32 ? std::optional<QRegion>(ReadRegionData(in)) : std::nullopt, mode, true);
      break;
    }
    case kBitBlt: case kStretchBlt: case kSetDiBitsToDevice: case kStretchDiBits: case kAlphaBlend:
    case kTransparentBlt: Bitmap(type, in); break;
    case kExtTextOutA: Text(in, false); break;
    case kExtTextOutW: Text(in, true); break;
    default: break;  // records that do not draw here, and unknown ones
  }
}

}  // namespace

TBitmap TEmfDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  if (in.U32LE() != kHeader) in.Fail("bad header");
  std::uint32_t headerSize = in.U32LE();
  QRectF bounds = ReadRect(in);
  QRectF frame = ReadRect(in);
  if (in.U32LE() != kSignature || headerSize < 88 || headerSize % 4) in.Fail("bad header");
  in.Skip(12);  // version, bytes, records
  std::uint16_t handles = in.U16LE();
  in.Skip(14);  // reserved, description, palette entries
  double devicePixelsX = in.I32LE(), devicePixelsY = in.I32LE();
  double millimetresX = in.I32LE(), millimetresY = in.I32LE();
  // The reference device's resolution; a screen at 96 dpi when it is unset.
  double pixelsPerMmX = devicePixelsX > 0 && millimetresX > 0 ? devicePixelsX / millimetresX : 96 / 25.4;
  double pixelsPerMmY = devicePixelsY > 0 && millimetresY > 0 ? devicePixelsY / millimetresY : 96 / 25.4;

  // The frame in device pixels, and the picture's size at 96 dpi.
  QRectF deviceFrame;
  std::int64_t width = 0, height = 0;
  if (frame.width() > 0 && frame.height() > 0) {
    width = std::llround(frame.width() * 96 / 2540);
    height = std::llround(frame.height() * 96 / 2540);
    deviceFrame = QRectF(frame.left() / 100 * pixelsPerMmX, frame.top() / 100 * pixelsPerMmY,
                         frame.width() / 100 * pixelsPerMmX, frame.height() / 100 * pixelsPerMmY);
  } else if (bounds.width() >= 0 && bounds.height() >= 0) {
    deviceFrame = bounds.adjusted(0, 0, 1, 1);
    width = std::llround(deviceFrame.width() / pixelsPerMmX * 96 / 25.4);
    height = std::llround(deviceFrame.height() / pixelsPerMmY * 96 / 25.4);
  }
  TBitmap bitmap = AllocateBitmap(kFormat, width, height);
  QImage canvas = MakeMetafileCanvas(bitmap);
  if (canvas.isNull()) in.Fail("picture too large");
  {
    double budget = kWorkPerByte * double(bytes.size()) + kWorkPerPicturePixel * double(width) * double(height);
    TMetafilePlayer player(kFormat, &canvas, pixelsPerMmX, budget);
    player.SetDeviceToImage(QTransform::fromTranslate(-deviceFrame.left(), -deviceFrame.top()) *
                            QTransform::fromScale(double(width) / deviceFrame.width(), double(height) / deviceFrame.height()));
    TEmfPlayback playback(player, handles);
    in.Seek(headerSize);
    while (in.Remaining() >= 8) {
      std::size_t start = in.Position();
      std::uint32_t type = in.U32LE(), size = in.U32LE();
      if (size < 8) in.Fail("bad record size");
      in.Seek(start);
      TByteReader record(in.Bytes(size), kFormat);
      record.Seek(8);
      if (type == kEof) break;
      player.ChargePoints(1);
      playback.Record(type, record);
    }
  }
  CopyCanvasToBitmap(canvas, bitmap);
  return bitmap;
}

}  // namespace orb
