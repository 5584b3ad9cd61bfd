#include "builtin_content.h"

#include "pictolex/content.h"

namespace pictolex {

DictionaryContent BuiltInContent()
{
    DictionaryContent built;
    built.glossary = content::GlossaryText();
    for (const Category& category : kCategories)
        built.categoryTitles[static_cast<std::size_t>(category.tag - 1)] = content::CategoryTitles(category.tag);
    built.pictures = content::Pictures();
    built.labels = content::Labels();
    built.banner = content::Banner();
    built.icon = content::Icon();
    return built;
}

}  // namespace pictolex
