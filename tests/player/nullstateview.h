#pragma once
// A player window that shows nothing, for tests that move through the
// album's music and need no strip or caption.

// ours
#include "playerstateview.h"

namespace tarnwick::testing {

struct NullStateView : PlayerStateView {
    void hideThumbnails() override {}
    void loadThumbnails(AlbumCategory&) override {}
    void keepThumbnailInView(int) override {}
    void hideCaption() override {}
    void placeCaption(const QString&) override {}
    void setCaptionShown(bool) override {}
    void processEvents() override {}
};

} // namespace tarnwick::testing
