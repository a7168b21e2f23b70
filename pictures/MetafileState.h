#pragma once
// The drawing state that WMF and EMF playback share: the logical objects
// (pens, brushes, fonts) and the device context with its mapping from
// logical coordinates to the output picture. Values and constants follow
// the Windows GDI meaning of the records that set them.

#include <optional>
#include <variant>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QString>
#include <QTransform>

namespace orb {

// Pen styles (low nibble), end caps and joins as the records store them.
enum : int {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenNull = 5,
  kPenInsideFrame = 6,
  kPenStyleMask = 0x0F,
  kPenEndCapMask = 0x0F00,
  kPenEndCapSquare = 0x0100,
  kPenEndCapFlat = 0x0200,
  kPenJoinMask = 0xF000,
  kPenJoinBevel = 0x1000,
  kPenJoinMiter = 0x2000,
};

// Brush styles and hatches.
enum : int { kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3 };

// Mapping modes.
enum : int {
  kMapText = 1,
  kMapLoMetric = 2,
  kMapHiMetric = 3,
  kMapLoEnglish = 4,
  kMapHiEnglish = 5,
  kMapTwips = 6,
  kMapIsotropic = 7,
  kMapAnisotropic = 8,
};

// Text alignment bits.
enum : int {
  kAlignUpdateCp = 1,
  kAlignRight = 2,
  kAlignCenter = 6,
  kAlignBottom = 8,
  kAlignBaseline = 24,
};

enum : int { kBkTransparent = 1, kBkOpaque = 2 };
enum : int { kFillAlternate = 1, kFillWinding = 2 };
enum : int { kRop2CopyPen = 13 };

struct TLogPen {
  int Style = kPenSolid;
  double Width = 0;  // logical units; 0 draws one pixel wide
  QColor Color = Qt::black;
};

struct TLogBrush {
  int Style = kBrushSolid;
  int Hatch = 0;
  QColor Color = Qt::white;
  QImage Pattern;  // for kBrushPattern; empty draws Color solid
};

struct TLogFont {
  double Height = 0;  // logical; negative: character height, positive: cell height
  double Width = 0;   // average character width, 0 for the face's own
  int Escapement = 0; // tenths of a degree, counter-clockwise
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  QString Face;
};

// Adding a rectangle to a region takes time growing with the rectangles
// already in it; regions keep at most this many, so that a large region
// record cannot stall playback.
inline constexpr int kMaxRegionRects = 4096;

// A region in logical (WMF) or device (EMF) units, as a list of rectangles.
struct TLogRegion {
  QRegion Region;
};

// An entry of the object table; monostate stands for objects that draw
// nothing here (palettes, unsupported kinds) but still take a slot.
using TGdiObject = std::variant<std::monostate, TLogPen, TLogBrush, TLogFont, TLogRegion>;

// The device context: everything SaveDC saves and RestoreDC restores.
struct TDeviceContext {
  TLogPen Pen;
  TLogBrush Brush;
  TLogFont Font;
  QColor TextColor = Qt::black;
  QColor BkColor = Qt::white;
  int BkMode = kBkOpaque;
  int TextAlign = 0;
  int PolyFillMode = kFillAlternate;
  int Rop2 = kRop2CopyPen;
  int StretchMode = 1;
  bool ClockwiseArcs = false;
  int MapMode = kMapText;
  QPointF WindowOrg{0, 0};
  QPointF WindowExt{1, 1};
  QPointF ViewportOrg{0, 0};
  QPointF ViewportExt{1, 1};
  QTransform World;
  std::optional<QRegion> Clip;  // in output pixels; none: the whole picture
  QPointF Position;             // the current position, logical
};

}  // namespace orb
