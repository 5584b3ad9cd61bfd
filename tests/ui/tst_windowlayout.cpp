// The main window as it opens, and how it behaves before any command runs:
// layout, focus and keys, type-ahead, Memo2, tool tips, scrolling, pictures.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include "accesskeys.h"
#include "picturebox.h"
#include "testsupport.h"
#include "windowscroller.h"

using namespace pictolex;
using test::Child;

namespace {

// Titles 005-030 fill the lists far enough to scroll.
void AddFillers(test::TestContent& content, int tag, std::string& glossary)
{
    for (int n = 5; n <= 30; ++n) {
        const std::string title = (n < 10 ? "00" : "0") + std::to_string(n) + " Filler";
        content.addTitle(tag, title);
        glossary += "[*x*]" + title + ".jpg \r\nFiller: nothing.\r\n";
    }
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TForm1> showTestForm(int screenDepth = 24)
    {
        m_content = test::TestContent();
        std::string glossary = "[*v*]001 Plant cell.jpg \r\nPlant cell: the unit of life.\r\nNucleus: the core.\r\n"
                               "[*v*]002 Leaf.jpg \r\nLeaf: it\xE2\x80\x99s green, \xC3\xA0 la plante.\r\n"
                               "[*v*]010 Root.jpg \r\nRoot: below ground.\r\n"
                               "[*v*]012 Stem.jpg \r\nStem: holds the leaves.\r\n"
                               "[*v*]020 Long.jpg \r\n";
        for (int n = 1; n <= 40; ++n)
            glossary += "Long line " + std::to_string(n) + ": text.\r\n";
        glossary += "[*a*]001 Tall.jpg \r\nTall: a tall picture.\r\n";
        for (const char* title : {"001 Plant cell", "002 Leaf", "010 Root", "012 Stem", "020 Long", "099 Nowhere"})
            m_content.addTitle(1, title);
        m_content.addTitle(2, "001 Tall");
        AddFillers(m_content, 2, glossary);
        m_content.addTitle(3, "001 Cell");
        m_content.addTitle(4, "001 Drum");
        m_content.addTitle(5, "001 Car");
        m_content.addTitle(6, "001 suit");
        glossary += "[*c*]\r\n";
        m_content.setGlossary(glossary);
        m_content.addPicture("V001", test::PlainJpeg(QSize(300, 200)));
        m_content.addPicture("V002", test::PlainJpeg(QSize(250, 180)));
        m_content.addPicture("V020", test::PlainJpeg(QSize(204, 156)));
        m_content.addPicture("A001", test::PlainJpeg(QSize(465, 423)));

        FormSetup setup{m_content.content(), screenDepth, m_clock.clock(), m_errors.reporter()};
        return test::ShowForm(std::move(setup));
    }

    test::TestContent m_content;
    test::ManualClock m_clock;
    test::ErrorLog m_errors;

private slots:
    void initialState_controlsStandWhereDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        const QString client = QStringLiteral("clientArea");
        const QString grp1 = QStringLiteral("grp1");
        const QString grp2 = QStringLiteral("grp2");
        const struct {
            const char* name;
            QString parent;
            QRect geometry;
        } rows[] = {
            {"Image1", client, {8, 376, 618, 153}},  {"grp1", client, {8, 8, 729, 361}},
            {"ListBoxV", grp1, {8, 24, 233, 57}},    {"ListBoxA", grp1, {248, 24, 233, 57}},
            {"ListBoxH", grp1, {488, 24, 233, 57}},  {"ListBoxM", grp1, {8, 104, 233, 57}},
            {"ListBoxT", grp1, {248, 104, 233, 57}}, {"ListBoxC", grp1, {488, 104, 233, 57}},
            {"Memo2", grp1, {8, 192, 713, 153}},     {"grp2", client, {744, 8, 265, 361}},
            {"Edit1", grp2, {8, 24, 121, 21}},       {"btn1", grp2, {174, 21, 75, 25}},
            {"ListBox1", grp2, {8, 56, 241, 289}},   {"CheckBox1", grp2, {136, 24, 25, 17}},
            {"stat1", client, {0, 540, 1020, 19}},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.parent << row.geometry;
    }

    void initialState_controlsStandWhereDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        const auto form = showTestForm();
        const auto* widget = form->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(widget->geometry(), geometry);
    }

