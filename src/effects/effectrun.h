#pragma once
// The frame scheme that every effect shares: reading its settings, the
// export frame count, drawing its variant, and the tail of each frame
// (refresh, frame hook, fixed pause, event processing, Interval pacing).
// Effects do geometry only; everything timed or counted goes through here.
// One EffectRun lives for one effect call, on the window thread.

// Qt
#include <QString>

// std
#include <cstdint>

namespace tarnwick {

class clsMovie;
class Host;
class Surface;

class EffectRun {
public:
    // `section` is the effect's settings section, e.g. "Blend".
    EffectRun(clsMovie& movie, const char* section);

    // The setting `key` of the effect's section as a 32-bit whole number
    // ("Type mismatch" when it is not a number, "Overflow" outside 32 bits).
    std::int32_t readInt(const char* key, const char* def);

    // True while exporting with the export frame counts (isVCD on,
    // isUserDefine off).
    bool exporting() const;
    // `times`, or 100 while exporting.
    std::int32_t exportTimes(std::int32_t times) const;

    // Draws the variant: floor(Rnd() * n). The number is always drawn, so
    // the generator moves on as in the player; a variant forced on the
    // engine (tools, tests) then replaces the result.
    int drawVariant(int n);
    // Shutter's stagger, drawn after its kind: 1 when floor(2 * Rnd()) is 0.
    // A forced stagger replaces the result after the draw.
    int drawStagger();

    std::int32_t tick();
    void pause(std::int32_t ms);
    void doEvents();

    // Refreshes `dest` and calls the frame hook with 0.
    void showFrame(Surface& dest);
    // The tail of a frame of the effects with an Interval: showFrame, the
    // fixed pause, events, then the wait up to `interval` ms measured from
    // t0, and events again.
    void frameTail(Surface& dest, std::int32_t t0, std::int32_t fixedPause, std::int32_t interval);
    // Pads the frame begun at t0 up to `interval` ms, then lets events run.
    void intervalWait(std::int32_t t0, std::int32_t interval);

    clsMovie& movie() { return m_movie; }
    Host& host();

private:
    clsMovie& m_movie;
    QString m_section;
};

} // namespace tarnwick
