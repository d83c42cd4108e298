// ours
#include "screensaver.h"

namespace tarnwick {

void ScreenSaverControl::StartScreenSaver(std::optional<std::int32_t> previewWindow)
{
    if (previewWindow) {
        gSaverRect = m_platform.hostRect(*previewWindow);
        m_platform.embedInto(*previewWindow, QRect(QPoint(0, 0), gSaverRect.size()));
        return;
    }
    gSaverRect = m_platform.desktopRect();
    m_platform.coverDesktop(gSaverRect);
    m_platform.showCursor(false);
    m_platform.inhibitDesktopSaver(true);
}

bool ScreenSaverControl::StopScreenSaver()
{
    const QRect desktop = m_platform.desktopRect();
    if (desktop.right() != gSaverRect.right()) {
        // The desktop changed under the saver (a monitor came or went): it
        // covers the new one, and the next key ends it.
        gSaverRect = desktop;
        m_platform.coverDesktop(desktop);
        return false;
    }
    m_platform.showCursor(true);
    const std::optional<bool> accepted = m_platform.verifyPassword();
    if (accepted && !*accepted) {
        m_platform.showCursor(false);
        return false;
    }
    m_platform.showCursor(true);
    m_platform.inhibitDesktopSaver(false);
    return true;
}

} // namespace tarnwick
