#include "appwindows.h"

// ours
#include "dlgparameter.h"
#include "frmabout.h"
#include "frmmain.h"

// Qt
#include <QApplication>
#include <QWidget>

// std
#include <cstdio>

namespace tarnwick {

namespace {
void notYetAvailable(const char* what)
{
    std::fprintf(stderr, "tarnwick-player: %s is not available in this version\n", what);
}
} // namespace

AppWindows::AppWindows() = default;
AppWindows::~AppWindows() = default;

bool AppWindows::PreviousInstance()
{
    if (!m_instance)
        m_instance = std::make_unique<clsAtom>();
    return !m_instance->IsFirstThread();
}

frmMain& AppWindows::player()
{
    if (!m_player) {
        m_player = std::make_unique<frmMain>();
        m_player->setAttribute(Qt::WA_QuitOnClose, true);
        m_player->openAbout = [](QWidget* owner) { ShowAboutBox(owner); };
        m_player->openParameter = [](QWidget* owner) { OpenParameterDialog(owner); };
    }
    return *m_player;
}

void AppWindows::LoadPlayer()
{
    player().Load();
}

void AppWindows::ShowPlayer()
{
    frmMain& window = player();
    window.Load();
    window.show();
}

void AppWindows::StopSlideshow() {}

void AppWindows::ShowExport(const QString&)
{
    notYetAvailable("the video export");
}

void AppWindows::PrepareSaverWindow() {}

void AppWindows::StartScreenSaver(std::optional<std::int32_t> previewWindow)
{
    // Until the saver can be left by key or mouse, the album plays in an
    // ordinary window rather than a full-screen one nothing could close.
    notYetAvailable(previewWindow ? "the screen-saver preview" : "the full-screen screen saver");
}

void AppWindows::LoadPreviewBackground() {}

void AppWindows::DoEvents()
{
    QApplication::processEvents();
}

void AppWindows::ShowParameterDialog()
{
    // The screen saver's settings: the run ends when the dialog closes.
    dlgParameter dialog;
    dialog.exec();
}

void AppWindows::UnloadAll()
{
    m_player.reset();
}

void AppWindows::ChangePassword(std::optional<std::int32_t>)
{
    // There is no system screen-saver password here; the change ends at once.
}

bool AppWindows::AnyWindowShown() const
{
    const auto widgets = QApplication::topLevelWidgets();
    for (const QWidget* w : widgets) {
        if (w->isVisible())
            return true;
    }
    return false;
}

} // namespace tarnwick
