#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QListWidget>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QTest>

namespace pictolex::test {

QByteArray PlainJpeg(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG"))
        qFatal("Qt cannot write JPEG here");
    return bytes;
}

QByteArray WithBrokenScan(QByteArray jpeg)
{
    // Start of scan: FF DA, length (2), component count (1), then pairs of
    // component id and table selectors (DC in the high nibble, AC low).
    const qsizetype sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    if (sos < 0)
        qFatal("no start of scan");
    jpeg[sos + 6] = static_cast<char>(0x33);
    return jpeg;
}

DictionaryContent TestContent::content()
{
    DictionaryContent built;
    built.glossary = m_glossary;
    for (std::size_t i = 0; i < m_titles.size(); ++i) {
        m_titleViews[i].assign(m_titles[i].begin(), m_titles[i].end());
        built.categoryTitles[i] = m_titleViews[i];
    }
    m_stored.clear();
    for (const auto& [name, bytes] : m_pictures)
        m_stored.push_back(
            {name, {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())}});
    built.pictures = PictureStore(m_stored);
    m_storedLabels.clear();
    for (const auto& [name, labels] : m_labels)
        m_storedLabels.push_back({name, labels});
    built.labels = LabelStore(m_storedLabels);
    built.banner = {reinterpret_cast<const std::uint8_t*>(m_banner.constData()),
                    static_cast<std::size_t>(m_banner.size())};
    return built;
}

std::unique_ptr<TForm1> ShowForm(FormSetup setup)
{
    auto form = std::make_unique<TForm1>(std::move(setup));
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the window did not become active");
    return form;
}

void ClickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

int RowWithText(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.first());
}

bool PaintedRegion::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        painted += static_cast<QPaintEvent*>(event)->region();
    return false;
}

int Area(const QRegion& region)
{
    int area = 0;
    for (const QRect& rect : region)
        area += rect.width() * rect.height();
    return area;
}

QStringList MemoLines(const QPlainTextEdit* memo)
{
    QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace pictolex::test
