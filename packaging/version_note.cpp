// The program's version information, kept in the executable where `strings`
// and `readelf -p .pictolex.version` show it.
#include "version_info.h"

[[gnu::used, gnu::section(".pictolex.version")]] constexpr char kVersionNote[] =
    "FileVersion=" PICTOLEX_FILE_VERSION "\n"
    "ProductVersion=" PICTOLEX_FILE_VERSION "\n"
    "ProductName=Pictolex\n"
    "FileDescription=Pictolex\n"
    "InternalName=Pictolex\n"
    "OriginalFilename=Pictolex\n"
    "CompanyName=" PICTOLEX_COMPANY "\n"
    "LegalCopyright=" PICTOLEX_COPYRIGHT "\n"
    "LegalTrademarks=\n";
