#pragma once
// Player windows that show nothing, for tests and benchmarks that watch only a few of the window's calls.
#include "playerstateview.h"
#include "playerview.h"

namespace tarnwick::testing {

template <class View>
struct NullStateViewOf : View {
    void hideThumbnails() override {}
    void loadThumbnails(AlbumCategory&) override {}
    void keepThumbnailInView(int) override {}
    void hideCaption() override {}
    void placeCaption(const QString&) override {}
    void setCaptionShown(bool) override {}
    void processEvents() override {}
};

using NullStateView = NullStateViewOf<PlayerStateView>;

struct NullPlayerView : NullStateViewOf<PlayerView> {
    void refreshDisplay() override {}
    void stripEntryChanged(int) override {}
    void stripChanged() override {}
    void categoryListChanged(const QStringList&) override {}
    void categoryListIndexChanged(int) override {}
    void setPanelVisible(bool) override {}
    void checkBoxChanged(int, bool) override {}
    void closeWindow() override {}
    QSize screenSize() const override { return {1920, 1080}; }
    void showFailure(const QString&) override {}
};

} // namespace tarnwick::testing
