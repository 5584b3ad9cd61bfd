#include "interfacefont.h"

#include <QFontDatabase>
#include <QResource>
#include <QStringList>

namespace pictolex {

namespace {

QString LoadFamily()
{
    // Stored uncompressed (ui/CMakeLists.txt), the font is read where it lies
    // in the executable rather than copied out first.
    const QResource font(QStringLiteral(":/fonts/tahoma.ttf"));
    if (!font.isValid())
        return {};
    const QByteArray bytes =
        font.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(font.data()), static_cast<qsizetype>(font.size()))
            : font.uncompressedData();
    const int id = QFontDatabase::addApplicationFontFromData(bytes);
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    return families.isEmpty() ? QString() : families.first();
}

}  // namespace

QFont InterfaceFont(int pixelSize)
{
    static const QString family = LoadFamily();
    QFont font;
    if (family.isEmpty()) {
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
        font.setStyleHint(QFont::SansSerif);
    } else {
        font.setFamily(family);
    }
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace pictolex
