// The plate's labels in the window, on the built-in content: the pointer over
// a label, a click on it, Memo2's caret on its line, a search result that
// leads to it, what a screen reader learns about it, and copying the picture
// and the entry.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "builtin_content.h"
#include "pictolex/content.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "testsupport.h"

using namespace pictolex;
using test::Child;

namespace {

constexpr char kPlantCell[] = "001 Plant cell";

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList EntryOf(std::string_view key)
{
    QStringList lines;
    for (const std::string& line : EntryLines(content::GlossaryText(), key))
        lines.append(QString::fromStdString(line));
    return lines;
}

QPoint TextCentre(const PlateLabel& label)
{
    return {(label.text.left + label.text.right) / 2, (label.text.top + label.text.bottom) / 2};
}

QPoint Dot(const PlateLabel& label)
{
    return QPointF(label.points[0].x, label.points[0].y).toPoint();
}

int Find(std::span<const PlateLabel> labels, std::string_view term)
{
    const auto found = std::find_if(labels.begin(), labels.end(), [term](const auto& l) { return l.term == term; });
    if (found == labels.end())
        qFatal("no label %s", std::string(term).c_str());
    return static_cast<int>(found - labels.begin());
}

}  // namespace

class PlateLabelsTest : public QObject {
    Q_OBJECT

private:
    test::ErrorLog m_errors;
    test::TestContent m_content;
    std::unique_ptr<TForm1> m_form;

    PictureBox* image() const { return Child<PictureBox>(m_form.get(), "Image1"); }
    QPlainTextEdit* memo() const { return Child<QPlainTextEdit>(m_form.get(), "Memo2"); }
    std::span<const PlateLabel> plantCell() const { return content::Labels().Find("V001"); }

    // Form1 on the built-in content, tall enough to show a whole plate, with
    // "001 Plant cell" chosen in the Vegetal list (which keeps the focus).
    void showPlantCell()
    {
        FormSetup setup;
        setup.content = BuiltInContent();
        setup.reportError = m_errors.reporter();
        m_form = test::ShowForm(std::move(setup));
        m_form->resize(1100, 1100);
        auto* vegetal = Child<DictionaryList>(m_form.get(), "ListBoxV");
        test::ClickRow(vegetal, test::RowWithText(vegetal, QString::fromLatin1(kPlantCell)));
        QVERIFY(image()->isVisible());
        QCOMPARE(image()->labels().data(), plantCell().data());
    }

    void search(const QString& word, bool partial)
    {
        Child<QLineEdit>(m_form.get(), "Edit1")->setText(word);
        Child<QCheckBox>(m_form.get(), "CheckBox1")->setChecked(partial);
        QTest::mouseClick(Child<QPushButton>(m_form.get(), "btn1"), Qt::LeftButton);
    }

    // Memo2's selection is exactly `line`, and the line is in view.
    void verifySelectedLine(const QString& line)
    {
        QCOMPARE(memo()->textCursor().selectedText(), line);
        const QRect caret = memo()->cursorRect();
        QVERIFY2(memo()->viewport()->rect().contains(caret), "the selected line is out of view");
    }

    // A point of the picture where no label answers.
    QPoint awayFromLabels() const
    {
        for (int y = 2; y < image()->height(); y += 7) {
            for (int x = 2; x < image()->width(); x += 7) {
                if (image()->labelAt(QPointF(x, y)) < 0)
                    return {x, y};
            }
        }
        qFatal("every point of the picture is a label's");
    }

private Q_SLOTS:
    void init()
    {
        m_errors.texts.clear();
        QGuiApplication::clipboard()->clear();
    }

    void cleanup()
    {
        m_form.reset();
        QVERIFY2(m_errors.texts.isEmpty(), qPrintable(m_errors.texts.join(QLatin1Char('\n'))));
    }

