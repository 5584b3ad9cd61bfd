// JPEG decoding through libjpeg's decompression interface.
//
// Settings are fixed: full size, RGB output for colour pictures, the library's
// accurate DCT and default upsampling, block smoothing on, no buffered-image
// mode. The quantised mode gives 236 colours with two-pass quantisation and
// Floyd-Steinberg dithering, for displays of 8 bits per pixel or fewer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace pictolex {

// A decoding error of the JPEG library; the message is "JPEG error #N" with
// the library's message number.
class JpegError : public std::runtime_error {
public:
    explicit JpegError(int code);
    int code() const { return m_code; }

private:
    int m_code;
};

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool colour = true;  // false for greyscale
    bool progressive = false;
};

enum class ColourMode {
    Rgb,          // 24 bits per pixel (greyscale pictures give grey RGB)
    Quantised236  // 8-bit indices into a palette of at most 236 colours
};

struct DecodedImage {
    int width = 0;
    int height = 0;
    ColourMode mode = ColourMode::Rgb;
    // Rgb: width * height * 3 bytes. Quantised236: width * height indices.
    std::vector<std::uint8_t> pixels;
    // Quantised236 only: the colours the indices refer to.
    std::vector<std::array<std::uint8_t, 3>> palette;
};

// Reads the header only. Throws JpegError when the header cannot be read
// (no bytes at all give error #42).
JpegHeader ReadJpegHeader(std::span<const std::uint8_t> bytes);

// Decodes the whole picture into `image`, reusing the memory its buffers
// already hold. Bytes that end before the end marker are completed with one,
// so a truncated picture decodes partly without error. Throws JpegError on a
// decoding error; warnings are ignored. When an error comes after the header,
// `image` keeps its size and the rows decoded so far (the rest is white), so a
// caller can still show the part it has; an error in the header leaves `image`
// empty (0 x 0).
void DecodeJpegInto(std::span<const std::uint8_t> bytes, ColourMode mode, DecodedImage& image);

// Convenience form of DecodeJpegInto for callers with no use for a partial
// picture.
DecodedImage DecodeJpeg(std::span<const std::uint8_t> bytes, ColourMode mode);

}  // namespace pictolex
