// The main window's client area, which scrolls as a whole when its content
// does not fit.
#pragma once

#include <QAbstractScrollArea>

class QStatusBar;

namespace pictolex {

struct ScrollBarsShown {
    bool horizontal = false;
    bool vertical = false;
};

// Which bars a client area of `client` pixels (measured without bars) needs
// for content of `range` pixels, `barExtent` being the vertical bar's width
// and the horizontal bar's height. The vertical range is tried first: when it
// does not fit, the vertical bar shows and the horizontal one shows if the
// width no longer fits beside it; otherwise the same the other way round.
ScrollBarsShown ScrollBarsNeeded(QSize range, QSize client, QSize barExtent);

// The scrolled client area. Controls go into content() at fixed positions.
//
// The scroll range is the lowest bottom and rightmost right edge of the
// visible child widgets of content(), the footer excluded, with the footer's
// height added to the bottom. It is recomputed whenever such a child moves,
// resizes, shows or hides, and whenever the area is resized.
//
// The footer (the status bar) is docked: it is laid out along the bottom of
// the larger of the visible area and the scroll range, so it sits at the
// bottom of the window when the content fits and directly below the content,
// scrolling with it, when it does not. Its size grip shows only while its
// bottom-right corner is the visible area's bottom-right corner.
//
// The arrows move 8 pixels, the trough a visible page; the content follows a
// dragged thumb only when it is released. The area never takes the focus,
// and neither the wheel, the keys nor a touch pan scroll it.
class WindowScroller : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit WindowScroller(QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }

    // Docks `footer` (a child of content()) at the bottom, `height` pixels high.
    void setFooter(QStatusBar* footer, int height);

    QSize scrollRange() const;
    // The visible client area, without the scroll bars that show.
    QSize clientSize() const { return m_client; }

    void relayout();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placeContent();
    void updateSizeGrip();

    QWidget* m_content;
    QStatusBar* m_footer = nullptr;
    int m_footerHeight = 0;
    QSize m_client;
    bool m_layingOut = false;
};

}  // namespace pictolex
