#include "pictures/TiffDecoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "pictures/PictureLimits.h"
#include "pictures/TiffHandle.h"

namespace orb {
namespace {

constexpr int kMaxBitsPerPixel = 128;

// What the first directory says about its pixels, after libtiff's defaults.
struct TLayout {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint16_t Photometric = 0;
  std::uint16_t Bits = 0;
  std::uint16_t Samples = 0;
  std::uint16_t SampleFormat = SAMPLEFORMAT_UINT;
  std::uint16_t Planar = PLANARCONFIG_CONTIG;
  std::uint16_t Orientation = ORIENTATION_TOPLEFT;
  std::uint16_t InkSet = INKSET_CMYK;
  int Channels = 0;         // colour samples per pixel: 1 grey or index, 3 RGB, 4 CMYK
  bool Alpha = false;       // the first extra sample is alpha
  bool Associated = false;  // that alpha is premultiplied into the colours
};

TLayout ReadLayout(const TTiffHandle& handle) {
  TIFF* tiff = handle.Get();
  TLayout layout;
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.Width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.Height))
    handle.Fail("bad dimensions");
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.Bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.Samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &layout.SampleFormat);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.Planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &layout.Orientation);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &layout.InkSet);
  // Colour, alpha and a few more channels of up to 32 bits fit; a damaged
  // header's thousands of samples per pixel would make rows of gigabytes.
  if (layout.Samples == 0 || layout.Bits == 0 || layout.Samples * layout.Bits > kMaxBitsPerPixel)
    handle.Fail("unsupported pixel layout");
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.Photometric))
    layout.Photometric = layout.Samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;

  // JPEG-compressed YCbCr is turned into RGB by libjpeg itself.
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  if (compression == COMPRESSION_JPEG && layout.Photometric == PHOTOMETRIC_YCBCR) {
    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    layout.Photometric = PHOTOMETRIC_RGB;
  }
  switch (layout.Photometric) {
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_YCBCR:
    case PHOTOMETRIC_CIELAB:
      layout.Channels = 3;
      break;
    case PHOTOMETRIC_SEPARATED:
      layout.Channels = 4;
      break;
    default:
      layout.Channels = 1;
  }
  std::uint16_t extraCount = 0;
  std::uint16_t* extraTypes = nullptr;
  if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes) && extraCount > 0 &&
      layout.Samples > layout.Channels) {
    layout.Alpha = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA || extraTypes[0] == EXTRASAMPLE_UNASSALPHA;
    layout.Associated = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
  }
  return layout;
}

// Plain CMYK, no colour profile: R = (255 - C)(255 - K) / 255, rounded.
std::uint8_t InkToLight(unsigned ink, unsigned black) {
  return std::uint8_t(((255 - ink) * (255 - black) + 127) / 255);
}

// CIE L*a*b* (D50, as TIFF stores it) to sRGB: Lab to XYZ, then the sRGB
// matrix adapted to D50 (Bradford), then the sRGB transfer curve.
void LabToRgb(double l, double a, double b, std::uint8_t* rgb) {
  auto inverse = [](double t) { return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29); };
  double fy = (l + 16) / 116;
  double x = 0.9642 * inverse(fy + a / 500);
  double y = inverse(fy);
  double z = 0.8249 * inverse(fy - b / 200);
  const double linear[3] = {3.1338561 * x - 1.6168667 * y - 0.4906146 * z,
                            -0.9787684 * x + 1.9161415 * y + 0.0334540 * z,
                            0.0719453 * x - 0.2289914 * y + 1.4052427 * z};
  for (int c = 0; c < 3; ++c) {
    double v = std::clamp(linear[c], 0.0, 1.0);
    v = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    rgb[c] = std::uint8_t(std::lround(v * 255));
  }
}

// Converts rows of samples as libtiff hands them out (contiguous, 16- and
// 32-bit samples in native byte order, others packed from the high bit) to RGBA.
class TRowConverter {
 public:
  TRowConverter(const TTiffHandle& handle, const TLayout& layout) : layout_(layout) {
    if (layout.Bits < 8)
      for (unsigned v = 0; v < (1u << layout.Bits); ++v) scale_[v] = std::uint8_t(v * 255 / ((1u << layout.Bits) - 1));
    if (layout.Photometric == PHOTOMETRIC_PALETTE) ReadPalette(handle);
  }

