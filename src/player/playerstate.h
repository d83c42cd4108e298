#pragma once
// The album position of the player window: the active category, the picture
// shown inside it (front cover, photos, back cover) and the background music
// item, each as a 1-based 16-bit index and as the album object it stands for.
// Setting an index loads the object and brings the window in line through a
// PlayerStateView (strip, scroll position, caption). Every other part of the
// player moves through the album only by these setters.
//
// Window thread only. Each setter, and the category switch, ignores a call
// that arrives while it is still running (a nested event during a
// transition, or the category switch asking for the front cover while a
// photo setter moves on to the next category). Failing steps (an album item
// that does not exist, a missing file) are skipped. The album is gAlbum.

// ours
#include "albumcategory.h"
#include "albummusic.h"
#include "albumphoto.h"
#include "playerstateview.h"

// Qt
#include <QString>
#include <QStringList>

// std
#include <cstdint>

namespace tarnwick {

class Album;

class PlayerState {
public:
    // `view` is not owned and must outlive the state.
    explicit PlayerState(PlayerStateView& view);

    std::int16_t mActiveCategoryIndex() const { return m_categoryIndex; }
    AlbumCategory* mActiveCategory() const { return m_category; }
    std::int16_t mActivePhotoIndex() const { return m_photoIndex; }
    AlbumPhoto* mActivePhoto() const { return m_photo; }
    std::int16_t mActiveMusicIndex() const { return m_musicIndex; }
    AlbumMusic* mActiveMusic() const { return m_music; }

    // Selects category v (1-based); one past the last wraps to the first,
    // anything below 1 is ignored. Called by the category list and by the
    // photo setter when a category is used up.
    void setActiveCategoryIndex(std::int16_t v);
    // Selects picture v of the active category: 0 the front cover,
    // 1..PhotoCount the photos, PhotoCount + 1 the back cover; past that (or
    // a missing back cover) moves on to the next category. Called by the
    // category switch and the thumbnail strip.
    void setActivePhotoIndex(std::int16_t v);
    // Selects music item v (1-based); one step past the end wraps. Called by
    // the music timer.
    void setActiveMusicIndex(std::int16_t v);

    // Whether the caption is shown over the display; nothing in the player
    // sets it, the side panel clears it.
    bool mCaptionVisible() const { return m_captionVisible; }
    void setCaptionVisible(bool visible) { m_captionVisible = visible; }

    // The strip entry the slideshow shows next.
    std::int16_t mThumbnailCursor() const { return m_thumbnailCursor; }
    void setThumbnailCursor(std::int16_t cursor) { m_thumbnailCursor = cursor; }

    // The caption of `photo`: one "name: value" line per field of
    // `fieldNames`, lines longer than 60 characters broken every 60. A
    // skipped field (empty name or hidden) repeats the line of the last
    // shown field.
    static QString CaptionText(const Album& album, const QStringList& fieldNames,
                               const AlbumPhoto& photo);

private:
    void changeCategory(int newIndex, int oldIndex);
    void openCategory(int index);
    void closeCategory(int index);
    void nextCategory();
    void showCaption();

    PlayerStateView& m_view;
    std::int16_t m_categoryIndex = 0;
    AlbumCategory* m_category = nullptr;
    std::int16_t m_photoIndex = 0;
    AlbumPhoto* m_photo = nullptr;
    std::int16_t m_musicIndex = 0;
    AlbumMusic* m_music = nullptr;
    bool m_captionVisible = false;
    std::int16_t m_thumbnailCursor = 0;

    bool m_settingCategory = false;
    bool m_settingPhoto = false;
    bool m_settingMusic = false;
    bool m_changingCategory = false;
};

} // namespace tarnwick
