#pragma once
// What the start-up routine asks of the windows. The program gives it the
// real windows; tests give it a recorder. Every call comes from the window
// thread, in the order the routine makes them, once per run.

// Qt
#include <QString>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

class StartupActions {
public:
    virtual ~StartupActions() = default;

    // True when another copy of the player already runs. Asked only in the
    // modes that refuse a second copy (1, 3, 4); a copy that finds itself
    // first keeps its claim for the rest of the run.
    virtual bool PreviousInstance() = 0;

    // Loads the player window without showing it (its load handler runs).
    virtual void LoadPlayer() = 0;
    // Shows the player window modeless, loading it first when needed.
    virtual void ShowPlayer() = 0;
    // Stops the player window's slideshow timer (export runs).
    virtual void StopSlideshow() = 0;
    // Shows the export dialog over the hidden player window; `aviFile` is
    // the video file to write.
    virtual void ShowExport(const QString& aviFile) = 0;
    // Prepares the player window for a full-screen saver run.
    virtual void PrepareSaverWindow() = 0;
    // Starts the saver full screen (no handle) or inside the preview window.
    virtual void StartScreenSaver(std::optional<std::int32_t> previewWindow) = 0;
    // Loads the background picture into the player window at its client
    // size (the preview's set-up).
    virtual void LoadPreviewBackground() = 0;
    // Lets pending window events run once.
    virtual void DoEvents() = 0;
    // Shows the parameter dialog modal; returns when it has closed.
    virtual void ShowParameterDialog() = 0;
    // Unloads every window still loaded.
    virtual void UnloadAll() = 0;
    // Changes the screen-saver password for the given window.
    virtual void ChangePassword(std::optional<std::int32_t> window) = 0;
};

} // namespace tarnwick
