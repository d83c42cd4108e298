#include "album.h"

// ours
#include "albumtext.h"
#include "pathresolver.h"

// std
#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

const QString kAlbum = QStringLiteral("Album");

// A hostile count in every category must not make millions of photos; no
// real album comes near this.
constexpr int kMaxPhotosInAlbum = 1 << 20;
// Caption fields a photo can carry; no real album has more than a few.
constexpr int kMaxFields = 64;
// The largest album picture: more than any screen or video needs.
constexpr int kMaxSide = 16384;
constexpr double kMaxPixels = 64.0 * 1024 * 1024;

// "file|thumbnail" into a photo's two file names.
void readFilePair(const AlbumText& text, const QString& section, const QString& key,
                  AlbumPhoto& photo)
{
    const QStringList parts = text.plain(section, key).split(u'|');
    photo.SetFileName(parts.value(0));
    photo.SetThumbnailFileName(parts.value(1));
}

AlbumCategory readCategory(const AlbumText& text, int number, const QStringList& fields,
                           int& photoBudget)
{
    const QString section = QStringLiteral("Category%1").arg(number);
    AlbumCategory category;
    category.SetName(text.text(section, QStringLiteral("Name")));
    readFilePair(text, section, QStringLiteral("FrontCover"), category.FrontCover());
    readFilePair(text, section, QStringLiteral("BackCover"), category.BackCover());
    const int photos = std::min(text.count(section, QStringLiteral("Photos")), photoBudget);
    photoBudget -= photos;
    for (int i = 1; i <= photos; ++i) {
        const QString key = QStringLiteral("Photo%1").arg(i);
        AlbumPhoto photo;
        readFilePair(text, section, key, photo);
        // Only the fields a photo has take room: an empty one reads as "".
        for (const QString& field : fields) {
            const QString value = text.text(section, key + u'.' + field);
            if (!value.isEmpty())
                photo.SetFieldValue(field, value);
        }
        category.Photos().Add(std::move(photo));
    }
    return category;
}

bool containsName(const QStringList& names, const QString& name)
{
    return names.contains(name.trimmed(), Qt::CaseInsensitive);
}

} // namespace

void Album::SetPath(const QString& folder)
{
    m_path = toSystemFolder(folder);
}

bool Album::FieldVisible(const QString& name) const
{
    return containsName(m_fieldNames, name) && !containsName(m_hiddenFields, name);
}

void Album::LoadText(const QString& source)
{
    const AlbumText text(source);
    m_title = text.text(kAlbum, QStringLiteral("Title"));
    m_author = text.text(kAlbum, QStringLiteral("Author"));
    m_email = text.text(kAlbum, QStringLiteral("EMail"));
    m_web = text.text(kAlbum, QStringLiteral("Web"));
    m_description = text.text(kAlbum, QStringLiteral("Description"));
    m_otherInfo = text.text(kAlbum, QStringLiteral("OtherInfo"));
    m_infoLine = text.text(kAlbum, QStringLiteral("InfoLine"));
    // Both sizes or neither: half a size would make a picture of no area.
    m_pictureWidth = text.count(kAlbum, QStringLiteral("PictureWidth"));
    m_pictureHeight = text.count(kAlbum, QStringLiteral("PictureHeight"));
    if (m_pictureWidth < 1 || m_pictureHeight < 1) {
        m_pictureWidth = kDefaultPictureWidth;
        m_pictureHeight = kDefaultPictureHeight;
    }
    // A larger size keeps its shape at the largest the player makes.
    const double scale = std::min({1.0, double(kMaxSide) / m_pictureWidth, double(kMaxSide) / m_pictureHeight,
                                   std::sqrt(kMaxPixels / (double(m_pictureWidth) * m_pictureHeight))});
    if (scale < 1.0) {
        m_pictureWidth = std::max(1, int(m_pictureWidth * scale));
        m_pictureHeight = std::max(1, int(m_pictureHeight * scale));
    }
    m_fieldNames = text.list(kAlbum, QStringLiteral("Fields")).mid(0, kMaxFields);
    m_hiddenFields = text.list(kAlbum, QStringLiteral("HiddenFields"));

    m_frontCover = AlbumPhoto();
    m_backCover = AlbumPhoto();
    readFilePair(text, kAlbum, QStringLiteral("FrontCover"), m_frontCover);
    readFilePair(text, kAlbum, QStringLiteral("BackCover"), m_backCover);

    m_musics.Clear();
    // Counts are bounded by the lines that could describe what they count.
    const int musics = std::min(text.count(kAlbum, QStringLiteral("Musics")), text.lines());
    for (int i = 1; i <= musics; ++i) {
        AlbumMusic music;
        music.SetFileName(text.plain(QStringLiteral("Music%1").arg(i), QStringLiteral("File")));
        m_musics.Add(std::move(music));
    }

    m_categories.Clear();
    int photoBudget = std::min(kMaxPhotosInAlbum, text.lines());
    const int categories = std::min(text.count(kAlbum, QStringLiteral("Categories")), text.lines());
    for (int i = 1; i <= categories; ++i)
        m_categories.Add(readCategory(text, i, m_fieldNames, photoBudget));
}

} // namespace tarnwick
