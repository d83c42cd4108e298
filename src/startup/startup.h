#pragma once
// The start-up routine: reads the command line, records the start mode,
// creates and fills the album object, writes a packed album's picture index
// and opens the window the mode needs. Runs once, on the window thread,
// before the event loop; every failing step is skipped silently.

// Qt
#include <QString>

namespace tarnwick {

class StartupActions;

// Fills the album from the information file `file` and makes its folder
// the album folder, for an album played in place (no command-line
// upper-casing). False when the file cannot be read.
bool LoadAlbumInPlace(const QString& file);

// The album information file for ALBUM: the file itself, or in a folder its
// "album.ini" (any letter case), else its only INI file with an [Album]
// section. Empty when there is none.
QString FindAlbumFile(const QString& album);

// Runs the routine on `commandLine` (the arguments after the program name
// joined by single blanks). Returns true when a window stays open, so the
// program must run its event loop; false when the program ends now.
bool RunStartup(const QString& commandLine, StartupActions& actions);

// The packed album's set-up: loads the album from the program folder's
// "MainpicFileInfo.ini", makes the program folder the album folder, writes
// "MainFile.ini" from its picture index, and names the container and the
// offset of its picture data from the last two pieces.
class CommandLine;
void SetUpPackedAlbum(const CommandLine& line);

} // namespace tarnwick
