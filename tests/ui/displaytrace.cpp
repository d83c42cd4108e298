// ours
#include "displaytrace.h"

// Qt
#include <QElapsedTimer>
#include <QThread>

namespace tarnwick::test {

DisplayTrace::DisplayTrace(const WindowPixels& window, QPoint at) : m_window(window), m_at(at)
{
    sample();
}

void DisplayTrace::sample()
{
    const std::optional<unsigned> rgb = m_window.pixel(m_at);
    if (!rgb) {
        m_gone = true;
        return;
    }
    const QString name = ColourAlbum::nameOf(*rgb);
    if (m_names.isEmpty() || m_names.last() != name)
        m_names << name;
}

bool DisplayTrace::until(const std::function<bool(const DisplayTrace&)>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done(*this)) {
        if (m_gone || clock.elapsed() > timeoutMs)
            return false;
        // A transition frame stays 50 ms: a few samples of each.
        QThread::msleep(3);
        sample();
    }
    return true;
}

QStringList DisplayTrace::pictures() const
{
    QStringList shown = m_names;
    shown.removeAll(ColourAlbum::kInBetween);
    return shown;
}

std::string joined(const QStringList& names)
{
    return names.join(QStringLiteral(" > ")).toStdString();
}

} // namespace tarnwick::test
