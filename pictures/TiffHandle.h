#pragma once
// TTiffHandle: a libtiff handle over a file's bytes in memory, shared by the
// TIFF and fax decoders. libtiff's errors and warnings are collected here
// instead of being printed, so that failures carry libtiff's own words.

#include <cstdint>
#include <span>
#include <string>

#include <tiffio.h>

namespace orb {

class TTiffHandle {
 public:
  // Opens the bytes (borrowed; they must outlive the handle) and reads the
  // first directory. format names the format in failure messages. Throws
  // EPictureError when libtiff cannot open them.
  TTiffHandle(std::span<const std::uint8_t> bytes, const char* format);
  ~TTiffHandle();
  TTiffHandle(const TTiffHandle&) = delete;
  TTiffHandle& operator=(const TTiffHandle&) = delete;

  TIFF* Get() const { return tiff_; }
  // How many errors and warnings libtiff has given so far. Its decoders
  // report some damage as an error yet go on; callers compare the counts.
  int Errors() const { return errors_; }
  int Warnings() const { return warnings_; }
  // Throws "<format>: <what>", followed by libtiff's last error when it gave one.
  [[noreturn]] void Fail(const char* what) const;

 private:
  static int OnError(TIFF*, void* self, const char* module, const char* format, va_list args);
  static int OnWarning(TIFF*, void* self, const char* module, const char* format, va_list args);

  std::span<const std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
  const char* format_;
  std::string lastError_;
  int errors_ = 0;
  int warnings_ = 0;
  TIFF* tiff_ = nullptr;

  friend struct TTiffIo;
};

}  // namespace orb
