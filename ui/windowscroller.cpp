#include "windowscroller.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>

namespace pictolex {

namespace {

constexpr int kArrowStep = 8;

}  // namespace

ScrollBarsShown ScrollBarsNeeded(QSize range, QSize client, QSize barExtent)
{
    ScrollBarsShown shown;
    if (range.height() > client.height()) {
        shown.vertical = true;
        shown.horizontal = range.width() > client.width() - barExtent.width();
    } else if (range.width() > client.width()) {
        shown.horizontal = true;
        shown.vertical = range.height() > client.height() - barExtent.height();
    }
    return shown;
}

WindowScroller::WindowScroller(QWidget* parent) : QAbstractScrollArea(parent), m_content(new QWidget(viewport()))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setTracking(false);
        bar->setSingleStep(kArrowStep);
    }
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Only the bars scroll the window. A pan gesture grabbed here would also
    // make Qt search for gestures, in two fresh maps, on every pointer move
    // over any control of the window.
    viewport()->ungrabGesture(Qt::PanGesture);
    m_content->installEventFilter(this);
}

void WindowScroller::setFooter(QStatusBar* footer, int height)
{
    m_footer = footer;
    m_footerHeight = height;
    relayout();
}

QSize WindowScroller::scrollRange() const
{
    int right = 0;
    int bottom = 0;
    for (QObject* child : m_content->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget == m_footer || widget->isHidden())
            continue;
        right = std::max(right, widget->x() + widget->width());
        bottom = std::max(bottom, widget->y() + widget->height());
    }
    return {right, bottom + (m_footer ? m_footerHeight : 0)};
}

void WindowScroller::relayout()
{
    if (m_layingOut)
        return;
    m_layingOut = true;
    const QSize range = scrollRange();
    const QSize whole = contentsRect().size();
    const QSize barExtent(verticalScrollBar()->sizeHint().width(), horizontalScrollBar()->sizeHint().height());
    const ScrollBarsShown shown = ScrollBarsNeeded(range, whole, barExtent);

    setHorizontalScrollBarPolicy(shown.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(shown.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_client = QSize(whole.width() - (shown.vertical ? barExtent.width() : 0),
                     whole.height() - (shown.horizontal ? barExtent.height() : 0));

    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, shown.horizontal ? std::max(0, range.width() - m_client.width()) : 0);
    horizontal->setPageStep(std::max(1, m_client.width()));
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, shown.vertical ? std::max(0, range.height() - m_client.height()) : 0);
    vertical->setPageStep(std::max(1, m_client.height()));

    const QSize laidOut(std::max(m_client.width(), range.width()), std::max(m_client.height(), range.height()));
    m_content->resize(laidOut);
    if (m_footer)
        m_footer->setGeometry(0, laidOut.height() - m_footerHeight, laidOut.width(), m_footerHeight);
    placeContent();
    m_layingOut = false;
}

void WindowScroller::placeContent()
{
    m_content->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    updateSizeGrip();
}

void WindowScroller::updateSizeGrip()
{
    if (!m_footer)
        return;
    const QPoint footerCorner = m_content->pos() + m_footer->geometry().bottomRight();
    const QPoint clientCorner(m_client.width() - 1, m_client.height() - 1);
    const bool grip = footerCorner == clientCorner;
    if (m_footer->isSizeGripEnabled() != grip)
        m_footer->setSizeGripEnabled(grip);
}

void WindowScroller::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void WindowScroller::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    relayout();
}

void WindowScroller::scrollContentsBy(int, int)
{
    placeContent();
}

bool WindowScroller::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_content) {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
        }
        return false;
    }
    if (watched == m_footer || watched->parent() != m_content)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
        relayout();
        break;
    default:
        break;
    }
    return false;
}

void WindowScroller::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

void WindowScroller::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

}  // namespace pictolex
