#include "digitkeyfilter.h"

// Qt
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace tarnwick {

DigitKeyFilter::DigitKeyFilter(bool beep, QObject* parent)
    : QObject(parent)
    , m_beep(beep)
{
}

bool DigitKeyFilter::Passes(const QKeyEvent& key)
{
    // Pasting could bring any text into the box; the other editing
    // shortcuts (copy, select all, undo) type nothing and stay usable.
    if (key.matches(QKeySequence::Paste))
        return false;
    if (key.modifiers() & Qt::ControlModifier)
        return true;
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    const QString text = key.text();
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    // Shortcut overrides are let through: a refused Ctrl+V still reaches
    // the box as a key press and is dropped there.
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    if (Passes(*static_cast<QKeyEvent*>(event)))
        return false;
    if (m_beep) {
        ++m_beeps;
        QApplication::beep();
    }
    return true;
}

} // namespace tarnwick
