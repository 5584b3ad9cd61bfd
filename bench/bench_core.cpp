// Decoding and text work of the core, each beside its floor: the same result
// got the plainest way with the same library. Benchmark names end in /ours or
// /floor; run_benchmarks.py pairs them into the table.
#include <benchmark/benchmark.h>

#include <array>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <jpeglib.h>

#include "allocation_count.h"
#include "bench_plates.h"
#include "pictolex/category.h"
#include "pictolex/content.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/plate_labels.h"
#include "pictolex/search.h"
#include "pictolex/text.h"
#include "run_registered.h"

namespace pictolex::bench {
namespace {

// --- Decoding ----------------------------------------------------------------

struct BareErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void BareErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<BareErrorManager*>(cinfo->err)->jump, 1);
}

// libjpeg-turbo straight from memory with the loader's settings, into a
// buffer the caller keeps. Returns false on a decoding error.
bool BareDecode(std::span<const std::uint8_t> bytes, ColourMode mode, std::uint8_t* out)
{
    jpeg_decompress_struct cinfo;
    BareErrorManager error;
    cinfo.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = BareErrorExit;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    const bool quantised = mode == ColourMode::Quantised236;
    cinfo.out_color_space = cinfo.jpeg_color_space == JCS_GRAYSCALE && quantised ? JCS_GRAYSCALE : JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.do_block_smoothing = TRUE;
    if (quantised) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
    }
    jpeg_start_decompress(&cinfo);
    const std::size_t rowBytes = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out + cinfo.output_scanline * rowBytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

