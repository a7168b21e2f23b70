#include "exetrailer/ExeModifier_.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>

namespace orb {
namespace {

constexpr std::int64_t kFooterSize = 12;
constexpr std::array<std::uint8_t, 5> kSignature{'E', 'B', '1', '.', '0'};
constexpr std::size_t kSignatureAt = 4;
// The footer keeps the payload's position in 32 signed bits, so a trailer
// can only start within the first 2 GiB of a file.
constexpr std::int64_t kMaxPayloadOffset = std::numeric_limits<std::int32_t>::max();

using TFooterBytes = std::array<std::uint8_t, kFooterSize>;

struct TExeFooter {
  bool Signed = false;  // the signature is there, byte for byte
  std::int64_t PayloadOffset = 0;
};

[[noreturn]] void Fail(const char* what) { throw EExeTrailerError(std::string("Trailer: ") + what); }

TExeFooter DecodeFooter(const TFooterBytes& bytes) {
  std::uint32_t offset = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) | (std::uint32_t(bytes[2]) << 16) |
                         (std::uint32_t(bytes[3]) << 24);
  // Bytes 9 to 11 are reserved and not looked at.
  return {std::equal(kSignature.begin(), kSignature.end(), bytes.begin() + kSignatureAt),
          std::int64_t(std::int32_t(offset))};
}

TFooterBytes EncodeFooter(std::int64_t payloadOffset) {
  TFooterBytes bytes{};
  auto offset = std::uint32_t(payloadOffset);
  for (int i = 0; i < 4; ++i) bytes[std::size_t(i)] = std::uint8_t(offset >> (8 * i));
  std::copy(kSignature.begin(), kSignature.end(), bytes.begin() + kSignatureAt);
  return bytes;
}

void ReadAt(std::istream& file, std::int64_t position, std::span<std::uint8_t> into) {
  file.seekg(std::streamoff(position));
  file.read(reinterpret_cast<char*>(into.data()), std::streamsize(into.size()));
  if (!file || file.gcount() != std::streamsize(into.size())) Fail("read error");
}

}  // namespace

std::optional<TExeBuf> FindExeBuf(std::istream& file) {
  file.seekg(0, std::ios::end);
  std::int64_t size = file.tellg();
  if (!file || size < 0) Fail("read error");
  if (size < kFooterSize) Fail("file too short");
  TFooterBytes footerBytes;
  ReadAt(file, size - kFooterSize, footerBytes);
  TExeFooter footer = DecodeFooter(footerBytes);
  if (!footer.Signed) return std::nullopt;
  std::int64_t payloadEnd = size - kFooterSize;
  if (footer.PayloadOffset < 0) Fail("negative payload offset");
  if (footer.PayloadOffset > payloadEnd) Fail("payload offset beyond the footer");
  // Checked before allocating: a damaged footer must not cost the whole file.
  if (std::uint64_t(payloadEnd - footer.PayloadOffset) > kMaxExeBufSize) Fail("payload too large");
  TExeBuf found(std::size_t(payloadEnd - footer.PayloadOffset));
  ReadAt(file, footer.PayloadOffset, found);
  return found;
}

std::optional<TExeBuf> FindExeBuf(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  // Some systems open a folder for reading; it holds no trailer all the same.
  if (!file || std::filesystem::is_directory(fileName)) throw EExeTrailerError("Cannot open file \"" + fileName + "\"");
  return FindExeBuf(file);
}

void ReadExeBuf(std::istream& file, TExeBuf& payload) {
  if (std::optional<TExeBuf> found = FindExeBuf(file)) payload = std::move(*found);
}

void ReadExeBuf(const std::string& fileName, TExeBuf& payload) {
  if (std::optional<TExeBuf> found = FindExeBuf(fileName)) payload = std::move(*found);
}

void AppendExeBuf(const std::string& fileName, const TExeBuf& payload) {
  if (payload.size() > kMaxExeBufSize) Fail("payload too large");
  // Opening for reading and writing never creates the file.
  std::fstream file(fileName, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) throw EExeTrailerError("Cannot open file \"" + fileName + "\" for writing");
  file.seekp(0, std::ios::end);
  std::int64_t size = file.tellp();
  if (!file || size < 0) Fail("write error");
  if (size > kMaxPayloadOffset) Fail("file too large");
  std::vector<char> trailer(payload.begin(), payload.end());
  TFooterBytes footer = EncodeFooter(size);
  trailer.insert(trailer.end(), footer.begin(), footer.end());
  file.write(trailer.data(), std::streamsize(trailer.size()));
  file.close();
  if (file.fail()) {
    // A payload without its footer would hide the file's earlier trailer,
    // so whatever part of the trailer reached the file is cut off again.
    std::error_code ignored;
    std::filesystem::resize_file(fileName, std::uintmax_t(size), ignored);
    Fail("write error");
  }
}

void StrToExeBuf(std::string_view text, TExeBuf& payload) { payload.assign(text.begin(), text.end()); }

void ExeBufToStr(const TExeBuf& payload, std::string& text) { text.assign(payload.begin(), payload.end()); }

}  // namespace orb
