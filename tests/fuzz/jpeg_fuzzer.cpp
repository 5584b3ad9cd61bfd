// Arbitrary bytes through the JPEG loader: the header read and a full decode
// in both colour modes give a picture or a JpegError, never a crash, a hang
// or a leak.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pictolex/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    pictolex::JpegHeader header;
    try {
        header = pictolex::ReadJpegHeader(bytes);
    } catch (const pictolex::JpegError&) {
        return 0;
    }
    // A forged header may claim a picture of gigabytes; the program only ever
    // decodes its own plates, so the fuzzer skips what it could not allocate.
    if (static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height) > 4'000'000)
        return 0;
    for (const auto mode : {pictolex::ColourMode::Rgb, pictolex::ColourMode::Quantised236}) {
        pictolex::DecodedImage image;
        try {
            pictolex::DecodeJpegInto(bytes, mode, image);
        } catch (const pictolex::JpegError&) {
        }
        const std::size_t perPixel = mode == pictolex::ColourMode::Rgb ? 3 : 1;
        if (!image.pixels.empty() &&
            image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * perPixel)
            std::abort();
        if (mode == pictolex::ColourMode::Quantised236)
            for (const auto index : image.pixels)
                if (index >= image.palette.size())
                    std::abort();
    }
    return 0;
}