    void initialState_labelsStartWhereDesignedAndFitTheirCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("designed");
        const struct {
            const char* name;
            const char* caption;
            QRect designed;
        } rows[] = {
            {"Label1", "Vegetal", {8, 8, 36, 13}},      {"Label2", "Animal", {248, 8, 31, 13}},
            {"Label3", "Human", {488, 8, 33, 13}},      {"Label4", "Music", {8, 88, 26, 13}},
            {"Label5", "Transport", {248, 88, 47, 13}}, {"Label6", "Clothing", {488, 88, 39, 13}},
            {"Label7", "Words :", {8, 172, 38, 13}},    {"Label8", "Word :", {10, 8, 33, 13}},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.caption)
                                    << row.designed;
    }

    void initialState_labelsStartWhereDesignedAndFitTheirCaption()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, designed);
        const auto form = showTestForm();
        const auto* label = form->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->pos(), designed.topLeft());
        QCOMPARE(label->height(), designed.height());
        QVERIFY(label->width() >= designed.width());
        QVERIFY(label->width() >= label->sizeHint().width());
    }

    void initialState_clientAreaIsDesignSizeAndWindowCentred()
    {
        const auto form = showTestForm();
        QCOMPARE(form->centralWidget()->size(), QSize(1020, 559));
        QCOMPARE(form->windowTitle(), QStringLiteral("Pictolex"));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint expected(screen.x() + std::max(0, (screen.width() - 1028) / 2),
                              screen.y() + std::max(0, (screen.height() - 613) / 2));
        QCOMPARE(form->frameGeometry().topLeft(), expected);
    }

    void initialState_listsHoldTheirCategoriesAndEverythingElseIsEmpty()
    {
        const auto form = showTestForm();
        const struct {
            const char* name;
            int rows;
            const char* first;
        } lists[] = {{"ListBoxV", 6, "001 Plant cell"}, {"ListBoxA", 27, "001 Tall"}, {"ListBoxH", 1, "001 Cell"},
                     {"ListBoxM", 1, "001 Drum"},       {"ListBoxT", 1, "001 Car"},   {"ListBoxC", 1, "001 suit"}};
        for (int tag = 1; tag <= 6; ++tag) {
            auto* list = Child<DictionaryList>(form.get(), lists[tag - 1].name);
            QCOMPARE(list->count(), lists[tag - 1].rows);
            QCOMPARE(list->item(0)->text(), QString::fromLatin1(lists[tag - 1].first));
            QCOMPARE(list->tag(), tag);
            QCOMPARE(list->selectedRow(), -1);
        }
        QVERIFY(Child<QPlainTextEdit>(form.get(), "Memo2")->toPlainText().isEmpty());
        QVERIFY(Child<QLineEdit>(form.get(), "Edit1")->text().isEmpty());
        QCOMPARE(Child<QListWidget>(form.get(), "ListBox1")->count(), 0);
        QVERIFY(!Child<QCheckBox>(form.get(), "CheckBox1")->isChecked());
        QVERIFY(Child<QLabel>(form.get(), "stat1Panel")->text().isEmpty());
        auto* image = Child<PictureBox>(form.get(), "Image1");
        QCOMPARE(image->geometry(), QRect(8, 376, 618, 153));
        QVERIFY(!image->grab().isNull());
        QCOMPARE(image->decodedImage().size(), QSize(618, 153));
    }

    void initialState_focusOnVegetalListWithNothingSelected()
    {
        const auto form = showTestForm();
        QTRY_COMPARE(QApplication::focusWidget(), Child<QWidget>(form.get(), "ListBoxV"));
        QCOMPARE(Child<DictionaryList>(form.get(), "ListBoxV")->selectedRow(), -1);
        QVERIFY(Child<QPlainTextEdit>(form.get(), "Memo2")->toPlainText().isEmpty());
    }

    void categorySelection_fillsMemoAndSizesPicture()
    {
        const auto form = showTestForm();
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        test::ClickRow(vegetal, 0);
        QCOMPARE(test::MemoLines(Child<QPlainTextEdit>(form.get(), "Memo2")),
                 (QStringList{QStringLiteral("Plant cell: the unit of life."), QStringLiteral("Nucleus: the core.")}));
        QCOMPARE(Child<PictureBox>(form.get(), "Image1")->size(), QSize(300, 200));

        auto* animal = Child<DictionaryList>(form.get(), "ListBoxA");
        test::ClickRow(animal, 0);
        QCOMPARE(Child<PictureBox>(form.get(), "Image1")->size(), QSize(465, 423));
        QCOMPARE(Child<PictureBox>(form.get(), "Image1")->pos(), QPoint(8, 376));
        QCOMPARE(vegetal->selectedRow(), 0);
        QCOMPARE(animal->selectedRow(), 0);
        QVERIFY(m_errors.texts.isEmpty());
    }

    void categorySelection_keyWithoutPictureKeepsPictureAndSize()
    {
        const auto form = showTestForm();
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        test::ClickRow(vegetal, 1);
        test::ClickRow(vegetal, test::RowWithText(vegetal, QStringLiteral("099 Nowhere")));
        auto* image = Child<PictureBox>(form.get(), "Image1");
        QCOMPARE(image->size(), QSize(250, 180));
        QVERIFY(Child<QPlainTextEdit>(form.get(), "Memo2")->toPlainText().isEmpty());
    }

    void typeAheadInCategoryList_showsEachRowItFinds()
    {
        const auto form = showTestForm();
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        QSignalSpy reports(vegetal, &DictionaryList::chosen);
        QStringList shown;
        for (char key : {'0', '1', '2'}) {
            m_clock.now += 50;
            QTest::keyClick(vegetal, key);
            shown.append(vegetal->item(vegetal->selectedRow())->text());
        }
        QCOMPARE(shown, (QStringList{QStringLiteral("001 Plant cell"), QStringLiteral("010 Root"),
                                     QStringLiteral("012 Stem")}));
        QCOMPARE(reports.count(), 3);
        QCOMPARE(test::MemoLines(Child<QPlainTextEdit>(form.get(), "Memo2")),
                 QStringList{QStringLiteral("Stem: holds the leaves.")});
    }

    void memo2_endsWithLineBreakAndShowsTheLastLinesOfALongEntry()
    {
        const auto form = showTestForm();
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        test::ClickRow(vegetal, test::RowWithText(vegetal, QStringLiteral("020 Long")));
        auto* memo = Child<QPlainTextEdit>(form.get(), "Memo2");
        QVERIFY(memo->toPlainText().endsWith(QLatin1Char('\n')));
        QCOMPARE(test::MemoLines(memo).size(), 40);
        QVERIFY(memo->textCursor().atEnd());
        QVERIFY(memo->verticalScrollBar()->maximum() > 0);
        QCOMPARE(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
    }

    void memo2_keepsTextBeyondAsciiIntact()
    {
        const auto form = showTestForm();
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxV"), 1);
        QCOMPARE(test::MemoLines(Child<QPlainTextEdit>(form.get(), "Memo2")),
                 QStringList{QString::fromUtf8("Leaf: it\xE2\x80\x99s green, \xC3\xA0 la plante.")});
    }

    void keyboard_tabCycleFollowsTheDesignedOrderAndWraps()
    {
        const auto form = showTestForm();
        const QStringList order{
            QStringLiteral("ListBoxV"), QStringLiteral("ListBoxA"),  QStringLiteral("ListBoxH"),
            QStringLiteral("ListBoxM"), QStringLiteral("ListBoxT"),  QStringLiteral("ListBoxC"),
            QStringLiteral("Memo2"),    QStringLiteral("Edit1"),     QStringLiteral("btn1"),
            QStringLiteral("ListBox1"), QStringLiteral("CheckBox1"),
        };
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), order.first());
        QStringList forward;
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(forward, order.mid(1) + order.mid(0, 1));
        QStringList backward;
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(backward, order);
    }

    void keyboard_arrowsRingRoundTheSearchGroup_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::newRow("right from the button")
            << QStringLiteral("btn1") << int(Qt::Key_Right) << QStringLiteral("ListBox1");
        QTest::newRow("down from the button")
            << QStringLiteral("btn1") << int(Qt::Key_Down) << QStringLiteral("ListBox1");
        QTest::newRow("left from the button") << QStringLiteral("btn1") << int(Qt::Key_Left) << QStringLiteral("Edit1");
        QTest::newRow("up from the check box")
            << QStringLiteral("CheckBox1") << int(Qt::Key_Up) << QStringLiteral("ListBox1");
        QTest::newRow("right from the check box wraps")
            << QStringLiteral("CheckBox1") << int(Qt::Key_Right) << QStringLiteral("Edit1");
    }

    void keyboard_arrowsRingRoundTheSearchGroup()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        const auto form = showTestForm();
        auto* start = form->findChild<QWidget*>(from);
        start->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(start->hasFocus());
        QTest::keyClick(start, Qt::Key(key));
        QCOMPARE(QApplication::focusWidget()->objectName(), to);
    }

    void keyboard_edit1SelectsItsWordWhenReachedFromTheKeyboard()
    {
        const auto form = showTestForm();
        auto* edit = Child<QLineEdit>(form.get(), "Edit1");
        edit->setText(QStringLiteral("cell"));
        auto* button = Child<QPushButton>(form.get(), "btn1");
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Left);
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), QStringLiteral("cell"));
    }

    void keyboard_enterSearchesOnlyWhileTheButtonHasFocus()
    {
        const auto form = showTestForm();
        auto* edit = Child<QLineEdit>(form.get(), "Edit1");
        auto* results = Child<QListWidget>(form.get(), "ListBox1");
        edit->setText(QStringLiteral("nucleus"));
        edit->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(results->count(), 0);
        auto* button = Child<QPushButton>(form.get(), "btn1");
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(results->count(), 1);
        QCOMPARE(results->item(0)->text(), QStringLiteral("nucleus"));
    }

    void accessKeys_firstFreeCharacterOfEachLevel_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("menu bar") << QStringList{QStringLiteral("File"), QStringLiteral("Help")}
                                  << QStringList{QStringLiteral("&File"), QStringLiteral("&Help")};
        QTest::newRow("shared first letter") << QStringList{QStringLiteral("File"), QStringLiteral("Format")}
                                             << QStringList{QStringLiteral("&File"), QStringLiteral("F&ormat")};
        QTest::newRow("case ignored") << QStringList{QStringLiteral("about"), QStringLiteral("All")}
                                      << QStringList{QStringLiteral("&about"), QStringLiteral("A&ll")};
        QTest::newRow("nothing left") << QStringList{QStringLiteral("Ab"), QStringLiteral("Ba"), QStringLiteral("ab")}
                                      << QStringList{QStringLiteral("&Ab"), QStringLiteral("&Ba"),
                                                     QStringLiteral("ab")};
        QTest::newRow("ampersand shown, not a mark")
            << QStringList{QStringLiteral("&x")} << QStringList{QStringLiteral("&&&x")};
    }

    void accessKeys_firstFreeCharacterOfEachLevel()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, marked);
        QCOMPARE(WithAccessKeys(captions), marked);
    }

    void menus_carryComputedAccessKeysAndNoShortcuts()
    {
        const auto form = showTestForm();
        QStringList titles;
        for (QAction* action : Child<QMenuBar>(form.get(), "mm1")->actions())
            titles.append(action->text());
        QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Help")}));
        const struct {
            const char* name;
            const char* text;
        } items[] = {{"Exit1", "&Exit"}, {"Blog1", "&Blog"}, {"About1", "&About"}};
        for (const auto& item : items) {
            auto* action = Child<QAction>(form.get(), item.name);
            QCOMPARE(action->text(), QString::fromLatin1(item.text));
            QVERIFY(action->shortcut().isEmpty());
        }
        QCOMPARE(Child<QMenu>(form.get(), "Help1")->actions().size(), 2);
    }

    void toolTips_textsAndTimings()
    {
        const auto form = showTestForm();
        const struct {
            const char* name;
            const char* tip;
        } tips[] = {{"Edit1", "Please Enter"}, {"CheckBox1", "All Form"}};
        for (const auto& tip : tips) {
            auto* widget = Child<QWidget>(form.get(), tip.name);
            QCOMPARE(widget->toolTip(), QString::fromLatin1(tip.tip));
            QCOMPARE(widget->toolTipDuration(), 2500);
            QCOMPARE(widget->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, widget), 500);
        }
    }

    void toolTips_anotherControlReplacesTheTipAtOnceWhileOneShows()
    {
        const auto form = showTestForm();
        const auto pointAt = [&form](const char* name) {
            auto* widget = Child<QWidget>(form.get(), name);
            QTest::mouseMove(form->windowHandle(), widget->mapTo(form.get(), widget->rect().center()));
        };
        pointAt("Edit1");
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Please Enter"));
        // Past Qt's default fall-asleep delay (2,000 ms), before the tip hides.
        QTest::qWait(2100);
        QVERIFY(QToolTip::isVisible());
        pointAt("CheckBox1");
        // At once, not after the 500 ms wake-up delay of a fresh tip.
        QTRY_COMPARE_WITH_TIMEOUT(QToolTip::text(), QStringLiteral("All Form"), 300);
    }

    void scrollBarsNeeded_followsTheTwoStepRule_data()
    {
        QTest::addColumn<QSize>("range");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<bool>("vertical");
        // Client 1020 x 559, bars 16 px thick.
        QTest::newRow("banner fits") << QSize(1009, 548) << false << false;
        QTest::newRow("picture of 164 px fits exactly") << QSize(1009, 559) << false << false;
        QTest::newRow("picture of 165 px needs both bars") << QSize(1009, 560) << true << true;
        QTest::newRow("tall but narrow: vertical only") << QSize(1004, 800) << false << true;
        QTest::newRow("wide and low: horizontal only") << QSize(1100, 543) << true << false;
        QTest::newRow("wide, and too high beside the bar") << QSize(1100, 544) << true << true;
    }

    void scrollBarsNeeded_followsTheTwoStepRule()
    {
        QFETCH(QSize, range);
        QFETCH(bool, horizontal);
        QFETCH(bool, vertical);
        const ScrollBarsShown shown = ScrollBarsNeeded(range, QSize(1020, 559), QSize(16, 16));
        QCOMPARE(shown.horizontal, horizontal);
        QCOMPARE(shown.vertical, vertical);
    }

    void scrolling_bannerFits_statusBarAtTheBottomWithGrip()
    {
        const auto form = showTestForm();
        auto* scroller = Child<WindowScroller>(form.get(), "client");
        QCOMPARE(scroller->scrollRange(), QSize(1009, 376 + 153 + 19));
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
        QVERIFY(!scroller->horizontalScrollBar()->isVisible());
        auto* status = Child<QStatusBar>(form.get(), "stat1");
        QCOMPARE(status->geometry(), QRect(0, 540, 1020, 19));
        QVERIFY(status->isSizeGripEnabled());
    }

    void scrolling_tallPicture_bothBarsAndStatusBarBelowThePicture()
    {
        const auto form = showTestForm();
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxA"), 0);
        auto* scroller = Child<WindowScroller>(form.get(), "client");
        QCOMPARE(scroller->scrollRange(), QSize(1009, 376 + 423 + 19));
        QVERIFY(scroller->verticalScrollBar()->isVisible());
        QVERIFY(scroller->horizontalScrollBar()->isVisible());
        const QSize client = scroller->clientSize();
        QCOMPARE(client, scroller->viewport()->size());
        QCOMPARE(scroller->verticalScrollBar()->maximum(), 818 - client.height());
        QCOMPARE(scroller->horizontalScrollBar()->maximum(), 1009 - client.width());

        auto* status = Child<QStatusBar>(form.get(), "stat1");
        QCOMPARE(status->geometry(), QRect(0, 376 + 423, 1009, 19));
        QVERIFY(!status->isSizeGripEnabled());
        scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->maximum());
        scroller->horizontalScrollBar()->setValue(scroller->horizontalScrollBar()->maximum());
        const QRect shown(status->mapTo(scroller->viewport(), QPoint(0, 0)), status->size());
        QCOMPARE(shown.bottomRight(), scroller->viewport()->rect().bottomRight());
        QVERIFY(status->isSizeGripEnabled());

        // Back to the banner-sized picture: the bars go and the bar docks at the bottom again.
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxV"), 4);
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
        QCOMPARE(status->geometry(), QRect(0, 540, 1020, 19));
        QCOMPARE(Child<QWidget>(form.get(), "clientArea")->pos(), QPoint(0, 0));
    }

    void scrolling_narrowWindow_statusBarKeepsTheRangeWidth()
    {
        const auto form = showTestForm();
        form->resize(800, form->height());
        auto* scroller = Child<WindowScroller>(form.get(), "client");
        QTRY_COMPARE(scroller->width(), 800);
        QVERIFY(scroller->horizontalScrollBar()->isVisible());
        QCOMPARE(Child<QStatusBar>(form.get(), "stat1")->width(), 1009);
    }

    void scrolling_arrowsPagesAndNoTracking()
    {
        const auto form = showTestForm();
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxA"), 0);
        auto* scroller = Child<WindowScroller>(form.get(), "client");
        for (QScrollBar* bar : {scroller->verticalScrollBar(), scroller->horizontalScrollBar()}) {
            QCOMPARE(bar->singleStep(), 8);
            QVERIFY(!bar->hasTracking());
        }
        QCOMPARE(scroller->verticalScrollBar()->pageStep(), scroller->clientSize().height());
        QCOMPARE(scroller->horizontalScrollBar()->pageStep(), scroller->clientSize().width());
    }

    void scrolling_keysNeverScrollTheWindow()
    {
        const auto form = showTestForm();
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxA"), 0);
        auto* button = Child<QPushButton>(form.get(), "btn1");
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_PageDown);
        QTest::keyClick(button, Qt::Key_End);
        QCOMPARE(Child<WindowScroller>(form.get(), "client")->verticalScrollBar()->value(), 0);
    }

    void wheel_goesToTheFocusedControlWhereverThePointerIs()
    {
        const auto form = showTestForm();
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxA"), 0);  // tall picture: window scrolls
        auto* animal = Child<DictionaryList>(form.get(), "ListBoxA");
        auto* vegetal = Child<DictionaryList>(form.get(), "ListBoxV");
        vegetal->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(vegetal->hasFocus());
        animal->verticalScrollBar()->setValue(0);
        auto* scroller = Child<WindowScroller>(form.get(), "client");

        for (QWidget* over : {animal->viewport(), static_cast<QWidget*>(scroller->verticalScrollBar()),
                              scroller->viewport(), Child<QWidget>(form.get(), "Memo2")}) {
            QWheelEvent wheel(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(over, &wheel);
        }
        QCOMPARE(animal->verticalScrollBar()->value(), 0);
        QCOMPARE(scroller->verticalScrollBar()->value(), 0);
        QVERIFY(vegetal->verticalScrollBar()->value() > 0);
    }

    void picture_decodesForTheScreenDepthChosenAtStart_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("format");
        QTest::newRow("8 bits: 236 colours") << 8 << int(QImage::Format_Indexed8);
        QTest::newRow("4 bits: 236 colours") << 4 << int(QImage::Format_Indexed8);
        QTest::newRow("24 bits: true colour") << 24 << int(QImage::Format_RGB888);
    }

    void picture_decodesForTheScreenDepthChosenAtStart()
    {
        QFETCH(int, depth);
        QFETCH(int, format);
        const auto form = showTestForm(depth);
        test::ClickRow(Child<DictionaryList>(form.get(), "ListBoxA"), 0);
        auto* image = Child<PictureBox>(form.get(), "Image1");
        QVERIFY(image->decodedImage().isNull());  // only the header so far
        image->grab();
        const QImage decoded = image->decodedImage();
        QCOMPARE(decoded.size(), QSize(465, 423));
        QCOMPARE(int(decoded.format()), format);
        if (decoded.format() == QImage::Format_Indexed8) {
            QVERIFY(decoded.colorCount() > 0 && decoded.colorCount() <= 236);
            QVERIFY(qAbs(decoded.pixelColor(200, 200).green() - 120) <= 12);  // the colour survives
        }
        QVERIFY(m_errors.texts.isEmpty());
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