void DecodeOurs(benchmark::State& state, Plate plate, ColourMode mode)
{
    state.SetLabel(plate.Describe());
    // What Image1 does at a picture's first paint: decode into the image
    // buffers it keeps from one picture to the next.
    DecodedImage image;
    for (auto _ : state) {
        DecodeJpegInto(plate.bytes, mode, image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

void DecodeFloor(benchmark::State& state, Plate plate, ColourMode mode)
{
    state.SetLabel(plate.Describe());
    const std::size_t size = static_cast<std::size_t>(plate.header.width) * plate.header.height * 3;
    const auto out = std::make_unique<std::uint8_t[]>(size);
    for (auto _ : state) {
        if (!BareDecode(plate.bytes, mode, out.get())) {
            state.SkipWithError("bare decode failed");
            break;
        }
        benchmark::DoNotOptimize(out.get());
    }
}

void RegisterDecoding()
{
    struct Kind {
        const char* name;
        ColourMode mode;
    };
    for (const Kind kind : {Kind{"rgb", ColourMode::Rgb}, Kind{"236", ColourMode::Quantised236}}) {
        for (const bool progressive : {false, true}) {
            const std::optional<Plate> plate = LargestPlate(progressive);
            if (!plate)
                continue;
            const std::string measure =
                std::string("decode_") + kind.name + (progressive ? "_progressive" : "_baseline");
            benchmark::RegisterBenchmark((measure + "/ours").c_str(), DecodeOurs, *plate, kind.mode)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark((measure + "/floor").c_str(), DecodeFloor, *plate, kind.mode)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

// --- Term search and entry lookup ---------------------------------------------

constexpr std::array<unsigned char, 256> kLowerTable = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return table;
}();

unsigned char Lower(char c)
{
    return kLowerTable[static_cast<unsigned char>(c)];
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// The term search done in one pass over the bytes with nothing allocated:
// per line, trim, find the first colon, compare lower-cased by table. Counts
// the matches under a heading; `wanted` is already trimmed and lower-case.
std::size_t PlainSearchCount(std::string_view text, std::string_view wanted, bool partial)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    bool headingSeen = false;
    std::size_t count = 0;
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && !IsLineBreak(*lineEnd))
            ++lineEnd;
        if (lineEnd - p >= 2 && p[0] == '[' && p[1] == '*')
            headingSeen = true;
        const char* first = p;
        const char* last = lineEnd;
        while (first < last && static_cast<unsigned char>(*first) <= 32)
            ++first;
        while (last > first && static_cast<unsigned char>(last[-1]) <= 32)
            --last;
        const auto* colon = static_cast<const char*>(std::memchr(first, ':', static_cast<std::size_t>(last - first)));
        if (colon != nullptr && headingSeen) {
            const std::size_t termSize = static_cast<std::size_t>(colon - first);
            bool match = false;
            if (partial) {
                for (std::size_t at = 0; !match && at + wanted.size() <= termSize; ++at) {
                    std::size_t i = 0;
                    while (i < wanted.size() && Lower(first[at + i]) == static_cast<unsigned char>(wanted[i]))
                        ++i;
                    match = i == wanted.size();
                }
            } else if (termSize == wanted.size()) {
                std::size_t i = 0;
                while (i < termSize && Lower(first[i]) == static_cast<unsigned char>(wanted[i]))
                    ++i;
                match = i == termSize;
            }
            count += match ? 1 : 0;
        }
        // One line break: CR LF, CR or LF.
        p = lineEnd;
        if (p < end && *p == '\r') {
            ++p;
            if (p < end && *p == '\n')
                ++p;
        } else if (p < end) {
            ++p;
        }
    }
    return count;
}

void SearchOurs(benchmark::State& state, std::string word, bool partial)
{
    const std::string_view glossary = content::GlossaryText();
    std::size_t matches = 0;
    for (auto _ : state) {
        const std::vector<TermMatch> found = SearchTerms(glossary, word, partial);
        matches = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["matches"] = static_cast<double>(matches);
}

void SearchFloor(benchmark::State& state, std::string word, bool partial)
{
    const std::string_view glossary = content::GlossaryText();
    const std::string wanted = Normalise(word);
    const std::size_t expected = SearchTerms(glossary, word, partial).size();
    std::size_t matches = 0;
    for (auto _ : state) {
        matches = PlainSearchCount(glossary, wanted, partial);
        benchmark::DoNotOptimize(matches);
    }
    if (matches != expected)
        state.SkipWithError("the plain pass and SearchTerms disagree on the matches");
    state.counters["matches"] = static_cast<double>(matches);
}

// The key of the glossary's last entry, as a search result resolves it.
std::string LastEntryKey()
{
    const std::vector<std::string_view> lines = SplitLines(content::GlossaryText());
    std::string_view lastHeading;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (IsHeading(lines[i]))
            lastHeading = lines[i];
    }
    const std::optional<EntryKeys> keys = ResolveResult(lastHeading);
    return keys ? keys->entryKey : std::string();
}

// memmem for the key, then a scan to the next line that starts with "[*".
// Returns the size in bytes of the entry's body.
std::size_t PlainEntryBody(std::string_view text, std::string_view key)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const auto* hit = static_cast<const char*>(memmem(begin, text.size(), key.data(), key.size()));
    if (hit == nullptr)
        return 0;
    const char* body = hit;
    while (body < end && !IsLineBreak(*body))
        ++body;
    if (body < end && *body == '\r')
        ++body;
    if (body < end && *body == '\n')
        ++body;
    const char* at = body;
    while (at < end) {
        const auto* next = static_cast<const char*>(memmem(at, static_cast<std::size_t>(end - at), "[*", 2));
        if (next == nullptr)
            return static_cast<std::size_t>(end - body);
        if (next == body || IsLineBreak(next[-1]))
            return static_cast<std::size_t>(next - body);
        at = next + 1;
    }
    return static_cast<std::size_t>(end - body);
}

void EntryLinesOurs(benchmark::State& state, std::string key)
{
    const std::string_view glossary = content::GlossaryText();
    if (EntryLines(glossary, key).empty()) {
        state.SkipWithError("the last entry has no lines");
        return;
    }
    for (auto _ : state) {
        const std::vector<std::string> lines = EntryLines(glossary, key);
        benchmark::DoNotOptimize(lines.data());
    }
}

void EntryLinesFloor(benchmark::State& state, std::string key)
{
    const std::string_view glossary = content::GlossaryText();
    std::size_t bodySize = 0;
    for (auto _ : state) {
        bodySize = PlainEntryBody(glossary, key);
        benchmark::DoNotOptimize(bodySize);
    }
    if (bodySize == 0)
        state.SkipWithError("the key was not found");
}

void RegisterText()
{
    for (const bool partial : {false, true}) {
        const std::string measure = partial ? "search_partial_cell" : "search_exact_cell";
        benchmark::RegisterBenchmark((measure + "/ours").c_str(), SearchOurs, std::string("cell"), partial)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((measure + "/floor").c_str(), SearchFloor, std::string("cell"), partial)
            ->Unit(benchmark::kMicrosecond);
    }
    const std::string key = LastEntryKey();
    benchmark::RegisterBenchmark("entry_lines_last/ours", EntryLinesOurs, key)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("entry_lines_last/floor", EntryLinesFloor, key)->Unit(benchmark::kMicrosecond);
}

// --- Small lookups, reported without a floor ------------------------------------

void ResolveResultOurs(benchmark::State& state)
{
    const std::vector<TermMatch> matches = SearchTerms(content::GlossaryText(), "e", true);
    if (matches.empty()) {
        state.SkipWithError("no search result to resolve");
        return;
    }
    const std::string element = matches.back().element;
    for (auto _ : state)
        benchmark::DoNotOptimize(ResolveResult(element));
}

void CategoryRowKeysOurs(benchmark::State& state)
{
    std::string_view row;
    int tag = 0;
    for (const Category& category : kCategories) {
        const auto titles = content::CategoryTitles(category.tag);
        if (!titles.empty()) {
            row = titles.back();
            tag = category.tag;
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CategoryRowKeys(tag, row));
}

void StoreLookupOurs(benchmark::State& state)
{
    // The last picture, asked for in lower case: the longest walk through the
    // table and a comparison that has to fold case.
    const auto all = content::Pictures().All();
    if (all.empty()) {
        state.SkipWithError("the store is empty");
        return;
    }
    std::string name(all.back().name);
    LowerAscii(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(content::Pictures().Find(name));
    state.counters["pictures"] = static_cast<double>(all.size());
}

// One pointer move over the plate with the most labels: which label answers.
// The pointer sweeps the picture row by row on a 3 px grid, so moves over
// text, near marks and over empty drawing all count.
void LabelHitTestOurs(benchmark::State& state)
{
    const StoredLabels* most = MostLabelledPicture();
    const auto bytes = most ? content::Pictures().Find(most->name) : std::nullopt;
    if (!bytes) {
        state.SkipWithError("no labelled picture");
        return;
    }
    const JpegHeader header = ReadJpegHeader(*bytes);
    state.SetLabel(std::string(most->name) + ", " + std::to_string(most->labels.size()) + " labels");
    float x = 0;
    float y = 0;
    long hits = 0;
    const std::size_t allocationsBefore = AllocationCount();
    for (auto _ : state) {
        const int label = LabelAt(most->labels, x, y);
        benchmark::DoNotOptimize(label);
        hits += label >= 0;
        x += 3;
        if (x >= static_cast<float>(header.width)) {
            x = 0;
            y = y + 3 >= static_cast<float>(header.height) ? 0 : y + 3;
        }
    }
    state.counters["allocations"] = benchmark::Counter(static_cast<double>(AllocationCount() - allocationsBefore),
                                                       benchmark::Counter::kAvgIterations);
    state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void RegisterLookups()
{
    benchmark::RegisterBenchmark("resolve_result/ours", ResolveResultOurs)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("category_row_keys/ours", CategoryRowKeysOurs)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("store_lookup/ours", StoreLookupOurs)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("label_hit_test/ours", LabelHitTestOurs)->Unit(benchmark::kNanosecond);
}

}  // namespace
}  // namespace pictolex::bench

int main(int argc, char** argv)
{
    pictolex::bench::RegisterDecoding();
    pictolex::bench::RegisterText();
    pictolex::bench::RegisterLookups();
    return pictolex::bench::RunRegisteredBenchmarks(argc, argv);
}
