#pragma once
// The album's picture and thumbnail files by folder ("ResultPicture",
// "MainAlbum") and plain name, as the player's parts look for them.

// ours
#include "inifile.h"
#include "session.h"

// Qt
#include <QString>

namespace tarnwick {

// The path of `name` in the album's sub-folder `folder`; empty before an
// album exists.
inline QString AlbumFile(const QString& folder, const QString& name)
{
    return gAlbum ? gAlbum->Path() + folder + QStringLiteral("\\") + name : QString();
}

inline bool AlbumFileExists(const QString& folder, const QString& name)
{
    return gAlbum && IniFile().FileExists(AlbumFile(folder, name));
}

} // namespace tarnwick
