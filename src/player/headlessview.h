#pragma once
// The player window without a window: the view of a player core that runs
// where nothing is shown (the export from the command line). Events still
// run where the core lets them; a close asked for by the core goes to
// `onClose`, a failure to `onFailure`.

// ours
#include "playerview.h"

// Qt
#include <QCoreApplication>

// std
#include <functional>

namespace tarnwick {

class HeadlessPlayerView : public PlayerView {
public:
    std::function<void()> onClose;
    std::function<void(const QString&)> onFailure;

    void hideThumbnails() override {}
    void loadThumbnails(AlbumCategory&) override {}
    void keepThumbnailInView(int) override {}
    void hideCaption() override {}
    void placeCaption(const QString&) override {}
    void setCaptionShown(bool) override {}
    void processEvents() override { QCoreApplication::processEvents(); }
    void refreshDisplay() override {}
    void stripEntryChanged(int) override {}
    void stripChanged() override {}
    void categoryListChanged(const QStringList&) override {}
    void categoryListIndexChanged(int) override {}
    void setPanelVisible(bool) override {}
    void checkBoxChanged(int, bool) override {}
    void closeWindow() override
    {
        if (onClose)
            onClose();
    }
    QSize screenSize() const override { return {1920, 1080}; }
    void showFailure(const QString& description) override
    {
        if (onFailure)
            onFailure(description);
    }
};

} // namespace tarnwick
