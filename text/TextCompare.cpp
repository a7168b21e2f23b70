#include "text/TextCompare.h"

#include <string>

#include "text/TextBytes.h"

namespace orb {
namespace {

// Pairs of capital and small letter that lie side by side; capitals on the
// even code points from `first` to `last`, or on the odd ones where `first`
// is odd.
struct TPairedRange {
  char32_t First, Last;
};
constexpr TPairedRange kPairedRanges[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177}, {0x0179, 0x017E},
    {0x03D8, 0x03EF}, {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04C1, 0x04CE}, {0x04D0, 0x052F},
};

// Unicode's simple case folding for the scripts that SameFileName covers.
char32_t FoldCase(char32_t c) {
  if (c < 0x80) return char32_t(AsciiLower(char(c)));
  if ((c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) || (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) ||
      (c >= 0x0410 && c <= 0x042F))
    return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  switch (c) {
    case 0x00B5: return 0x03BC;  // micro sign
    case 0x0178: return 0x00FF;
    case 0x017F: return 's';     // long s
    case 0x0386: return 0x03AC;
    case 0x0388: case 0x0389: case 0x038A: return c + 0x25;
    case 0x038C: return 0x03CC;
    case 0x038E: case 0x038F: return c + 0x3F;
    case 0x03C2: return 0x03C3;  // final sigma
  }
  for (const TPairedRange& range : kPairedRanges)
    if (c >= range.First && c <= range.Last && (c - range.First) % 2 == 0) return c + 1;
  return c;
}

}  // namespace

bool SameFileName(std::string_view a, std::string_view b) {
  const std::string x = TextAsUtf8(a), y = TextAsUtf8(b);
  std::size_t i = 0, j = 0;
  while (i < x.size() && j < y.size()) {
    TCodePoint p = Utf8CodePointAt(x, i), q = Utf8CodePointAt(y, j);
    if (FoldCase(p.Value) != FoldCase(q.Value)) return false;
    i += p.Length;
    j += q.Length;
  }
  return i == x.size() && j == y.size();
}

}  // namespace orb
