#include "pictolex/picture_store.h"

#include <algorithm>

#include "ascii.h"

namespace pictolex {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return detail::ToLower(x) == detail::ToLower(y); });
}

}  // namespace

std::optional<std::span<const std::uint8_t>> PictureStore::Find(std::string_view name) const
{
    for (const StoredPicture& picture : m_pictures) {
        if (EqualIgnoringAsciiCase(picture.name, name)) {
            return picture.bytes;
        }
    }
    return std::nullopt;
}

}  // namespace pictolex
