#pragma once
// TByteReader: the one way decoders read a file's bytes. Every read is
// bounds-checked and fails with "<format>: unexpected end of file" when the
// file is too short; there is no raw pointer arithmetic into the file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "pictures/PictureError.h"

namespace orb {

class TByteReader {
 public:
  // format names the format in failure messages; bytes are borrowed.
  TByteReader(std::span<const std::uint8_t> bytes, const char* format) : bytes_(bytes), format_(format) {}

  std::size_t Size() const { return bytes_.size(); }
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  const char* Format() const { return format_; }

  // Moves to an absolute offset; an offset past the end fails.
  void Seek(std::size_t offset) {
    if (offset > bytes_.size()) Fail("unexpected end of file");
    pos_ = offset;
  }
  void Skip(std::size_t count) { Take(count); }

  std::uint8_t U8() { return Take(1)[0]; }
  std::uint16_t U16LE() {
    auto b = Take(2);
    return std::uint16_t(b[0] | (b[1] << 8));
  }
  std::uint16_t U16BE() {
    auto b = Take(2);
    return std::uint16_t((b[0] << 8) | b[1]);
  }
  std::uint32_t U32LE() {
    auto b = Take(4);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
  }
  std::uint32_t U32BE() {
    auto b = Take(4);
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
  }
  std::int16_t I16LE() { return std::int16_t(U16LE()); }
  std::int16_t I16BE() { return std::int16_t(U16BE()); }
  std::int32_t I32LE() { return std::int32_t(U32LE()); }
  std::int32_t I32BE() { return std::int32_t(U32BE()); }

  // The next count bytes, borrowed from the file.
  std::span<const std::uint8_t> Bytes(std::size_t count) { return Take(count); }
  // Count bytes at an absolute offset, without moving.
  std::span<const std::uint8_t> BytesAt(std::size_t offset, std::size_t count) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset) Fail("unexpected end of file");
    return bytes_.subspan(offset, count);
  }

  // Throws "<format>: <what>".
  [[noreturn]] void Fail(const char* what) const { throw EPictureError(std::string(format_) + ": " + what); }

 private:
  std::span<const std::uint8_t> Take(std::size_t count) {
    if (count > bytes_.size() - pos_) Fail("unexpected end of file");
    auto part = bytes_.subspan(pos_, count);
    pos_ += count;
    return part;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  const char* format_;
};

}  // namespace orb
