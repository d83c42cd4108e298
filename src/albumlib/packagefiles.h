#pragma once
// The package files of a packed album: the on-demand unpacking of a picture
// or thumbnail out of the container, and the clean-up of what was unpacked
// when the player ends. Both read the run state of session.h and run on the
// window thread; neither ever reports a failure (the caller tests whether
// the picture file exists before loading it).

// Qt
#include <QString>

namespace tarnwick {

// The folder names under the album folder.
inline constexpr const char* kResultPicture = "ResultPicture";
inline constexpr const char* kMainAlbum = "MainAlbum";

// Makes album folder + folder + "\" + name exist. In the packed modes the
// file is copied out of the container by its entry in "MainFile.ini" the
// first time it is asked for; in the other modes nothing is touched.
// `folder` is "ResultPicture" or "MainAlbum" exactly; anything else unpacks
// nothing. A name that would leave its folder is never written.
void ExtractPicture(const QString& name, const QString& folder);

// Removes what a packed run unpacked: every file (not sub-folders) of the
// program folder's "MainAlbum" and "ResultPicture" in modes 3, 4 and 5 when
// a container was named (an album played in place keeps its files), and
// the launcher's three files one folder above the program folder in modes
// 3 to 7. Called once by the player window as it closes.
void CleanUpUnpackedFiles();

} // namespace tarnwick
