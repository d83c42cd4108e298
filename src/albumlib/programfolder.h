#pragma once
// The program folder: where the player keeps "playerprofile.ini", the
// album's "profile.ini" and, for a packed album, its index files. It is the
// executable's folder; when that folder is not writable or the executable
// is installed (share/tarnwick-album-player beside its bin/), the per-user
// configuration folder $XDG_CONFIG_HOME/tarnwick-album-player.

// Qt
#include <QString>

namespace tarnwick {

// The program folder without a trailing separator. Resolved once on first
// call (window thread); tests and tools may override it first.
QString ProgramFolder();

// Replaces the program folder for the rest of the run (tests, tools and the
// --program-folder option). Call before anything reads a setting.
void SetProgramFolder(const QString& folder);

// The folder of the running executable, without a trailing separator.
QString ExecutableFolder();

} // namespace tarnwick
