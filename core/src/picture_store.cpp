#include "pictolex/picture_store.h"

#include "named_table.h"

namespace pictolex {

std::optional<std::span<const std::uint8_t>> PictureStore::Find(std::string_view name) const
{
    if (const StoredPicture* picture = detail::FindNamed(m_pictures, name))
        return picture->bytes;
    return std::nullopt;
}

}  // namespace pictolex
