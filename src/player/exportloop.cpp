// ours
#include "exportloop.h"

#include "albumfiles.h"
#include "albumpicturetool.h"
#include "busymark.h"
#include "numbertext.h"
#include "packagefiles.h"
#include "session.h"

// std
#include <cmath>
#include <cstdint>
#include <limits>

namespace tarnwick {

namespace {

constexpr int kLoopInterval = 10;
const QString kBackgroundFile = QStringLiteral("BackgroundPicture.jpg");

int roundedHalfEven(double v)
{
    const double r = std::nearbyint(v);
    return r < INT16_MIN || r > INT16_MAX ? 0 : static_cast<int>(r);
}

} // namespace

ExportLoop::ExportLoop(PlayerCore& core, QObject* parent)
    : QObject(parent), m_core(core)
{
    connect(&m_core.tmrVCDCaiYang, &WindowTimer::timeout, this, &ExportLoop::tick);
}

QSize ExportLoop::FitPicture(int w, int h, int aw, int ah)
{
    if (w <= 0 || h <= 0 || aw <= 0 || ah <= 0)
        return QSize(std::max(w, 0), std::max(h, 0));
    const double album = double(aw) / ah;
    if (double(w) / h <= album)
        return QSize(roundedHalfEven(w), roundedHalfEven(w / album));
    return QSize(roundedHalfEven(double(h) * aw / ah), roundedHalfEven(h));
}

int ExportLoop::PicturesToShow()
{
    if (!gAlbum)
        return 0;
    int n = 1; // the background's opening still
    if (AlbumFileExists(kResultPicture, gAlbum->FrontCover().FileName()))
        ++n;
    for (int c = 1; c <= gAlbum->Categories().Count(); ++c) {
        const AlbumCategory& category = gAlbum->Categories().Item(c);
        n += category.PhotoCount();
        n += AlbumFileExists(kMainAlbum, category.FrontCover().ThumbnailFileName()) ? 1 : 0;
        n += AlbumFileExists(kMainAlbum, category.BackCover().ThumbnailFileName()) ? 1 : 0;
    }
    if (AlbumFileExists(kResultPicture, gAlbum->BackCover().FileName()))
        ++n;
    return n;
}

void ExportLoop::Start(QSize frame, bool needNotMovie)
{
    if (m_started || StartMode != ModeExport || !gAlbum)
        return;
    m_started = true;
    TransitionRun& run = m_core.run();
    run.needNotMovie = needNotMovie;
    const QSize area = FitPicture(frame.width(), frame.height(), gAlbum->PictureWidth(), gAlbum->PictureHeight());
    m_core.displayResized(area.width(), area.height());
    InitVcdCaiYang();

    AlbumPictureTool tool;
    const QImage background = tool.ResizePicture(run.BackgroundPicture, area.width(), area.height());
    run.PM(0).setPicture(background);
    // The opening still reads the time the dialog has just stored; 2
    // seconds when the setting is missing.
    run.M().VCDCaiYang(TransitionRun::StillSeconds(m_core.settingReader(), QStringLiteral("2")).value_or(0));
    m_runsBefore = run.completedRuns();
    run.NowPicture = background;
    if (stopRequested())
        return end();
    m_core.PlayAlbumFrontCover();
    if (stopRequested())
        return end();
    m_core.tmrVCDCaiYang.setInterval(kLoopInterval);
    m_core.tmrVCDCaiYang.start();
}

void ExportLoop::InitVcdCaiYang()
{
    if (!gAlbum || StartMode != ModeExport)
        return;
    TransitionRun& run = m_core.run();
    run.M().isVCD = true;
    m_core.switchMusicOffForRun();
    m_core.fillCategoryList();
    run.BackgroundPicture = AlbumPictureTool().LoadPicture(AlbumFile(kResultPicture, kBackgroundFile),
                                                           gAlbum->PictureWidth(), gAlbum->PictureHeight());
    run.M().BackgroundPicture = run.BackgroundPicture;
    run.NowPicture = run.BackgroundPicture;
}

void ExportLoop::tick()
{
    BusyMark busy(m_inTick);
    if (!busy.entered() || StartMode != ModeExport || m_ended)
        return;
    if (stopRequested())
        return end();
    PlayerState& state = m_core.state();
    const std::int16_t k = state.mThumbnailCursor();
    m_core.thumbnailClick(k);
    m_core.tmrVCDCaiYang.stop();
    state.setThumbnailCursor(static_cast<std::int16_t>(k < INT16_MAX ? k + 1 : k));

    TransitionRun& run = m_core.run();
    if (AlbumPhoto* photo = state.mActivePhoto()) {
        run.NewPicture = AlbumPictureTool().LoadPicture(AlbumFile(kResultPicture, photo->FileName()),
                                                        run.PM(0).width(), run.PM(0).height());
    }
    run.run(StartMode);
    if (stopRequested())
        return end();

    if (k + 1 <= m_core.strip().lastVisible()) {
        m_core.tmrVCDCaiYang.start();
        return;
    }
    const int next = m_core.categoryListIndex() + 1;
    if (next < m_core.categoryNames().size()) {
        m_core.setCategoryListIndex(next);
        state.setThumbnailCursor(0);
        m_core.tmrVCDCaiYang.start();
        return;
    }
    m_core.tmrVCDCaiYang.stop();
    m_core.PlayAlbumBackCover();
    end();
}

int ExportLoop::picturesDone() const
{
    return m_started ? 1 + m_core.run().completedRuns() - m_runsBefore : 0;
}

void ExportLoop::Stop()
{
    m_stopping = true;
    m_core.tmrVCDCaiYang.stop();
    // Inside a picture change the loop ends the run when the change is over.
    if (m_started && (m_core.run().mEffectRunning || m_inTick))
        return;
    end();
}

bool ExportLoop::stopRequested() const
{
    return m_stopping || m_core.run().mClosePending || m_core.closed();
}

void ExportLoop::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_core.tmrVCDCaiYang.stop();
    m_core.run().mClosePending = false;
    emit ended();
    m_core.exitCommand();
}

} // namespace tarnwick
