// Finding an entry of a built-in table by its name.
#pragma once

#include <span>
#include <string_view>

#include "ascii.h"

namespace pictolex::detail {

// The first entry whose `name` equals `name` with ASCII letter case ignored,
// or null.
template <typename Entry>
const Entry* FindNamed(std::span<const Entry> entries, std::string_view name)
{
    for (const Entry& entry : entries) {
        if (EqualIgnoringAsciiCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

}  // namespace pictolex::detail
