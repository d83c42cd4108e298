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
// nothing. A name that would leave its folder is never written, nor is a
// folder that is a symbolic link leading out of the album folder, nor a
// name taken by anything but a file or a symbolic link; a symbolic link
// under the name is replaced by the file, never written through. The index
// is read once and again only when the file changes.
void ExtractPicture(const QString& name, const QString& folder);

// Removes what this run unpacked, in modes 3, 4 and 5 when a container was
// named: each file ExtractPicture wrote, as long as it is still the very
// file it wrote (not replaced, not a link); nothing else in "MainAlbum" or
// "ResultPicture" is touched and no link is followed, since those folders
// may hold the user's own files. Files one folder up are never touched.
// The container is let go: nothing is unpacked after the clean-up.
// Called once by the player window as it closes.
void CleanUpUnpackedFiles();

} // namespace tarnwick
