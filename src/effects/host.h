#pragma once
// What the effects engine knows of the world outside it: the player settings,
// a millisecond clock, sleeping, letting pending window events run, showing a
// surface, and the failure message. The window gives the engine a real host;
// tests and tools give it a VirtualHost whose clock only Pause advances.

// Qt
#include <QString>

// std
#include <cstdint>

namespace tarnwick {

class Surface;

class Host {
public:
    virtual ~Host() = default;

    // The text of a player setting, or `def` when the key is missing. Called
    // by the effects on the window thread before their frames.
    virtual QString readSetting(const QString& section, const QString& key, const QString& def) = 0;

    // Milliseconds of a steady clock, as a 32-bit count (wraps).
    virtual std::int32_t tickCount() = 0;

    // Suspends the window thread for `ms` milliseconds; ms <= 0 returns at
    // once. Window events do not run during it.
    virtual void pause(std::int32_t ms) = 0;

    // Lets pending window events run once. May re-enter the window's
    // handlers; those keep their own busy flags.
    virtual void doEvents() = 0;

    // Makes what is drawn in `surface` visible (the engine calls it with its
    // display surface once per frame). Returns after the frame is shown.
    virtual void refresh(const Surface& surface) = 0;

    // Shows an effect's failure: a message box with the description only.
    virtual void showFailure(const QString& description) = 0;
};

} // namespace tarnwick
