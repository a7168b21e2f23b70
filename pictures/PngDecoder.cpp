#include "pictures/PngDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

#include "pictures/ByteReader.h"
#include "pictures/PictureError.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

// libpng reports fatal errors through a function that must not return: it
// jumps back to the decoding function, which then throws. Throwing straight
// through libpng's C frames would skip its cleanup.
struct TSession {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  TByteReader Input;
  jmp_buf Jump;
  char Message[200] = "";
  std::vector<png_bytep> Rows;  // row pointers into the bitmap, for interlaced pictures

  explicit TSession(std::span<const std::uint8_t> bytes) : Input(bytes, "PNG") {}
  ~TSession() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;
};

[[noreturn]] void Abort(png_structp png, const char* text) {
  auto* session = static_cast<TSession*>(png_get_error_ptr(png));
  std::snprintf(session->Message, sizeof session->Message, "%s", text);
  std::longjmp(session->Jump, 1);
}

[[noreturn]] void OnError(png_structp png, png_const_charp text) { Abort(png, text); }
// Warnings (a damaged ancillary chunk, gamma details) leave the picture intact.
void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep data, png_size_t length) {
  auto* session = static_cast<TSession*>(png_get_io_ptr(png));
  if (length > session->Input.Remaining()) Abort(png, "unexpected end of file");
  std::memcpy(data, session->Input.Bytes(length).data(), length);
}

// The part of decoding during which libpng may jump back here. It returns
// false after such a jump; no object with a destructor lives in this frame.
bool DecodeInto(TSession& session, TBitmap& bitmap) {
  if (setjmp(session.Jump)) return false;
  session.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
  if (!session.Png) {
    std::snprintf(session.Message, sizeof session.Message, "out of memory");
    return false;
  }
  png_structp png = session.Png;
  session.Info = png_create_info_struct(png);
  if (!session.Info) Abort(png, "out of memory");
  png_set_read_fn(png, &session, OnRead);
  // Each side on its own may reach the cap; the product is checked below,
  // before anything of the picture's size exists.
  png_set_user_limits(png, kMaxPicturePixels, kMaxPicturePixels);
  // Every IDAT byte is already checked by its chunk's CRC; zlib's second
  // checksum over the inflated data costs time and finds nothing more.
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);

  png_read_info(png, session.Info);
  png_uint_32 width = png_get_image_width(png, session.Info);
  png_uint_32 height = png_get_image_height(png, session.Info);
  if (std::int64_t(width) * height > kMaxPicturePixels) Abort(png, "picture too large");

  // Everything becomes 8-bit RGBA: palettes and low bit depths expand, tRNS
  // becomes alpha, 16-bit samples keep their high byte, grey becomes RGB.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, session.Info);
  if (png_get_rowbytes(png, session.Info) != std::size_t(width) * 4) Abort(png, "unsupported pixel layout");

  bitmap = AllocateBitmap("PNG", width, height, TInitialPixels::Unset);
  if (passes == 1) {
    for (int y = 0; y < bitmap.Height; ++y) png_read_row(png, bitmap.Row(y).data(), nullptr);
  } else {
    session.Rows.resize(height);
    for (int y = 0; y < bitmap.Height; ++y) session.Rows[y] = bitmap.Row(y).data();
    png_read_image(png, session.Rows.data());
  }
  // Reads the chunks after the picture data, so that a file cut short after
  // its last IDAT, or with a bad checksum there, fails too.
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

TBitmap TPngDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TSession session(bytes);
  TBitmap bitmap;
  if (!DecodeInto(session, bitmap)) throw EPictureError(std::string("PNG: ") + session.Message);
  return bitmap;
}

}  // namespace orb
