// Synthetic pictures for the benchmarks: photograph-like pixels, and a JPEG
// file of them written with libjpeg.
#pragma once

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace orb::bench {

using TBytes = std::vector<std::uint8_t>;

// A photograph-like RGB(A) picture: smooth shapes plus a little noise, so
// that the encoders compress it as they would a real picture.
inline std::vector<std::uint8_t> MakePixels(int width, int height, int channels) {
  std::vector<std::uint8_t> pixels(std::size_t(width) * height * channels);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-6, 6);
  std::uint8_t* p = pixels.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double base = 128 + 60 * std::sin(x / 37.0) * std::cos(y / 53.0) + 40 * std::sin((x + y) / 17.0);
      for (int c = 0; c < channels; ++c) {
        int v = c == 3 ? 255 - (x * 255 / width) / 2 : int(base) + c * 20 - 20 + noise(random);
        *p++ = std::uint8_t(std::clamp(v, 0, 255));
      }
    }
  }
  return pixels;
}

inline TBytes WriteJpeg(int width, int height) {
  std::vector<std::uint8_t> pixels = MakePixels(width, height, 3);
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = pixels.data() + std::size_t(info.next_scanline) * width * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  TBytes file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

}  // namespace orb::bench
