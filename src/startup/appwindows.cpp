#include "appwindows.h"

// ours
#include "desktopsaver.h"
#include "dlgparameter.h"
#include "exportloop.h"
#include "exportsession.h"
#include "frmabout.h"
#include "frmmain.h"
#include "frmprocess.h"
#include "screensaver.h"
#include "session.h"

// Qt
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace tarnwick {

AppWindows::AppWindows() = default;
AppWindows::~AppWindows()
{
    // The dialog, the run and the saver go before the window they drive.
    m_process.reset();
    m_export.reset();
    m_saver.reset();
    m_saverPlatform.reset();
}

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
    // The full-screen saver shows its window when it covers the desktop.
    if (StartMode != ModeSaver)
        window.show();
}

void AppWindows::StopSlideshow()
{
    player().core().tmrPhotoIndexChange.stop();
}

void AppWindows::ShowExport(const QString& aviFile)
{
    frmMain& window = player();
    m_export = std::make_unique<ExportSession>(window.core());
    m_process = std::make_unique<frmProcess>(m_export->writer(), *m_export, &window);
    m_export->writer().showFailure = [this](const QString& description) {
        QMessageBox::critical(m_process.get(), QApplication::applicationDisplayName(), description, QMessageBox::Ok);
    };
    QObject::connect(&m_export->loop(), &ExportLoop::ended, m_process.get(), [this] {
        if (!m_export->writer().finish())
            QMessageBox::critical(m_process.get(), QApplication::applicationDisplayName(),
                                  m_export->writer().lastError(), QMessageBox::Ok);
    });
    m_process->AviFile = aviFile;
    m_process->setAlbumMusic(ExportSession::AlbumMusicFiles());
    m_process->setPicturesToShow(ExportLoop::PicturesToShow());
    m_process->show();
}

void AppWindows::PrepareSaverWindow() {}

void AppWindows::StartScreenSaver(std::optional<std::int32_t> previewWindow)
{
    frmMain& window = player();
    makeSaverPlatform();
    m_saver = std::make_unique<ScreenSaverControl>(*m_saverPlatform);
    if (!previewWindow)
        window.stopScreenSaver = [this] { return m_saver->StopScreenSaver(); };
    m_saver->StartScreenSaver(previewWindow);
}

void AppWindows::makeSaverPlatform()
{
    m_saverPlatform = std::make_unique<DesktopSaverPlatform>(player());
    // A saver inside another window ends with it, quietly.
    m_saverPlatform->hostGone = [this] { EndNow(); };
}

void AppWindows::StartSaverInWindow(std::int32_t host)
{
    frmMain& window = player();
    window.saverEndsOnInput = false;
    makeSaverPlatform();
    m_saverPlatform->embedInto(host, QRect(QPoint(0, 0), m_saverPlatform->hostRect(host).size()));
    window.show();
}

void AppWindows::SwitchMusicOff()
{
    player().core().switchMusicOffForRun();
}

void AppWindows::EndNow()
{
    const bool playing = StartMode == ModeAlbumFolder || IsPackedMode(StartMode);
    if (m_player && playing)
        m_player->EndNow();
    else
        QApplication::closeAllWindows();
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
    m_process.reset();
    m_export.reset();
    m_saver.reset();
    m_saverPlatform.reset();
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
