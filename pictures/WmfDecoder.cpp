#include "pictures/WmfDecoder.h"

#include <cmath>
#include <optional>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/MetafileDib.h"
#include "pictures/MetafilePlayer.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "WMF";
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kMaxObjects = 65535;
// Each input byte may cause this much drawing work (output pixels and
// points), on top of a few passes over the whole picture.
constexpr double kWorkPerByte = 4096;
constexpr double kWorkPerPicturePixel = 16;

// Record functions.
enum : std::uint16_t {
  kEof = 0x0000,
  kSaveDc = 0x001E,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetPolyFillMode = 0x0106,
  kSetStretchBltMode = 0x0107,
  kRestoreDc = 0x0127,
  kSelectClipRegion = 0x012C,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kSetViewportOrg = 0x020D,
  kSetViewportExt = 0x020E,
  kOffsetWindowOrg = 0x020F,
  kOffsetViewportOrg = 0x0211,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kOffsetClipRgn = 0x0220,
  kFillRegion = 0x0228,
  kPaintRegion = 0x012B,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kScaleWindowExt = 0x0410,
  kScaleViewportExt = 0x0412,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kCreateRegion = 0x06FF,
  kArc = 0x0817,
  kPie = 0x081A,
  kChord = 0x0830,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kSetDibToDev = 0x0D33,
  kStretchDib = 0x0F43,
  kCreatePalette = 0x00F7,
};

