// The table of built-in pictures, found by name with ASCII case ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pictolex {

struct StoredPicture {
    std::string_view name;                // upper-case picture key, e.g. "V001"
    std::span<const std::uint8_t> bytes;  // the JPEG file
};

class PictureStore {
public:
    PictureStore() = default;
    explicit PictureStore(std::span<const StoredPicture> pictures) : m_pictures(pictures) {}

    // The bytes of the picture named `name` (ASCII letter case ignored), or
    // nothing when no picture has that name.
    std::optional<std::span<const std::uint8_t>> Find(std::string_view name) const;

    std::span<const StoredPicture> All() const { return m_pictures; }

private:
    std::span<const StoredPicture> m_pictures;
};

}  // namespace pictolex
