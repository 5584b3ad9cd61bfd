// What a screen reader learns about the window through Qt's accessibility
// interfaces: a spoken name and a role for every control, and a picture
// named after the plate it shows.
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "builtin_content.h"
#include "pictolex/content.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "testsupport.h"

using namespace pictolex;
using test::Child;

namespace {

QAccessibleInterface* Accessible(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return iface;
}

QString SpokenName(QObject* object)
{
    return Accessible(object)->text(QAccessible::Name);
}

// The plate title a search result leads to, worked out from the glossary
// heading itself: the heading's text without its ".jpg " ending.
QString TitleOfFirstResult(std::string_view word)
{
    const std::vector<TermMatch> matches = SearchTerms(content::GlossaryText(), word, false);
    if (matches.empty())
        qFatal("the built-in glossary has no term %s", std::string(word).c_str());
    const std::optional<EntryKeys> keys = ResolveResult(matches.front().element);
    if (!keys)
        qFatal("the first result for %s has no heading", std::string(word).c_str());
    QString title = QString::fromStdString(keys->entryKey);
    if (!title.endsWith(QLatin1String(".jpg ")))
        qFatal("heading without a picture name: %s", qPrintable(title));
    title.chop(5);
    return title;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TForm1> m_form;
    test::ErrorLog m_errors;

    PictureBox* image1() const { return Child<PictureBox>(m_form.get(), "Image1"); }

private Q_SLOTS:
    void init()
    {
        FormSetup setup;
        setup.content = BuiltInContent();
        setup.reportError = m_errors.reporter();
        m_form = test::ShowForm(std::move(setup));
    }

    void cleanup()
    {
        m_form.reset();
        QVERIFY2(m_errors.texts.isEmpty(), qPrintable(m_errors.texts.join(QLatin1Char('\n'))));
    }

    void control_hasSpokenNameAndRole_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");

        const auto row = [](const char* object, const char* name, QAccessible::Role role) {
            QTest::newRow(object) << QString::fromLatin1(object) << QString::fromLatin1(name) << int(role);
        };
        row("Form1", "Pictolex", QAccessible::Window);
        row("ListBoxV", "Vegetal", QAccessible::List);
        row("ListBoxA", "Animal", QAccessible::List);
        row("ListBoxH", "Human", QAccessible::List);
        row("ListBoxM", "Music", QAccessible::List);
        row("ListBoxT", "Transport", QAccessible::List);
        row("ListBoxC", "Clothing", QAccessible::List);
        row("Memo2", "Words", QAccessible::EditableText);
        row("Edit1", "Word", QAccessible::EditableText);
        row("btn1", "Search", QAccessible::Button);
        row("ListBox1", "Results", QAccessible::List);
        row("CheckBox1", "All forms", QAccessible::CheckBox);
        row("Image1", "Pictolex", QAccessible::Graphic);
    }

    void control_hasSpokenNameAndRole()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, name);
        QFETCH(int, role);

        QObject* control =
            objectName == QLatin1String("Form1") ? m_form.get() : m_form->findChild<QObject*>(objectName);
        QVERIFY(control);
        QAccessibleInterface* iface = Accessible(control);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
        QVERIFY(!iface->state().invisible);
    }

    void controls_areReachableFromTheWindow()
    {
        // A screen reader walks down from the window; every named control
        // must be found that way, not only by asking for it directly.
        QStringList found;
        QList<QAccessibleInterface*> pending{Accessible(m_form.get())};
        while (!pending.isEmpty()) {
            QAccessibleInterface* iface = pending.takeFirst();
            found.append(iface->text(QAccessible::Name));
            for (int i = 0; i < iface->childCount(); ++i) {
                if (QAccessibleInterface* child = iface->child(i))
                    pending.append(child);
            }
        }
        for (const char* name : {"Vegetal", "Animal", "Human", "Music", "Transport", "Clothing", "Words", "Word",
                                 "Search", "Results", "All forms"})
            QVERIFY2(found.contains(QString::fromLatin1(name)), name);
    }

    void checkBox_describesWhatItChanges()
    {
        QAccessibleInterface* iface = Accessible(Child<QCheckBox>(m_form.get(), "CheckBox1"));
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("Find terms that contain the word"));
    }

    void picture_isNamedAfterTheChosenCategoryRow_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<int>("row");
        for (const char* list : {"ListBoxV", "ListBoxA", "ListBoxH", "ListBoxM", "ListBoxT", "ListBoxC"}) {
            QTest::addRow("%s first", list) << QString::fromLatin1(list) << 0;
            QTest::addRow("%s third", list) << QString::fromLatin1(list) << 2;
        }
    }

    void picture_isNamedAfterTheChosenCategoryRow()
    {
        QFETCH(QString, listName);
        QFETCH(int, row);
        auto* list = m_form->findChild<QListWidget*>(listName);
        QVERIFY(list);
        QVERIFY(list->count() > row);

        test::ClickRow(list, row);

        QCOMPARE(SpokenName(image1()), list->item(row)->text().trimmed());
        QCOMPARE(int(Accessible(image1())->role()), int(QAccessible::Graphic));
    }

    void picture_isNamedAfterTheChosenSearchResult()
    {
        auto* list = Child<QListWidget>(m_form.get(), "ListBoxV");
        test::ClickRow(list, 0);
        const QString before = SpokenName(image1());

        Child<QLineEdit>(m_form.get(), "Edit1")->setText(QStringLiteral("Antenna"));
        Child<QCheckBox>(m_form.get(), "CheckBox1")->setChecked(false);
        QTest::mouseClick(Child<QPushButton>(m_form.get(), "btn1"), Qt::LeftButton);
        auto* results = Child<QListWidget>(m_form.get(), "ListBox1");
        QVERIFY(results->count() > 0);
        test::ClickRow(results, 0);

        const QString expected = TitleOfFirstResult("Antenna");
        QVERIFY(expected != before);
        QCOMPARE(SpokenName(image1()), expected);
    }

    void picture_showsBannerName_untilAPlateIsChosen()
    {
        QCOMPARE(SpokenName(image1()), QStringLiteral("Pictolex"));
        m_form->ShowPicture("v001");
        QVERIFY(SpokenName(image1()).startsWith(QLatin1String("001 ")));
    }

    void picture_keepsItsName_whenTheKeyIsUnknown()
    {
        m_form->ShowPicture("V002");
        const QString shown = SpokenName(image1());
        QVERIFY(shown.startsWith(QLatin1String("002 ")));
        m_form->ShowPicture("x999");
        QCOMPARE(SpokenName(image1()), shown);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
