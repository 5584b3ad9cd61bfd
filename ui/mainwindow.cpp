#include "mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStringList>
#include <QStyleFactory>
#include <QTextBlock>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <span>

#include "accesskeys.h"
#include "interfacefont.h"
#include "pictolex/category.h"
#include "pictolex/entry_lookup.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "windowscroller.h"

namespace pictolex {

namespace {

// Window size at design, frame included, and the client area below the menu bar.
constexpr QSize kOuterSize(1028, 613);
constexpr QSize kClientSize(1020, 559);
constexpr int kStatusBarHeight = 19;
constexpr int kCategoryRowHeight = 11;
constexpr int kResultRowHeight = 13;
constexpr int kToolTipWakeUpMs = 500;
constexpr int kToolTipShowMs = 2500;

struct MenuItemEntry {
    const char* name;
    const char* caption;
    void (TForm1::*handler)();
};

struct CategoryPlace {
    QPoint labelPos;  // the list sits 16 px below its label
    int labelWidth;
};

// In the order of kCategories: two rows of three.
constexpr std::array<CategoryPlace, 6> kCategoryPlaces{{
    {{8, 8}, 36},
    {{248, 8}, 31},
    {{488, 8}, 33},
    {{8, 88}, 26},
    {{248, 88}, 47},
    {{488, 88}, 39},
}};
static_assert(kCategoryPlaces.size() == kCategories.size(), "the window has a place for each category");

// Tool tips wake up after 500 ms of rest instead of the style's default.
// While a tip shows, Qt replaces it at once when the pointer moves to another
// control with a tip, but only until the tip "falls asleep", by default 2 s
// after it appeared; staying awake as long as the tip shows keeps the
// replacement immediate for the tip's whole life.
class ToolTipTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return kToolTipWakeUpMs;
        if (hint == QStyle::SH_ToolTip_FallAsleepDelay)
            return kToolTipShowMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QString Latin1(const char* text)
{
    return QString::fromLatin1(text);
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Pictolex 1.0.0 - a picture dictionary of 470 illustrated plates", with
// this build's version and number of plates.
QString AboutText(const DictionaryContent& content)
{
    std::size_t plates = 0;
    for (const auto& titles : content.categoryTitles)
        plates += titles.size();
    return QStringLiteral("Pictolex " PICTOLEX_RELEASE " - a picture dictionary of %1 illustrated plates").arg(plates);
}

// A captionless group box, drawn as the etched frame it is on the desktop the
// layout was designed for; its inside stays the window's white.
QFrame* AddGroupBox(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* group = new QFrame(parent);
    group->setObjectName(Latin1(name));
    group->setFrameStyle(QFrame::Box | QFrame::Sunken);
    group->setGeometry(geometry);
    group->setFocusPolicy(Qt::NoFocus);
    return group;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(Latin1(name));
    // Labels size themselves to their caption, so a font a pixel wider than
    // the designed one does not clip it.
    label->setGeometry(
        QRect(geometry.topLeft(), QSize(std::max(geometry.width(), label->sizeHint().width()), geometry.height())));
    return label;
}

// Adds one action per item to `owner` (a menu, or a control whose context
// menu shows its actions), captioned with its access key and wired to its
// handler; returns them in order.
std::vector<QAction*> AddMenuItems(TForm1* form, QWidget* owner, std::span<const MenuItemEntry> items)
{
    QStringList captions;
    for (const MenuItemEntry& item : items)
        captions.append(Latin1(item.caption));
    const QStringList marked = WithAccessKeys(captions);
    std::vector<QAction*> actions;
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* action = new QAction(marked[static_cast<qsizetype>(i)], owner);
        action->setObjectName(Latin1(items[i].name));
        QObject::connect(action, &QAction::triggered, form, items[i].handler);
        owner->addAction(action);
        actions.push_back(action);
    }
    return actions;
}

// Keeps Qt's messages off stderr while it lives.
class QuietMessages {
public:
    QuietMessages() : m_previous(qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {})) {}
    ~QuietMessages() { qInstallMessageHandler(m_previous); }
    Q_DISABLE_COPY_MOVE(QuietMessages)

private:
    QtMessageHandler m_previous;
};

// Tips over `widget` wake up after the window's delay.
void UseToolTipTiming(QWidget* widget)
{
    auto* style = new ToolTipTimingStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(widget);
    widget->setStyle(style);
}

void GiveToolTip(QWidget* widget, const char* tip)
{
    widget->setToolTip(Latin1(tip));
    widget->setToolTipDuration(kToolTipShowMs);
    UseToolTipTiming(widget);
}

// The lines as one text, a line break after each.
QString TextOfLines(const std::vector<std::string>& lines)
{
    QString text;
    for (const std::string& line : lines) {
        text += FromUtf8(line);
        text += QLatin1Char('\n');
    }
    return text;
}

QStringList ToQStrings(const std::vector<std::string>& lines)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        list.append(FromUtf8(line));
    return list;
}

}  // namespace

