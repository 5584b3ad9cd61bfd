#include "pictolex/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <memory>
#include <string>

#include <jpeglib.h>

#include <jerror.h>

namespace pictolex {

JpegError::JpegError(int code) : std::runtime_error("JPEG error #" + std::to_string(code)), m_code(code) {}

namespace {

// libjpeg reports errors by calling error_exit, which must not return. We
// longjmp back to the function that called into the library. Everything that
// lives across a setjmp below is plain data, so the jump skips no destructor;
// the C++ side then destroys the decompressor and throws.

constexpr std::size_t kChunkSize = 4096;
constexpr JOCTET kFakeEndMarker[2] = {0xFF, JPEG_EOI};
constexpr int kMaxColours = 256;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    std::size_t size;
    std::size_t next;  // offset of the first byte not yet handed to the library
};

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    MemorySource source;
    // The quantised palette, copied before libjpeg frees its own.
    JSAMPLE palette[kMaxColours][3];
    int paletteSize;
};

extern "C" {

static void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

static void IgnoreMessage(j_common_ptr, int) {}

static void IgnoreOutput(j_common_ptr) {}

static void InitSource(j_decompress_ptr) {}

static void TermSource(j_decompress_ptr) {}

static boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    if (src->next >= src->size) {
        if (src->size == 0) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        // Data that ends early is completed with an end marker, so the
        // library finishes the picture with what it has.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pub.next_input_byte = kFakeEndMarker;
        src->pub.bytes_in_buffer = sizeof kFakeEndMarker;
        return TRUE;
    }
    const std::size_t count = std::min(kChunkSize, src->size - src->next);
    src->pub.next_input_byte = src->data + src->next;
    src->pub.bytes_in_buffer = count;
    src->next += count;
    return TRUE;
}

static void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0) {
        return;
    }
    auto* src = reinterpret_cast<MemorySource*>(cinfo->src);
    auto skip = static_cast<std::size_t>(count);
    if (skip <= src->pub.bytes_in_buffer) {
        src->pub.next_input_byte += skip;
        src->pub.bytes_in_buffer -= skip;
        return;
    }
    // Skipping past the buffer moves the read offset directly; past the end
    // of the data the next fill supplies the end marker once more.
    skip -= src->pub.bytes_in_buffer;
    src->pub.bytes_in_buffer = 0;
    src->next = skip >= src->size - src->next ? src->size : src->next + skip;
}

}  // extern "C"

void CopyPalette(Decoder* d)
{
    if (!d->cinfo.quantize_colors || d->cinfo.colormap == nullptr) {
        return;
    }
    const int count = std::min(d->cinfo.actual_number_of_colors, kMaxColours);
    const bool grey = d->cinfo.out_color_components == 1;
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            d->palette[i][c] = d->cinfo.colormap[grey ? 0 : c][i];
        }
    }
    d->paletteSize = count;
}

// Creates the decompressor over the bytes and reads the header. When `mode`
// is given, also applies the fixed decoding settings and computes the output
// size. Returns false after a library error.
bool OpenAndReadHeader(Decoder* d, const JOCTET* data, std::size_t size, const ColourMode* mode)
{
    d->cinfo.err = jpeg_std_error(&d->error.pub);
    d->error.pub.error_exit = ErrorExit;
    d->error.pub.emit_message = IgnoreMessage;
    d->error.pub.output_message = IgnoreOutput;
    if (setjmp(d->error.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&d->cinfo);

    d->source.pub.init_source = InitSource;
    d->source.pub.fill_input_buffer = FillInputBuffer;
    d->source.pub.skip_input_data = SkipInputData;
    d->source.pub.resync_to_restart = jpeg_resync_to_restart;
    d->source.pub.term_source = TermSource;
    d->source.pub.next_input_byte = nullptr;
    d->source.pub.bytes_in_buffer = 0;
    d->source.data = data;
    d->source.size = size;
    d->source.next = 0;
    d->cinfo.src = &d->source.pub;

    jpeg_read_header(&d->cinfo, TRUE);
    if (mode == nullptr) {
        return true;
    }

    jpeg_decompress_struct& cinfo = d->cinfo;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool quantised = *mode == ColourMode::Quantised236;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.out_color_space = grey && quantised ? JCS_GRAYSCALE : JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.do_block_smoothing = TRUE;
    cinfo.buffered_image = FALSE;
    cinfo.quantize_colors = quantised ? TRUE : FALSE;
    if (quantised) {
        cinfo.desired_number_of_colors = 236;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
        cinfo.colormap = nullptr;
    }
    jpeg_calc_output_dimensions(&cinfo);
    return true;
}

// Decodes every row into `pixels` (rows of `rowBytes`, top to bottom).
// Returns false after a library error; cinfo.output_scanline then counts the
// rows that are complete.
bool DecodeRows(Decoder* d, JSAMPLE* pixels, std::size_t rowBytes)
{
    if (setjmp(d->error.jump) != 0) {
        return false;
    }
    jpeg_decompress_struct& cinfo = d->cinfo;
    jpeg_start_decompress(&cinfo);
    CopyPalette(d);
    constexpr JDIMENSION kBatch = 16;
    JSAMPROW rows[kBatch];
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION count = std::min(kBatch, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = pixels + (first + i) * rowBytes;
        }
        jpeg_read_scanlines(&cinfo, rows, count);
    }
    CopyPalette(d);
    jpeg_finish_decompress(&cinfo);
    return true;
}

