// Form1, the program's one window.
//
// The window only moves text between its controls and core/: a selection in
// a category list goes through CategoryRowKeys to a picture key and an entry
// key; ShowPicture finds the picture in the store and hands its bytes to
// Image1 (which decodes them when it first paints); ShowEntryText puts the
// entry's lines from EntryLines into Memo2. A search runs SearchTerms over the
// glossary and keeps each match's element in SearchResults, parallel to the
// rows of ListBox1; picking a row resolves its element with ResolveResult and
// shows picture and entry the same way, then selects the line the match was
// found on. Text crosses between Qt and core/ only as UTF-8.
//
// The picture and the entry text are tied through the picture's labels: a
// click on a label (or its accessible press) selects the label's line in
// Memo2, and Memo2's caret on a line marks that line's label. The mark
// follows the caret, and goes with a new picture or a new entry.
//
// Every handler runs inside one error boundary: an exception ends the handler
// (what it changed stays) and its message goes to the error reporter, which
// by default opens the error box once the event loop has control again.
#pragma once

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictionarylist.h"
#include "errorbox.h"
#include "pictolex/dictionary_content.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace pictolex {

class PictureBox;
class WindowScroller;

struct FormSetup {
    // What the window shows; it must outlive the window.
    DictionaryContent content;
    // Bits per pixel of the screen, decided once at start-up: 8 or fewer
    // decode pictures to 236 colours.
    int screenDepth = 24;
    TypeAheadClock clock;       // empty: a steady clock
    ErrorReporter reportError;  // empty: the error box, opened queued
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(FormSetup setup = {}, QWidget* parent = nullptr);
    ~TForm1() override;
    Q_DISABLE_COPY_MOVE(TForm1)

    // Shows the picture named `key` (letter case ignored) in Image1 with its
    // labels, unmarked, and names Image1 for screen readers by the plate's
    // title, the category row that leads to the picture, whose entry lines
    // the labels name. Does nothing when the store has no such picture.
    // Throws JpegError when the picture's header is broken, leaving the
    // previous picture, labels and name.
    void ShowPicture(std::string_view key);
    // Replaces Memo2's lines with the entry found by `key`, leaving it empty
    // when no line contains the key, and clears the picture's mark.
    void ShowEntryText(std::string_view key);
    // Sets the text of the status bar's only panel.
    void SetStatusText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupWindow();
    void setupMenus();
    void setupCategoryGroup();
    void setupSearchGroup();
    void setupPicture();
    void setupStatusBar();
    void setupKeyboard();

    void FormCreate();
    bool FormCloseQuery();
    void Tavi_ListBox_Click(DictionaryList* sender);
    void btn1Click();
    void RunTermSearch();
    void ListBox1Click();
    void Exit1Click();
    void Blog1Click();
    void About1Click();
    void Image1LabelClick(int label);
    void Image1Click();
    void Memo2CaretMove();
    void CopyPicture1Click();
    void CopyEntry1Click();

    // Selects Memo2's line `line` and scrolls it into view, the caret at its
    // start; nothing when Memo2 has no such line.
    void selectMemoLine(int line);
    // Whether Memo2 shows the lines of the picture's own entry, to which the
    // picture's labels lead.
    bool memoShowsPictureEntry() const;

    template <typename Handler>
    void guarded(Handler&& handler);
    void reportError(std::string_view message);
    bool redirectWheel(QWidget* target, QEvent* event);
    bool moveInSearchGroup(QWidget* from, int key);

    FormSetup m_setup;
    // Memo1: the glossary the lookups and searches read. It is never shown,
    // so the window keeps the text itself rather than in a hidden control.
    std::string_view m_glossaryText;
    std::unique_ptr<std::vector<std::string>> m_searchResults;
    // Beside each element of SearchResults, the index of its line in its entry.
    std::vector<int> m_searchResultLines;
    // The body lines of the entry Memo2 shows, and those of the picture's own
    // entry (none for the banner).
    std::vector<std::string> m_memoEntry;
    std::vector<std::string> m_pictureEntry;

    WindowScroller* m_scroller = nullptr;
    QFrame* m_grp1 = nullptr;
    QFrame* m_grp2 = nullptr;
    std::array<DictionaryList*, 6> m_categoryLists{};
    QPlainTextEdit* m_memo2 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QPushButton* m_btn1 = nullptr;
    DictionaryList* m_listBox1 = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    PictureBox* m_image1 = nullptr;
    QAction* m_copyEntry1 = nullptr;
    QStatusBar* m_stat1 = nullptr;
    QLabel* m_statusPanel = nullptr;
    bool m_redirectingWheel = false;
};

}  // namespace pictolex
