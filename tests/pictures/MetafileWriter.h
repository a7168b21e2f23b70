#pragma once
// Writers of small WMF and EMF files for tests and benchmarks, following the
// published record layouts byte by byte, so that the decoders are checked
// against the format rather than against themselves.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <vector>

namespace orb::test {

inline void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v & 0xFF));
  out.push_back(std::uint8_t((v >> 8) & 0xFF));
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
inline void PutF32(std::vector<std::uint8_t>& out, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  PutU32(out, bits);
}

// A COLORREF: red in the low byte.
constexpr std::uint32_t ColorRef(int r, int g, int b) { return std::uint32_t(r | (g << 8) | (b << 16)); }

// A bottom-up BITMAPINFOHEADER DIB; rows are given top-down as packed pixel
// bytes (already padded to four bytes), palette as COLORREFs.
inline std::vector<std::uint8_t> MakeDib(int width, int height, int bitCount, std::vector<std::uint32_t> palette,
                                         const std::vector<std::vector<std::uint8_t>>& rowsTopDown) {
  std::vector<std::uint8_t> dib;
  PutU32(dib, 40);
  PutU32(dib, std::uint32_t(width));
  PutU32(dib, std::uint32_t(height));
  PutU16(dib, 1);
  PutU16(dib, std::uint32_t(bitCount));
  PutU32(dib, 0);  // BI_RGB
  PutU32(dib, 0);
  PutU32(dib, 0);
  PutU32(dib, 0);
  PutU32(dib, std::uint32_t(palette.size()));
  PutU32(dib, 0);
  for (std::uint32_t c : palette) {  // RGBQUAD: blue, green, red, reserved
    dib.push_back(std::uint8_t(c >> 16));
    dib.push_back(std::uint8_t(c >> 8));
    dib.push_back(std::uint8_t(c));
    dib.push_back(0);
  }
  for (auto row = rowsTopDown.rbegin(); row != rowsTopDown.rend(); ++row) dib.insert(dib.end(), row->begin(), row->end());
  return dib;
}

// WMF: records of 16-bit words after a standard header, with or without
// the placeable header in front.
class TWmfWriter {
 public:
  // A record of parameter words (negative values as two's complement).
  TWmfWriter& Record(std::uint16_t function, std::initializer_list<int> words) {
    std::vector<std::uint8_t> params;
    for (int w : words) PutU16(params, std::uint32_t(w) & 0xFFFF);
    return RecordBytes(function, params);
  }
  // A record of raw parameter bytes (padded to a whole word).
  TWmfWriter& RecordBytes(std::uint16_t function, std::vector<std::uint8_t> params) {
    if (params.size() % 2) params.push_back(0);
    PutU32(records_, std::uint32_t(3 + params.size() / 2));
    PutU16(records_, function);
    records_.insert(records_.end(), params.begin(), params.end());
    maxRecord_ = std::max<std::uint32_t>(maxRecord_, std::uint32_t(3 + params.size() / 2));
    return *this;
  }
  // Common records.
  TWmfWriter& SetWindowOrg(int x, int y) { return Record(0x020B, {y, x}); }
  TWmfWriter& SetWindowExt(int x, int y) { return Record(0x020C, {y, x}); }
  TWmfWriter& SetMapMode(int mode) { return Record(0x0103, {mode}); }
  TWmfWriter& CreatePen(int style, int width, std::uint32_t color) {
    return Record(0x02FA, {style, width, 0, int(color & 0xFFFF), int(color >> 16)});
  }
  TWmfWriter& CreateBrush(int style, std::uint32_t color, int hatch = 0) {
    return Record(0x02FC, {style, int(color & 0xFFFF), int(color >> 16), hatch});
  }
  TWmfWriter& SelectObject(int index) { return Record(0x012D, {index}); }
  TWmfWriter& DeleteObject(int index) { return Record(0x01F0, {index}); }
  TWmfWriter& Rectangle(int left, int top, int right, int bottom) {
    return Record(0x041B, {bottom, right, top, left});
  }
  TWmfWriter& MoveTo(int x, int y) { return Record(0x0214, {y, x}); }
  TWmfWriter& LineTo(int x, int y) { return Record(0x0213, {y, x}); }
  TWmfWriter& Polygon(std::initializer_list<int> xy) {
    std::vector<std::uint8_t> params;
    PutU16(params, std::uint32_t(xy.size() / 2));
    for (int v : xy) PutU16(params, std::uint32_t(v) & 0xFFFF);
    return RecordBytes(0x0324, params);
  }

