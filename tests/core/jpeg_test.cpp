#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "pictolex/jpeg.h"

namespace pictolex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string PicturePath(const std::string& name)
{
    return std::string(PICTOLEX_TEST_PICTURES) + "/" + name;
}

Bytes ReadPicture(const std::string& name)
{
    std::ifstream file(PicturePath(name), std::ios::binary);
    EXPECT_TRUE(file) << PicturePath(name);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Pnm {
    int width = 0;
    int height = 0;
    Bytes rgb;  // greyscale output is widened to grey RGB
};

// Runs djpeg on a picture and reads the PPM or PGM it writes.
Pnm RunDjpeg(const std::string& name, const std::string& options)
{
    const std::string command = std::string(PICTOLEX_DJPEG) + " " + options + " '" + PicturePath(name) + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    Pnm pnm;
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return pnm;
    }
    char magic[3] = {};
    int maxValue = 0;
    if (std::fscanf(pipe.get(), "%2s %d %d %d", magic, &pnm.width, &pnm.height, &maxValue) != 4 ||
        std::fgetc(pipe.get()) == EOF || maxValue != 255) {
        ADD_FAILURE() << "unreadable output of " << command;
        return pnm;
    }
    const bool grey = std::string(magic) == "P5";
    const std::size_t pixels = static_cast<std::size_t>(pnm.width) * static_cast<std::size_t>(pnm.height);
    Bytes raw(pixels * (grey ? 1 : 3));
    EXPECT_EQ(std::fread(raw.data(), 1, raw.size(), pipe.get()), raw.size()) << command;
    if (!grey) {
        pnm.rgb = std::move(raw);
        return pnm;
    }
    for (std::uint8_t value : raw) {
        pnm.rgb.insert(pnm.rgb.end(), {value, value, value});
    }
    return pnm;
}

Bytes ExpandPalette(const DecodedImage& image)
{
    Bytes rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (std::uint8_t index : image.pixels) {
        const auto& colour = image.palette.at(index);
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    }
    return rgb;
}

struct PictureCase {
    const char* name;
    const char* file;
    int width;
    int height;
    bool colour;
    bool progressive;
};

void PrintTo(const PictureCase& c, std::ostream* out)
{
    *out << c.name;
}

class JpegPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(JpegPictureTest, headerDescribesThePicture)
{
    const JpegHeader header = ReadJpegHeader(ReadPicture(GetParam().file));
    EXPECT_EQ(header.width, GetParam().width);
    EXPECT_EQ(header.height, GetParam().height);
    EXPECT_EQ(header.colour, GetParam().colour);
    EXPECT_EQ(header.progressive, GetParam().progressive);
}

TEST_P(JpegPictureTest, rgbPixelsEqualDjpegOutput)
{
    const DecodedImage image = DecodeJpeg(ReadPicture(GetParam().file), ColourMode::Rgb);
    const Pnm expected = RunDjpeg(GetParam().file, "");
    EXPECT_EQ(image.mode, ColourMode::Rgb);
    EXPECT_EQ(image.width, GetParam().width);
    EXPECT_EQ(image.height, GetParam().height);
    EXPECT_EQ(expected.width, image.width);
    EXPECT_EQ(expected.height, image.height);
    EXPECT_TRUE(image.palette.empty());
    EXPECT_TRUE(image.pixels == expected.rgb) << "decoded pixels differ from djpeg's";
}

TEST_P(JpegPictureTest, quantisedPixelsEqualDjpegOutputWith236Colours)
{
    const DecodedImage image = DecodeJpeg(ReadPicture(GetParam().file), ColourMode::Quantised236);
    const Pnm expected = RunDjpeg(GetParam().file, "-colors 236");
    EXPECT_EQ(image.mode, ColourMode::Quantised236);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(GetParam().width * GetParam().height));
    ASSERT_FALSE(image.palette.empty());
    EXPECT_LE(image.palette.size(), 236u);
    const std::uint8_t highest = *std::ranges::max_element(image.pixels);
    ASSERT_LT(highest, image.palette.size());
    EXPECT_TRUE(ExpandPalette(image) == expected.rgb) << "quantised pixels differ from djpeg's";
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegPictureTest,
                         ::testing::Values(PictureCase{"baseline", "baseline.jpg", 203, 157, true, false},
                                           PictureCase{"progressive", "progressive.jpg", 181, 139, true, true},
                                           PictureCase{"greyscale", "grey.jpg", 97, 61, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Jpeg, truncatedPictureDecodesPartlyWithoutError)
{
    for (const char* file : {"baseline.jpg", "progressive.jpg"}) {
        const Bytes whole = ReadPicture(file);
        const JpegHeader header = ReadJpegHeader(whole);
        for (std::size_t keep : {whole.size() / 2, whole.size() - 2, std::size_t{700}}) {
            const std::span<const std::uint8_t> part(whole.data(), keep);
            DecodedImage image;
            ASSERT_NO_THROW(image = DecodeJpeg(part, ColourMode::Rgb)) << file << " cut at " << keep;
            EXPECT_EQ(image.width, header.width);
            EXPECT_EQ(image.height, header.height);
            EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(header.width * header.height * 3));
            ASSERT_NO_THROW(DecodeJpeg(part, ColourMode::Quantised236)) << file << " cut at " << keep;
        }
    }
}

