// Picks the plates the benchmarks decode. The choice is made by scanning the
// built-in store at run time, so it follows the content as plates come and go.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pictolex/jpeg.h"
#include "pictolex/plate_labels.h"

namespace pictolex::bench {

struct Plate {
    std::string_view name;  // picture key as stored, e.g. "V001"
    std::span<const std::uint8_t> bytes;
    JpegHeader header;

    // "V001 1200x800 231 kB" for benchmark labels.
    std::string Describe() const;
};

// The stored picture with the most pixels (then the most bytes) among the
// progressive or the baseline ones; nothing when the store has none of them.
std::optional<Plate> LargestPlate(bool progressive);

// The largest plate (most pixels, then most bytes) that a row of a category
// list leads to, with the list tag and the row.
struct ReachablePlate {
    Plate plate;
    int tag = 0;
    int row = 0;
};
std::optional<ReachablePlate> LargestPlateInCategories();

// The picture with the most labels (the first of equals): its store entry,
// or null when no picture has labels.
const StoredLabels* MostLabelledPicture();

}  // namespace pictolex::bench
