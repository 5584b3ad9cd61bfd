#include "pictolex/dictionary_content.h"

#include "ascii.h"
#include "pictolex/text.h"

namespace pictolex {

std::optional<std::string_view> PlateTitle(const DictionaryContent& content, std::string_view pictureKey)
{
    for (std::size_t i = 0; i < kCategories.size(); ++i) {
        for (const std::string_view title : content.categoryTitles[i]) {
            if (detail::EqualIgnoringAsciiCase(CategoryRowKeys(kCategories[i].tag, title).pictureKey, pictureKey)) {
                return Trim(title);
            }
        }
    }
    return std::nullopt;
}

}  // namespace pictolex
