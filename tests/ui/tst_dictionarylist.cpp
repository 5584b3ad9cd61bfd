// Selection by typing and the selection reports of the window's lists.
#include <QSignalSpy>
#include <QTest>

#include "dictionarylist.h"
#include "testsupport.h"

using namespace pictolex;

namespace {

const QStringList kRows{
    QStringLiteral("001 Alpha"),   QStringLiteral("002 Beta"), QStringLiteral("010 Gamma"), QStringLiteral("012 Delta"),
    QStringLiteral("100 Epsilon"), QStringLiteral("Zeta"),     QStringLiteral("zebra"),
};

}  // namespace

class DictionaryListTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_list = std::make_unique<DictionaryList>(11, m_clock.clock());
        m_list->addItems(kRows);
        m_list->resize(233, 57);
        m_list->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
        m_reports = std::make_unique<QSignalSpy>(m_list.get(), &DictionaryList::chosen);
    }

    void cleanup()
    {
        m_reports.reset();
        m_list.reset();
    }

    // Keys: a character is typed, '<' is Backspace, '|' waits 500 ms and
    // ':' waits 499 ms before the next key; any other key comes 100 ms later.
    void typeAhead_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("selectedAfterEachKey");
        QTest::addColumn<int>("reports");

        QTest::newRow("quick digits walk 001, 010, 012") << QStringLiteral("012") << QList<int>{0, 2, 3} << 3;
        QTest::newRow("a repeated key extends the prefix, never cycles")
            << QStringLiteral("zz") << QList<int>{5, 5} << 1;
        QTest::newRow("letter case is ignored") << QStringLiteral("ZEB") << QList<int>{5, 5, 6} << 3;
        QTest::newRow("a pause of 500 ms starts a new prefix") << QStringLiteral("0|1") << QList<int>{0, 4} << 2;
        QTest::newRow("499 ms still extends the prefix") << QStringLiteral("0:1") << QList<int>{0, 2} << 2;
        QTest::newRow("backspace removes the last character") << QStringLiteral("01<") << QList<int>{0, 2, 0} << 3;
        QTest::newRow("an emptied prefix selects the first row") << QStringLiteral("z<") << QList<int>{5, 0} << 2;
        QTest::newRow("backspace after a pause selects the first row")
            << QStringLiteral("z|<") << QList<int>{5, 0} << 2;
        QTest::newRow("no match keeps the row and the typed prefix")
            << QStringLiteral("0x<") << QList<int>{0, 0, 0} << 2;
        QTest::newRow("no match from the start selects nothing") << QStringLiteral("q") << QList<int>{-1} << 0;
        QTest::newRow("the same row is reported again for every key")
            << QStringLiteral("0|0|0") << QList<int>{0, 0, 0} << 3;
    }

    void typeAhead()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, selectedAfterEachKey);
        QFETCH(int, reports);

        QList<int> selected;
        qint64 wait = 100;
        for (const QChar key : keys) {
            if (key == QLatin1Char('|') || key == QLatin1Char(':')) {
                wait = key == QLatin1Char('|') ? 500 : 499;
                continue;
            }
            m_clock.now += wait;
            wait = 100;
            if (key == QLatin1Char('<'))
                QTest::keyClick(m_list.get(), Qt::Key_Backspace);
            else
                QTest::keyClick(m_list.get(), key.toLatin1());
            selected.append(m_list->selectedRow());
        }
        QCOMPARE(selected, selectedAfterEachKey);
        QCOMPARE(m_reports->count(), reports);
    }

    void typeAhead_unmatchedKeyIsConsumed()
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"));
        QCoreApplication::sendEvent(m_list.get(), &key);
        QVERIFY(key.isAccepted());
    }

    void settingTheRowFromCode_reportsNothing()
    {
        m_list->setCurrentRow(3);
        m_list->clearSelection();
        m_list->setCurrentRow(1);
        QCOMPARE(m_reports->count(), 0);
        QCOMPARE(m_list->selectedRow(), 1);
    }

    void takingTheFocus_selectsNothing()
    {
        m_list->activateWindow();
        m_list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(m_list->hasFocus());
        QCOMPARE(m_list->selectedRow(), -1);
        QCOMPARE(m_reports->count(), 0);
    }

    void mousePressOnRow_selectsAndReports()
    {
        test::ClickRow(m_list.get(), 1);
        QCOMPARE(m_list->selectedRow(), 1);
        QCOMPARE(m_reports->count(), 1);
    }

    void mousePressBesideTheRows_keepsTheSelection()
    {
        m_list->resize(233, 200);
        test::ClickRow(m_list.get(), 2);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(20, m_list->viewport()->height() - 3));
        QCOMPARE(m_list->selectedRow(), 2);
        QCOMPARE(m_reports->count(), 1);
    }

    void arrowsAndPaging_reportOnlyWhenTheRowMoves()
    {
        QTest::keyClick(m_list.get(), Qt::Key_Down);  // nothing selected: the first row
        QCOMPARE(m_list->selectedRow(), 0);
        QTest::keyClick(m_list.get(), Qt::Key_Up);  // already at the top
        QCOMPARE(m_reports->count(), 1);
        QTest::keyClick(m_list.get(), Qt::Key_End);
        QCOMPARE(m_list->selectedRow(), kRows.size() - 1);
        QTest::keyClick(m_list.get(), Qt::Key_Down);
        QCOMPARE(m_reports->count(), 2);
        QTest::keyClick(m_list.get(), Qt::Key_PageUp);
        QVERIFY(m_list->selectedRow() < kRows.size() - 1);
        QTest::keyClick(m_list.get(), Qt::Key_Home);
        QCOMPARE(m_list->selectedRow(), 0);
        QCOMPARE(m_reports->count(), 4);
    }

    void keysWithModifiers_moveAndReportAsWithout_data()
    {
        QTest::addColumn<int>("modifier");
        QTest::newRow("Ctrl") << int(Qt::ControlModifier);
        QTest::newRow("Alt") << int(Qt::AltModifier);
        QTest::newRow("Meta") << int(Qt::MetaModifier);
    }

    void keysWithModifiers_moveAndReportAsWithout()
    {
        QFETCH(int, modifier);
        const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_End,   Qt::Key_Up,       Qt::Key_PageUp,
                                Qt::Key_Home, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Left};
        const auto walk = [&](Qt::KeyboardModifiers modifiers) {
            m_list->setCurrentRow(2);
            m_reports->clear();
            QList<int> rows;
            for (const Qt::Key key : keys) {
                QTest::keyClick(m_list.get(), key, modifiers);
                rows.append(m_list->selectedRow());
            }
            return std::pair(rows, m_reports->count());
        };
        const auto plain = walk(Qt::NoModifier);
        QCOMPARE(walk(Qt::KeyboardModifiers(modifier)), plain);
    }

    void selectedRow_staysUnderCtrlSpaceAndCtrlClick()
    {
        QTest::keyClick(m_list.get(), Qt::Key_Space, Qt::ControlModifier);  // nothing picked yet
        QCOMPARE(m_list->selectedRow(), -1);
        test::ClickRow(m_list.get(), 2);
        QTest::keyClick(m_list.get(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(m_list->selectedRow(), 2);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          m_list->visualItemRect(m_list->item(2)).center());
        QCOMPARE(m_list->selectedRow(), 2);
        QTest::keyClick(m_list.get(), Qt::Key_Down);
        QCOMPARE(m_list->selectedRow(), 3);
    }

    void frame_showsFourFullRowsAndPartOfAFifth()
    {
        // The fixture has a category list's size and row height.
        const QRect view = m_list->viewport()->rect();
        QVERIFY(view.contains(m_list->visualItemRect(m_list->item(3))));
        const QRect fifth = m_list->visualItemRect(m_list->item(4));
        QVERIFY(view.intersects(fifth));
        QVERIFY(!view.contains(fifth));
    }

private:
    test::ManualClock m_clock;
    std::unique_ptr<DictionaryList> m_list;
    std::unique_ptr<QSignalSpy> m_reports;
};

QTEST_MAIN(DictionaryListTest)
#include "tst_dictionarylist.moc"
