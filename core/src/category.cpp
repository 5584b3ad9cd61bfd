#include "pictolex/category.h"

#include "pictolex/text.h"

namespace pictolex {

std::string_view CategoryLetter(int tag)
{
    for (const Category& category : kCategories) {
        if (category.tag == tag) {
            return category.letter;
        }
    }
    return {};
}

EntryKeys CategoryRowKeys(int tag, std::string_view rowText)
{
    const std::string_view entryKey = Trim(rowText);
    EntryKeys keys;
    keys.pictureKey = std::string(CategoryLetter(tag));
    keys.pictureKey += entryKey.substr(0, 3);
    keys.entryKey = std::string(entryKey);
    return keys;
}

}  // namespace pictolex
