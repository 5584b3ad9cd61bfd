// The window's commands and events: browsing, searching and resolving on the
// built-in content, the menu commands, ending the program, and errors.
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "builtin_content.h"
#include "errorbox.h"
#include "pictolex/content.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/jpeg.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "programstart.h"
#include "testsupport.h"

using namespace pictolex;
using test::Child;

namespace {

QSize HeaderSize(std::string_view pictureKey)
{
    const auto bytes = content::Pictures().Find(pictureKey);
    if (!bytes)
        return {};
    const JpegHeader header = ReadJpegHeader(*bytes);
    return {header.width, header.height};
}

QStringList ExpectedLines(std::string_view entryKey)
{
    QStringList lines;
    for (const std::string& line : EntryLines(content::GlossaryText(), entryKey))
        lines.append(QString::fromStdString(line));
    return lines;
}

// Counts close requests reaching the window: FormCloseQuery runs for each.
class CloseCounter : public QObject {
public:
    int closes = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return false;
    }
};

}  // namespace

class WindowEventsTest : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void openUrl(const QUrl& url) { m_openedUrls.append(url); }

private:
    QList<QUrl> m_openedUrls;
    test::ErrorLog m_errors;
    test::TestContent m_content;

    std::unique_ptr<TForm1> showBuiltIn()
    {
        FormSetup setup;
        setup.content = BuiltInContent();
        setup.reportError = m_errors.reporter();
        return test::ShowForm(std::move(setup));
    }

    void search(TForm1* form, const QString& word, bool partial)
    {
        Child<QLineEdit>(form, "Edit1")->setText(word);
        Child<QCheckBox>(form, "CheckBox1")->setChecked(partial);
        QTest::mouseClick(Child<QPushButton>(form, "btn1"), Qt::LeftButton);
    }

    // Test content whose V001 picture is `broken`, beside a sound V002.
    std::unique_ptr<TForm1> showWithBrokenPicture(const QByteArray& broken)
    {
        m_content = test::TestContent();
        m_content.setGlossary("[*v*]001 Broken.jpg \r\nBroken: a bad picture.\r\n"
                              "[*v*]002 Sound.jpg \r\nSound: a good picture.\r\n[*c*]\r\n");
        m_content.addTitle(1, "001 Broken");
        m_content.addTitle(1, "002 Sound");
        m_content.addPicture("V001", broken);
        m_content.addPicture("V002", test::PlainJpeg(QSize(320, 240)));
        FormSetup setup{m_content.content(), 24, {}, m_errors.reporter()};
        return test::ShowForm(std::move(setup));
    }

