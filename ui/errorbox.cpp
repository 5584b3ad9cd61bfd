#include "errorbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

namespace pictolex {

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

void ShowErrorBoxLater(const QString& text)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [text] {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Pictolex"), text, QMessageBox::Ok);
        box.exec();
    });
}

}  // namespace pictolex
