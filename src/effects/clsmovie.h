#pragma once
// The transition effects engine. The player window creates one and keeps it
// for its lifetime; each Effect_* call draws one transition synchronously on
// the window thread, from the picture on objTmp2/objDest to the one on
// objScr, into objDest, refreshing it through the Host once per frame. The
// engine has no guard against re-entry: callers keep their own busy flag.

// ours
#include "framesink.h"
#include "host.h"
#include "surface.h"

// Qt
#include <QImage>
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <functional>

namespace tarnwick {

class clsMovie {
public:
    // The host must outlive the engine.
    explicit clsMovie(Host& host);
    ~clsMovie();
    clsMovie(const clsMovie&) = delete;
    clsMovie& operator=(const clsMovie&) = delete;

    // Public properties. CurrentTimes and isStop are only stored; isVCD
    // shortens the effects to the export frame counts (unless isUserDefine)
    // and switches the frame hook on; BackgroundPicture (null = none) is
    // what Drag paints where neither picture covers.
    std::int32_t CurrentTimes = 0;
    bool isStop = false;
    bool isVCD = false;
    bool isUserDefine = false;
    QImage BackgroundPicture;

    // The eight effects: objScr incoming picture, objTmp scratch, objTmp2
    // outgoing picture, objDest display. All four have the same size. A
    // failure in the body shows its description through the Host once and
    // returns, leaving what was drawn.
    void Effect_Blend(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_Drag(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_Wipe(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_Mask(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_Shutter(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_Matrix(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_RndSquare(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);
    void Effect_LineTransform(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest);

    // The frame hook: the effects call it with 0 after each frame, the
    // player with the still time after a transition. Does nothing unless
    // isVCD is on; then hands the frames to the frame sink, if any.
    void VCDCaiYang(std::int16_t bteStillSecond);

    // Dispatch by name: `memberName` is "Effect_" + effect name, matched
    // without regard to case. Returns false, drawing nothing, when no
    // effect has that name.
    using EffectMember = void (clsMovie::*)(Surface&, Surface&, Surface&, Surface&);
    static EffectMember findEffect(const QString& memberName);
    bool callByName(const QString& memberName, Surface& objScr, Surface& objTmp, Surface& objTmp2,
                    Surface& objDest);
    // The eight effect names as the settings spell them ("Blend", ...).
    static QStringList effectNames();

    // The export's frame writer; not owned, may be null.
    void setFrameSink(FrameSink* sink) { m_sink = sink; }

    // Tools and tests: the variant (Shutter: its kind) and Shutter's stagger
    // that the following effects use instead of the drawn ones; -1 = drawn.
    void setForcedVariant(int variant) { m_forcedVariant = variant; }
    int forcedVariant() const { return m_forcedVariant; }
    void setForcedStagger(int stagger) { m_forcedStagger = stagger; }
    int forcedStagger() const { return m_forcedStagger; }

    // Calls of VCDCaiYang with 0 since the engine was made (also while
    // isVCD is off).
    std::int64_t hookCalls() const { return m_hookCalls; }
    // The description of the last effect's failure; empty when it ran
    // through.
    const QString& lastFailure() const { return m_lastFailure; }

    Host& host() { return m_host; }

    // Ends the effect being drawn at its next frame, and every later one at
    // its first, without a failure: the program is ending and must not wait
    // for a transition (a screen saver told to go). Window thread.
    void StopDrawing() { m_stopDrawing = true; }
    bool stopDrawing() const { return m_stopDrawing; }

private:
    // Runs an effect body: catches its failure, shows it and records it.
    void runGuarded(const std::function<void()>& body);

    Host& m_host;
    FrameSink* m_sink = nullptr;
    int m_forcedVariant = -1;
    int m_forcedStagger = -1;
    std::int64_t m_hookCalls = 0;
    bool m_stopDrawing = false;
    QString m_lastFailure;
};

} // namespace tarnwick
