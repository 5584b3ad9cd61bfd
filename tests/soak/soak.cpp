// Soak test: thousands of random user actions on the real window with the
// built-in content. After every selection the window must show the stored
// picture and the entry lines of what was selected, no error may reach the
// error route, and at the end File > Exit must end the event loop.
//
//   pictolex_soak [ACTIONS] [SEED]     (defaults: 1000 actions, seed 1)
//
// Prints the resident memory after the first 1,000 actions and at the end,
// then "N passed, N failed".
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <unistd.h>

#include "builtin_content.h"
#include "mainwindow.h"
#include "pictolex/category.h"
#include "pictolex/content.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/jpeg.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "testsupport.h"

namespace pictolex::test {
namespace {

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class Soak {
public:
    Soak(unsigned seed) : m_random(seed)
    {
        FormSetup setup;
        setup.content = BuiltInContent();
        setup.clock = m_clock.clock();
        setup.reportError = m_errors.reporter();
        m_form = ShowForm(std::move(setup));
        // The category lists are the lists with a tag, whatever their names.
        for (auto* list : m_form->findChildren<DictionaryList*>()) {
            if (list->tag() < 1)
                continue;
            m_lists.push_back(list);
            QObject::connect(list, &DictionaryList::chosen, [this] { ++m_reports; });
        }
        if (m_lists.size() != kCategories.size())
            qFatal("expected one list per category");
        m_memo = Child<QPlainTextEdit>(m_form.get(), "Memo2");
        m_edit = Child<QLineEdit>(m_form.get(), "Edit1");
        m_check = Child<QCheckBox>(m_form.get(), "CheckBox1");
        m_search = Child<QPushButton>(m_form.get(), "btn1");
        m_results = Child<DictionaryList>(m_form.get(), "ListBox1");
        m_image = Child<PictureBox>(m_form.get(), "Image1");
        m_about = Child<QAction>(m_form.get(), "About1");
        m_exit = Child<QAction>(m_form.get(), "Exit1");
    }

    void run(int actions)
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= actions; ++i) {
            act();
            // Between two user actions the event loop runs: posted events,
            // deferred deletes and repaints are handled as in the program.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (i == 1000 || i % 5000 == 0 || i == actions) {
                const long resident = ResidentKiB();
                malloc_trim(0);  // what remains is memory in use, not free heap kept by the allocator
                std::printf("after %d actions: resident %ld KiB (%ld KiB after trimming the heap), %lld ms\n", i,
                            resident, ResidentKiB(), static_cast<long long>(timer.elapsed()));
                std::fflush(stdout);
            }
        }
        if (!m_errors.texts.isEmpty())
            fail("errors reached the error route: " + m_errors.texts.join(QStringLiteral(" | ")).toStdString());
    }

    // File > Exit must end the event loop without a close request.
    void exitThroughTheMenu()
    {
        QTimer::singleShot(0, m_exit, &QAction::trigger);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            fail("File > Exit did not end the event loop");
            QCoreApplication::exit(1);
        });
        watchdog.start(10000);
        if (QApplication::exec() != 0)
            fail("the event loop ended with an error");
        m_form.reset();
    }

    int failures() const { return m_failures; }
    int checks() const { return m_checks; }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    void fail(const std::string& what)
    {
        ++m_failures;
        if (m_failures <= 20)
            std::printf("FAIL: %s\n", what.c_str());
    }

    void act()
    {
        m_clock.now += pick(1200);  // sometimes within the type-ahead pause, sometimes not
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            clickCategoryRow();
            break;
        case 3:
            arrowInCategoryList();
            break;
        case 4:
            typeInCategoryList();
            break;
        case 5:
        case 6:
            search();
            break;
        case 7:
        case 8:
            pickResult();
            break;
        default:
            m_about->trigger();
            break;
        }
    }

    void clickCategoryRow()
    {
        auto* list = m_lists[static_cast<std::size_t>(pick(6))];
        if (list->count() == 0)
            return;
        ClickRow(list, pick(list->count()));
        checkCategorySelection(list);
    }

    void arrowInCategoryList()
    {
        auto* list = m_lists[static_cast<std::size_t>(pick(6))];
        list->setFocus();
        static const Qt::Key keys[] = {Qt::Key_Down,   Qt::Key_Up,   Qt::Key_PageDown,
                                       Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End};
        QTest::keyClick(list, keys[pick(6)]);
        checkCategorySelection(list);
    }

    void typeInCategoryList()
    {
        auto* list = m_lists[static_cast<std::size_t>(pick(6))];
        list->setFocus();
        static const char typed[] = "0123456789 abcSTx";
        QTest::keyClick(list, typed[pick(sizeof typed - 1)]);
        checkCategorySelection(list);
    }

    QString randomWord()
    {
        switch (pick(9)) {
        case 0: {  // a real term, in random letter case, sometimes with blanks
            QString term = QString::fromUtf8(
                m_realTerms[static_cast<std::size_t>(pick(static_cast<int>(m_realTerms.size())))].term);
            return pick(2) ? term.toUpper() : QStringLiteral("  ") + term + QStringLiteral(" ");
        }
        case 1:
            return QString(10000, QChar(u"ae:[* \t"[pick(7)]));  // a huge paste
        case 2: {                                                // control characters
            QString word;
            for (int i = 0; i < 8; ++i)
                word += QChar(static_cast<char16_t>(pick(33)));
            return word + QStringLiteral("cell");
        }
        case 3:
            return QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627");  // right to left
        case 4:
            return QString::fromUtf8("\u690d\u7269\u7d30\u80de \u8f66");  // CJK
        case 5:
            return QString::fromUtf8("\U0001F333\U0001F98B cell \U0001F697");  // emoji
        case 6:
            return QStringLiteral("[*v*]001 Plant cell.jpg ");
        case 7:
            return QStringLiteral("cell: wall");
        default:
            return QString(1 + pick(3), QChar(u"aeiouc"[pick(6)]));
        }
    }

    void search()
    {
        const QString word = randomWord();
        m_edit->setText(word);
        m_check->setChecked(pick(2));
        QTest::mouseClick(m_search, Qt::LeftButton);
        m_lastMatches = SearchTerms(content::GlossaryText(), word.toUtf8().toStdString(), m_check->isChecked());
        ++m_checks;
        if (static_cast<std::size_t>(m_results->count()) != m_lastMatches.size())
            fail("search for a word listed " + std::to_string(m_results->count()) + " rows, expected " +
                 std::to_string(m_lastMatches.size()));
    }

    void pickResult()
    {
        if (m_results->count() == 0)
            return;
        const int row = pick(m_results->count());
        ClickRow(m_results, row);
        const auto keys = ResolveResult(m_lastMatches.at(static_cast<std::size_t>(row)).element);
        if (keys)
            checkShows(keys->pictureKey, keys->entryKey);
    }

    // Checks what the window shows when the last action made `list` report a
    // selection; a key that moved nothing or found no row shows nothing new.
    void checkCategorySelection(DictionaryList* list)
    {
        if (m_reports == m_reportsChecked)
            return;
        m_reportsChecked = m_reports;
        if (list->selectedRow() < 0) {
            fail("a list reported a selection without a selected row");
            return;
        }
        const auto row = list->item(list->selectedRow())->text().toUtf8().toStdString();
        const auto keys = CategoryRowKeys(list->tag(), row);
        checkShows(keys.pictureKey, keys.entryKey);
    }

    // The window shows the stored picture `pictureKey` and the entry `entryKey`.
    void checkShows(const std::string& pictureKey, const std::string& entryKey)
    {
        ++m_checks;
        const auto bytes = content::Pictures().Find(pictureKey);
        if (!bytes) {
            fail("no stored picture " + pictureKey);
            return;
        }
        const auto header = ReadJpegHeader(*bytes);
        m_image->repaint();
        if (m_image->size() != QSize(header.width, header.height) ||
            m_image->decodedImage().size() != QSize(header.width, header.height))
            fail("Image1 does not show " + pictureKey);
        QStringList expected;
        for (const auto& line : EntryLines(content::GlossaryText(), entryKey))
            expected.append(QString::fromUtf8(line));
        if (MemoLines(m_memo) != expected)
            fail("Memo2 does not show the entry " + entryKey);
    }

    std::mt19937 m_random;
    ManualClock m_clock;
    ErrorLog m_errors;
    std::unique_ptr<TForm1> m_form;
    std::vector<DictionaryList*> m_lists;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_check = nullptr;
    QPushButton* m_search = nullptr;
    DictionaryList* m_results = nullptr;
    PictureBox* m_image = nullptr;
    QAction* m_about = nullptr;
    QAction* m_exit = nullptr;
    std::vector<TermMatch> m_lastMatches;
    // Terms to type in a search: every term holding an "e".
    const std::vector<TermMatch> m_realTerms = SearchTerms(content::GlossaryText(), "e", true);
    int m_failures = 0;
    int m_checks = 0;
    int m_reports = 0;  // selections the category lists reported
    int m_reportsChecked = 0;
};

}  // namespace
}  // namespace pictolex::test

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int actions = argc > 1 ? std::stoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 1u;
    pictolex::test::Soak soak(seed);
    soak.run(actions);
    soak.exitThroughTheMenu();
    const int failed = soak.failures();
    std::printf("%d passed, %d failed\n", soak.checks() - std::min(failed, soak.checks()), failed);
    return failed == 0 ? 0 : 1;
}
