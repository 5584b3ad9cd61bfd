#include "dictionarylist.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <chrono>

namespace pictolex {

namespace {

constexpr qint64 kTypeAheadPauseMs = 499;

class FixedRowDelegate : public QStyledItemDelegate {
public:
    FixedRowDelegate(int rowHeight, QObject* parent) : QStyledItemDelegate(parent), m_rowHeight(rowHeight) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_rowHeight};
    }

private:
    int m_rowHeight;
};

bool IsCommandModifier(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

}  // namespace

TypeAheadClock SteadyClock()
{
    return [] {
        using namespace std::chrono;
        return static_cast<qint64>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

DictionaryList::DictionaryList(int rowHeight, TypeAheadClock clock, QWidget* parent)
    : QListWidget(parent), m_clock(clock ? std::move(clock) : SteadyClock())
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setItemDelegate(new FixedRowDelegate(rowHeight, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    // The sunken edge of a list box on the desktop the window was designed
    // for: 2 px all round, so a category list (57 px high, 11 px rows) shows
    // four full rows and part of a fifth.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

int DictionaryList::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void DictionaryList::keyboardSearch(const QString&)
{
    // Type-ahead is done in keyPressEvent with its own timing rules.
}

void DictionaryList::keyPressEvent(QKeyEvent* event)
{
    if (typeAhead(event) || navigate(event)) {
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool DictionaryList::typeAhead(QKeyEvent* event)
{
    if (IsCommandModifier(event->modifiers()))
        return false;
    const bool backspace = event->key() == Qt::Key_Backspace;
    const QString text = event->text();
    if (!backspace && (text.isEmpty() || !text.at(0).isPrint()))
        return false;

    const qint64 now = m_clock();
    if (!m_lastKeyAt || now - *m_lastKeyAt > kTypeAheadPauseMs)
        m_prefix.clear();
    m_lastKeyAt = now;
    if (backspace)
        m_prefix.chop(1);
    else
        m_prefix += text;

    const int row = m_prefix.isEmpty() ? (count() > 0 ? 0 : -1) : firstRowStartingWith(m_prefix);
    if (row >= 0)
        choose(row);
    return true;
}

bool DictionaryList::navigate(QKeyEvent* event)
{
    // Ctrl, Alt and Meta change nothing here: Qt's own handling of these
    // keys would move the selection without a report.
    const int current = selectedRow();
    const int rowHeight = std::max(1, sizeHintForRow(0));
    const int page = std::max(1, viewport()->height() / rowHeight - 1);
    int target = current;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        target = current - 1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        target = current + 1;
        break;
    case Qt::Key_PageUp:
        target = current - page;
        break;
    case Qt::Key_PageDown:
        target = current + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count() - 1;
        break;
    default:
        return false;
    }
    if (count() == 0)
        return true;
    target = std::clamp(target, 0, count() - 1);
    if (target != current)
        choose(target);
    return true;
}

QItemSelectionModel::SelectionFlags DictionaryList::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const
{
    // Keys select only through typeAhead() and navigate(), which report what
    // they select; any other key (Ctrl+Space, say) leaves the selection be.
    if (event && event->type() == QEvent::KeyPress)
        return QItemSelectionModel::NoUpdate;
    // Ctrl+click would toggle the row off; one row stays selected instead.
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
}

void DictionaryList::choose(int row)
{
    setCurrentRow(row);
    scrollToItem(item(row));
    Q_EMIT chosen();
}

int DictionaryList::firstRowStartingWith(const QString& prefix) const
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void DictionaryList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !itemAt(event->position().toPoint())) {
        // Presses beside the rows, or with other buttons, only take the focus.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
    if (selectedRow() >= 0)
        Q_EMIT chosen();
}

void DictionaryList::mouseMoveEvent(QMouseEvent* event)
{
    const int before = selectedRow();
    QListWidget::mouseMoveEvent(event);
    const int after = selectedRow();
    if ((event->buttons() & Qt::LeftButton) && after >= 0 && after != before)
        Q_EMIT chosen();
}

}  // namespace pictolex
