// ours
#include "framemeter.h"

// Qt
#include <QEvent>
#include <QWidget>

namespace tarnwick::bench {

FrameMeter::FrameMeter(int& argc, char** argv) : QApplication(argc, argv)
{
    m_clock.start();
}

void FrameMeter::start()
{
    m_repaints.clear();
    m_recording = true;
}

bool FrameMeter::notify(QObject* receiver, QEvent* event)
{
    if (!m_recording || !receiver->isWidgetType())
        return QApplication::notify(receiver, event);
    const auto* widget = static_cast<QWidget*>(receiver);
    if (event->type() == QEvent::UpdateRequest && widget->isWindow() && !m_inRepaint) {
        Repaint r;
        r.start = now();
        m_inRepaint = true;
        m_repaints.push_back(r);
        const bool done = QApplication::notify(receiver, event);
        m_inRepaint = false;
        m_repaints.back().end = now();
        return done;
    }
    if (event->type() == QEvent::Paint && m_inRepaint) {
        const std::int64_t t0 = now();
        const bool done = QApplication::notify(receiver, event);
        // The vector does not grow while a repaint is open.
        Repaint& r = m_repaints.back();
        if (widget->objectName() == QLatin1String("PM_0")) {
            r.displayPaint += now() - t0;
            r.display = true;
        } else {
            r.otherPaint += now() - t0;
        }
        return done;
    }
    return QApplication::notify(receiver, event);
}

} // namespace tarnwick::bench
