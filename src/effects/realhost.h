#pragma once
// The Host of the player window: the real steady clock, sleeping that wakes
// on the millisecond, the Qt event loop for letting pending events run, and
// three callbacks through which the window and the player plug in what the
// engine cannot know (the settings store, the display repaint, the failure
// box). Lives on the window thread, as long as the engine that uses it.

// ours
#include "host.h"

// Qt
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

// std
#include <cstdint>
#include <functional>

namespace tarnwick {

class RealHost : public Host {
public:
    using SettingReader = std::function<QString(const QString& section, const QString& key, const QString& def)>;
    using RefreshHandler = std::function<void(const Surface& surface)>;
    using FailureHandler = std::function<void(const QString& description)>;

    // Starts the clock at 0.
    RealHost();

    // The player sets this to its ReadPlayerSetting. Unset, every setting
    // reads as its default.
    void setSettingReader(SettingReader reader) { m_reader = std::move(reader); }
    // The window sets this to repaint the display widget at once (repaint(),
    // not update(): the frame must be on screen before the effect pauses).
    // Unset, refresh shows nothing.
    void setRefreshHandler(RefreshHandler handler) { m_onRefresh = std::move(handler); }
    // The window sets this to show a message box with the description only.
    // Unset, the failure goes to the Qt warning log.
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }
    // The video export counts frames instead of timing them: unpaced, the
    // clock reads a count of milliseconds that only pause() advances, and
    // pause() returns at once, so the effects draw exactly the frames of a
    // paced run as fast as they can. Events still run between frames.
    void setPaced(bool paced);
    // A window too small to show many frames (the saver's preview) sets an
    // interval: a frame then comes on screen at most once per interval and
    // events run at most once per interval. A frame held back comes on when
    // its interval is over, so the last frame of an effect is never lost.
    // The effects draw the same frames either way. 0, the default, shows
    // every frame and runs events whenever asked.
    void setFrameInterval(std::int32_t ms);

    QString readSetting(const QString& section, const QString& key, const QString& def) override;
    // Milliseconds since the host was made, as a wrapping 32-bit count.
    std::int32_t tickCount() override;
    // Sleeps until `ms` after the call on the monotonic clock, with the
    // thread's timer slack at a microsecond, so the pause ends within a
    // fraction of a millisecond of `ms` without spinning. Events do not run
    // meanwhile.
    void pause(std::int32_t ms) override;
    // QCoreApplication::processEvents(): may run any window handler.
    void doEvents() override;
    void refresh(const Surface& surface) override;
    void showFailure(const QString& description) override;

private:
    void showHeldFrame();

    QElapsedTimer m_clock;
    std::int32_t m_frameIntervalMs = 0;
    std::int64_t m_lastShownMs = -1;
    std::int64_t m_lastEventsMs = -1;
    const Surface* m_held = nullptr;
    QTimer m_heldTimer;
    bool m_paced = true;
    std::int64_t m_countedMs = 0;
    SettingReader m_reader;
    RefreshHandler m_onRefresh;
    FailureHandler m_onFailure;
};

} // namespace tarnwick
