// ours
#include "playerstate.h"

#include "album.h"
#include "albumfiles.h"
#include "busymark.h"
#include "inifile.h"
#include "packagefiles.h"
#include "session.h"

// std
#include <exception>
#include <limits>
#include <stdexcept>

namespace tarnwick {

namespace {

constexpr int kCaptionLineLength = 60;
const QString kLineBreak = QStringLiteral("\r\n");

// Runs one step; a failing step is passed over and the caller goes on.
template <typename Step>
void skipFailure(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

// The 16-bit index one past `index`; an index already at the top overflows,
// which fails the step.
std::int16_t nextIndex(std::int16_t index)
{
    if (index == std::numeric_limits<std::int16_t>::max())
        throw std::overflow_error("Overflow");
    return static_cast<std::int16_t>(index + 1);
}

// Breaks `line` after every 60th character when it is longer than 60,
// working from the end so earlier positions stay put. A line of 120 or more
// whose length is a multiple of 60 gets a break at its very end too.
QString breakCaptionLine(QString line)
{
    if (line.size() <= kCaptionLineLength)
        return line;
    for (qsizetype pos = line.size() / kCaptionLineLength * kCaptionLineLength; pos > 0;
         pos -= kCaptionLineLength)
        line.insert(pos, kLineBreak);
    return line;
}

} // namespace

PlayerState::PlayerState(PlayerStateView& view) : m_view(view) {}

void PlayerState::setActiveCategoryIndex(std::int16_t v)
{
    BusyMark busy(m_settingCategory);
    if (!busy.entered() || !gAlbum)
        return;
    const int count = gAlbum->Categories().Count();
    if (count < 1 || v < 1)
        return;
    const int index = v > count ? 1 : v;
    const int oldIndex = m_categoryIndex;
    m_categoryIndex = static_cast<std::int16_t>(index);
    m_category = &gAlbum->Categories().Item(index);
    changeCategory(index, oldIndex);
}

void PlayerState::setActivePhotoIndex(std::int16_t v)
{
    BusyMark busy(m_settingPhoto);
    if (!busy.entered())
        return;
    m_photo = nullptr;
    if (!m_category)
        return;
    m_photoIndex = v;
    const int n = m_category->PhotoCount();
    if (v == 0 || v == n + 1) {
        m_view.hideCaption();
        AlbumPhoto& cover = v == 0 ? m_category->FrontCover() : m_category->BackCover();
        ExtractPicture(cover.FileName(), kResultPicture);
        if (AlbumFileExists(kResultPicture, cover.FileName()))
            m_photo = &cover;
        else if (v != 0)
            nextCategory();
        return;
    }
    if (v < 1 || v > n) {
        nextCategory();
        return;
    }
    m_photo = &m_category->Photos().Item(v);
    // Thumbnail 0 is the front cover only when its thumbnail file exists.
    const bool frontThumbnail = AlbumFileExists(kMainAlbum, m_category->FrontCover().ThumbnailFileName());
    m_view.keepThumbnailInView(frontThumbnail ? v : v - 1);
    showCaption();
    m_view.processEvents();
}

void PlayerState::setActiveMusicIndex(std::int16_t v)
{
    BusyMark busy(m_settingMusic);
    if (!busy.entered() || !gAlbum)
        return;
    const int count = gAlbum->Musics().Count();
    if (count < 1)
        return;
    // One step of wrap-around only: count + 1 becomes 1.
    m_musicIndex = static_cast<std::int16_t>(v > count ? v - count : v);
    if (m_musicIndex >= 1 && m_musicIndex <= count)
        m_music = &gAlbum->Musics().Item(m_musicIndex);
}

QString PlayerState::CaptionText(const Album& album, const QStringList& fieldNames,
                                 const AlbumPhoto& photo)
{
    QString text;
    QString line;
    for (const QString& name : fieldNames) {
        if (!name.isEmpty() && album.FieldVisible(name))
            line = breakCaptionLine(name + QStringLiteral(": ") + photo.FieldValue(name));
        // A skipped field repeats the last shown line (empty before the first).
        text += line + kLineBreak;
    }
    if (text.endsWith(kLineBreak))
        text.chop(kLineBreak.size());
    if (text.startsWith(kLineBreak))
        text.remove(0, kLineBreak.size());
    return text;
}

void PlayerState::changeCategory(int newIndex, int oldIndex)
{
    BusyMark busy(m_changingCategory);
    if (!busy.entered() || newIndex == oldIndex)
        return;
    const int count = gAlbum->CategoryCount();
    if (oldIndex >= 1 && oldIndex <= count)
        closeCategory(oldIndex);
    if (newIndex >= 1 && newIndex <= count) {
        openCategory(newIndex);
        m_thumbnailCursor = 0;
        setActivePhotoIndex(0);
    }
}

void PlayerState::openCategory(int index)
{
    skipFailure([&] { gAlbum->Categories().Item(index).Open(); });
    if (m_category)
        m_view.loadThumbnails(*m_category);
    skipFailure([&] {
        ExtractPicture(m_category->FrontCover().FileName(), kResultPicture);
        ExtractPicture(m_category->BackCover().FileName(), kResultPicture);
    });
}

void PlayerState::closeCategory(int index)
{
    skipFailure([&] { gAlbum->Categories().Item(index).Close(); });
    m_view.hideThumbnails();
}

void PlayerState::nextCategory()
{
    skipFailure([&] { setActiveCategoryIndex(nextIndex(m_categoryIndex)); });
}

void PlayerState::showCaption()
{
    QString text;
    if (gAlbum && m_photo)
        text = CaptionText(*gAlbum, gAlbum->FieldNames(), *m_photo);
    if (m_captionVisible)
        m_view.hideCaption();
    m_view.placeCaption(text);
    m_view.setCaptionShown(m_captionVisible);
}

} // namespace tarnwick
