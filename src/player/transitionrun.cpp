// ours
#include "transitionrun.h"

#include "albumpicturetool.h"
#include "busymark.h"
#include "host.h"
#include "numbertext.h"
#include "session.h"
#include "vbrandom.h"

// std
#include <cstdint>

namespace tarnwick {

TransitionRun::TransitionRun(Host& host, SettingReader readSetting)
    : m_host(host), m_readSetting(std::move(readSetting))
{
}

TransitionRun::~TransitionRun() = default;

clsMovie& TransitionRun::M()
{
    if (!m_movie)
        m_movie = std::make_unique<clsMovie>(m_host);
    return *m_movie;
}

void TransitionRun::showPicture(const QImage& picture)
{
    // A picture of another size (loaded before the window took its size,
    // or at the album's size) is fitted rather than cut at the corner.
    if (picture.isNull() || picture.size() == QSize(PM(0).width(), PM(0).height()))
        PM(0).setPicture(picture);
    else
        PM(0).setPicture(AlbumPictureTool().ResizePicture(picture, PM(0).width(), PM(0).height()));
}

void TransitionRun::resizeDisplay(int width, int height)
{
    // The display shows the picture on show at its new size.
    const QImage shown = NowPicture.isNull() ? PM(0).picture() : NowPicture;
    PM(0).resize(width, height);
    showPicture(shown);
    for (int i = 1; i <= 3; ++i)
        PM(i).resize(width, height);
    if (!BackgroundPicture.isNull()) {
        const QImage scaled = AlbumPictureTool().ResizePicture(BackgroundPicture, width, height);
        if (!scaled.isNull())
            BackgroundPicture = scaled;
    }
}

QString TransitionRun::prepare()
{
    BusyMark mark(m_preparing);
    if (!mark.entered())
        return QString();
    const int w = PM(0).width();
    const int h = PM(0).height();
    AlbumPictureTool tool;
    // The outgoing picture on the display and on the engine's second work
    // surface, the incoming one on its first.
    const QImage now = tool.ResizePicture(NowPicture, w, h);
    PM(3).setPicture(now);
    PM(0).setPicture(now);
    PM(1).setPicture(tool.ResizePicture(NewPicture, w, h));
    seedRandomFromClock();
    return ChooseEffectName(m_readSetting);
}

std::optional<std::int16_t> TransitionRun::StillSeconds(const SettingReader& readSetting, const QString& def)
{
    const auto still = TextToInt32(readSetting(QStringLiteral("Effect"), QStringLiteral("StopTime"), def));
    if (!still || *still < INT16_MIN || *still > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(*still);
}

bool TransitionRun::run(int startMode)
{
    BusyMark mark(m_running);
    if (!mark.entered())
        return false;
    if (pauseTimers)
        pauseTimers();
    m_lastEffect = prepare();
    mEffectRunning = true;
    if (startMode != ModeExport || !needNotMovie)
        M().callByName(QStringLiteral("Effect_") + m_lastEffect, PM(1), PM(2), PM(3), PM(0));
    mEffectRunning = false;
    showPicture(NewPicture);
    if (startMode == ModeExport) {
        if (const auto still = StillSeconds(m_readSetting, QStringLiteral("5")))
            M().VCDCaiYang(*still);
    }
    NowPicture = NewPicture;
    ++m_completedRuns;
    if (restoreTimers)
        restoreTimers();
    return mClosePending
        && (startMode == ModeSaver || startMode == ModeAlbumFolder || startMode == ModePackedAlbum);
}

} // namespace tarnwick
