#pragma once
// What the album position asks of the player window: the thumbnail strip,
// the scroll position that keeps a thumbnail in view and the photo caption
// over the display. The window implements it; tests record the calls. All
// calls come from PlayerState on the window thread; none of them may call
// back into the same PlayerState setter that is running (such a call is
// ignored anyway).

// ours
#include "albumcategory.h"

// Qt
#include <QString>

namespace tarnwick {

class PlayerStateView {
public:
    virtual ~PlayerStateView() = default;

    // Hides every thumbnail of the strip and the highlight; called when the
    // active category is left.
    virtual void hideThumbnails() = 0;
    // Builds the strip for `category`, which has just been opened and is
    // already the active category (the strip may start the slideshow's
    // first tick from here).
    virtual void loadThumbnails(AlbumCategory& category) = 0;
    // Scrolls the strip so that thumbnail `thumbnail` lies inside the
    // viewport with its 4-pixel margin (see ThumbnailScrollValue).
    virtual void keepThumbnailInView(int thumbnail) = 0;
    // Hides the caption label and its frame.
    virtual void hideCaption() = 0;
    // Sets the caption text and moves the label into the display's
    // bottom-right corner (margin 8), its frame 5 pixels around it.
    virtual void placeCaption(const QString& text) = 0;
    // Shows or hides the caption label and its frame together.
    virtual void setCaptionShown(bool shown) = 0;
    // Lets pending window events run once.
    virtual void processEvents() = 0;
};

} // namespace tarnwick