TForm1::TForm1(FormSetup setup, QWidget* parent)
    : QMainWindow(parent), m_setup(std::move(setup)), m_glossaryText(m_setup.content.glossary)
{
    if (!m_setup.reportError)
        m_setup.reportError = ShowErrorBoxLater;
    setupWindow();
    setupMenus();
    setupCategoryGroup();
    setupSearchGroup();
    setupPicture();
    setupStatusBar();
    setupKeyboard();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setupWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Pictolex"));
    setFont(InterfaceFont(11));

    m_scroller = new WindowScroller(this);
    m_scroller->setObjectName(QStringLiteral("client"));
    m_scroller->content()->setObjectName(QStringLiteral("clientArea"));
    QPalette white = m_scroller->palette();
    white.setColor(QPalette::Window, Qt::white);
    for (QWidget* area : {m_scroller->viewport(), m_scroller->content()}) {
        area->setPalette(white);
        area->setAutoFillBackground(true);
    }
    setCentralWidget(m_scroller);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + std::max(0, (screen.width() - kOuterSize.width()) / 2),
         screen.y() + std::max(0, (screen.height() - kOuterSize.height()) / 2));
}

void TForm1::setupMenus()
{
    struct MenuEntry {
        const char* name;
        const char* caption;
        std::vector<MenuItemEntry> items;
    };
    const MenuEntry menus[] = {
        {"File1", "File", {{"Exit1", "Exit", &TForm1::Exit1Click}}},
        {"Help1", "Help", {{"Blog1", "Blog", &TForm1::Blog1Click}, {"About1", "About", &TForm1::About1Click}}},
    };

    menuBar()->setObjectName(QStringLiteral("mm1"));
    QStringList menuCaptions;
    for (const MenuEntry& menu : menus)
        menuCaptions.append(Latin1(menu.caption));
    const QStringList markedMenus = WithAccessKeys(menuCaptions);

    for (qsizetype m = 0; m < markedMenus.size(); ++m) {
        const MenuEntry& entry = menus[m];
        QMenu* menu = menuBar()->addMenu(markedMenus[m]);
        menu->setObjectName(Latin1(entry.name));
        AddMenuItems(this, menu, entry.items);
    }
    resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());
}

