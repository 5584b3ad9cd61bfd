// The lists of the main window: the six category lists and the results list.
#pragma once

#include <QListWidget>

#include <functional>
#include <optional>

namespace pictolex {

// Milliseconds from any fixed origin; the lists time typed keys with it.
using TypeAheadClock = std::function<qint64()>;

// A monotonic clock for real use.
TypeAheadClock SteadyClock();

// A single-selection list in stored order with fixed row heights, framed by
// a 2 px sunken edge.
//
// It reports a selection (chosen()) only for what the user does to it: a
// left press on a row (or dragging onto another), the arrow, paging, Home and
// End keys when they move the selection (with or without Ctrl, Alt or Meta
// held), and every typed key that finds a row. No other key selects or
// deselects, and once a row is selected one row stays selected: Ctrl+click
// on it keeps it. Setting the row from code reports nothing, and taking the
// focus selects nothing.
//
// Type-ahead replaces Qt's keyboard search. Each typed character extends a
// prefix; the prefix starts afresh when more than 499 ms have passed since
// the previous key (Backspace counts as a key and removes the last
// character). The first row that begins with the prefix, case ignored, is
// selected and reported, once per key even when it was selected already. An
// emptied prefix selects and reports the first row. When no row matches,
// the selection stays, nothing is reported, the key is consumed and the
// prefix keeps what was typed.
class DictionaryList : public QListWidget {
    Q_OBJECT
public:
    DictionaryList(int rowHeight, TypeAheadClock clock, QWidget* parent = nullptr);

    // Tells the category lists apart in their shared handler (1-6).
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The selected row, or -1 when no row is selected.
    int selectedRow() const;

    void keyboardSearch(const QString& search) override;

Q_SIGNALS:
    void chosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    bool typeAhead(QKeyEvent* event);
    bool navigate(QKeyEvent* event);
    void choose(int row);
    int firstRowStartingWith(const QString& prefix) const;

    int m_tag = 0;
    TypeAheadClock m_clock;
    QString m_prefix;
    std::optional<qint64> m_lastKeyAt;
};

}  // namespace pictolex
