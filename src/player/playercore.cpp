// ours
#include "playercore.h"

#include "album.h"
#include "albumfiles.h"
#include "albumpicturetool.h"
#include "busymark.h"
#include "host.h"
#include "inifile.h"
#include "musicsupervisor.h"
#include "numbertext.h"
#include "packagefiles.h"
#include "session.h"
#include "thumbnailscroll.h"

// std
#include <cmath>
#include <limits>
#include <utility>

namespace tarnwick {

namespace {

// The display's design size: 3915 x 3195 twips at 15 twips a pixel.
constexpr int kDesignDisplayWidth = 261;
constexpr int kDesignDisplayHeight = 213;
// The preview's fast pace for the cover and the slideshow.
constexpr int kPreviewInterval = 10;
constexpr int kSecond = 1000;

const QString kBackgroundFile = QStringLiteral("BackgroundPicture.jpg");

std::int16_t nextCursor(std::int16_t cursor)
{
    return cursor == std::numeric_limits<std::int16_t>::max() ? cursor
                                                              : static_cast<std::int16_t>(cursor + 1);
}

} // namespace

PlayerCore::PlayerCore(PlayerView& view, Host& host, SettingReader readSetting)
    : m_view(view)
    , m_host(host)
    , m_readSetting(std::move(readSetting))
    , m_state(*this)
    , m_run(host, m_readSetting)
    , m_music(std::make_unique<MusicSupervisor>(m_state))
{
    tmrAlbumCover.setObjectName(QStringLiteral("tmrAlbumCover"));
    tmrPhotoIndexChange.setObjectName(QStringLiteral("tmrPhotoIndexChange"));
    tmrVCDCaiYang.setObjectName(QStringLiteral("tmrVCDCaiYang"));
    tmrAlbumCover.setInterval(kSecond);
    tmrPhotoIndexChange.setInterval(kSecond);
    tmrVCDCaiYang.setInterval(0);
    connect(&tmrAlbumCover, &WindowTimer::timeout, this, &PlayerCore::albumCoverTick);
    connect(&tmrPhotoIndexChange, &WindowTimer::timeout, this, &PlayerCore::photoTick);

    // The transition run holds the slideshow and export timers still while
    // it draws and gives them back their state afterwards.
    m_run.pauseTimers = [this] {
        m_wasTickEnabled = tmrPhotoIndexChange.isActive();
        m_wasExportEnabled = tmrVCDCaiYang.isActive();
        tmrPhotoIndexChange.stop();
        tmrVCDCaiYang.stop();
    };
    m_run.restoreTimers = [this] {
        if (m_closed)
            return;
        if (m_wasTickEnabled)
            tmrPhotoIndexChange.start();
        if (m_wasExportEnabled)
            tmrVCDCaiYang.start();
    };
    m_run.resizeDisplay(kDesignDisplayWidth, kDesignDisplayHeight);
}

PlayerCore::~PlayerCore() = default;

QRectF PlayerCore::PictureArea(int w, int h, int aw, int ah)
{
    if (w > aw && h > ah)
        return QRectF((w - aw) / 2.0, (h - ah) / 2.0, aw, ah);
    return QRectF(0, 0, w, h);
}

int PlayerCore::StopTimeInterval(const QString& text)
{
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        return 0;
    // Rounded to the nearest millisecond, halves to even; a negative or
    // huge time gives no usable interval.
    const double ms = std::nearbyint(seconds * kSecond);
    if (ms < 0 || ms > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(ms);
}

int PlayerCore::stopTimeInterval() const
{
    return StopTimeInterval(m_readSetting(QStringLiteral("Effect"), QStringLiteral("StopTime"), QStringLiteral("5")));
}

void PlayerCore::Load()
{
    if (StartMode == ModeAlbumFolder || IsPackedMode(StartMode))
        initialise();
}

void PlayerCore::initialise()
{
    m_music->setMusicOn(ReadMusicOpen());
    m_view.checkBoxChanged(1, m_music->musicOn());
    fillCategoryList();
    m_state.setCaptionVisible(false);
    const bool packed = IsPackedMode(StartMode);
    if (packed)
        m_view.setPanelVisible(false);
    m_music->tmrSound().start();
    if (!gAlbum)
        return;

    AlbumPictureTool tool;
    const int aw = gAlbum->PictureWidth();
    const int ah = gAlbum->PictureHeight();
    if (StartMode == ModeSaverPreview) {
        ExtractPicture(kBackgroundFile, kResultPicture);
        m_run.BackgroundPicture = tool.LoadPicture(AlbumFile(kResultPicture, kBackgroundFile),
                                                   m_run.PM(0).width(), m_run.PM(0).height());
    } else {
        ExtractPicture(kBackgroundFile, kResultPicture);
        m_run.BackgroundPicture = tool.LoadPicture(AlbumFile(kResultPicture, kBackgroundFile), aw, ah);
        // The full-screen saver starts from the desktop as it was.
        if (StartMode == ModeSaver) {
            const QImage desktop = m_view.captureDesktop();
            if (!desktop.isNull())
                m_run.BackgroundPicture = desktop;
        }
        if (packed) {
            // Fitted to the screen: its own size when the screen is not
            // wider than the album, else the album's.
            const QSize screen = m_view.screenSize();
            const QSize fit = screen.width() <= aw ? screen : QSize(aw, ah);
            const QImage scaled = tool.ResizePicture(m_run.BackgroundPicture, fit.width(), fit.height());
            if (!scaled.isNull())
                m_run.BackgroundPicture = scaled;
        }
    }
    m_run.M().BackgroundPicture = m_run.BackgroundPicture;
    showOnDisplay(m_run.BackgroundPicture);
    m_run.NowPicture = m_run.BackgroundPicture;

    const QString front = gAlbum->FrontCover().FileName();
    ExtractPicture(front, kResultPicture);
    if (AlbumFileExists(kResultPicture, front)) {
        m_run.NewPicture = packed ? loadDisplayPicture(front)
                                  : tool.LoadPicture(AlbumFile(kResultPicture, front), aw, ah);
    }

    if (StartMode == ModeSaverPreview) {
        tmrPhotoIndexChange.setInterval(kPreviewInterval);
        tmrAlbumCover.setInterval(kPreviewInterval);
    } else {
        tmrPhotoIndexChange.setInterval(stopTimeInterval());
    }
    tmrPhotoIndexChange.start();
    tmrAlbumCover.start();
}

void PlayerCore::displayResized(int width, int height)
{
    m_run.resizeDisplay(width, height);
}

void PlayerCore::setStripGeometry(int slotWidth, int slotHeight, int viewportHeight)
{
    m_strip.setSlotSize(slotWidth, slotHeight);
    m_strip.setViewportHeight(viewportHeight);
}

void PlayerCore::showOnDisplay(const QImage& picture)
{
    m_run.showPicture(picture);
    m_view.refreshDisplay();
}

QImage PlayerCore::loadDisplayPicture(const QString& fileName)
{
    ExtractPicture(fileName, kResultPicture);
    return m_preloader.take(AlbumFile(kResultPicture, fileName), m_run.PM(0).width(), m_run.PM(0).height());
}

// ---- category list -------------------------------------------------------

void PlayerCore::fillCategoryList()
{
    BusyMark busy(m_inFillList);
    if (!busy.entered() || !gAlbum)
        return;
    m_categoryNames.clear();
    for (int i = 1; i <= gAlbum->Categories().Count(); ++i)
        m_categoryNames << gAlbum->Categories().Item(i).Name();
    m_listIndex = -1;
    m_view.categoryListChanged(m_categoryNames);
}

void PlayerCore::setCategoryListIndex(int index)
{
    if (index < -1 || index >= m_categoryNames.size())
        return;
    m_listIndex = index;
    m_view.categoryListIndexChanged(index);
    cboCategoryClick(index);
}

void PlayerCore::cboCategoryClick(int listIndex)
{
    if (m_closed || listIndex < 0 || listIndex >= m_categoryNames.size())
        return;
    m_listIndex = listIndex;
    m_state.setActiveCategoryIndex(static_cast<std::int16_t>(listIndex + 1));
    runStartTick();
}

// ---- thumbnail strip -----------------------------------------------------

void PlayerCore::hideThumbnails()
{
    m_strip.hideAll();
    m_view.stripChanged();
}

void PlayerCore::loadThumbnails(AlbumCategory& category)
{
    BusyMark busy(m_inLoadThumbnails);
    if (!busy.entered())
        return;
    // A category picked from the list while the strip was still being
    // built gets its own strip once the build in hand is given up.
    AlbumCategory* target = &category;
    while (target && !m_closed) {
        buildStrip(*target);
        AlbumCategory* active = m_state.mActiveCategory();
        target = active != target ? active : nullptr;
        if (active && !target && !m_closed && StartMode != ModeExport && StartMode != ModeSaver
            && StartMode != ModeSaverPreview)
            m_startTickPending = true;
    }
}

void PlayerCore::runStartTick()
{
    // A new strip's first tick waits until the category switch that built
    // it is over: the switch still sets the cursor and the picture back to
    // the front cover (the cover would come twice), and a move on to the
    // next category from inside it would be lost.
    if (std::exchange(m_startTickPending, false))
        photoTick();
}

void PlayerCore::buildStrip(AlbumCategory& category)
{
    m_strip.beginBuild();
    m_view.stripChanged();
    if (!gAlbum)
        return;
    AlbumPictureTool tool;
    const int w = m_strip.slotWidth() - 8;
    const int h = m_strip.slotHeight() - 8;
    auto thumbnail = [&](const AlbumPhoto& p) {
        ExtractPicture(p.ThumbnailFileName(), kMainAlbum);
        return tool.LoadPicture(AlbumFile(kMainAlbum, p.ThumbnailFileName()), w, h);
    };
    auto coverThumbnail = [&](const AlbumPhoto& cover) {
        ExtractPicture(cover.ThumbnailFileName(), kMainAlbum);
        return AlbumFileExists(kMainAlbum, cover.ThumbnailFileName());
    };

    int k = 0;
    if (coverThumbnail(category.FrontCover())) {
        m_strip.setEntry(0, ThumbnailStrip::kFrontCoverTag, thumbnail(category.FrontCover()), false);
        m_view.stripEntryChanged(0);
        k = 1;
    }
    for (int n = 1; n <= category.PhotoCount(); ++n, ++k) {
        m_strip.setEntry(k, QString::number(n), thumbnail(category.Photos().Item(n)));
        m_view.stripEntryChanged(k);
        // The strip shows entry by entry; clicks on the entries shown
        // already are handled meanwhile.
        m_view.processEvents();
        if (m_closed || m_state.mActiveCategory() != &category)
            return;
    }
    if (coverThumbnail(category.BackCover())) {
        m_strip.setEntry(k, ThumbnailStrip::kBackCoverTag, thumbnail(category.BackCover()));
        m_view.stripEntryChanged(k);
    }
    m_strip.finishBuild();
    m_view.stripChanged();
}

void PlayerCore::keepThumbnailInView(int thumbnail)
{
    if (thumbnail < 0 || thumbnail >= m_strip.count())
        return;
    const QRect r = m_strip.entryRect(thumbnail);
    const int value = ThumbnailScrollValue(r.top(), r.height(), m_strip.viewportHeight(), m_strip.value(),
                                           m_strip.maximum());
    if (value != m_strip.value() && m_strip.setValue(value))
        scrolled();
}

void PlayerCore::scrollChanged(int value)
{
    if (m_strip.setValue(value))
        scrolled();
}

void PlayerCore::scrolled()
{
    BusyMark busy(m_inScroll);
    if (!busy.entered() || !m_state.mActiveCategory())
        return;
    m_strip.hideHighlight();
    const int i = m_state.mActivePhotoIndex();
    // Only photos are highlighted here, never the covers.
    if (i >= 1 && i <= m_state.mActiveCategory()->PhotoCount())
        m_strip.highlightEntry(m_strip.entryForPicture(i));
    m_view.stripChanged();
}

void PlayerCore::thumbnailClick(int k)
{
    {
        BusyMark busy(m_inClick);
        if (!busy.entered() || m_closed || !m_strip.isVisible(k))
            return;
        if (const auto number = pictureNumberOf(k))
            m_state.setActivePhotoIndex(*number);
        m_strip.highlightEntry(k);
        m_view.stripChanged();
        if (!m_autoPlay)
            immediateShow();
        m_state.setThumbnailCursor(static_cast<std::int16_t>(k));
    }
    // A back cover without its picture moved on to the next category.
    runStartTick();
}

// ---- slideshow -----------------------------------------------------------

std::optional<std::int16_t> PlayerCore::pictureNumberOf(int k) const
{
    const QString tag = m_strip.entry(k).tag;
    if (tag == ThumbnailStrip::kFrontCoverTag)
        return 0;
    if (tag == ThumbnailStrip::kBackCoverTag) {
        if (AlbumCategory* category = m_state.mActiveCategory())
            return static_cast<std::int16_t>(category->PhotoCount() + 1);
        return std::nullopt;
    }
    const auto n = ToInt32(LeadingNumber(tag));
    if (!n || *n < INT16_MIN || *n > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(*n);
}

QString PlayerCore::pictureFileForEntry(int k) const
{
    AlbumCategory* category = m_state.mActiveCategory();
    if (!category || !m_strip.isVisible(k))
        return QString();
    const auto number = pictureNumberOf(k);
    if (!number)
        return QString();
    const int n = category->PhotoCount();
    if (*number == 0)
        return category->FrontCover().FileName();
    if (*number == n + 1)
        return category->BackCover().FileName();
    if (*number < 1 || *number > n)
        return QString();
    return category->Photos().Item(*number).FileName();
}

void PlayerCore::preloadNext()
{
    const QString name = pictureFileForEntry(m_state.mThumbnailCursor());
    if (name.isEmpty())
        return;
    // Unpacked here, on the window thread; the worker only decodes.
    ExtractPicture(name, kResultPicture);
    m_preloader.preload(AlbumFile(kResultPicture, name), m_run.PM(0).width(), m_run.PM(0).height());
}

void PlayerCore::photoTick()
{
    if (StartMode == ModeExport || m_closed)
        return;
    BusyMark busy(m_inTick);
    // Until the album's front cover has come on, the show has not begun: a
    // tick due before the cover timer (a short "StopTime") waits for it
    // rather than bringing the cover on twice.
    if (!busy.entered() || !m_autoPlay || !m_frontCoverPlayed)
        return;
    const std::int16_t i = m_state.mThumbnailCursor();
    thumbnailClick(i);
    m_state.setThumbnailCursor(nextCursor(m_state.mThumbnailCursor()));
    tmrPhotoIndexChange.stop();

    if (AlbumPhoto* photo = m_state.mActivePhoto()) {
        const QImage picture = loadDisplayPicture(photo->FileName());
        // A picture that cannot be loaded leaves the previous one to come on.
        if (!picture.isNull())
            m_run.NewPicture = picture;
    }
    if (!runTransition())
        return;

    const int cursor = m_state.mThumbnailCursor();
    if (cursor > m_strip.lastVisible() || !m_strip.isVisible(cursor)) {
        const int next = m_listIndex + 1 < m_categoryNames.size() ? m_listIndex + 1 : 0;
        setCategoryListIndex(next);
        m_state.setThumbnailCursor(0);
    }
    if (m_closed)
        return;
    if (StartMode != ModeSaverPreview)
        tmrPhotoIndexChange.setInterval(stopTimeInterval());
    preloadNext();
    tmrPhotoIndexChange.start();
}

void PlayerCore::immediateShow()
{
    BusyMark busy(m_inImmediateShow);
    AlbumCategory* category = m_state.mActiveCategory();
    AlbumPhoto* photo = m_state.mActivePhoto();
    if (!busy.entered() || m_autoPlay || !category || category->PhotoCount() < 1 || !photo)
        return;
    m_run.NewPicture = loadDisplayPicture(photo->FileName());
    showOnDisplay(m_run.NewPicture);
    m_run.NowPicture = m_run.NewPicture;
}

bool PlayerCore::runTransition()
{
    // A program that must end now ends in every mode, the preview too.
    const bool closeAsked = m_run.run(StartMode);
    if (closeAsked || (m_endingNow && !m_closed))
        m_view.closeWindow();
    m_view.refreshDisplay();
    return !m_closed;
}

// ---- covers --------------------------------------------------------------

void PlayerCore::albumCoverTick()
{
    BusyMark busy(m_inCoverTick);
    if (!busy.entered())
        return;
    tmrAlbumCover.stop();
    PlayAlbumFrontCover();
}

void PlayerCore::PlayAlbumFrontCover()
{
    BusyMark busy(m_inFrontCover);
    if (!busy.entered() || !gAlbum || m_closed)
        return;
    const QString front = gAlbum->FrontCover().FileName();
    ExtractPicture(front, kResultPicture);
    if (AlbumFileExists(kResultPicture, front)) {
        m_run.NowPicture = m_run.PM(0).picture();
        m_run.NewPicture = loadDisplayPicture(front);
        if (!runTransition())
            return;
        showOnDisplay(m_run.NewPicture);
    }
    m_frontCoverPlayed = true;
    setCategoryListIndex(0);
}

void PlayerCore::PlayAlbumBackCover()
{
    BusyMark busy(m_inBackCover);
    if (!busy.entered() || !gAlbum || StartMode == ModeSaverPreview)
        return;
    const QString back = gAlbum->BackCover().FileName();
    ExtractPicture(back, kResultPicture);
    if (StartMode == ModeSaver) {
        // The saver fades back to the desktop it started from.
        m_run.NowPicture = m_run.PM(0).image().copy();
        m_run.NewPicture = m_run.BackgroundPicture;
    } else if (AlbumFileExists(kResultPicture, back)) {
        m_run.NowPicture = m_run.PM(0).picture();
        m_run.NewPicture = loadDisplayPicture(back);
    } else {
        return;
    }
    m_run.run(StartMode);
    showOnDisplay(m_run.NewPicture);
}

// ---- buttons and closing -------------------------------------------------

void PlayerCore::setAutoPlay(bool on)
{
    m_autoPlay = on;
}

void PlayerCore::switchMusicOffForRun()
{
    m_music->setMusicOn(false);
    m_view.checkBoxChanged(1, false);
}

void PlayerCore::musicSwitched(bool on)
{
    m_music->musicSwitched(on);
}

void PlayerCore::exitCommand()
{
    if (!deferCloseDuringTransition())
        m_view.closeWindow();
}

void PlayerCore::endNow()
{
    m_endingNow = true;
    m_run.M().StopDrawing();
}

bool PlayerCore::deferCloseDuringTransition()
{
    if (!m_run.mEffectRunning)
        return false;
    m_run.mClosePending = true;
    return true;
}

void PlayerCore::hideCaptionDecoration()
{
    AlbumCategory* category = m_state.mActiveCategory();
    const int i = m_state.mActivePhotoIndex();
    if (category && i >= 1 && i <= category->PhotoCount())
        m_view.hideCaption();
    m_state.setCaptionVisible(false);
}

bool PlayerCore::unload()
{
    if (m_closing || m_closed)
        return false;
    m_closing = true;
    tmrPhotoIndexChange.stop();
    m_music->tmrSound().stop();
    tmrVCDCaiYang.stop();
    // Not in the sequence of old, but a cover tick during the back cover
    // would start the show again under the closing window.
    tmrAlbumCover.stop();
    if (StartMode != ModeExport && !m_endingNow) {
        PlayAlbumBackCover();
        // The host's pause: a real second in the window, virtual in tests.
        m_host.pause(kSecond);
    }
    m_music->stopAll();
    m_preloader.clear();
    m_run.NowPicture = QImage();
    m_run.NewPicture = QImage();
    m_run.BackgroundPicture = QImage();
    CleanUpUnpackedFiles();
    m_closed = true;
    m_closing = false;
    return true;
}

} // namespace tarnwick
