#pragma once
// The album the player shows: its texts, covers, categories with their
// photos, music and caption fields. The start-up fills the one album object
// with LoadText and SetPath before any window opens; after that the window
// thread reads it.
//
// LoadText takes the album information text, an INI text:
//   [Album]     Title, Author, EMail, Web, Description, OtherInfo, InfoLine
//               (free texts), PictureWidth, PictureHeight, Categories and
//               Musics (numbers), Fields and HiddenFields ("|" lists),
//               FrontCover and BackCover ("file|thumbnail")
//   [MusicN]    File
//   [CategoryN] Name, FrontCover, BackCover, Photos, PhotoI ("file|thumbnail"),
//               PhotoI.<field> (caption field values)
// Keys ignore letter case and values are trimmed; free texts turn "\n" into
// a line break and "\\" into a backslash; in other values a ";" at the start
// or after a blank begins a comment. A missing key reads as "" or 0, and the
// counts decide how many items there are (items the text does not fill are
// empty). File names that are not plain names (holding "/" or "\", "." or
// "..") read as "", so nothing in the text can point outside the album's
// folders. Other sections, such as a packed album's picture index, are
// ignored.

// ours
#include "albumcategories.h"
#include "albummusics.h"
#include "albumphoto.h"

// Qt
#include <QString>
#include <QStringList>

namespace tarnwick {

class Album {
public:
    // Replaces everything but Path with what `text` describes.
    void LoadText(const QString& text);

    // The album folder, always ending in "\" or "/": SetPath appends "\"
    // when the given folder has no separator at its end.
    QString Path() const { return m_path; }
    void SetPath(const QString& folder);

    QString Title() const { return m_title; }
    QString Author() const { return m_author; }
    QString EMail() const { return m_email; }
    QString Web() const { return m_web; }
    void SetTitle(const QString& text) { m_title = text; }
    void SetAuthor(const QString& text) { m_author = text; }
    void SetEMail(const QString& text) { m_email = text; }
    void SetWeb(const QString& text) { m_web = text; }
    QString Description() const { return m_description; }
    QString OtherInfo() const { return m_otherInfo; }
    QString InfoLine() const { return m_infoLine; }

    AlbumCategories& Categories() { return m_categories; }
    const AlbumCategories& Categories() const { return m_categories; }
    int CategoryCount() const { return m_categories.Count(); }
    AlbumMusics& Musics() { return m_musics; }
    const AlbumMusics& Musics() const { return m_musics; }

    AlbumPhoto& FrontCover() { return m_frontCover; }
    AlbumPhoto& BackCover() { return m_backCover; }
    const AlbumPhoto& FrontCover() const { return m_frontCover; }
    const AlbumPhoto& BackCover() const { return m_backCover; }

    // The designed picture size in pixels.
    // The picture size of an album that gives no usable one (none, or a
    // width or height below 1).
    static constexpr int kDefaultPictureWidth = 800;
    static constexpr int kDefaultPictureHeight = 600;
    int PictureWidth() const { return m_pictureWidth; }
    int PictureHeight() const { return m_pictureHeight; }

    // The caption field names in order.
    QStringList FieldNames() const { return m_fieldNames; }
    // True for a name of FieldNames (letter case ignored) that is not hidden.
    bool FieldVisible(const QString& name) const;

private:
    QString m_path;
    QString m_title, m_author, m_email, m_web;
    QString m_description, m_otherInfo, m_infoLine;
    AlbumCategories m_categories;
    AlbumMusics m_musics;
    AlbumPhoto m_frontCover, m_backCover;
    int m_pictureWidth = kDefaultPictureWidth;
    int m_pictureHeight = kDefaultPictureHeight;
    QStringList m_fieldNames;
    QStringList m_hiddenFields;
};

} // namespace tarnwick
