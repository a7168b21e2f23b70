#include "pictures/TiffHandle.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "pictures/PictureError.h"

namespace orb {

// The client procedures through which libtiff reads the bytes in memory.
struct TTiffIo {
  static TTiffHandle& Of(thandle_t handle) { return *static_cast<TTiffHandle*>(handle); }

  static tmsize_t Read(thandle_t handle, void* buffer, tmsize_t size) {
    TTiffHandle& self = Of(handle);
    if (size <= 0 || self.position_ >= self.bytes_.size()) return 0;
    std::uint64_t count = std::min<std::uint64_t>(std::uint64_t(size), self.bytes_.size() - self.position_);
    std::memcpy(buffer, self.bytes_.data() + self.position_, count);
    self.position_ += count;
    return tmsize_t(count);
  }
  static tmsize_t Write(thandle_t, void*, tmsize_t) { return -1; }
  static toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    TTiffHandle& self = Of(handle);
    std::uint64_t base = whence == SEEK_CUR ? self.position_ : whence == SEEK_END ? self.bytes_.size() : 0;
    // toff_t is unsigned: a negative move arrives as a huge value and wraps.
    std::uint64_t target = base + offset;
    if (whence != SEEK_SET && std::int64_t(offset) < 0 && std::uint64_t(-std::int64_t(offset)) > base)
      return toff_t(-1);
    self.position_ = target;
    return target;
  }
  static int Close(thandle_t) { return 0; }
  static toff_t Size(thandle_t handle) { return Of(handle).bytes_.size(); }
  // The bytes are already in memory: libtiff reads strips from them directly
  // and never writes to a mapped file.
  static int Map(thandle_t handle, void** base, toff_t* size) {
    TTiffHandle& self = Of(handle);
    *base = const_cast<std::uint8_t*>(self.bytes_.data());
    *size = self.bytes_.size();
    return 1;
  }
  static void Unmap(thandle_t, void*, toff_t) {}
};

namespace {

// libtiff's own allocations (strip buffers, tables) stay below this however
// large a damaged header claims a strip to be.
constexpr tmsize_t kMaxLibtiffAllocation = tmsize_t(1) << 30;

// Errors of libtiff calls made without a handle (before one exists) would go
// to the process-wide handlers, which print; those are silenced once.
void SilenceGlobalHandlers() {
  static const bool silenced = [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
  }();
  (void)silenced;
}

}  // namespace

int TTiffHandle::OnError(TIFF*, void* self, const char* module, const char* format, va_list args) {
  char text[256];
  std::vsnprintf(text, sizeof text, format, args);
  auto& handle = *static_cast<TTiffHandle*>(self);
  ++handle.errors_;
  handle.lastError_ = module && *module ? std::string(module) + ": " + text : std::string(text);
  return 1;
}

int TTiffHandle::OnWarning(TIFF*, void* self, const char*, const char*, va_list) {
  ++static_cast<TTiffHandle*>(self)->warnings_;
  return 1;
}

TTiffHandle::TTiffHandle(std::span<const std::uint8_t> bytes, const char* format) : bytes_(bytes), format_(format) {
  SilenceGlobalHandlers();
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) Fail("out of memory");
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibtiffAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, this);
  tiff_ = TIFFClientOpenExt(format, "r", this, TTiffIo::Read, TTiffIo::Write, TTiffIo::Seek, TTiffIo::Close,
                            TTiffIo::Size, TTiffIo::Map, TTiffIo::Unmap, options);
  TIFFOpenOptionsFree(options);
  if (!tiff_) Fail("not a readable TIFF file");
}

TTiffHandle::~TTiffHandle() {
  if (tiff_) TIFFClose(tiff_);
}

void TTiffHandle::Fail(const char* what) const {
  std::string message = std::string(format_) + ": " + what;
  if (!lastError_.empty()) message += " (" + lastError_ + ")";
  throw EPictureError(message);
}

}  // namespace orb