void TForm1::setupCategoryGroup()
{
    m_grp1 = AddGroupBox(m_scroller->content(), "grp1", QRect(8, 8, 729, 361));

    for (std::size_t i = 0; i < kCategoryPlaces.size(); ++i) {
        const CategoryPlace& place = kCategoryPlaces[i];
        const Category& category = kCategories[i];
        // Label1 to Label6 above ListBoxV, ListBoxA, ... (the letter in capitals).
        const std::string labelName = "Label" + std::to_string(category.tag);
        AddLabel(m_grp1, labelName.c_str(), FromUtf8(category.label),
                 QRect(place.labelPos, QSize(place.labelWidth, 13)));

        auto* list = new DictionaryList(kCategoryRowHeight, m_setup.clock, m_grp1);
        list->setObjectName(QStringLiteral("ListBox") + FromUtf8(category.letter).toUpper());
        list->setGeometry(QRect(place.labelPos + QPoint(0, 16), QSize(233, 57)));
        list->setFont(InterfaceFont(9));
        list->setTag(category.tag);
        list->setAccessibleName(FromUtf8(category.label));
        for (std::string_view title : m_setup.content.categoryTitles[i])
            list->addItem(FromUtf8(title));
        connect(list, &DictionaryList::chosen, this, [this, list] { Tavi_ListBox_Click(list); });
        m_categoryLists[i] = list;
    }

    AddLabel(m_grp1, "Label7", QStringLiteral("Words :"), QRect(8, 172, 38, 13));
    m_memo2 = new QPlainTextEdit(m_grp1);
    m_memo2->setObjectName(QStringLiteral("Memo2"));
    m_memo2->setAccessibleName(QStringLiteral("Words"));
    m_memo2->setGeometry(8, 192, 713, 153);
    m_memo2->setReadOnly(true);
    m_memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo2->setTabChangesFocus(true);
    m_memo2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TForm1::setupSearchGroup()
{
    m_grp2 = AddGroupBox(m_scroller->content(), "grp2", QRect(744, 8, 265, 361));

    AddLabel(m_grp2, "Label8", QStringLiteral("Word :"), QRect(10, 8, 33, 13));

    m_edit1 = new QLineEdit(m_grp2);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setAccessibleName(QStringLiteral("Word"));
    m_edit1->setGeometry(8, 24, 121, 21);
    GiveToolTip(m_edit1, "Please Enter");

    m_btn1 = new QPushButton(QStringLiteral("Search"), m_grp2);
    m_btn1->setObjectName(QStringLiteral("btn1"));
    m_btn1->setGeometry(174, 21, 75, 25);
    m_btn1->setAutoDefault(false);
    m_btn1->setDefault(false);
    connect(m_btn1, &QPushButton::clicked, this, &TForm1::btn1Click);

    m_listBox1 = new DictionaryList(kResultRowHeight, m_setup.clock, m_grp2);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setAccessibleName(QStringLiteral("Results"));
    m_listBox1->setGeometry(8, 56, 241, 289);
    connect(m_listBox1, &DictionaryList::chosen, this, &TForm1::ListBox1Click);

    m_checkBox1 = new QCheckBox(m_grp2);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    // The box has no caption of its own; a screen reader needs one.
    m_checkBox1->setAccessibleName(QStringLiteral("All forms"));
    m_checkBox1->setAccessibleDescription(QStringLiteral("Find terms that contain the word"));
    m_checkBox1->setGeometry(136, 24, 25, 17);
    GiveToolTip(m_checkBox1, "All Form");
}

void TForm1::setupPicture()
{
    const ColourMode mode = m_setup.screenDepth <= 8 ? ColourMode::Quantised236 : ColourMode::Rgb;
    m_image1 = new PictureBox(mode, m_scroller->content());
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAccessibleName(QStringLiteral("Pictolex"));
    m_image1->setGeometry(8, 376, 618, 153);
    UseToolTipTiming(m_image1);
    connect(m_image1, &PictureBox::decodeFailed, this,
            [this](const QString& message) { reportError(message.toUtf8().toStdString()); });
    connect(m_image1, &PictureBox::labelClicked, this, &TForm1::Image1LabelClick);
    connect(m_image1, &PictureBox::clickedAway, this, &TForm1::Image1Click);
    connect(m_memo2, &QPlainTextEdit::cursorPositionChanged, this, &TForm1::Memo2CaretMove);

    // The picture's context menu. The banner has no entry to copy.
    const std::array<MenuItemEntry, 2> items{{{"CopyPicture1", "Copy Picture", &TForm1::CopyPicture1Click},
                                              {"CopyEntry1", "Copy Entry", &TForm1::CopyEntry1Click}}};
    m_copyEntry1 = AddMenuItems(this, m_image1, items)[1];
    m_copyEntry1->setEnabled(false);
    m_image1->setContextMenuPolicy(Qt::ActionsContextMenu);

    guarded([this] { m_image1->setJpeg(m_setup.content.banner); });
}

void TForm1::setupStatusBar()
{
    m_stat1 = new QStatusBar(m_scroller->content());
    m_stat1->setObjectName(QStringLiteral("stat1"));
    m_stat1->setSizeGripEnabled(false);
    m_stat1->setBackgroundRole(QPalette::Button);
    m_stat1->setAutoFillBackground(true);

    m_statusPanel = new QLabel(m_stat1);
    m_statusPanel->setObjectName(QStringLiteral("stat1Panel"));
    m_statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_stat1->addWidget(m_statusPanel, 1);
    m_scroller->setFooter(m_stat1, kStatusBarHeight);
}

void TForm1::setupKeyboard()
{
    const std::array<QWidget*, 11> tabOrder{
        m_categoryLists[0],
        m_categoryLists[1],
        m_categoryLists[2],
        m_categoryLists[3],
        m_categoryLists[4],
        m_categoryLists[5],
        m_memo2,
        m_edit1,
        m_btn1,
        m_listBox1,
        m_checkBox1,
    };
    for (std::size_t i = 0; i + 1 < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i], tabOrder[i + 1]);
    m_stat1->setFocusPolicy(Qt::NoFocus);
    menuBar()->setFocusPolicy(Qt::NoFocus);
    for (QLabel* label : findChildren<QLabel*>())
        label->setFocusPolicy(Qt::NoFocus);

    m_btn1->installEventFilter(this);
    m_checkBox1->installEventFilter(this);
    // The wheel goes to the focused control wherever the pointer is, so the
    // window watches wheel events for all of its widgets, scroll bars included.
    qApp->installEventFilter(this);
    m_categoryLists[0]->setFocus(Qt::OtherFocusReason);
}

