#include "bench_plates.h"

#include "pictolex/category.h"
#include "pictolex/content.h"

namespace pictolex::bench {

namespace {

bool Larger(const Plate& a, const Plate& b)
{
    const long long pixelsA = static_cast<long long>(a.header.width) * a.header.height;
    const long long pixelsB = static_cast<long long>(b.header.width) * b.header.height;
    return pixelsA != pixelsB ? pixelsA > pixelsB : a.bytes.size() > b.bytes.size();
}

std::optional<Plate> ReadPlate(std::string_view name, std::span<const std::uint8_t> bytes)
{
    try {
        return Plate{name, bytes, ReadJpegHeader(bytes)};
    } catch (const JpegError&) {
        return std::nullopt;
    }
}

// The store's own name of a picture, which outlives the key that found it.
std::string_view StoredName(std::span<const std::uint8_t> bytes)
{
    for (const StoredPicture& picture : content::Pictures().All()) {
        if (picture.bytes.data() == bytes.data())
            return picture.name;
    }
    return {};
}

}  // namespace

std::string Plate::Describe() const
{
    return std::string(name) + " " + std::to_string(header.width) + "x" + std::to_string(header.height) + " " +
           std::to_string((bytes.size() + 512) / 1024) + " kB";
}

std::optional<Plate> LargestPlate(bool progressive)
{
    std::optional<Plate> best;
    for (const StoredPicture& picture : content::Pictures().All()) {
        const std::optional<Plate> plate = ReadPlate(picture.name, picture.bytes);
        if (plate && plate->header.progressive == progressive && (!best || Larger(*plate, *best)))
            best = plate;
    }
    return best;
}

std::optional<ReachablePlate> LargestPlateInCategories()
{
    std::optional<ReachablePlate> best;
    for (const Category& category : kCategories) {
        const auto titles = content::CategoryTitles(category.tag);
        for (std::size_t row = 0; row < titles.size(); ++row) {
            const EntryKeys keys = CategoryRowKeys(category.tag, titles[row]);
            const auto bytes = content::Pictures().Find(keys.pictureKey);
            if (!bytes)
                continue;
            const std::optional<Plate> plate = ReadPlate(StoredName(*bytes), *bytes);
            if (plate && (!best || Larger(*plate, best->plate)))
                best = ReachablePlate{*plate, category.tag, static_cast<int>(row)};
        }
    }
    return best;
}

const StoredLabels* MostLabelledPicture()
{
    const StoredLabels* most = nullptr;
    for (const StoredLabels& stored : content::Labels().All()) {
        if (!stored.labels.empty() && (!most || stored.labels.size() > most->labels.size()))
            most = &stored;
    }
    return most;
}

}  // namespace pictolex::bench