  // Whether the rows can be read as they are stored (else libtiff's RGBA
  // interface converts them).
  static bool Handles(const TLayout& layout) {
    bool bitsOk = (layout.Bits >= 1 && layout.Bits <= 16) || layout.Bits == 32;
    bool formatOk = layout.SampleFormat == SAMPLEFORMAT_UINT || layout.SampleFormat == SAMPLEFORMAT_INT;
    bool planarOk = layout.Planar == PLANARCONFIG_CONTIG || layout.Samples == 1;
    bool photometricOk = false;
    switch (layout.Photometric) {
      case PHOTOMETRIC_MINISWHITE:
      case PHOTOMETRIC_MINISBLACK:
        photometricOk = true;
        break;
      case PHOTOMETRIC_PALETTE:
        photometricOk = layout.Bits <= 16 && layout.SampleFormat == SAMPLEFORMAT_UINT;
        break;
      case PHOTOMETRIC_RGB:
        photometricOk = layout.Samples >= 3;
        break;
      case PHOTOMETRIC_CIELAB:
        photometricOk = layout.Samples >= 3 && (layout.Bits == 8 || layout.Bits == 16);
        break;
      case PHOTOMETRIC_SEPARATED:
        photometricOk = layout.InkSet == INKSET_CMYK && layout.Samples >= 4;
        break;
    }
    return bitsOk && formatOk && planarOk && photometricOk;
  }

  void Convert(const std::uint8_t* source, std::uint8_t* target, std::uint32_t count) {
    const TLayout& l = layout_;
    bool plain = l.SampleFormat == SAMPLEFORMAT_UINT && l.Bits == 8 && !l.Associated;
    if (plain && l.Photometric == PHOTOMETRIC_RGB && l.Samples == 3) {
      // Four bytes at a time: R, G, B and the next pixel's R, which the
      // opaque alpha replaces. The last pixel has no byte after it.
      constexpr std::uint32_t kOpaque = std::endian::native == std::endian::little ? 0xFF000000u : 0x000000FFu;
      std::uint32_t x = 0;
      for (; x + 1 < count; ++x, source += 3, target += 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, source, 4);
        pixel |= kOpaque;
        std::memcpy(target, &pixel, 4);
      }
      if (x < count) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
        target[3] = 255;
      }
      return;
    }
    if (plain && l.Photometric == PHOTOMETRIC_RGB && l.Samples == 4 && l.Alpha) {
      std::memcpy(target, source, std::size_t(count) * 4);
      return;
    }
    if (plain && l.Photometric == PHOTOMETRIC_MINISBLACK && l.Samples == 1) {
      for (std::uint32_t x = 0; x < count; ++x, target += 4) {
        target[0] = target[1] = target[2] = source[x];
        target[3] = 255;
      }
      return;
    }
    Unpack(source, std::size_t(count) * l.Samples);
    ConvertUnpacked(target, count);
  }

 private:
  // 16-bit colour maps are the rule; some writers store 8-bit values in them.
  void ReadPalette(const TTiffHandle& handle) {
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(handle.Get(), TIFFTAG_COLORMAP, &red, &green, &blue)) handle.Fail("palette missing");
    std::size_t entries = std::size_t(1) << layout_.Bits;
    bool eightBit = true;
    for (std::size_t i = 0; i < entries; ++i)
      if (red[i] > 255 || green[i] > 255 || blue[i] > 255) eightBit = false;
    int shift = eightBit ? 0 : 8;
    palette_.resize(entries * 3);
    for (std::size_t i = 0; i < entries; ++i) {
      palette_[i * 3] = std::uint8_t(red[i] >> shift);
      palette_[i * 3 + 1] = std::uint8_t(green[i] >> shift);
      palette_[i * 3 + 2] = std::uint8_t(blue[i] >> shift);
    }
  }

  // The row's samples as unsigned numbers of Bits bits. Signed samples keep
  // their bits (-1 reads as the largest value), as other TIFF readers show them.
  void Unpack(const std::uint8_t* source, std::size_t samples) {
    raw_.resize(samples);
    unsigned bits = layout_.Bits;
    if (bits == 8) {
      for (std::size_t i = 0; i < samples; ++i) raw_[i] = source[i];
    } else if (bits == 16) {
      for (std::size_t i = 0; i < samples; ++i) {
        std::uint16_t v;
        std::memcpy(&v, source + i * 2, 2);
        raw_[i] = v;
      }
    } else if (bits == 32) {
      for (std::size_t i = 0; i < samples; ++i) std::memcpy(&raw_[i], source + i * 4, 4);
    } else {
      std::uint64_t bit = 0;
      for (std::size_t i = 0; i < samples; ++i) {
        std::uint32_t v = 0;
        for (unsigned b = 0; b < bits; ++b, ++bit) v = (v << 1) | ((source[bit >> 3] >> (7 - (bit & 7))) & 1);
        raw_[i] = v;
      }
    }
  }

  // A sample scaled to 8 bits: low depths stretch to 0..255, high depths keep their top byte.
  std::uint8_t Scale(std::uint32_t v) const {
    unsigned bits = layout_.Bits;
    return bits < 8 ? scale_[v] : std::uint8_t(v >> (bits - 8));
  }

  void ConvertUnpacked(std::uint8_t* target, std::uint32_t count) const {
    const TLayout& l = layout_;
    const std::uint32_t* s = raw_.data();
    for (std::uint32_t x = 0; x < count; ++x, s += l.Samples, target += 4) {
      std::uint8_t r, g, b;
      switch (l.Photometric) {
        case PHOTOMETRIC_MINISWHITE:
          r = g = b = std::uint8_t(255 - Scale(s[0]));
          break;
        case PHOTOMETRIC_MINISBLACK:
          r = g = b = Scale(s[0]);
          break;
        case PHOTOMETRIC_PALETTE:
          r = palette_[s[0] * 3];
          g = palette_[s[0] * 3 + 1];
          b = palette_[s[0] * 3 + 2];
          break;
        case PHOTOMETRIC_CIELAB: {
          // L* runs over the unsigned range; a* and b* are signed, in units of 1 at 8 bits.
          std::uint8_t rgb[3];
          if (l.Bits == 8)
            LabToRgb(s[0] * 100.0 / 255, std::int8_t(s[1]), std::int8_t(s[2]), rgb);
          else
            LabToRgb(s[0] * 100.0 / 65535, std::int16_t(s[1]) / 256.0, std::int16_t(s[2]) / 256.0, rgb);
          r = rgb[0];
          g = rgb[1];
          b = rgb[2];
          break;
        }
        case PHOTOMETRIC_SEPARATED: {
          std::uint8_t k = Scale(s[3]);
          r = InkToLight(Scale(s[0]), k);
          g = InkToLight(Scale(s[1]), k);
          b = InkToLight(Scale(s[2]), k);
          break;
        }
        default:
          r = Scale(s[0]);
          g = Scale(s[1]);
          b = Scale(s[2]);
      }
      std::uint8_t a = l.Alpha ? Scale(s[l.Channels]) : 255;
      if (l.Associated && a != 0 && a != 255) {
        r = std::uint8_t(std::min(255, r * 255 / a));
        g = std::uint8_t(std::min(255, g * 255 / a));
        b = std::uint8_t(std::min(255, b * 255 / a));
      }
      target[0] = r;
      target[1] = g;
      target[2] = b;
      target[3] = a;
    }
  }

  const TLayout& layout_;
  std::uint8_t scale_[256] = {};
  std::vector<std::uint8_t> palette_;  // 3 bytes per entry
  std::vector<std::uint32_t> raw_;     // one row of unpacked samples
};