QColor ReadColor(TByteReader& in) {
  std::uint32_t c = in.U32LE();
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// WMF stores most coordinate pairs y first.
QPointF ReadYx(TByteReader& in) {
  double y = in.I16LE();
  double x = in.I16LE();
  return {x, y};
}

// Rectangles as bottom, right, top, left.
QRectF ReadBrtl(TByteReader& in) {
  double bottom = in.I16LE(), right = in.I16LE(), top = in.I16LE(), left = in.I16LE();
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPolygonF ReadPoints(TByteReader& in, std::size_t count) {
  QPolygonF points;
  points.reserve(qsizetype(count));
  for (std::size_t i = 0; i < count; ++i) {
    double x = in.I16LE();
    double y = in.I16LE();
    points.append(QPointF(x, y));
  }
  return points;
}

// A region object: scans of rectangles sharing a top and bottom.
TLogRegion ReadRegion(TByteReader& in) {
  in.Skip(10);  // next in chain, object type, object count, region size
  std::uint16_t scanCount = in.U16LE();
  in.Skip(10);  // max scan, bounds
  TLogRegion region;
  for (std::uint16_t s = 0; s < scanCount; ++s) {
    std::uint16_t count = in.U16LE();
    std::int16_t top = in.I16LE(), bottom = in.I16LE();
    for (std::uint16_t i = 0; i + 1 < count; i += 2) {
      std::int16_t left = in.I16LE(), right = in.I16LE();
      if (right > left && bottom > top && region.Region.rectCount() < kMaxRegionRects)
        region.Region += QRect(left, top, right - left, bottom - top);
    }
    if (count % 2) in.Skip(2);
    in.Skip(2);  // the count again
  }
  return region;
}

// A pattern brush from a device-dependent bitmap: a Bitmap16 header of 14
// bytes and 18 reserved bytes, then word-aligned rows from the top. A
// monochrome pattern draws its clear bits in the text colour and its set
// bits in the background colour; deeper patterns depend on the recording
// device's palette and are drawn as a mid grey.
TLogBrush ReadPatternBrush(TByteReader& in, const TDeviceContext& dc) {
  constexpr int kMaxPatternSide = 1024;
  TLogBrush brush;
  brush.Style = kBrushPattern;
  brush.Color = Qt::gray;
  in.Skip(2);  // type
  int width = in.I16LE(), height = in.I16LE();
  in.Skip(2);  // width in bytes, recomputed below
  int planes = in.U8(), bitsPerPixel = in.U8();
  in.Skip(4 + 18);
  if (planes != 1 || bitsPerPixel != 1 || width <= 0 || height <= 0 || width > kMaxPatternSide ||
      height > kMaxPatternSide)
    return brush;
  std::size_t stride = std::size_t(((width + 15) >> 4) << 1);
  auto bits = in.Bytes(stride * std::size_t(height));
  QImage pattern(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(pattern.scanLine(y));
    const std::uint8_t* row = bits.data() + stride * std::size_t(y);
    for (int x = 0; x < width; ++x)
      line[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? dc.BkColor.rgb() : dc.TextColor.rgb();
  }
  brush.Pattern = pattern;
  return brush;
}

// Plays the records of one metafile onto a player.
class TWmfPlayback {
 public:
  TWmfPlayback(TMetafilePlayer& player, std::uint16_t objectCount) : player_(player) {
    objects_.resize(std::max<std::size_t>(objectCount, 1));
  }

  void Record(std::uint16_t function, TByteReader& in);

 private:
  void AddObject(TGdiObject object);
  const TGdiObject* Object(std::uint16_t index) const {
    return index < objects_.size() && objects_[index] ? &*objects_[index] : nullptr;
  }
  void Text(TByteReader& in, bool extended);
  void Bitmap(std::uint16_t function, TByteReader& in);

  TMetafilePlayer& player_;
  std::vector<std::optional<TGdiObject>> objects_;
};

// A new object takes the lowest free slot; the table grows past the
// header's count only up to a fixed limit.
void TWmfPlayback::AddObject(TGdiObject object) {
  for (auto& slot : objects_) {
    if (!slot) {
      slot = std::move(object);
      return;
    }
  }
  if (objects_.size() < kMaxObjects) objects_.push_back(std::move(object));
}

void TWmfPlayback::Text(TByteReader& in, bool extended) {
  QPointF at;
  std::uint16_t count = 0, options = 0;
  std::optional<QRectF> rect;
  std::span<const std::uint8_t> bytes;
  if (!extended) {
    count = in.U16LE();
    bytes = in.Bytes(count);
    if (count % 2) in.Skip(1);
    at = ReadYx(in);
  } else {
    at = ReadYx(in);
    count = in.U16LE();
    options = in.U16LE();
    if (options & 0x0006) {
      double left = in.I16LE(), top = in.I16LE(), right = in.I16LE(), bottom = in.I16LE();
      rect = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    bytes = in.Bytes(count);
    if (count % 2 && in.Remaining() > 0) in.Skip(1);
  }
  std::vector<double> dx;
  if (extended && in.Remaining() >= std::size_t(count) * 2) {
    for (std::uint16_t i = 0; i < count; ++i) dx.push_back(in.I16LE());
  }
  player_.Text(at, DecodeWindows1252(bytes), dx, options, rect);
}

void TWmfPlayback::Bitmap(std::uint16_t function, TByteReader& in) {
  std::uint32_t rop = in.U32LE();
  // The variants without a bitmap are one word longer in front of the
  // destination, and then only use the brush.
  bool withBitmap = in.Size() != std::size_t(function >> 8) * 2;
  QRectF source, dest;
  switch (function) {
    case kStretchDib:
    case kDibStretchBlt: {
      if (function == kStretchDib) in.Skip(2);  // colour usage
      double sh = in.I16LE(), sw = in.I16LE(), sy = in.I16LE(), sx = in.I16LE();
      if (!withBitmap) in.Skip(2);
      double dh = in.I16LE(), dw = in.I16LE(), dy = in.I16LE(), dx = in.I16LE();
      source = QRectF(sx, sy, sw, sh);
      dest = QRectF(dx, dy, dw, dh);
      break;
    }
    case kDibBitBlt: {
      double sy = in.I16LE(), sx = in.I16LE();
      if (!withBitmap) in.Skip(2);
      double h = in.I16LE(), w = in.I16LE(), dy = in.I16LE(), dx = in.I16LE();
      source = QRectF(sx, sy, w, h);
      dest = QRectF(dx, dy, w, h);
      break;
    }
    default:
      return;
  }
  if (!withBitmap || in.Remaining() == 0 || player_.Measuring()) {
    player_.Blit(dest, nullptr, source, rop);
    return;
  }
  QImage image = DecodeMetafileDib(kFormat, in.Bytes(in.Remaining()), {});
  // StretchDIBits counts source rows from the bottom of the (bottom-up)
  // bitmap; the blits read it through a device context, from the top.
  if (function == kStretchDib) source.moveTop(image.height() - source.top() - source.height());
  player_.Blit(dest, &image, source, rop);
}

void TWmfPlayback::Record(std::uint16_t function, TByteReader& in) {
  TDeviceContext& dc = player_.Dc();
  switch (function) {
    case kSaveDc: player_.SaveDc(); break;
    case kRestoreDc: player_.RestoreDc(in.I16LE()); break;
    case kSetBkMode: dc.BkMode = in.U16LE(); break;
    case kSetMapMode: player_.SetMapMode(in.U16LE()); break;
    case kSetRop2: dc.Rop2 = in.U16LE(); break;
    case kSetPolyFillMode: dc.PolyFillMode = in.U16LE(); break;
    case kSetStretchBltMode: dc.StretchMode = in.U16LE(); break;
    case kSetTextAlign: dc.TextAlign = in.U16LE(); break;
    case kSetBkColor: dc.BkColor = ReadColor(in); break;
    case kSetTextColor: dc.TextColor = ReadColor(in); break;
    case kSetWindowOrg: player_.SetWindowOrg(ReadYx(in)); break;
    case kSetWindowExt: player_.SetWindowExt(ReadYx(in)); break;
    case kSetViewportOrg: player_.SetViewportOrg(ReadYx(in)); break;
    case kSetViewportExt: player_.SetViewportExt(ReadYx(in)); break;
    case kOffsetWindowOrg: player_.SetWindowOrg(dc.WindowOrg + ReadYx(in)); break;
    case kOffsetViewportOrg: player_.SetViewportOrg(dc.ViewportOrg + ReadYx(in)); break;
    case kScaleWindowExt:
    case kScaleViewportExt: {
      double yDenom = in.I16LE(), yNum = in.I16LE(), xDenom = in.I16LE(), xNum = in.I16LE();
      if (function == kScaleWindowExt) player_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
      else player_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
      break;
    }
    case kExcludeClipRect: player_.ExcludeClipRect(ReadBrtl(in)); break;
    case kIntersectClipRect: player_.IntersectClipRect(ReadBrtl(in)); break;
    case kOffsetClipRgn: player_.OffsetClip(ReadYx(in)); break;
    case kSelectClipRegion: {
      const TGdiObject* object = Object(in.U16LE());
      auto* region = object ? std::get_if<TLogRegion>(object) : nullptr;
      player_.CombineClip(region ? std::optional<QRegion>(region->Region) : std::nullopt, 5, false);
      break;
    }
    case kCreatePenIndirect: {
      TLogPen pen;
      pen.Style = in.U16LE();
      pen.Width = in.I16LE();
      in.Skip(2);
      pen.Color = ReadColor(in);
      AddObject(pen);
      break;
    }
    case kCreateBrushIndirect: {
      TLogBrush brush;
      brush.Style = in.U16LE();
      brush.Color = ReadColor(in);
      brush.Hatch = in.U16LE();
      AddObject(brush);
      break;
    }
    case kCreateFontIndirect: {
      TLogFont font;
      font.Height = in.I16LE();
      font.Width = in.I16LE();
      font.Escapement = in.I16LE();
      in.Skip(2);
      font.Weight = in.I16LE();
      font.Italic = in.U8() != 0;
      font.Underline = in.U8() != 0;
      font.StrikeOut = in.U8() != 0;
      in.Skip(5);
      auto face = in.Bytes(std::min<std::size_t>(in.Remaining(), 32));
      font.Face = DecodeWindows1252(face.first(std::size_t(std::find(face.begin(), face.end(), 0) - face.begin())));
      AddObject(font);
      break;
    }
    case kDibCreatePatternBrush: {
      TLogBrush brush;
      in.Skip(4);  // style, colour usage
      brush.Style = kBrushPattern;
      brush.Color = Qt::gray;
      brush.Pattern = DecodeMetafileDib(kFormat, in.Bytes(in.Remaining()), {});
      AddObject(brush);
      break;
    }
    case kCreatePatternBrush: AddObject(ReadPatternBrush(in, dc)); break;
    case kCreateRegion: AddObject(ReadRegion(in)); break;
    case kCreatePalette: AddObject(std::monostate{}); break;
    case kSelectObject:
      if (const TGdiObject* object = Object(in.U16LE())) player_.Select(*object);
      break;
    case kDeleteObject:
      if (std::uint16_t index = in.U16LE(); index < objects_.size()) objects_[index].reset();
      break;
    case kMoveTo: player_.MoveTo(ReadYx(in)); break;
    case kLineTo: player_.LineTo(ReadYx(in)); break;
    case kPolygon:
    case kPolyline: {
      std::uint16_t count = in.U16LE();
      QPolygonF points = ReadPoints(in, count);
      if (function == kPolygon) player_.Polygon(points);
      else player_.Polyline(points);
      break;
    }
    case kPolyPolygon: {
      std::uint16_t polygonCount = in.U16LE();
      std::vector<std::uint16_t> counts;
      for (std::uint16_t i = 0; i < polygonCount; ++i) counts.push_back(in.U16LE());
      std::vector<QPolygonF> polygons;
      for (std::uint16_t count : counts) polygons.push_back(ReadPoints(in, count));
      player_.PolyPolygon(polygons);
      break;
    }
    case kRectangle: player_.Rectangle(ReadBrtl(in)); break;
    case kEllipse: player_.Ellipse(ReadBrtl(in)); break;
    case kRoundRect: {
      double h = in.I16LE(), w = in.I16LE();
      player_.RoundRect(ReadBrtl(in), QSizeF(w, h));
      break;
    }
    case kArc:
    case kPie:
    case kChord: {
      QPointF end = ReadYx(in), start = ReadYx(in);
      QRectF rect = ReadBrtl(in);
      auto kind = function == kArc ? TMetafilePlayer::TArcKind::Arc
                  : function == kPie ? TMetafilePlayer::TArcKind::Pie
                                     : TMetafilePlayer::TArcKind::Chord;
      player_.Arc(kind, rect, start, end);
      break;
    }
    case kSetPixel: {
      QColor color = ReadColor(in);
      player_.SetPixel(ReadYx(in), color);
      break;
    }
    case kFillRegion:
    case kPaintRegion: {
      const TGdiObject* region = Object(in.U16LE());
      const TGdiObject* brush = function == kFillRegion ? Object(in.U16LE()) : nullptr;
      auto* logRegion = region ? std::get_if<TLogRegion>(region) : nullptr;
      auto* logBrush = brush ? std::get_if<TLogBrush>(brush) : &dc.Brush;
      if (logRegion && logBrush) player_.FillRegion(logRegion->Region, *logBrush, false);
      break;
    }
    case kTextOut: Text(in, false); break;
    case kExtTextOut: Text(in, true); break;
    case kPatBlt: {
      std::uint32_t rop = in.U32LE();
      double h = in.I16LE(), w = in.I16LE();
      QPointF at = ReadYx(in);
      player_.Blit(QRectF(at.x(), at.y(), w, h), nullptr, {}, rop);
      break;
    }
    case kStretchDib:
    case kDibStretchBlt:
    case kDibBitBlt: Bitmap(function, in); break;
    case kSetDibToDev: {
      in.Skip(6);  // colour usage, scan count, start scan
      double sy = in.I16LE(), sx = in.I16LE(), h = in.I16LE(), w = in.I16LE(), dy = in.I16LE(), dx = in.I16LE();
      QImage image = DecodeMetafileDib(kFormat, in.Bytes(in.Remaining()), {});
      QRectF source(sx, image.height() - sy - h, w, h);
      player_.Blit(QRectF(dx, dy, w, h), &image, source, 0x00CC0020);
      break;
    }
    default: break;  // records that do not draw here, and unknown ones
  }
}

struct TWmfLayout {
  std::size_t RecordsStart = 0;
  std::uint16_t ObjectCount = 0;
  std::optional<QRectF> Frame;  // placeable bounding box, logical
  double UnitsPerInch = 0;
};

TWmfLayout ReadLayout(TByteReader& in) {
  TWmfLayout layout;
  if (in.Size() >= kPlaceableSize && in.U32LE() == kPlaceableKey) {
    in.Skip(2);  // handle
    double left = in.I16LE(), top = in.I16LE(), right = in.I16LE(), bottom = in.I16LE();
    layout.UnitsPerInch = in.U16LE();
    if (layout.UnitsPerInch == 0) in.Fail("bad units per inch");
    layout.Frame = QRectF(QPointF(left, top), QPointF(right, bottom));
    in.Skip(6);  // reserved, checksum
    layout.RecordsStart = kPlaceableSize;
  }
  in.Seek(layout.RecordsStart);
  std::uint16_t type = in.U16LE(), headerWords = in.U16LE();
  if ((type != 1 && type != 2) || headerWords != 9) in.Fail("bad header");
  in.Skip(6);  // version, size in words
  layout.ObjectCount = in.U16LE();
  in.Skip(6);  // largest record, unused
  layout.RecordsStart = in.Position();
  return layout;
}

// Some writers state a window origin that puts the drawing off the frame by
// a constant offset: it leaves a gap at one edge and runs past the opposite
// one, or misses the frame altogether. Such a drawing is fitted into the
// picture, centred and keeping its proportions, as other renderers show
// these files. Drawings within the frame, or overlapping it on all sides
// (a background larger than the picture), stay as they are mapped.
QTransform RefitOffsetDrawing(const QRectF& drawn, double width, double height) {
  if (drawn.isEmpty()) return QTransform();
  double slackX = width * 0.05, slackY = height * 0.05;
  auto offset = [](double low, double high, double size, double slack) {
    return (low > slack && high > size + slack) || (high < size - slack && low < -slack);
  };
  bool misplaced = offset(drawn.left(), drawn.right(), width, slackX) ||
                   offset(drawn.top(), drawn.bottom(), height, slackY) ||
                   !drawn.intersects(QRectF(0, 0, width, height));
  if (!misplaced) return QTransform();
  double scale = std::min(width / drawn.width(), height / drawn.height());
  return QTransform::fromTranslate(-drawn.center().x(), -drawn.center().y()) * QTransform::fromScale(scale, scale) *
         QTransform::fromTranslate(width / 2, height / 2);
}

// Calls visit(function, parameters) for each record up to the end record.
template <typename TVisit>
void ForEachRecord(TByteReader& in, std::size_t start, TVisit&& visit) {
  in.Seek(start);
  while (in.Remaining() >= 6) {
    std::uint32_t words = in.U32LE();
    std::uint16_t function = in.U16LE();
    if (function == kEof) break;
    if (words < 3) in.Fail("bad record size");
    TByteReader params(in.Bytes((std::size_t(words) - 3) * 2), kFormat);
    visit(function, params);
  }
}

}  // namespace

TBitmap TWmfDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TWmfLayout layout = ReadLayout(in);
  double budgetBase = kWorkPerByte * double(bytes.size());
  constexpr double kPixelsPerMm = 96 / 25.4;

  auto play = [&](TMetafilePlayer& player) {
    TWmfPlayback playback(player, layout.ObjectCount);
    ForEachRecord(in, layout.RecordsStart, [&](std::uint16_t function, TByteReader& params) {
      player.ChargePoints(1);
      playback.Record(function, params);
    });
  };

  // The frame in logical units and the picture size in pixels.
  QRectF frame;
  std::int64_t width = 0, height = 0;
  QTransform deviceToImage;
  bool mapFrame = true;
  if (layout.Frame) {
    frame = *layout.Frame;
    width = std::llround(std::abs(frame.width()) * 96 / layout.UnitsPerInch);
    height = std::llround(std::abs(frame.height()) * 96 / layout.UnitsPerInch);
  } else {
    std::optional<QPointF> org, ext;
    ForEachRecord(in, layout.RecordsStart, [&](std::uint16_t function, TByteReader& params) {
      if (function == kSetWindowOrg && !org) org = ReadYx(params);
      if (function == kSetWindowExt && !ext) ext = ReadYx(params);
    });
    if (ext && ext->x() != 0 && ext->y() != 0) {
      frame = QRectF(org.value_or(QPointF()), QSizeF(ext->x(), ext->y()));
      width = std::llround(std::abs(ext->x()));
      height = std::llround(std::abs(ext->y()));
    } else {
      // No stated size: measure what the records draw in device units.
      TMetafilePlayer measure(kFormat, nullptr, kPixelsPerMm, budgetBase);
      play(measure);
      QRectF drawn = measure.DrawnBounds();
      if (drawn.isEmpty()) in.Fail("nothing to draw");
      width = std::int64_t(std::ceil(drawn.right()) - std::floor(drawn.left()));
      height = std::int64_t(std::ceil(drawn.bottom()) - std::floor(drawn.top()));
      deviceToImage = QTransform::fromTranslate(-std::floor(drawn.left()), -std::floor(drawn.top()));
      mapFrame = false;
    }
  }

  TBitmap bitmap = AllocateBitmap(kFormat, width, height);
  // Played as into a device context that maps the frame onto the picture.
  auto mapToFrame = [&](TMetafilePlayer& player) {
    player.SetMapMode(kMapAnisotropic);
    player.SetWindowOrg(frame.topLeft());
    player.SetWindowExt(QPointF(frame.width(), frame.height()));
    player.SetViewportExt(QPointF(double(width), double(height)));
  };
  if (mapFrame) {
    TMetafilePlayer measure(kFormat, nullptr, kPixelsPerMm, budgetBase);
    mapToFrame(measure);
    play(measure);
    deviceToImage = RefitOffsetDrawing(measure.DrawnBounds(), double(width), double(height));
  }
  QImage canvas = MakeMetafileCanvas(bitmap);
  if (canvas.isNull()) in.Fail("picture too large");
  {
    double budget = budgetBase + kWorkPerPicturePixel * double(width) * double(height);
    TMetafilePlayer player(kFormat, &canvas, kPixelsPerMm, budget);
    if (mapFrame) mapToFrame(player);
    player.SetDeviceToImage(deviceToImage);
    play(player);
  }
  CopyCanvasToBitmap(canvas, bitmap);
  return bitmap;
}

}  // namespace orb