// Owns the decompressor for the C++ side; the library keeps no other memory.
class DecoderHandle {
public:
    DecoderHandle() : m_decoder(std::make_unique<Decoder>()) {}
    ~DecoderHandle() { jpeg_destroy_decompress(&m_decoder->cinfo); }
    DecoderHandle(const DecoderHandle&) = delete;
    DecoderHandle& operator=(const DecoderHandle&) = delete;

    Decoder* get() const { return m_decoder.get(); }
    [[noreturn]] void Fail() const { throw JpegError(m_decoder->error.pub.msg_code); }

private:
    // Value-initialised: destroying a decompressor that was never created is
    // then harmless.
    std::unique_ptr<Decoder> m_decoder;
};

std::uint8_t NearestToWhite(const std::vector<std::array<std::uint8_t, 3>>& palette)
{
    std::size_t best = 0;
    int bestDistance = 3 * 255 + 1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int distance = 3 * 255 - palette[i][0] - palette[i][1] - palette[i][2];
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

JpegHeader ReadJpegHeader(std::span<const std::uint8_t> bytes)
{
    DecoderHandle handle;
    Decoder* d = handle.get();
    if (!OpenAndReadHeader(d, bytes.data(), bytes.size(), nullptr)) {
        handle.Fail();
    }
    JpegHeader header;
    header.width = static_cast<int>(d->cinfo.image_width);
    header.height = static_cast<int>(d->cinfo.image_height);
    header.colour = d->cinfo.jpeg_color_space != JCS_GRAYSCALE;
    header.progressive = d->cinfo.progressive_mode != FALSE;
    return header;
}

void DecodeJpegInto(std::span<const std::uint8_t> bytes, ColourMode mode, DecodedImage& image)
{
    // Keep the buffers' capacity: a caller that decodes picture after picture
    // into one image allocates and faults in its memory only once.
    image.width = 0;
    image.height = 0;
    image.mode = mode;
    image.pixels.clear();
    image.palette.clear();

    DecoderHandle handle;
    Decoder* d = handle.get();
    if (!OpenAndReadHeader(d, bytes.data(), bytes.size(), &mode)) {
        handle.Fail();
    }
    const jpeg_decompress_struct& cinfo = d->cinfo;
    const std::size_t width = cinfo.output_width;
    const std::size_t height = cinfo.output_height;
    const std::size_t rowBytes = width * (mode == ColourMode::Rgb ? 3 : 1);
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(rowBytes * height);

    const bool decoded = DecodeRows(d, image.pixels.data(), rowBytes);
    if (mode == ColourMode::Quantised236) {
        image.palette.reserve(static_cast<std::size_t>(d->paletteSize));
        for (int i = 0; i < d->paletteSize; ++i) {
            image.palette.push_back({d->palette[i][0], d->palette[i][1], d->palette[i][2]});
        }
    }
    if (decoded) {
        return;
    }

    // Rows the library did not complete show white.
    if (mode == ColourMode::Quantised236 && image.palette.empty()) {
        image.palette.push_back({255, 255, 255});
    }
    const std::uint8_t white = mode == ColourMode::Rgb ? 255 : NearestToWhite(image.palette);
    const std::size_t doneRows = std::min<std::size_t>(cinfo.output_scanline, height);
    std::fill(image.pixels.begin() + static_cast<std::ptrdiff_t>(doneRows * rowBytes), image.pixels.end(), white);
    handle.Fail();
}

DecodedImage DecodeJpeg(std::span<const std::uint8_t> bytes, ColourMode mode)
{
    DecodedImage image;
    DecodeJpegInto(bytes, mode, image);
    return image;
}

}  // namespace pictolex