void ReadStoredRows(const TTiffHandle& handle, const TLayout& layout, TBitmap& bitmap) {
  TIFF* tiff = handle.Get();
  TRowConverter converter(handle, layout);
  const int errors = handle.Errors();
  if (TIFFIsTiled(tiff)) {
    std::uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
    if (tileWidth == 0 || tileHeight == 0 || std::int64_t(tileWidth) * tileHeight > kMaxPicturePixels)
      handle.Fail("bad tile size");
    tmsize_t tileSize = TIFFTileSize(tiff);
    tmsize_t tileRowSize = TIFFTileRowSize(tiff);
    if (tileSize <= 0 || tileRowSize <= 0) handle.Fail("bad tile size");
    auto tile = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(tileSize));
    for (std::uint32_t y = 0; y < layout.Height; y += tileHeight) {
      for (std::uint32_t x = 0; x < layout.Width; x += tileWidth) {
        if (TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, x, y, 0, 0), tile.get(), tileSize) < 0 ||
            handle.Errors() != errors)
          handle.Fail("bad picture data");
        std::uint32_t rows = std::min(tileHeight, layout.Height - y);
        std::uint32_t columns = std::min(tileWidth, layout.Width - x);
        for (std::uint32_t row = 0; row < rows; ++row)
          converter.Convert(tile.get() + std::size_t(row) * tileRowSize, bitmap.Row(int(y + row)).data() + std::size_t(x) * 4,
                            columns);
      }
    }
    return;
  }
  tmsize_t rowSize = TIFFScanlineSize(tiff);
  if (rowSize <= 0) handle.Fail("bad row size");
  auto row = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(rowSize));
  for (std::uint32_t y = 0; y < layout.Height; ++y) {
    if (TIFFReadScanline(tiff, row.get(), y, 0) < 0 || handle.Errors() != errors) handle.Fail("bad picture data");
    converter.Convert(row.get(), bitmap.Row(int(y)).data(), layout.Width);
  }
}

