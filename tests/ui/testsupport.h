// Helpers shared by the window tests: hand-driven clock, synthetic content
// and pictures, and a shown main window.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QRegion>
#include <QSize>
#include <QStringList>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow.h"

class QListWidget;
class QPlainTextEdit;

namespace pictolex::test {

// A clock the test moves by hand, so type-ahead needs no sleeping.
struct ManualClock {
    qint64 now = 1000;
    TypeAheadClock clock()
    {
        return [this] { return now; };
    }
};

// Collects what the window sends to its error route.
struct ErrorLog {
    QStringList texts;
    ErrorReporter reporter()
    {
        return [this](const QString& text) { texts.append(text); };
    }
};

// A baseline JPEG of a plain picture of `size`.
QByteArray PlainJpeg(QSize size, QColor colour = QColor(40, 120, 60));

// `jpeg` with its first scan pointed at a Huffman table the file does not
// define: the header still reads, decoding fails with a JPEG error.
QByteArray WithBrokenScan(QByteArray jpeg);

// Dictionary content owned by the test. content() gives views into this
// object: keep it alive, and unchanged, while a window uses them.
class TestContent {
public:
    void setGlossary(std::string text) { m_glossary = std::move(text); }
    void addTitle(int tag, std::string title)
    {
        m_titles[static_cast<std::size_t>(tag - 1)].push_back(std::move(title));
    }
    void addPicture(std::string name, QByteArray bytes) { m_pictures.emplace_back(std::move(name), std::move(bytes)); }
    // The labels of picture `name`; their terms must outlive the content.
    void addLabels(std::string name, std::vector<PlateLabel> labels)
    {
        m_labels.emplace_back(std::move(name), std::move(labels));
    }
    void setBanner(QByteArray bytes) { m_banner = std::move(bytes); }
    DictionaryContent content();

private:
    std::string m_glossary;
    std::array<std::vector<std::string>, kCategories.size()> m_titles;
    std::array<std::vector<std::string_view>, kCategories.size()> m_titleViews;
    std::deque<std::pair<std::string, QByteArray>> m_pictures;
    std::vector<StoredPicture> m_stored;
    std::deque<std::pair<std::string, std::vector<PlateLabel>>> m_labels;
    std::vector<StoredLabels> m_storedLabels;
    QByteArray m_banner = PlainJpeg(QSize(618, 153));
};

// Creates the window, shows it and waits until it is active.
std::unique_ptr<TForm1> ShowForm(FormSetup setup);

// Presses the left button on `row` as a user would.
void ClickRow(QListWidget* list, int row);

// The row whose text is `text`, or -1.
int RowWithText(QListWidget* list, const QString& text);

// Memo2's lines; a final line break gives no empty last line.
QStringList MemoLines(const QPlainTextEdit* memo);

// Collects the areas a widget repaints while it is the widget's event filter.
class PaintedRegion : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The number of pixels `region` covers.
int Area(const QRegion& region);

// The child named `name`; fails the test run when there is none.
template <typename T>
T* Child(const QObject* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

}  // namespace pictolex::test