  // The file: placeable header (bounding box, units per inch) if given,
  // standard header, the records and the end record.
  std::vector<std::uint8_t> Finish(std::optional<std::vector<int>> placeable, int unitsPerInch = 1440,
                                   int objectCount = 16) const {
    std::vector<std::uint8_t> file;
    if (placeable) {
      std::vector<std::uint8_t> head;
      PutU32(head, 0x9AC6CDD7);
      PutU16(head, 0);
      for (int v : *placeable) PutU16(head, std::uint32_t(v) & 0xFFFF);
      PutU16(head, std::uint32_t(unitsPerInch));
      PutU32(head, 0);
      std::uint16_t checksum = 0;
      for (std::size_t i = 0; i < head.size(); i += 2) checksum ^= std::uint16_t(head[i] | (head[i + 1] << 8));
      PutU16(head, checksum);
      file = head;
    }
    std::size_t words = 9 + records_.size() / 2 + 3;
    PutU16(file, 1);  // in memory
    PutU16(file, 9);
    PutU16(file, 0x0300);
    PutU32(file, std::uint32_t(words));
    PutU16(file, std::uint32_t(objectCount));
    PutU32(file, maxRecord_);
    PutU16(file, 0);
    file.insert(file.end(), records_.begin(), records_.end());
    PutU32(file, 3);
    PutU16(file, 0);
    return file;
  }

 private:
  std::vector<std::uint8_t> records_;
  std::uint32_t maxRecord_ = 3;
};

// EMF: 32-bit records after an ENHMETAHEADER of 88 bytes.
class TEmfWriter {
 public:
  TEmfWriter& Record(std::uint32_t type, std::initializer_list<std::int64_t> dwords) {
    std::vector<std::uint8_t> params;
    for (std::int64_t v : dwords) PutU32(params, std::uint32_t(v));
    return RecordBytes(type, params);
  }
  TEmfWriter& RecordBytes(std::uint32_t type, std::vector<std::uint8_t> params) {
    while (params.size() % 4) params.push_back(0);
    PutU32(records_, type);
    PutU32(records_, std::uint32_t(8 + params.size()));
    records_.insert(records_.end(), params.begin(), params.end());
    ++count_;
    return *this;
  }
  // The offset the next record's parameters start at, within that record.
  static constexpr std::uint32_t kParamsOffset = 8;

  // The file for a reference device of devicePixels over millimetres, and
  // a frame in hundredths of a millimetre.
  std::vector<std::uint8_t> Finish(std::vector<int> frame, int devicePixels = 960, int millimetres = 254,
                                   int handles = 16) const {
    std::vector<std::uint8_t> file;
    PutU32(file, 1);
    PutU32(file, 88);
    for (int i = 0; i < 4; ++i) PutU32(file, 0);  // bounds
    for (int v : frame) PutU32(file, std::uint32_t(v));
    PutU32(file, 0x464D4520);
    PutU32(file, 0x10000);
    PutU32(file, std::uint32_t(88 + records_.size() + 20));
    PutU32(file, count_ + 2);
    PutU16(file, std::uint32_t(handles));
    PutU16(file, 0);
    PutU32(file, 0);
    PutU32(file, 0);
    PutU32(file, 0);
    PutU32(file, std::uint32_t(devicePixels));
    PutU32(file, std::uint32_t(devicePixels));
    PutU32(file, std::uint32_t(millimetres));
    PutU32(file, std::uint32_t(millimetres));
    file.insert(file.end(), records_.begin(), records_.end());
    PutU32(file, 14);  // EOF: no palette
    PutU32(file, 20);
    PutU32(file, 0);
    PutU32(file, 16);
    PutU32(file, 20);
    return file;
  }

 private:
  std::vector<std::uint8_t> records_;
  std::uint32_t count_ = 0;
};

}  // namespace orb::test
