#pragma once
// A small block of bytes, the payload, kept at the very end of a program
// file behind everything its loader reads, and found again. A 12-byte footer
// closes the file: the payload's file position as a signed 32-bit
// little-endian number, the signature "EB1.0" and three reserved zero bytes.
// Appending never removes anything, so a file may hold several trailers one
// behind the other; only the last one counts.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orb {

// The payload of a trailer; it may be empty.
using TExeBuf = std::vector<std::uint8_t>;

// A trailer that cannot be read or written: the file cannot be opened, read
// or written, or its footer is damaged.
class EExeTrailerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest payload read or written; a footer claiming more is damaged.
inline constexpr std::size_t kMaxExeBufSize = 1 << 20;

// Replaces payload with the last trailer's payload when the file ends in a
// footer and leaves it exactly as passed when it does not; a failure leaves
// it as passed too. Reads the footer and the payload only, never the rest of
// the file. Throws EExeTrailerError.
void ReadExeBuf(const std::string& fileName, TExeBuf& payload);
// ReadExeBuf on a stream that holds the whole file.
void ReadExeBuf(std::istream& file, TExeBuf& payload);
// The last trailer's payload, or nullopt when the file ends in no footer,
// for a caller that must tell a missing trailer from an empty one. Throws
// EExeTrailerError as ReadExeBuf does.
std::optional<TExeBuf> FindExeBuf(const std::string& fileName);
std::optional<TExeBuf> FindExeBuf(std::istream& file);

// Appends payload and a footer to a file that exists; the file is never
// created, and what it held is never changed, also when the append fails.
// Throws EExeTrailerError.
void AppendExeBuf(const std::string& fileName, const TExeBuf& payload);

// payload := the text's bytes.
void StrToExeBuf(std::string_view text, TExeBuf& payload);
// text := the payload's bytes, zero bytes included.
void ExeBufToStr(const TExeBuf& payload, std::string& text);

}  // namespace orb