// libtiff's RGBA interface, for the layouts not read row by row above:
// YCbCr, old-style JPEG, separate planes and the rarer photometrics. Its
// output is premultiplied.
void ReadThroughRgba(const TTiffHandle& handle, TBitmap& bitmap) {
  char message[1024] = "";
  if (!TIFFRGBAImageOK(handle.Get(), message)) handle.Fail("unsupported pixel layout");
  TIFFRGBAImage image;
  if (!TIFFRGBAImageBegin(&image, handle.Get(), 1, message)) handle.Fail("unsupported pixel layout");
  // Rows come out in stored order; turning upright is done for every layout alike.
  image.req_orientation = image.orientation;
  const int errors = handle.Errors();
  int ok = TIFFRGBAImageGet(&image, reinterpret_cast<std::uint32_t*>(bitmap.Pixels.data()), std::uint32_t(bitmap.Width),
                            std::uint32_t(bitmap.Height));
  bool premultiplied = image.alpha != 0;
  TIFFRGBAImageEnd(&image);
  if (!ok || handle.Errors() != errors) handle.Fail("bad picture data");

  std::uint8_t* p = bitmap.Pixels.data();
  for (std::size_t i = 0, n = bitmap.Pixels.size() / 4; i < n; ++i, p += 4) {
    // Each pixel is a 32-bit number R | G << 8 | B << 16 | A << 24.
    if constexpr (std::endian::native == std::endian::big) {
      std::swap(p[0], p[3]);
      std::swap(p[1], p[2]);
    }
    unsigned a = p[3];
    if (premultiplied && a != 0 && a != 255)
      for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::min(255u, p[c] * 255 / a));
  }
}

// Turns the stored raster upright: orientations 2-4 mirror it, 5-8 also
// swap rows and columns.
TBitmap Orient(TBitmap stored, std::uint16_t orientation) {
  if (orientation < 2 || orientation > 8) return stored;
  const std::int64_t w = stored.Width, h = stored.Height;
  bool transpose = orientation >= 5;
  TBitmap upright = AllocateBitmap("TIFF", transpose ? h : w, transpose ? w : h);
  const auto* source = reinterpret_cast<const std::uint32_t*>(stored.Pixels.data());
  auto* target = reinterpret_cast<std::uint32_t*>(upright.Pixels.data());
  const std::int64_t outWidth = upright.Width;
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; ++x) {
      std::int64_t X = 0, Y = 0;
      switch (orientation) {
        case ORIENTATION_TOPRIGHT: X = w - 1 - x, Y = y; break;
        case ORIENTATION_BOTRIGHT: X = w - 1 - x, Y = h - 1 - y; break;
        case ORIENTATION_BOTLEFT: X = x, Y = h - 1 - y; break;
        case ORIENTATION_LEFTTOP: X = y, Y = x; break;
        case ORIENTATION_RIGHTTOP: X = h - 1 - y, Y = x; break;
        case ORIENTATION_RIGHTBOT: X = h - 1 - y, Y = w - 1 - x; break;
        case ORIENTATION_LEFTBOT: X = y, Y = w - 1 - x; break;
      }
      target[Y * outWidth + X] = source[y * w + x];
    }
  }
  return upright;
}

}  // namespace

bool TTiffDecoder::IsTiff(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4) return false;
  bool little = bytes[0] == 'I' && bytes[1] == 'I' && bytes[3] == 0 && (bytes[2] == 42 || bytes[2] == 43);
  bool big = bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && (bytes[3] == 42 || bytes[3] == 43);
  return little || big;
}

TBitmap TTiffDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TTiffHandle handle(bytes, "TIFF");
  TLayout layout = ReadLayout(handle);
  TBitmap bitmap = AllocateBitmap("TIFF", layout.Width, layout.Height);
  if (TRowConverter::Handles(layout))
    ReadStoredRows(handle, layout, bitmap);
  else
    ReadThroughRgba(handle, bitmap);
  return Orient(std::move(bitmap), layout.Orientation);
}

}  // namespace orb