    void hover_handAndTipFollowThePointerFromLabelToLabel()
    {
        showPlantCell();
        const QStringList entry = EntryOf(kPlantCell);
        const auto labels = plantCell();
        const PlateLabel& rough = labels[static_cast<std::size_t>(Find(labels, "Rough endoplasmic reticulum"))];
        const PlateLabel& nucleus = labels[static_cast<std::size_t>(Find(labels, "Nucleus"))];

        QTest::mouseMove(image(), TextCentre(rough));
        QCOMPARE(image()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY2(!QToolTip::isVisible(), "the tip shows before the delay");
        QTRY_VERIFY(QToolTip::isVisible());
        // The whole line, wrapped at 400 px into more than one line.
        const QString tip = QToolTip::text();
        QVERIFY(tip.contains(QLatin1Char('\n')));
        QCOMPARE(QString(tip).replace(QLatin1Char('\n'), QLatin1Char(' ')), entry[rough.line]);
        const QFontMetrics metrics(QToolTip::font());
        for (const QString& row : tip.split(QLatin1Char('\n')))
            QVERIFY2(metrics.horizontalAdvance(row) <= 400, qPrintable(row));

        // Resting: the tip outlasts the 2.5 s of the controls' tips.
        QTest::qWait(3000);
        QVERIFY(QToolTip::isVisible());

        // Onto another label, by its dot: the tip changes at once.
        QTest::mouseMove(image(), Dot(nucleus));
        QCOMPARE(image()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), entry[nucleus.line]);

        // Off every label: an ordinary pointer, and the tip goes.
        QTest::mouseMove(image(), awayFromLabels());
        QCOMPARE(image()->cursor().shape(), Qt::ArrowCursor);
        QTRY_VERIFY(!QToolTip::isVisible());
        QTest::qWait(700);
        QVERIFY2(!QToolTip::isVisible(), "a tip shows away from the labels");
    }

    void click_marksTheLabelAndSelectsItsLineWithoutTakingTheFocus()
    {
        showPlantCell();
        QWidget* focus = QApplication::focusWidget();
        QCOMPARE(focus, Child<DictionaryList>(m_form.get(), "ListBoxV"));
        const QStringList entry = EntryOf(kPlantCell);
        const auto labels = plantCell();
        // The first labelled line is out of view: Memo2 shows the entry's last lines.
        const int envelope = Find(labels, "Nuclear envelope");
        const PlateLabel& label = labels[static_cast<std::size_t>(envelope)];
        image()->grab();
        const QImage decoded = image()->decodedImage().copy();

        QTest::mouseClick(image(), Qt::LeftButton, {}, TextCentre(label));
        QCOMPARE(image()->markedLabel(), envelope);
        verifySelectedLine(entry[label.line]);
        QCOMPARE(memo()->textCursor().blockNumber(), label.line);
        QCOMPARE(QApplication::focusWidget(), focus);
        QCOMPARE(image()->focusPolicy(), Qt::NoFocus);

        // Painted over the picture in the highlight colour: the frame's left
        // side and the ring; the decoded pixels stay as they were.
        const QImage shot = image()->grab().toImage();
        const QColor highlight = image()->palette().color(QPalette::Highlight);
        QCOMPARE(shot.pixelColor(label.text.left - 2, (label.text.top + label.text.bottom) / 2), highlight);
        // A pixel wholly inside the ring, 4.5 to 6.5 px from the dot's centre.
        const QPoint onRing(static_cast<int>(std::floor(label.points[0].x)),
                            static_cast<int>(std::ceil(label.points[0].y - label.radius - 4)));
        QCOMPARE(shot.pixelColor(onRing), highlight);
        QCOMPARE(image()->decodedImage(), decoded);

        // Another label by its dot, then the picture away from every label.
        const int chloroplast = Find(labels, "Chloroplast");
        QTest::mouseClick(image(), Qt::LeftButton, {}, Dot(labels[static_cast<std::size_t>(chloroplast)]));
        QCOMPARE(image()->markedLabel(), chloroplast);
        verifySelectedLine(entry[labels[static_cast<std::size_t>(chloroplast)].line]);
        QTest::mouseClick(image(), Qt::LeftButton, {}, awayFromLabels());
        QCOMPARE(image()->markedLabel(), -1);
        QCOMPARE(QApplication::focusWidget(), focus);
    }

    void mark_repaintsOnlyTheMarkedPlaces()
    {
        showPlantCell();
        test::PaintedRegion watch;
        image()->installEventFilter(&watch);
        QTRY_VERIFY(!image()->decodedImage().isNull());
        const int first = Find(plantCell(), "Central vacuole");
        const int second = Find(plantCell(), "Cell wall");
        QApplication::processEvents();
        watch.painted = {};

        QTest::mouseClick(image(), Qt::LeftButton, {}, TextCentre(plantCell()[static_cast<std::size_t>(first)]));
        QTRY_VERIFY(!watch.painted.isEmpty());
        QCOMPARE(watch.painted - image()->markRegion(first), QRegion());
        watch.painted = {};
        QTest::mouseClick(image(), Qt::LeftButton, {}, TextCentre(plantCell()[static_cast<std::size_t>(second)]));
        QTRY_VERIFY(!watch.painted.isEmpty());
        QCOMPARE(watch.painted - image()->markRegion(first) - image()->markRegion(second), QRegion());
        // The frame and the ring: a small part of the picture.
        const int area = test::Area(image()->markRegion(first));
        QVERIFY2(area < image()->width() * image()->height() / 50, qPrintable(QString::number(area)));
    }

