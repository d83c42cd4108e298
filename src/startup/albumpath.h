#pragma once
// What a person types and what a file manager's "Open With" passes: one
// path, which the player turns into the switch that plays it.
//   an album folder or its information file      "/1*INFO_FILE"
//   a packed album's container, or the folder     "*S*OFFSET=N*FILE=CONTAINER",
//   holding it beside its "MainpicFileInfo.ini"   run in that folder
// A packed album's offset is read from the container's header (0 for a
// container without one). When the packed album's folder cannot be written
// (a disc, a shared folder), its two information files are copied into a
// per-user cache folder that the run uses instead.

// Qt
#include <QString>
#include <QStringList>

// std
#include <optional>

namespace tarnwick {

struct AlbumPathStart {
    QString commandLine;   // the switch and its pieces
    QString programFolder; // empty: keep the program folder as it is
};

// True when `words` are one path rather than one of the player's switches:
// a single word without "*" that names something that exists. A switch
// such as "/C" or "/S" is a switch unless a file of that name exists.
bool IsAlbumPath(const QStringList& words);

// True for one word that can only be meant as a path and names nothing:
// no "*", and a "/" after its first character (no switch has one there).
bool IsMissingPath(const QStringList& words);

// The start for the path; nothing, with `error` set, when the path holds no
// album the player can play.
std::optional<AlbumPathStart> StartForAlbumPath(const QString& path, QString& error);

// The first word that begins with "--" and is none of the player's own
// options (--help and --version; --export and the saver program's options
// are read elsewhere); nothing when there is none.
std::optional<QString> UnknownOption(const QStringList& words);

} // namespace tarnwick
