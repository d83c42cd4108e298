#include "musicsupervisor.h"

// ours
#include "busymark.h"
#include "inifile.h"
#include "numbertext.h"
#include "packagefiles.h"
#include "playersettings.h"
#include "programfolder.h"
#include "session.h"

namespace tarnwick {

namespace {

constexpr int kPollMs = 1000;

// Music plays in the player window (modes 1 and 3) and the full-screen
// saver (4); a mode not set yet counts as playing too.
bool isSilentMode(std::int32_t mode)
{
    return mode == ModeExport || mode == ModeSaverPreview || mode == ModeSaverSettings
           || mode == ModeSaverPassword;
}

} // namespace

MusicSupervisor::MusicSupervisor(PlayerState& state, QObject* parent)
    : QObject(parent), m_state(state), m_tmrSound(this)
{
    m_tmrSound.setObjectName(QStringLiteral("tmrSound"));
    m_tmrSound.setInterval(kPollMs);
    connect(&m_tmrSound, &WindowTimer::timeout, this, &MusicSupervisor::tick);
}

void MusicSupervisor::musicSwitched(bool on)
{
    m_musicOn = on;
    BusyMark busy(m_switching);
    if (!busy.entered())
        return;
    AlbumMusic* music = m_state.mActiveMusic();
    if (!music)
        return;
    if (!on) {
        if (music->State() == MusicPlayback::Playing)
            music->Stop();
        m_tmrSound.stop();
    } else {
        m_tmrSound.setInterval(kPollMs);
        m_tmrSound.start();
    }
    m_musicFailed = false;
    WritePlayerSetting(QStringLiteral("Current"), QStringLiteral("MusicOpen"),
                       on ? QStringLiteral("1") : QStringLiteral("0"));
}

void MusicSupervisor::tick()
{
    BusyMark busy(m_ticking);
    if (!busy.entered() || m_musicFailed || isSilentMode(StartMode) || !gAlbum)
        return;
    AlbumMusic* music = m_state.mActiveMusic();
    if (!music) {
        if (gAlbum->Musics().Count() >= 1) {
            m_state.setActiveMusicIndex(1);
            startItem();
        }
        return;
    }
    switch (music->State()) {
    case MusicPlayback::Stopped:
        if (m_musicOn)
            loadAndPlay();
        break;
    case MusicPlayback::Playing:
        if (!m_musicOn)
            music->Stop();
        break;
    case MusicPlayback::Paused:
        if (m_musicOn)
            music->Resume();
        break;
    case MusicPlayback::Finished:
        if (m_musicOn) {
            m_state.setActiveMusicIndex(static_cast<std::int16_t>(m_state.mActiveMusicIndex() + 1));
            startItem();
        }
        break;
    default: break;
    }
}

void MusicSupervisor::stopAll()
{
    m_tmrSound.stop();
    if (AlbumMusic* music = m_state.mActiveMusic())
        music->Stop();
}

void MusicSupervisor::startItem()
{
    AlbumMusic* music = m_state.mActiveMusic();
    if (!music)
        return;
    ExtractPicture(music->FileName(), QString::fromLatin1(kMainAlbum));
    if (m_musicOn)
        loadAndPlay();
}

void MusicSupervisor::loadAndPlay()
{
    AlbumMusic* music = m_state.mActiveMusic();
    music->Load(gAlbum->Path());
    music->Play();
    if (music->State() != MusicPlayback::Playing) {
        m_musicFailed = true;
        m_tmrSound.stop();
    }
}

bool ReadMusicOpen()
{
    const QString text = IniFile().ReadValue(QStringLiteral("Current"), QStringLiteral("MusicOpen"),
                                             QStringLiteral("1"),
                                             ProgramFolder() + QStringLiteral("/profile.ini"));
    // A value that does not convert leaves the box as designed: on.
    const std::optional<std::int32_t> value = TextToInt32(text);
    return !value || *value != 0;
}

} // namespace tarnwick