TEST(Jpeg, noBytesGiveError42)
{
    const std::span<const std::uint8_t> none;
    for (auto attempt : {+[](std::span<const std::uint8_t> b) { ReadJpegHeader(b); },
                         +[](std::span<const std::uint8_t> b) { DecodeJpeg(b, ColourMode::Rgb); },
                         +[](std::span<const std::uint8_t> b) { DecodeJpeg(b, ColourMode::Quantised236); }}) {
        try {
            attempt(none);
            ADD_FAILURE() << "no error for empty bytes";
        } catch (const JpegError& error) {
            EXPECT_EQ(error.code(), 42);
            EXPECT_STREQ(error.what(), "JPEG error #42");
        }
    }
}

TEST(Jpeg, garbageBytesRaiseAJpegError)
{
    const Bytes garbage{'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G', 0, 1, 2, 3};
    for (const Bytes& bytes : {garbage, Bytes{0xFF}, Bytes{0xFF, 0xD8}, Bytes{0xFF, 0xD8, 0xFF, 0xD9}}) {
        try {
            DecodeJpeg(bytes, ColourMode::Rgb);
            ADD_FAILURE() << "no error for " << bytes.size() << " bad bytes";
        } catch (const JpegError& error) {
            EXPECT_GT(error.code(), 0);
            EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(error.code()));
        }
        EXPECT_THROW(ReadJpegHeader(bytes), JpegError);
    }
}

TEST(Jpeg, skipPastTheEndOfTheBytesEndsWithAnError)
{
    // An APP1 segment that claims far more bytes than follow: the skip runs
    // into the end marker added after the data, and the picture has no frame.
    const Bytes bytes{0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xF0, 'E', 'x', 'i', 'f', 0, 0};
    EXPECT_THROW(ReadJpegHeader(bytes), JpegError);
    EXPECT_THROW(DecodeJpeg(bytes, ColourMode::Rgb), JpegError);
}

// The progressive picture with its second scan made invalid (a DC scan may
// not carry AC coefficients), so the error comes after a good header.
Bytes ProgressiveWithBadSecondScan()
{
    Bytes bytes = ReadPicture("progressive.jpg");
    int scans = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA && ++scans == 2) {
            const std::size_t components = bytes[i + 4];
            const std::size_t spectralStart = i + 5 + 2 * components;
            bytes[spectralStart] = 0;       // Ss
            bytes[spectralStart + 1] = 63;  // Se
            return bytes;
        }
    }
    ADD_FAILURE() << "the progressive picture has fewer than two scans";
    return bytes;
}

TEST(Jpeg, errorAfterTheHeaderLeavesAWhitePictureOfFullSize)
{
    const Bytes bytes = ProgressiveWithBadSecondScan();
    const JpegHeader header = ReadJpegHeader(bytes);

    DecodedImage rgb;
    EXPECT_THROW(DecodeJpegInto(bytes, ColourMode::Rgb, rgb), JpegError);
    EXPECT_EQ(rgb.width, header.width);
    EXPECT_EQ(rgb.height, header.height);
    ASSERT_EQ(rgb.pixels.size(), static_cast<std::size_t>(header.width * header.height * 3));
    EXPECT_TRUE(std::ranges::all_of(rgb.pixels, [](std::uint8_t v) { return v == 255; }));

    DecodedImage quantised;
    EXPECT_THROW(DecodeJpegInto(bytes, ColourMode::Quantised236, quantised), JpegError);
    ASSERT_EQ(quantised.pixels.size(), static_cast<std::size_t>(header.width * header.height));
    const Bytes expanded = ExpandPalette(quantised);
    EXPECT_TRUE(std::ranges::all_of(expanded, [](std::uint8_t v) { return v == 255; }));
}

TEST(Jpeg, errorBeforeTheHeaderLeavesAnEmptyPicture)
{
    DecodedImage image = DecodeJpeg(ReadPicture("grey.jpg"), ColourMode::Rgb);
    EXPECT_THROW(DecodeJpegInto(Bytes{1, 2, 3}, ColourMode::Rgb, image), JpegError);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
}

}  // namespace
}  // namespace pictolex
