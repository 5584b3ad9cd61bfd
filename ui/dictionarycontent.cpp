#include "dictionarycontent.h"

#include "pictolex/content.h"

namespace pictolex {

DictionaryContent BuiltInContent()
{
    DictionaryContent built;
    built.glossary = content::GlossaryText();
    for (int tag = 1; tag <= static_cast<int>(built.categoryTitles.size()); ++tag)
        built.categoryTitles[tag - 1] = content::CategoryTitles(tag);
    built.pictures = content::Pictures();
    built.banner = content::Banner();
    return built;
}

}  // namespace pictolex
