// ours
#include "saverhack.h"

#include "appwindows.h"
#include "commandline.h"
#include "frmmain.h"
#include "playersettings.h"
#include "session.h"
#include "startup.h"

// std
#include <cstdio>

namespace tarnwick {

namespace {

// A window id as the saver programs write it: decimal or 0x hex.
std::optional<std::uint32_t> windowId(const QString& text)
{
    bool ok = false;
    const qulonglong id = text.trimmed().toULongLong(&ok, 0);
    if (!ok || id == 0 || id > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(id);
}

bool isOption(const QString& w, const char* name)
{
    // XScreenSaver's own hacks take one dash; both are accepted.
    return w == QLatin1String(name) || w == QLatin1String(name).mid(1);
}

} // namespace

bool IsSaverHack(const QStringList& words)
{
    for (const QString& w : words) {
        if (isOption(w, "--root") || isOption(w, "--window-id") || isOption(w, "--album"))
            return true;
    }
    return false;
}

std::optional<SaverHackOptions> ParseSaverHack(const QStringList& words, const QString& envWindow, QString& error)
{
    SaverHackOptions o;
    QStringList rest;
    bool root = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words.at(i);
        const bool takesValue = isOption(w, "--window-id") || isOption(w, "--album") || isOption(w, "--still");
        if (takesValue && i + 1 >= words.size()) {
            error = w + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        if (isOption(w, "--root")) {
            root = true;
        } else if (isOption(w, "--window-id")) {
            o.previewWindow = windowId(words.at(++i));
            if (!o.previewWindow) {
                error = QStringLiteral("--window-id takes a window id, not \"%1\"").arg(words.at(i));
                return std::nullopt;
            }
        } else if (isOption(w, "--album")) {
            o.album = words.at(++i);
        } else if (isOption(w, "--still")) {
            bool ok = false;
            o.still = words.at(++i).toInt(&ok);
            if (!ok || *o.still < 0) {
                error = QStringLiteral("--still takes whole seconds, not \"%1\"").arg(words.at(i));
                return std::nullopt;
            }
        } else if (isOption(w, "--no-music")) {
            o.music = false;
        } else if (w.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1 (see --help)").arg(w);
            return std::nullopt;
        } else {
            rest << w;
        }
    }
    if (!envWindow.isEmpty() && !o.previewWindow)
        o.saverWindow = windowId(envWindow);
    Q_UNUSED(root); // --root alone: the saver covers the desktop itself
    o.packedPieces = rest.join(QLatin1Char(' '));
    if (o.album.isEmpty() && !o.packedPieces.contains(QLatin1Char('*'))) {
        error = QStringLiteral("name the album: --album FOLDER, or a packed album's *OFFSET=N*FILE=CONTAINER");
        return std::nullopt;
    }
    return o;
}

bool RunSaverHack(const SaverHackOptions& options, AppWindows& windows)
{
    gAlbum = std::make_unique<Album>();
    if (!options.album.isEmpty()) {
        if (!LoadAlbumInPlace(FindAlbumFile(options.album))) {
            std::fprintf(stderr, "tarnwick-player: no album at \"%s\"\n", qPrintable(options.album));
            return false;
        }
    } else {
        // The pieces of a packed album, read as "/S" reads them.
        SetUpPackedAlbum(CommandLine(QStringLiteral("/S") + options.packedPieces.mid(options.packedPieces.indexOf(QLatin1Char('*')))));
    }
    if (options.still)
        SetPlayerSettingForRun(QStringLiteral("Effect"), QStringLiteral("StopTime"), QString::number(*options.still));

    if (options.previewWindow) {
        StartMode = ModeSaverPreview;
        windows.LoadPlayer();
        windows.StartScreenSaver(static_cast<std::int32_t>(*options.previewWindow));
        windows.ShowPlayer();
        return true;
    }
    StartMode = ModeSaver;
    windows.LoadPlayer();
    if (!options.music)
        windows.SwitchMusicOff();
    if (options.saverWindow) {
        windows.StartSaverInWindow(static_cast<std::int32_t>(*options.saverWindow));
        return true;
    }
    windows.ShowPlayer();
    windows.StartScreenSaver(std::nullopt);
    return true;
}

} // namespace tarnwick
