#pragma once
// Paths as the player builds them are Windows paths: "\" separators, and the
// command line may arrive upper-cased ("/HOME/ME/ALBUM\RESULTPICTURE\P1.JPG").
// Every file service of the album library turns such a path into the real
// Linux path first, through resolvePath. All functions here are pure and may
// be called from any thread.

// Qt
#include <QString>

namespace tarnwick {

// The real path for `systemPath`. "\" and "/" both separate components;
// empty components are dropped, a leading separator keeps the path absolute
// and a trailing one is kept. Each component is looked up in its parent
// folder's listing: an exact match wins, otherwise the first entry (in
// name order) that matches ignoring letter case. From the first component
// that does not exist on, the rest is kept as written, so a file about to
// be created lands in the existing folder. "." and ".." are kept as they
// are. The result uses "/" only. A relative path stays relative and is
// resolved against the current folder.
QString resolvePath(const QString& systemPath);

// The text after the last "\" or "/" of `systemPath` (the whole text when it
// has neither).
QString systemFileName(const QString& systemPath);

// `folder` ending in a separator, as the album folder is always written:
// "\" is appended unless it already ends in "\" or "/". An empty folder
// stays empty.
QString toSystemFolder(const QString& folder);

// True when `name` names a file inside its folder and nothing else: not
// empty, no "/" or "\", not "." or "..", and no control characters. Album
// texts and container copies use it to keep every file in its folder.
bool isPlainFileName(const QString& name);

} // namespace tarnwick
