#include "text/TextBytes.h"

namespace orb {
namespace {

// Windows-1252 code points of the bytes 0x80 to 0x9F; the five undefined
// ones map to the C1 control of the same number, as Windows itself does.
// The other bytes are their Latin-1 code points.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Every Windows-1252 code point lies below U+10000.
void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

TCodePoint Utf8CodePointAt(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead == 0xE0) length = 3, low = 0xA0;
  else if (lead == 0xED) length = 3, high = 0x9F;
  else if (lead >= 0xE1 && lead <= 0xEF) length = 3;
  else if (lead == 0xF0) length = 4, low = 0x90;
  else if (lead == 0xF4) length = 4, high = 0x8F;
  else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
  else return {};
  if (at + length > text.size()) return {};
  if (byte(at + 1) < low || byte(at + 1) > high) return {};
  char32_t value = lead & (0x7F >> length);  // the lead byte's payload bits
  for (std::size_t i = 1; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return {};
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  return {value, length};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = Utf8CodePointAt(text, at).Length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string_view CutToCharacters(std::string_view text, std::size_t size) {
  if (text.size() <= size) return text;
  if (!IsValidUtf8(text)) return text.substr(0, size);
  std::size_t at = 0;
  for (std::size_t count = 0; count < size && at < text.size(); ++count) at += Utf8CodePointAt(text, at).Length;
  return text.substr(0, at);
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte >= 0x80 && byte <= 0x9F ? Cp1252High[byte - 0x80] : byte);
  }
  return out;
}

std::string TextAsUtf8(std::string_view text) {
  return IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text);
}

}  // namespace orb
