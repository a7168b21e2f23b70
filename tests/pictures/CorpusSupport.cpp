#include "tests/pictures/CorpusSupport.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orb::test {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream stream(line);
  std::string cell;
  while (std::getline(stream, cell, '\t')) cells.push_back(cell);
  return cells;
}

}  // namespace

std::filesystem::path PictureCorpusDir() {
  std::filesystem::path dir = std::filesystem::path(ORB_CORPUS_DIR) / "pictures";
  if (const char* over = std::getenv("ORB_CORPUS_DIR")) dir = std::filesystem::path(over) / "pictures";
  return std::filesystem::exists(dir / "MANIFEST.tsv") ? dir : std::filesystem::path();
}

std::vector<TCorpusEntry> CorpusEntries(std::string_view family) {
  std::vector<TCorpusEntry> entries;
  std::filesystem::path dir = PictureCorpusDir();
  if (dir.empty()) return entries;
  std::ifstream manifest(dir / "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);  // header
  while (std::getline(manifest, line)) {
    std::vector<std::string> cells = SplitTabs(line);
    if (cells.size() < 9 || cells[1] != family) continue;
    TCorpusEntry entry;
    entry.File = dir / cells[0];
    entry.Family = cells[1];
    entry.Valid = cells[2] == "yes";
    entry.Notes = cells[8];
    entry.LenientOk = entry.Notes.find("lenient-ok") != std::string::npos;
    entry.HasReference = std::filesystem::exists(entry.File.string() + ".ref.png");
    entries.push_back(std::move(entry));
  }
  return entries;
}

TBitmap ReadReferencePng(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str()))
    throw std::runtime_error("cannot read reference " + file.string());
  image.format = PNG_FORMAT_RGBA;
  TBitmap bitmap;
  bitmap.Width = int(image.width);
  bitmap.Height = int(image.height);
  bitmap.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bitmap.Pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    throw std::runtime_error("cannot decode reference " + file.string());
  }
  return bitmap;
}

int MaxChannelDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.size() != b.Pixels.size()) return -1;
  int worst = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); i += 4) {
    int alphaDiff = std::abs(int(a.Pixels[i + 3]) - int(b.Pixels[i + 3]));
    worst = std::max(worst, alphaDiff);
    if (a.Pixels[i + 3] == 0 && b.Pixels[i + 3] == 0) continue;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a.Pixels[i + c]) - int(b.Pixels[i + c])));
  }
  return worst;
}

}  // namespace orb::test
