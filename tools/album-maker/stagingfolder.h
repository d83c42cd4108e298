#pragma once
// The folder an album is built in before it takes its final place. The
// album is written into a sibling of the target, ALBUM_DIR.partial-XXXXXX,
// and renamed into place only when it is complete, so a failed or
// interrupted run never leaves a half-written album under the album's
// name; an existing album is replaced only after the new one is done.

// Qt
#include <QString>
#include <QTemporaryDir>

// std
#include <memory>

namespace tarnwick {

class StagingFolder {
public:
    // The name of the file that marks a folder as an album.
    static constexpr const char* AlbumMarker = "album.ini";

    // Throws MakerError unless `target` is free to be written: missing, an
    // empty folder or an album folder (one holding album.ini).
    static void checkTarget(const QString& target);

    // Creates the sibling folder (and the target's parent when missing).
    // Throws MakerError when it cannot. Owned by the builder for one run.
    explicit StagingFolder(const QString& target);
    // Removes the sibling folder unless commit() moved it into place.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The folder to write into.
    QString path() const;
    // The final folder, absolute.
    QString target() const { return m_target; }

    // Moves the built album to the target, replacing what is there. On
    // failure the target is as it was and MakerError is thrown.
    void commit();

private:
    QString m_target;
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace tarnwick
