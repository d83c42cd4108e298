#pragma once
// The player run by a saver program, in its conventions: XScreenSaver
// starts a hack with `--root` and the window to draw into in
// $XSCREENSAVER_WINDOW, and its settings' preview adds `--window-id ID`.
//   tarnwick-player [--root] [--window-id ID] [--album PATH] [--still S]
//                   [--no-music] [*OFFSET=N*FILE=CONTAINER]
// The preview (a window id) wins over the full-screen run; the full-screen
// run draws into the saver program's window when there is one (which
// watches the input itself), else it covers the desktop as "/S" does. The
// album is a folder (or its information file) played in place, or a packed
// album's pieces as "/S" takes them.

// Qt
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

class AppWindows;

struct SaverHackOptions {
    std::optional<std::uint32_t> previewWindow; // --window-id
    std::optional<std::uint32_t> saverWindow;   // $XSCREENSAVER_WINDOW
    QString album;                              // --album
    std::optional<int> still;                   // --still, seconds
    bool music = true;
    QString packedPieces; // what is left: "*OFFSET=N*FILE=CONTAINER"
};

// True when the words after the program name are a saver program's.
bool IsSaverHack(const QStringList& words);

// The options of `words`, with `envWindow` the text of
// $XSCREENSAVER_WINDOW; nothing, with the reason in `error`, when they are
// not usable.
std::optional<SaverHackOptions> ParseSaverHack(const QStringList& words, const QString& envWindow, QString& error);

// Loads the album and starts the saver; false (with a line on the error
// output) when there is no album to show.
bool RunSaverHack(const SaverHackOptions& options, AppWindows& windows);

} // namespace tarnwick
