#pragma once
// Helpers shared by the tests of the decoders built on libjpeg-turbo, libpng
// and libtiff: file bytes, failure messages, the corpus as test parameters,
// and a small TIFF writer that follows the TIFF 6.0 layout byte by byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/PictureError.h"
#include "tests/pictures/CorpusSupport.h"

namespace orb::test {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<TCorpusEntry> CorpusEntriesWhere(std::string_view family, bool valid) {
  std::vector<TCorpusEntry> entries = CorpusEntries(family);
  std::erase_if(entries, [&](const TCorpusEntry& entry) { return entry.Valid != valid; });
  return entries;
}

// A test name from the corpus file's name: letters and digits only.
inline std::string CorpusTestName(const testing::TestParamInfo<TCorpusEntry>& info) {
  std::string name = info.param.File.filename().string();
  std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  return name + "_" + std::to_string(info.index);
}

inline TBitmap FlippedVertically(const TBitmap& bitmap) {
  TBitmap flipped = bitmap;
  for (int y = 0; y < bitmap.Height; ++y)
    std::ranges::copy(bitmap.Row(y), flipped.Row(bitmap.Height - 1 - y).begin());
  return flipped;
}

// One field of a TIFF directory: SHORT (3) or LONG (4) values.
struct TTiffField {
  std::uint16_t Tag;
  std::uint16_t Type;
  std::vector<std::uint32_t> Values;
};

// A little-endian TIFF file of one uncompressed strip holding pixels, with
// the given fields besides width, length and the strip's placement.
inline std::vector<std::uint8_t> WriteTiff(std::uint32_t width, std::uint32_t height, std::vector<TTiffField> fields,
                                           const std::vector<std::uint8_t>& pixels) {
  fields.push_back({256, 4, {width}});
  fields.push_back({257, 4, {height}});
  fields.push_back({273, 4, {0}});  // StripOffsets, set below
  fields.push_back({278, 4, {height}});
  fields.push_back({279, 4, {std::uint32_t(pixels.size())}});
  std::ranges::sort(fields, {}, &TTiffField::Tag);

  std::vector<std::uint8_t> file{'I', 'I', 42, 0, 8, 0, 0, 0};
  auto put16 = [](std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
  };
  auto put32 = [&](std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
  };
  const std::uint32_t extraStart = 8 + 2 + std::uint32_t(fields.size()) * 12 + 4;
  std::vector<std::uint8_t> extra;  // values too long for their entry
  std::uint32_t stripOffset = extraStart;
  for (const TTiffField& field : fields)
    if (field.Values.size() * (field.Type == 3 ? 2 : 4) > 4) stripOffset += std::uint32_t(field.Values.size()) * (field.Type == 3 ? 2 : 4);
  put16(file, std::uint32_t(fields.size()));
  for (TTiffField& field : fields) {
    if (field.Tag == 273) field.Values = {stripOffset};
    put16(file, field.Tag);
    put16(file, field.Type);
    put32(file, std::uint32_t(field.Values.size()));
    std::vector<std::uint8_t> values;
    for (std::uint32_t v : field.Values) field.Type == 3 ? put16(values, v) : put32(values, v);
    if (values.size() <= 4) {
      values.resize(4, 0);
      file.insert(file.end(), values.begin(), values.end());
    } else {
      put32(file, extraStart + std::uint32_t(extra.size()));
      extra.insert(extra.end(), values.begin(), values.end());
    }
  }
  put32(file, 0);
  file.insert(file.end(), extra.begin(), extra.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

}  // namespace orb::test