void TForm1::FormCreate()
{
    m_searchResults = std::make_unique<std::vector<std::string>>();
}

bool TForm1::FormCloseQuery()
{
    return true;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::ShowPicture(std::string_view key)
{
    const auto bytes = m_setup.content.pictures.Find(key);
    if (!bytes)
        return;
    m_image1->setJpeg(*bytes);
    const std::optional<std::string_view> title = PlateTitle(m_setup.content, key);
    // A picture no row leads to is called by its key, and has no entry.
    m_image1->setAccessibleName(FromUtf8(title.value_or(key)));
    m_pictureEntry = title ? EntryLines(m_glossaryText, *title) : std::vector<std::string>();
    m_image1->setLabels(m_setup.content.labels.Find(key), ToQStrings(m_pictureEntry));
    m_copyEntry1->setEnabled(!m_pictureEntry.empty());
}

void TForm1::ShowEntryText(std::string_view key)
{
    m_memoEntry = EntryLines(m_glossaryText, key);
    m_memo2->setPlainText(TextOfLines(m_memoEntry));
    m_memo2->moveCursor(QTextCursor::End);
    m_memo2->ensureCursorVisible();
    m_memo2->verticalScrollBar()->setValue(m_memo2->verticalScrollBar()->maximum());
    m_image1->setMarkedLabel(-1);
}

void TForm1::SetStatusText(const QString& text)
{
    m_statusPanel->setText(text);
}

void TForm1::Tavi_ListBox_Click(DictionaryList* sender)
{
    guarded([this, sender] {
        const int row = sender->selectedRow();
        if (row < 0)
            return;
        const QByteArray rowText = sender->item(row)->text().toUtf8();
        const EntryKeys keys = CategoryRowKeys(sender->tag(), std::string_view(rowText.constData(), rowText.size()));
        ShowPicture(keys.pictureKey);
        ShowEntryText(keys.entryKey);
    });
}

void TForm1::Image1LabelClick(int label)
{
    guarded([this, label] {
        if (memoShowsPictureEntry())
            selectMemoLine(m_image1->labels()[static_cast<std::size_t>(label)].line);
        m_image1->setMarkedLabel(label);
    });
}

void TForm1::Image1Click()
{
    m_image1->setMarkedLabel(-1);
}

void TForm1::Memo2CaretMove()
{
    const int line = m_memo2->textCursor().blockNumber();
    m_image1->setMarkedLabel(memoShowsPictureEntry() ? m_image1->labelOnLine(line) : -1);
}

void TForm1::selectMemoLine(int line)
{
    const QTextBlock block = m_memo2->document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    // The caret ends at the line's start, so that the view shows where the
    // line begins however long it is.
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    m_memo2->setTextCursor(cursor);
    m_memo2->ensureCursorVisible();
}

bool TForm1::memoShowsPictureEntry() const
{
    return !m_pictureEntry.empty() && m_memoEntry == m_pictureEntry;
}

void TForm1::CopyPicture1Click()
{
    guarded([this] { QGuiApplication::clipboard()->setImage(m_image1->picture()); });
}

void TForm1::CopyEntry1Click()
{
    guarded([this] { QGuiApplication::clipboard()->setText(TextOfLines(m_pictureEntry)); });
}

void TForm1::btn1Click()
{
    guarded([this] {
        if (m_edit1->text().isEmpty())
            return;
        m_listBox1->clear();
        RunTermSearch();
    });
}

void TForm1::RunTermSearch()
{
    m_searchResults->clear();
    m_searchResultLines.clear();
    const QByteArray word = m_edit1->text().toUtf8();
    std::vector<TermMatch> matches =
        SearchTerms(m_glossaryText, std::string_view(word.constData(), word.size()), m_checkBox1->isChecked());
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(matches.size()));
    m_searchResults->reserve(matches.size());
    m_searchResultLines.reserve(matches.size());
    for (TermMatch& match : matches) {
        m_searchResults->push_back(std::move(match.element));
        m_searchResultLines.push_back(match.line);
        rows.append(FromUtf8(match.term));
    }
    // The rows go in only after the whole scan, all at once.
    m_listBox1->addItems(rows);
}