private slots:
    void init()
    {
        m_errors.texts.clear();
        m_openedUrls.clear();
    }

    void roads_browseSearchResolveAndBrowseAgainShowTheLastSelection()
    {
        const auto form = showBuiltIn();
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        auto* memo = Child<QPlainTextEdit>(form.get(), "Memo2");
        auto* image = Child<PictureBox>(form.get(), "Image1");
        auto* results = Child<DictionaryList>(form.get(), "ListBox1");

        // Browsing.
        const int plantCell = test::RowWithText(vegetal, QStringLiteral("001 Plant cell"));
        QVERIFY(plantCell >= 0);
        test::ClickRow(vegetal, plantCell);
        const QStringList plantCellLines = test::MemoLines(memo);
        QCOMPARE(plantCellLines.size(), 18);
        QVERIFY(plantCellLines.first().startsWith(QStringLiteral("Plant cell:")));
        QVERIFY(plantCellLines.last().startsWith(QStringLiteral("Starch grain:")));
        QCOMPARE(image->size(), HeaderSize("V001"));

        // Exact search, first result.
        search(form.get(), QStringLiteral("  PLANT cell "), false);
        QVERIFY(results->count() >= 1);
        for (int row = 0; row < results->count(); ++row)
            QCOMPARE(results->item(row)->text(), QStringLiteral("plant cell"));
        test::ClickRow(vegetal, 1);  // move away first
        test::ClickRow(results, 0);
        QCOMPARE(test::MemoLines(memo), plantCellLines);
        QCOMPARE(image->size(), HeaderSize("V001"));

        // Partial search, a later result.
        search(form.get(), QStringLiteral("cell"), true);
        const auto matches = SearchTerms(content::GlossaryText(), "cell", true);
        QCOMPARE(results->count(), static_cast<int>(matches.size()));
        QVERIFY(results->count() >= 2);
        QVERIFY(!results->findItems(QStringLiteral("cell wall"), Qt::MatchExactly).isEmpty());
        const int later = results->count() - 1;
        QSize shownBefore = image->size();
        test::ClickRow(results, later);
        const auto keys = ResolveResult(matches.back().element);
        QVERIFY(keys);
        QCOMPARE(test::MemoLines(memo), ExpectedLines(keys->entryKey));
        QCOMPARE(image->size(), HeaderSize(keys->pictureKey).isValid() ? HeaderSize(keys->pictureKey) : shownBefore);

        // A category row again; the results stay.
        auto* animal = Child<DictionaryList>(form.get(), "ListBoxA");
        shownBefore = image->size();
        test::ClickRow(animal, 0);
        const auto animalKeys = CategoryRowKeys(2, animal->item(0)->text().toStdString());
        QCOMPARE(test::MemoLines(memo), ExpectedLines(animalKeys.entryKey));
        QCOMPARE(image->size(),
                 HeaderSize(animalKeys.pictureKey).isValid() ? HeaderSize(animalKeys.pictureKey) : shownBefore);
        QCOMPARE(results->count(), static_cast<int>(matches.size()));
        QVERIFY(m_errors.texts.isEmpty());
    }

    void showPicture_findsKeysInAnyCaseAndSizesTheControl()
    {
        const auto form = showBuiltIn();
        auto* image = Child<PictureBox>(form.get(), "Image1");
        form->ShowPicture("a001");
        QCOMPARE(image->size(), QSize(465, 423));
        form->ShowPicture("v001");
        QCOMPARE(image->size(), HeaderSize("V001"));
        const QImage lower = image->grab().toImage();
        form->ShowPicture("V001");
        QCOMPARE(image->grab().toImage(), lower);
        form->ShowPicture("x999");
        QCOMPARE(image->size(), HeaderSize("V001"));
    }

    void search_emptyWordKeepsEarlierResults()
    {
        const auto form = showBuiltIn();
        search(form.get(), QStringLiteral("cell"), true);
        auto* results = Child<DictionaryList>(form.get(), "ListBox1");
        const int found = results->count();
        QVERIFY(found > 0);
        search(form.get(), QString(), true);
        QCOMPARE(results->count(), found);
        test::ClickRow(results, 0);  // and they still resolve
        QVERIFY(!Child<QPlainTextEdit>(form.get(), "Memo2")->toPlainText().isEmpty());
    }

    void search_wordOfBlanksEmptiesTheResults_data()
    {
        QTest::addColumn<bool>("partial");
        QTest::newRow("exact") << false;
        QTest::newRow("partial") << true;
    }

    void search_wordOfBlanksEmptiesTheResults()
    {
        QFETCH(bool, partial);
        const auto form = showBuiltIn();
        search(form.get(), QStringLiteral("cell"), true);
        search(form.get(), QStringLiteral("   "), partial);
        QCOMPARE(Child<DictionaryList>(form.get(), "ListBox1")->count(), 0);
    }

    void search_rowsLeadToTheElementsOfTheLatestSearch()
    {
        m_content = test::TestContent();
        m_content.setGlossary(
            "[*v*]001 Alpha.jpg \r\nAlpha: first.\r\n[*v*]002 Beta.jpg \r\nBeta: second.\r\n[*c*]\r\n");
        const auto form = test::ShowForm({m_content.content(), 24, {}, m_errors.reporter()});
        search(form.get(), QStringLiteral("alpha"), false);
        search(form.get(), QStringLiteral("beta"), false);
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBox1"), 0);
        QCOMPARE(test::MemoLines(Child<QPlainTextEdit>(form.get(), "Memo2")),
                 QStringList{QStringLiteral("Beta: second.")});
    }

    void resultWithoutElement_changesNothing()
    {
        const auto form = showBuiltIn();
        auto* results = Child<DictionaryList>(form.get(), "ListBox1");
        results->addItem(QStringLiteral("stray row"));
        const QSize before = Child<PictureBox>(form.get(), "Image1")->size();
        test::ClickRow(results, 0);
        QVERIFY(Child<QPlainTextEdit>(form.get(), "Memo2")->toPlainText().isEmpty());
        QCOMPARE(Child<PictureBox>(form.get(), "Image1")->size(), before);
        QVERIFY(m_errors.texts.isEmpty());
    }

    void about_showsVersionAndPlatesTheSameEveryTime()
    {
        m_content = test::TestContent();
        m_content.addTitle(1, "001 Leaf");
        m_content.addTitle(2, "001 Frog");
        m_content.addTitle(6, "001 suit");
        const auto form = test::ShowForm({m_content.content(), 24, {}, m_errors.reporter()});
        auto* panel = Child<QLabel>(form.get(), "stat1Panel");
        const QString about =
            QStringLiteral("Pictolex " PICTOLEX_EXPECTED_RELEASE " - a picture dictionary of 3 illustrated plates");
        for (int i = 0; i < 2; ++i) {
            Child<QAction>(form.get(), "About1")->trigger();
            QCOMPARE(panel->text(), about);
        }
    }

    void blog_handsTheConfiguredAddressToTheDesktop()
    {
        const QUrl expected(QStringLiteral(PICTOLEX_EXPECTED_BLOG_URL));
        QDesktopServices::setUrlHandler(expected.scheme(), this, "openUrl");
        const auto form = showBuiltIn();
        Child<QAction>(form.get(), "Blog1")->trigger();
        QDesktopServices::unsetUrlHandler(expected.scheme());
        QCOMPARE(m_openedUrls, QList<QUrl>{expected});
        QVERIFY(m_errors.texts.isEmpty());
    }

    void blog_withNothingToOpenItPassesSilently()
    {
        // The offscreen platform opens no addresses, as a desktop without a
        // browser: the failure must reach neither the user nor stderr.
        static QStringList messages;
        messages.clear();
        const auto form = showBuiltIn();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& message) { messages.append(message); });
        Child<QAction>(form.get(), "Blog1")->trigger();
        qInstallMessageHandler(previous);
        QCOMPARE(messages, QStringList());
        QVERIFY(m_errors.texts.isEmpty());
    }

    void startProgram_namesTheApplicationAndShowsForm1()
    {
        const auto form = StartProgram(BuiltInContent());
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Pictolex"));
        QCOMPARE(QApplication::applicationVersion(), QStringLiteral(PICTOLEX_EXPECTED_VERSION));
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("io.github.pictolex.Pictolex"));
        QCOMPARE(QApplication::windowIcon().availableSizes().value(0), QSize(48, 48));
        QCOMPARE(form->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Pictolex"));
        QVERIFY(form->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(QApplication::topLevelWidgets().count(form.get()), 1);
    }

    void exit_endsTheLoopWithoutACloseRequest()
    {
        const auto form = showBuiltIn();
        CloseCounter counter;
        form->installEventFilter(&counter);
        QTimer::singleShot(0, form.get(), [&] { Child<QAction>(form.get(), "Exit1")->trigger(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(counter.closes, 0);
    }

    void close_runsTheCloseQueryAndEndsTheLoop()
    {
        const auto form = showBuiltIn();
        CloseCounter counter;
        form->installEventFilter(&counter);
        QTimer::singleShot(0, form.get(), [&] { form->close(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(counter.closes, 1);
        QVERIFY(!form->isVisible());
    }

    void errorBoxText_addsAFullStopAfterCharactersBeyondIt_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digit") << QStringLiteral("JPEG error #42") << QStringLiteral("JPEG error #42.");
        QTest::newRow("parenthesis") << QStringLiteral("List index out of bounds (5)")
                                     << QStringLiteral("List index out of bounds (5)");
        QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("letter") << QStringLiteral("Bad") << QStringLiteral("Bad.");
        QTest::newRow("non-ASCII last byte") << QString::fromUtf8("caf\xC3\xA9") << QString::fromUtf8("caf\xC3\xA9.");
        QTest::newRow("empty") << QString() << QString();
    }

    void errorBoxText_addsAFullStopAfterCharactersBeyondIt()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(ErrorBoxText(message.toStdString())), shown);
    }

    void brokenHeader_reportedBySelectionBeforeTheEntryChanges()
    {
        QByteArray broken = test::PlainJpeg(QSize(100, 100));
        broken[0] = 0;
        broken[1] = 0;
        const auto form = showWithBrokenPicture(broken);
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        auto* memo = Child<QPlainTextEdit>(form.get(), "Memo2");
        auto* image = Child<PictureBox>(form.get(), "Image1");
        test::ClickRow(vegetal, 1);
        image->grab();
        const QStringList soundLines = test::MemoLines(memo);

        test::ClickRow(vegetal, 0);
        QCOMPARE(m_errors.texts.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^JPEG error #\\d+\\.$")).match(m_errors.texts.first()).hasMatch(),
                 qPrintable(m_errors.texts.first()));
        QCOMPARE(test::MemoLines(memo), soundLines);
        QCOMPARE(image->size(), QSize(320, 240));

        // The program goes on.
        test::ClickRow(vegetal, 1);
        QCOMPARE(test::MemoLines(memo), soundLines);
        QCOMPARE(m_errors.texts.size(), 1);
    }

    void brokenScan_reportedOnceAtFirstPaintAndThePictureStays()
    {
        const QByteArray broken = test::WithBrokenScan(test::PlainJpeg(QSize(200, 150)));
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(broken.constData()),
                                                  static_cast<std::size_t>(broken.size()));
        QCOMPARE(ReadJpegHeader(bytes).width, 200);
        int code = 0;
        try {
            DecodeJpeg(bytes, ColourMode::Rgb);
        } catch (const JpegError& error) {
            code = error.code();
        }
        QVERIFY(code != 0);

        const auto form = showWithBrokenPicture(broken);
        auto* image = Child<PictureBox>(form.get(), "Image1");
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxV"), 0);
        // The header was fine: the entry shows and the control has the picture's size.
        QCOMPARE(test::MemoLines(Child<QPlainTextEdit>(form.get(), "Memo2")),
                 QStringList{QStringLiteral("Broken: a bad picture.")});
        QCOMPARE(image->size(), QSize(200, 150));

        image->grab();
        QCOMPARE(m_errors.texts, QStringList{QStringLiteral("JPEG error #%1.").arg(code)});
        QCOMPARE(image->decodedImage().size(), QSize(200, 150));
        image->grab();
        image->repaint();
        QCOMPARE(m_errors.texts.size(), 1);
    }

    void defaultErrorRoute_opensTheBoxOnlyAfterControlReturns()
    {
        ShowErrorBoxLater(QStringLiteral("JPEG error #42."));
        QVERIFY(!QApplication::activeModalWidget());
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                buttons = box->standardButtons();
                box->accept();
            }
            seen = true;
        });
        QTRY_VERIFY(seen);
        QCOMPARE(title, QStringLiteral("Pictolex"));
        QCOMPARE(text, QStringLiteral("JPEG error #42."));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(WindowEventsTest)
#include "tst_windowevents.moc"