    void mark_goesWithANewEntryANewPictureOrACategorySelection()
    {
        showPlantCell();
        const auto mark = [this] {
            QTest::mouseClick(image(), Qt::LeftButton, {}, TextCentre(plantCell()[0]));
            QCOMPARE(image()->markedLabel(), 0);
        };
        mark();
        m_form->ShowEntryText(kPlantCell);
        QCOMPARE(image()->markedLabel(), -1);
        mark();
        m_form->ShowPicture("v001");
        QCOMPARE(image()->markedLabel(), -1);
        mark();
        auto* vegetal = Child<DictionaryList>(m_form.get(), "ListBoxV");
        test::ClickRow(vegetal, test::RowWithText(vegetal, QString::fromLatin1(kPlantCell)));
        QCOMPARE(image()->markedLabel(), -1);
        QVERIFY(memo()->textCursor().atEnd());
    }

    void caret_onATermLineMarksItsLabel_elsewhereNone()
    {
        showPlantCell();
        const auto labels = plantCell();
        memo()->setFocus();
        QTest::keyClick(memo(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(image()->markedLabel(), -1);  // the plate's own line has no label
        for (int line = 1; line <= 3; ++line) {
            QTest::keyClick(memo(), Qt::Key_Down);
            QCOMPARE(image()->markedLabel(), image()->labelOnLine(line));
            QCOMPARE(labels[static_cast<std::size_t>(image()->markedLabel())].line, line);
        }
        // A click on a line does the same.
        const QTextCursor lineStart(memo()->document()->findBlockByNumber(labels[5].line));
        QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {},
                          memo()->cursorRect(lineStart).center() + QPoint(20, 0));
        QCOMPARE(image()->markedLabel(), 5);
    }

    void searchResult_showsThePlateWithTheFoundLineSelectedAndItsLabelMarked()
    {
        showPlantCell();
        search(QStringLiteral("xylem"), false);
        const std::vector<TermMatch> matches = SearchTerms(content::GlossaryText(), "xylem", false);
        auto* results = Child<DictionaryList>(m_form.get(), "ListBox1");
        QCOMPARE(results->count(), static_cast<int>(matches.size()));
        QVERIFY(results->count() >= 2);
        for (int row = 0; row < results->count(); ++row) {
            const auto keys = ResolveResult(matches[static_cast<std::size_t>(row)].element);
            QVERIFY(keys);
            test::ClickRow(results, row);
            QCOMPARE(image()->labels().data(), content::Labels().Find(keys->pictureKey).data());
            const int marked = image()->markedLabel();
            QVERIFY(marked >= 0);
            QCOMPARE(image()->labels()[static_cast<std::size_t>(marked)].term, std::string_view("Xylem"));
            verifySelectedLine(EntryOf(keys->entryKey)[matches[static_cast<std::size_t>(row)].line]);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(results));
        }
    }

    void searchResult_sameTermTwiceInAnEntrySelectsTheLineItWasFoundOn()
    {
        m_content = test::TestContent();
        m_content.setGlossary("[*v*]001 Leaf.jpg \r\nLeaf: a flat green organ.\r\nVein: carries water in.\r\n"
                              "Blade: the flat part.\r\nVein: carries sugar out.\r\n[*c*]\r\n");
        m_content.addTitle(1, "001 Leaf");
        m_content.addPicture("V001", test::PlainJpeg(QSize(300, 200), Qt::white));
        m_content.addLabels("V001", {{"Vein", 1, {10, 20, 40, 32}, LabelMark::Dot, {{{150, 30}}}, 2.5f},
                                     {"Vein", 3, {10, 60, 40, 72}, LabelMark::Dot, {{{150, 70}}}, 2.5f}});
        m_form = test::ShowForm({m_content.content(), 24, {}, m_errors.reporter()});
        search(QStringLiteral("vein"), false);
        test::ClickRow(Child<DictionaryList>(m_form.get(), "ListBox1"), 1);
        QCOMPARE(memo()->textCursor().selectedText(), QStringLiteral("Vein: carries sugar out."));
        QCOMPARE(image()->markedLabel(), 1);
        test::ClickRow(Child<DictionaryList>(m_form.get(), "ListBox1"), 0);
        QCOMPARE(memo()->textCursor().selectedText(), QStringLiteral("Vein: carries water in."));
        QCOMPARE(image()->markedLabel(), 0);
    }

