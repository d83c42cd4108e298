#pragma once
// The export from the command line, with no window on screen:
//   tarnwick-player --export OUT [--size WxH] [--still SECONDS] [--static]
//                   [--no-music] ALBUM
// plays the album into the video file as the export dialog does, prints
// its progress and a summary, and ends with status 0, or 1 when the album
// or the file fails, 2 for bad arguments. Needs a QCoreApplication (no
// display); runs on its thread.

// Qt
#include <QSize>
#include <QString>
#include <QStringList>

// std
#include <optional>

namespace tarnwick {

struct ExportOptions {
    QString output;
    QSize size{352, 288};
    // The still after each picture in seconds; unset: the player's setting.
    std::optional<int> still;
    bool staticPictures = false;
    bool music = true;
    // The album's information file (a folder is looked into for it).
    QString album;
};

// True when the words after the program name ask for this export.
bool IsBatchExport(const QStringList& words);

// The options of `words` (the arguments after the program name); nothing,
// with the reason in `error`, when they are not usable.
std::optional<ExportOptions> ParseExportOptions(const QStringList& words, QString& error);

// Runs the export; returns the exit status.
int RunBatchExport(const ExportOptions& options);

} // namespace tarnwick
