#pragma once
// The real windows behind the start-up routine. Owns the player window and
// the single-instance claim for the whole run.

// ours
#include "clsatom.h"
#include "startupactions.h"

// std
#include <memory>

namespace tarnwick {

class DesktopSaverPlatform;
class ExportSession;
class ScreenSaverControl;
class frmMain;
class frmProcess;

class AppWindows : public StartupActions {
public:
    AppWindows();
    ~AppWindows() override;

    bool PreviousInstance() override;
    void LoadPlayer() override;
    void ShowPlayer() override;
    void StopSlideshow() override;
    void ShowExport(const QString& aviFile) override;
    void PrepareSaverWindow() override;
    void StartScreenSaver(std::optional<std::int32_t> previewWindow) override;
    void LoadPreviewBackground() override;
    void DoEvents() override;
    void ShowParameterDialog() override;
    void UnloadAll() override;
    void ChangePassword(std::optional<std::int32_t> window) override;

    // True while a window of the program is shown, so the event loop must run.
    bool AnyWindowShown() const;

    // A full-screen saver run inside the window of a saver program (which
    // watches the input and covers the screen itself): the player becomes
    // a child of `host` at its size.
    void StartSaverInWindow(std::int32_t host);
    // Ends the run at once, cleaned up (the session, or a saver program,
    // said so): the player without its back cover, any other window as its
    // close does.
    void EndNow();
    // The player's music stays off for this run.
    void SwitchMusicOff();

private:
    frmMain& player();
    void makeSaverPlatform();

    std::unique_ptr<clsAtom> m_instance;
    std::unique_ptr<frmMain> m_player;
    std::unique_ptr<ExportSession> m_export;
    std::unique_ptr<frmProcess> m_process;
    std::unique_ptr<DesktopSaverPlatform> m_saverPlatform;
    std::unique_ptr<ScreenSaverControl> m_saver;
};

} // namespace tarnwick