void TForm1::ListBox1Click()
{
    guarded([this] {
        const int row = m_listBox1->selectedRow();
        // The rows and SearchResults are filled together; a row without an
        // element is ignored rather than read past the end.
        if (row < 0 || row >= static_cast<int>(m_searchResults->size()))
            return;
        const std::optional<EntryKeys> keys = ResolveResult((*m_searchResults)[static_cast<std::size_t>(row)]);
        if (!keys)
            return;
        ShowPicture(keys->pictureKey);
        ShowEntryText(keys->entryKey);
        // The line the term was found on, and its label if the plate has one.
        selectMemoLine(m_searchResultLines[static_cast<std::size_t>(row)]);
    });
}

void TForm1::Exit1Click()
{
    // Ends the event loop at once: quit() and close() would send a close
    // request first.
    QCoreApplication::exit(0);
}

void TForm1::Blog1Click()
{
    guarded([] {
        // Opening fails without a browser or on a platform that opens
        // nothing; Qt then warns on stderr, and the failure is to pass
        // silently.
        const QuietMessages quiet;
        QDesktopServices::openUrl(QUrl(QStringLiteral(PICTOLEX_BLOG_URL)));
    });
}

void TForm1::About1Click()
{
    guarded([this] { SetStatusText(AboutText(m_setup.content)); });
}

template <typename Handler>
void TForm1::guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        reportError(error.what());
    } catch (...) {
        reportError("Unknown error");
    }
}

void TForm1::reportError(std::string_view message)
{
    m_setup.reportError(QString::fromUtf8(ErrorBoxText(message)));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel)
        return redirectWheel(qobject_cast<QWidget*>(watched), event);
    if (event->type() == QEvent::KeyPress && (watched == m_btn1 || watched == m_checkBox1)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_btn1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            m_btn1->click();
            return true;
        }
        return moveInSearchGroup(static_cast<QWidget*>(watched), key);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::redirectWheel(QWidget* target, QEvent* event)
{
    if (!target || (target != this && !isAncestorOf(target)))
        return false;
    QWidget* focus = focusWidget();
    if (focus && (focus == target || focus->isAncestorOf(target)))
        return false;
    // Anything else is swallowed: a copy goes to the focused control, and
    // the copy's own propagation to the control's parents stops here.
    if (m_redirectingWheel || !focus)
        return true;
    QWidget* receiver = focus;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(focus))
        receiver = area->viewport();
    const auto* wheel = static_cast<QWheelEvent*>(event);
    QWheelEvent copy(receiver->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(), wheel->pixelDelta(),
                     wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                     wheel->source());
    m_redirectingWheel = true;
    QCoreApplication::sendEvent(receiver, &copy);
    m_redirectingWheel = false;
    return true;
}

bool TForm1::moveInSearchGroup(QWidget* from, int key)
{
    int step = 0;
    if (key == Qt::Key_Right || key == Qt::Key_Down)
        step = 1;
    else if (key == Qt::Key_Left || key == Qt::Key_Up)
        step = -1;
    else
        return false;
    const std::array<QWidget*, 4> ring{m_edit1, m_btn1, m_listBox1, m_checkBox1};
    const auto at = std::find(ring.begin(), ring.end(), from) - ring.begin();
    const auto next = (at + step + static_cast<int>(ring.size())) % static_cast<int>(ring.size());
    ring[static_cast<std::size_t>(next)]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

}  // namespace pictolex
