#pragma once
// The player window's logic: it loads the album into the window, plays the
// front cover, runs the slideshow through every category with a transition
// for each picture, follows the side panel's strip, list and buttons, and
// carries out the close sequence with the back cover. The window (a thin Qt
// view implementing PlayerView) forwards its control events here; tests
// drive it the same way, without a display.
//
// Window thread only. Transitions let window events run between frames, so
// every handler here keeps its own busy flag and returns at once when it is
// entered again while it runs; a close asked for during a transition waits
// for its end.

// ours
#include "effectchoice.h"
#include "picturepreloader.h"
#include "playerstate.h"
#include "playerview.h"
#include "thumbnailstrip.h"
#include "transitionrun.h"
#include "windowtimer.h"

// Qt
#include <QObject>
#include <QRectF>
#include <QSize>
#include <QStringList>

// std
#include <cstdint>
#include <memory>
#include <optional>

namespace tarnwick {

class Host;
class MusicSupervisor;

class PlayerCore : public QObject, private PlayerStateView {
    Q_OBJECT
public:
    // `view` and `host` are not owned and must outlive the core; the host
    // paces and shows the effects (the window's RealHost, a VirtualHost in
    // tests). `readSetting` reads the player settings.
    PlayerCore(PlayerView& view, Host& host, SettingReader readSetting);
    ~PlayerCore() override;

    // Where the display goes in a client area of w x h for an album of
    // aw x ah: centred at the album size when the area is larger in both
    // directions, else the whole area.
    static QRectF PictureArea(int w, int h, int aw, int ah);
    // Milliseconds a photo stands still for a "StopTime" text (seconds,
    // fraction allowed); 0 when it is not a number.
    static int StopTimeInterval(const QString& text);

    // The window's load handler after its caption: fills the list, shows the
    // background and arms the timers, by start mode.
    void Load();
    // The display's new size in pixels (the window placed it).
    void displayResized(int width, int height);
    // The strip's slot (highlight) size and viewport height in pixels, as
    // the screen's twips per pixel make them; before the album loads.
    void setStripGeometry(int slotWidth, int slotHeight, int viewportHeight);

    // Control events of the window.
    void cboCategoryClick(int listIndex);
    void scrollChanged(int value);
    void thumbnailClick(int k);
    void setAutoPlay(bool on);
    void musicSwitched(bool on);
    void exitCommand();
    // The caption decoration goes away (the panel shows, the caption is
    // clicked).
    void hideCaptionDecoration();

    // The close sequence: stops the timers, plays the back cover, releases
    // the pictures and removes what was unpacked. False when the close must
    // not happen now (already closing). The window then closes its other
    // windows and ends the program.
    bool unload();
    // A close asked for while a transition draws: recorded and carried out
    // when the transition ends. Returns true when it was recorded.
    bool deferCloseDuringTransition();
    // The program must end at once (a saver told to go, its window gone):
    // the transition being drawn stops at its next frame, and the close
    // that follows skips the back cover and its pause.
    void endNow();

    // Timer ticks and the public cover operations.
    void photoTick();
    void albumCoverTick();
    void PlayAlbumFrontCover();
    void PlayAlbumBackCover();
    // The picture shown at once for a clicked thumbnail while Auto Play is
    // off.
    void immediateShow();

    // The category list: filled with the album's categories (no position
    // selected), and a position set as a click on it does. The export's
    // loop drives the album through these.
    void fillCategoryList();
    void setCategoryListIndex(int index);
    // Turns the "Music" box off for this run only (the export keeps the
    // album's music out of the player; the setting stays as the user left
    // it).
    void switchMusicOffForRun();

    // State for the window and tests.
    PlayerState& state() { return m_state; }
    const ThumbnailStrip& strip() const { return m_strip; }
    TransitionRun& run() { return m_run; }
    const QStringList& categoryNames() const { return m_categoryNames; }
    int categoryListIndex() const { return m_listIndex; }
    bool autoPlay() const { return m_autoPlay; }
    MusicSupervisor& music() { return *m_music; }
    const SettingReader& settingReader() const { return m_readSetting; }
    bool closed() const { return m_closed; }
    WindowTimer tmrAlbumCover;
    WindowTimer tmrPhotoIndexChange;
    WindowTimer tmrVCDCaiYang;

private:
    // PlayerStateView: the strip and the caption, as the album position
    // asks for them.
    void hideThumbnails() override;
    void loadThumbnails(AlbumCategory& category) override;
    void keepThumbnailInView(int thumbnail) override;
    void hideCaption() override { m_view.hideCaption(); }
    void placeCaption(const QString& text) override { m_view.placeCaption(text); }
    void setCaptionShown(bool shown) override { m_view.setCaptionShown(shown); }
    void processEvents() override { m_view.processEvents(); }

    void initialise();
    void scrolled();
    void buildStrip(AlbumCategory& category);
    void runStartTick();
    bool runTransition();
    void showOnDisplay(const QImage& picture);
    void preloadNext();
    // The picture number strip entry k stands for: 0 the front cover,
    // 1..PhotoCount the photos, PhotoCount + 1 the back cover; nothing when
    // its tag says none.
    std::optional<std::int16_t> pictureNumberOf(int k) const;
    QString pictureFileForEntry(int k) const;
    // Unpacks `fileName` when needed and loads it at the display's size
    // (the preloaded picture when it is the one).
    QImage loadDisplayPicture(const QString& fileName);
    int stopTimeInterval() const;

    PlayerView& m_view;
    Host& m_host;
    SettingReader m_readSetting;
    PlayerState m_state;
    ThumbnailStrip m_strip;
    TransitionRun m_run;
    PicturePreloader m_preloader;
    std::unique_ptr<MusicSupervisor> m_music;
    QStringList m_categoryNames;
    int m_listIndex = -1;
    bool m_autoPlay = true;
    bool m_closed = false;
    bool m_frontCoverPlayed = false;
    bool m_endingNow = false;

    bool m_closing = false;
    bool m_inTick = false;
    bool m_inCoverTick = false;
    bool m_inFrontCover = false;
    bool m_inBackCover = false;
    bool m_inImmediateShow = false;
    bool m_inLoadThumbnails = false;
    bool m_inScroll = false;
    bool m_inClick = false;
    bool m_inFillList = false;
    bool m_startTickPending = false;
    bool m_wasTickEnabled = false;
    bool m_wasExportEnabled = false;
};

} // namespace tarnwick
