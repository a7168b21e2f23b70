#include "pictures/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
// jerror.h after jpeglib.h: it needs the types declared there.
#include <jerror.h>

#include "pictures/PictureError.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

// Real progressive files have about ten scans; thousands of scans over a big
// picture only burn time (fuzzed files do this).
constexpr int kMaxScans = 100;
// Working memory besides the output bitmap: the whole-image coefficient
// buffers of a progressive 100-megapixel picture fit in this.
constexpr long kMaxWorkingMemory = 1024L * 1024 * 1024;

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the decoding function, which then throws. Throwing
// straight through libjpeg's C frames would skip its cleanup.
struct TErrorManager {
  jpeg_error_mgr Base;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = "";
  bool SawEndOfFile = false;
};

[[noreturn]] void Abort(j_common_ptr cinfo, const char* text) {
  auto* manager = reinterpret_cast<TErrorManager*>(cinfo->err);
  std::snprintf(manager->Message, sizeof manager->Message, "%s", text);
  std::longjmp(manager->Jump, 1);
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<TErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->Message);
  std::longjmp(manager->Jump, 1);
}

// At the end of the file libjpeg warns and supplies an end marker. That is
// harmless when only the end marker was missing: the Huffman decoder merely
// read ahead. When it needed bits that are not there it warns again
// (JWRN_HIT_MARKER) and would pad the rest of the picture with grey: a
// damaged file, not a picture. Progressive and arithmetic-coded files give
// no such second sign, so for them the end of the file is damage.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* manager = reinterpret_cast<TErrorManager*>(cinfo->err);
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
    if (decompress->progressive_mode || decompress->arith_code) Abort(cinfo, "unexpected end of file");
    manager->SawEndOfFile = true;
  } else if (cinfo->err->msg_code == JWRN_HIT_MARKER && manager->SawEndOfFile) {
    Abort(cinfo, "unexpected end of file");
  }
  // Other warnings (stray bytes between markers, bad metadata) leave the
  // picture intact and are not printed.
}

void OnProgress(j_common_ptr cinfo) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMaxScans) Abort(cinfo, "too many scans");
}

// Owns the libjpeg state so that it is released however decoding ends.
struct TSession {
  jpeg_decompress_struct Info{};
  TErrorManager Errors;
  jpeg_progress_mgr Progress{};
  std::vector<std::uint8_t> CmykRow;  // one row before conversion to RGBA
  std::vector<JSAMPROW> Rows;         // the bitmap's rows, for RGBA output

  TSession() {
    Info.err = jpeg_std_error(&Errors.Base);
    Errors.Base.error_exit = OnError;
    Errors.Base.emit_message = OnMessage;
    Errors.Base.output_message = [](j_common_ptr) {};
  }
  ~TSession() { jpeg_destroy_decompress(&Info); }
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;
};

// Each block of every component costs at least one bit of Huffman code, so a
// file shorter than that cannot hold its picture; it is refused before the
// whole-image buffers of a progressive decode exist. Arithmetic coding has no
// such bound.
bool CanHoldPicture(const jpeg_decompress_struct& info, std::size_t fileSize) {
  if (info.arith_code) return true;
  std::uint64_t fewestBlocks = UINT64_MAX;
  for (int i = 0; i < info.num_components; ++i) {
    const jpeg_component_info& component = info.comp_info[i];
    std::uint64_t blocks = std::uint64_t(component.width_in_blocks) * component.height_in_blocks;
    if (blocks < fewestBlocks) fewestBlocks = blocks;
  }
  return fewestBlocks / 8 <= fileSize;
}

// Adobe writes CMYK inverted (0 = full ink); the plain formula
// R = (255 - C)(255 - K) / 255 then reads R = C' * K' / 255 on the stored values.
void CmykRowToRgba(const std::uint8_t* cmyk, std::uint8_t* rgba, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, rgba += 4) {
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    rgba[0] = std::uint8_t((c * k + 127) / 255);
    rgba[1] = std::uint8_t((m * k + 127) / 255);
    rgba[2] = std::uint8_t((y * k + 127) / 255);
    rgba[3] = 255;
  }
}

// The part of decoding during which libjpeg may jump back here. It returns
// false after such a jump; no object with a destructor lives in this frame.
bool DecodeInto(TSession& session, std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
  jpeg_decompress_struct& info = session.Info;
  if (setjmp(session.Errors.Jump)) return false;

  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kMaxWorkingMemory;
  session.Progress.progress_monitor = OnProgress;
  info.progress = &session.Progress;
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);

  // Checked here, before jpeg_start_decompress allocates its buffers.
  if (std::int64_t(info.image_width) * info.image_height > kMaxPicturePixels)
    Abort(reinterpret_cast<j_common_ptr>(&info), "picture too large");
  if (!CanHoldPicture(info, bytes.size())) Abort(reinterpret_cast<j_common_ptr>(&info), "unexpected end of file");
  bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(&info);

  bitmap = AllocateBitmap("JPEG", info.output_width, info.output_height, TInitialPixels::Unset);
  if (cmyk) {
    session.CmykRow.resize(std::size_t(info.output_width) * 4);
    JSAMPROW rows[1] = {session.CmykRow.data()};
    while (info.output_scanline < info.output_height) {
      int y = int(info.output_scanline);
      jpeg_read_scanlines(&info, rows, 1);
      CmykRowToRgba(session.CmykRow.data(), bitmap.Row(y).data(), bitmap.Width, info.saw_Adobe_marker);
    }
  } else {
    // All row pointers at once: libjpeg fills as many rows per call as its
    // upsampling produces, without staging them.
    session.Rows.resize(info.output_height);
    for (int y = 0; y < bitmap.Height; ++y) session.Rows[std::size_t(y)] = bitmap.Row(y).data();
    while (info.output_scanline < info.output_height)
      jpeg_read_scanlines(&info, session.Rows.data() + info.output_scanline, info.output_height - info.output_scanline);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

TBitmap TJpegDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TSession session;
  TBitmap bitmap;
  if (!DecodeInto(session, bytes, bitmap)) throw EPictureError(std::string("JPEG: ") + session.Errors.Message);
  return bitmap;
}

}  // namespace orb
