#include "accesskeys.h"

#include <QSet>

namespace pictolex {

QStringList WithAccessKeys(const QStringList& captions)
{
    QSet<QChar> taken;
    QStringList marked;
    for (const QString& caption : captions) {
        QString escaped = caption;
        escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
        qsizetype mark = -1;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            const QChar c = escaped.at(i);
            if (c.isLetterOrNumber() && !taken.contains(c.toLower())) {
                taken.insert(c.toLower());
                mark = i;
                break;
            }
        }
        if (mark >= 0)
            escaped.insert(mark, QLatin1Char('&'));
        marked.append(escaped);
    }
    return marked;
}

}  // namespace pictolex
