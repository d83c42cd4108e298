#pragma once
// What the player core asks of the player window beyond the album
// position's needs: painting the display now, the strip and the category
// list as they change, the side panel, and closing. The window implements
// it as thin Qt views; tests record the calls. Every call comes on the
// window thread, often from inside a transition or a strip build.

// ours
#include "playerstateview.h"

// Qt
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tarnwick {

class PlayerView : public PlayerStateView {
public:
    // Shows the display surface PM(0) as it is now; returns when it is on
    // screen (called once per transition frame).
    virtual void refreshDisplay() = 0;
    // Entry k of the strip was filled or shown.
    virtual void stripEntryChanged(int k) = 0;
    // Entries, highlight or scroll bar changed all at once (scrolling,
    // hiding, the end of a build).
    virtual void stripChanged() = 0;
    // The category list was filled with `names`.
    virtual void categoryListChanged(const QStringList& names) = 0;
    // The list's selected position changed (-1: none).
    virtual void categoryListIndexChanged(int index) = 0;
    // Shows or hides the side panel.
    virtual void setPanelVisible(bool visible) = 0;
    // A check box's value changed from the player side (0 Auto Play,
    // 1 Music).
    virtual void checkBoxChanged(int index, bool checked) = 0;
    // Asks the window to close (the close sequence then runs through
    // PlayerCore::unload).
    virtual void closeWindow() = 0;
    // The screen's size in pixels (the packed album fits its background to
    // it).
    virtual QSize screenSize() const = 0;
    // A picture of the whole desktop as it is now (the full-screen saver
    // starts from it); null where there is none to take.
    virtual QImage captureDesktop() { return QImage(); }
    // Shows an effect's failure: a message box with the description only.
    virtual void showFailure(const QString& description) = 0;
};

} // namespace tarnwick
