// RealHost hands the engine's requests to what the window and the player
// plug in, and lets queued window events run when asked. Its clock and
// sleeping are real, so they are measured by hand, not here.

// ours
#include "clsmovie.h"
#include "realhost.h"
#include "surface.h"

// Qt
#include <QCoreApplication>
#include <QMetaObject>
#include <QStringList>

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(RealHost, HandsEachRequestToTheCallbackItsOwnerSet)
{
    struct Case {
        const char* what;
        bool withCallbacks;
    };
    for (const Case c : {Case{"callbacks set", true}, Case{"nothing plugged in", false}}) {
        SCOPED_TRACE(c.what);
        RealHost host;
        QStringList asked;
        const Surface* refreshed = nullptr;
        QStringList failures;
        if (c.withCallbacks) {
            host.setSettingReader([&](const QString& section, const QString& key, const QString& def) {
                asked << section + '/' + key + '/' + def;
                return QStringLiteral("42");
            });
            host.setRefreshHandler([&](const Surface& s) { refreshed = &s; });
            host.setFailureHandler([&](const QString& d) { failures << d; });
        }
        Surface display(4, 3);
        EXPECT_EQ(host.readSetting("Mask", "MaskTimes", "400"), c.withCallbacks ? "42" : "400");
        host.refresh(display);
        host.showFailure("Overflow");
        EXPECT_EQ(asked, c.withCallbacks ? QStringList{"Mask/MaskTimes/400"} : QStringList{});
        EXPECT_EQ(refreshed, c.withCallbacks ? &display : nullptr);
        EXPECT_EQ(failures, c.withCallbacks ? QStringList{"Overflow"} : QStringList{});
    }
}

TEST(RealHost, DoEventsRunsWhatIsQueuedAndAFailingEffectReachesTheWindow)
{
    RealHost host;
    int ran = 0;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
    EXPECT_EQ(ran, 0);
    host.doEvents();
    EXPECT_EQ(ran, 1);

    // Effects that fail before their first pause, so nothing sleeps.
    struct Case {
        const char* effect;
        const char* section;
        const char* key;
        const char* value;
        const char* description;
    };
    const Case cases[] = {
        {"Blend", "Blend", "BlendTimes(How many loop times to finish?)", "fast", "Type mismatch"},
        {"RndSquare", "RndSquare", "RndSquareNumber_X(How many squares at horizontal)", "3", "Division by zero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        QStringList failures;
        host.setFailureHandler([&](const QString& d) { failures << d; });
        host.setSettingReader([&](const QString& section, const QString& key, const QString& def) {
            return section == c.section && key == c.key ? QString::fromLatin1(c.value) : def;
        });
        clsMovie movie(host);
        Surface scr(8, 6), tmp(8, 6), tmp2(8, 6), dest(8, 6);
        movie.callByName(QStringLiteral("Effect_") + c.effect, scr, tmp, tmp2, dest);
        EXPECT_EQ(failures, QStringList{c.description});
    }
}
