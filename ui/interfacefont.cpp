#include "interfacefont.h"

#include <QFontDatabase>
#include <QStringList>

namespace pictolex {

namespace {

QString LoadFamily()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/tahoma.ttf"));
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
