// Shared by the two start-up programs: notes when the window first paints,
// tells the spawning benchmark, and quits.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace pictolex::bench {

// Watches every widget for its first paint. Once the paint that showed the
// window is over (the next turn of the event loop), writes
// "first_paint_ns=<CLOCK_MONOTONIC in ns>" on standard output and ends the
// event loop. The spawning process reads the same clock just before it
// starts the program, so the difference is process start to painted window.
class QuitAtFirstPaint : public QObject {
public:
    QuitAtFirstPaint() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first_paint_ns=%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

}  // namespace pictolex::bench
