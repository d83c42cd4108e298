#pragma once
// Builds an album folder from the maker's options: scans the photos, writes
// the scaled pictures, thumbnails, covers, background, music, information
// file and profiles into a staging folder, packs it when asked, and moves it
// into place. Either the whole album appears or nothing changes.

// ours
#include "albumdraft.h"
#include "albumpacker.h"
#include "makeroptions.h"

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
};

class AlbumBuilder {
public:
    // `shippedSettings` is the default playerprofile.ini copied into every
    // album. Called once by main(); throws MakerError on bad input or any
    // failure, after which no album folder has been created or changed.
    AlbumBuilder(const MakerOptions& options, const QString& shippedSettings);

    BuildOutcome build();

private:
    void checkInputs() const;
    // Saves `picture` as ResultPicture/<base>.jpg and its thumbnail as
    // MainAlbum/<base>_t.jpg.
    DraftPicture writePicture(const QImage& picture, const QString& base) const;
    DraftPicture writeCover(const QString& givenPath, const QString& base, const QString& title,
                            const QString& subtitle) const;
    void writeMusic();
    void writeTextFile(const QString& name, const QString& text) const;
    void copyFile(const QString& from, const QString& name) const;

    MakerOptions m_options;
    QString m_shippedSettings;
    QString m_target;
    QDir m_build;
    AlbumDraft m_draft;
};

} // namespace tarnwick