    void accessible_oneChildPerLabelNamedDescribedAndPressable()
    {
        showPlantCell();
        QWidget* focus = QApplication::focusWidget();
        const QStringList entry = EntryOf(kPlantCell);
        const auto labels = plantCell();
        QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(image());
        QCOMPARE(picture->childCount(), static_cast<int>(labels.size()));
        for (int i = 0; i < picture->childCount(); ++i) {
            QAccessibleInterface* child = picture->child(i);
            QVERIFY(child && child->isValid());
            const QString line = entry[labels[static_cast<std::size_t>(i)].line];
            QCOMPARE(child->text(QAccessible::Name), FromUtf8(labels[static_cast<std::size_t>(i)].term));
            QCOMPARE(child->text(QAccessible::Name) + QStringLiteral(": ") + child->text(QAccessible::Description),
                     line);
            QCOMPARE(child->role(), QAccessible::Link);
            QCOMPARE(child->parent(), picture);
            QCOMPARE(picture->indexOfChild(child), i);
            QVERIFY(child->rect().contains(image()->mapToGlobal(TextCentre(labels[static_cast<std::size_t>(i)]))));
            QCOMPARE(picture->childAt(child->rect().center().x(), child->rect().center().y()), child);
        }

        const int nucleus = Find(labels, "Nucleus");
        QAccessibleActionInterface* action = picture->child(nucleus)->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(image()->markedLabel(), nucleus);
        verifySelectedLine(entry[labels[static_cast<std::size_t>(nucleus)].line]);
        QCOMPARE(QApplication::focusWidget(), focus);

        // Another plate brings its own children; the banner has none.
        m_form->ShowPicture("v003");
        QCOMPARE(picture->childCount(), static_cast<int>(content::Labels().Find("V003").size()));
        QCOMPARE(picture->child(0)->text(QAccessible::Name), FromUtf8(content::Labels().Find("V003")[0].term));
        m_form.reset();
        m_form = test::ShowForm({BuiltInContent(), 24, {}, m_errors.reporter()});
        QCOMPARE(QAccessible::queryAccessibleInterface(image())->childCount(), 0);
    }

    void copy_theContextMenuCopiesThePictureUnmarkedAndTheEntry()
    {
        showPlantCell();
        QTest::mouseClick(image(), Qt::LeftButton, {}, TextCentre(plantCell()[0]));
        QCOMPARE(image()->markedLabel(), 0);

        QStringList captions;
        QTimer::singleShot(0, this, [&captions] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions())
                    captions.append(action->text().remove(QLatin1Char('&')));
                for (QAction* action : menu->actions()) {
                    if (action->objectName() == QLatin1String("CopyPicture1"))
                        menu->setActiveAction(action);
                }
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), image()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(image(), &rightClick);
        QCOMPARE(captions, (QStringList{QStringLiteral("Copy Picture"), QStringLiteral("Copy Entry")}));

        // The picture at full size, as decoded, without the mark.
        const DecodedImage reference = DecodeJpeg(*content::Pictures().Find("V001"), ColourMode::Rgb);
        const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888);
        QCOMPARE(copied.size(), QSize(reference.width, reference.height));
        QVERIFY(copied == ImageOver(reference));
        // The copy is the clipboard's own: the next picture does not change it.
        m_form->ShowPicture("a001");
        image()->grab();
        QVERIFY(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888) == ImageOver(reference));

        m_form->ShowPicture("v001");
        Child<QAction>(image(), "CopyEntry1")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), EntryOf(kPlantCell).join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }

    void copy_theBannerHasNoEntryToCopy()
    {
        m_form = test::ShowForm({BuiltInContent(), 24, {}, m_errors.reporter()});
        QVERIFY(!Child<QAction>(image(), "CopyEntry1")->isEnabled());
        QVERIFY(Child<QAction>(image(), "CopyPicture1")->isEnabled());
        m_form->ShowPicture("v001");
        QVERIFY(Child<QAction>(image(), "CopyEntry1")->isEnabled());
    }
};

QTEST_MAIN(PlateLabelsTest)
#include "tst_platelabels.moc"
