#pragma once
// Builds an album folder from the maker's options: scans the photos, writes
// the scaled pictures (made on --jobs threads), thumbnails, covers,
// background, music, information file and profiles into a staging folder,
// packs it when asked, and moves it into place. Either the whole album
// appears or nothing changes. Photos that cannot be read are left out.

// ours
#include "albumdraft.h"
#include "albumpacker.h"
#include "makeroptions.h"
#include "photoscanner.h"
#include "picturemaker.h"

// Qt
#include <QDir>
#include <QImage>
#include <QString>

// std
#include <optional>

namespace tarnwick {

struct BuildOutcome {
    QString albumFolder; // absolute
    int categories = 0;
    int photos = 0;
    std::optional<PackResult> pack;
    QStringList skipped; // unreadable photos, relative to the photo folder
};

class AlbumBuilder {
public:
    // `shippedSettings` is the default playerprofile.ini copied into every
    // album. Called once by main(); throws MakerError on bad input or any
    // failure, after which no album folder has been created or changed.
    AlbumBuilder(const MakerOptions& options, const QString& shippedSettings);

    BuildOutcome build();

    // "skipped 2 unreadable files: a.jpg, b.png" for the names given.
    static QString unreadableLine(const QStringList& names);

private:
    void checkInputs() const;
    // Writes the photos of `sources` as p0001.jpg on and fills the draft's
    // categories with them (no covers yet); a category left without a
    // readable photo is dropped. Adds the unreadable photos to m_skipped.
    void writePhotos(const QVector<SourceCategory>& sources);
    void writeCovers();
    // Saves `picture` as ResultPicture/<base>.jpg and its thumbnail as
    // MainAlbum/<base>_t.jpg.
    DraftPicture writePicture(const EncodedPicture& picture, const QString& base) const;
    DraftPicture writeCover(const QString& givenPath, const QString& base, const QString& title,
                            const QString& subtitle) const;
    void writeMusic();
    void writeFile(const QString& name, const QByteArray& bytes) const;
    void copyFile(const QString& from, const QString& name) const;

    MakerOptions m_options;
    QString m_shippedSettings;
    QString m_target;
    QDir m_build;
    AlbumDraft m_draft;
    QStringList m_skipped; // absolute paths
};

} // namespace tarnwick
