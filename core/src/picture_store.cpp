#include "pictolex/picture_store.h"

#include "ascii.h"

namespace pictolex {

std::optional<std::span<const std::uint8_t>> PictureStore::Find(std::string_view name) const
{
    for (const StoredPicture& picture : m_pictures) {
        if (detail::EqualIgnoringAsciiCase(picture.name, name)) {
            return picture.bytes;
        }
    }
    return std::nullopt;
}

}  // namespace pictolex
