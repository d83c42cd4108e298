#include "qtmusicplayback.h"

// ours
#include "albummusic.h"

// Qt
#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace tarnwick {

namespace {

// The sink $PULSE_SINK names, as PulseAudio programs let the user route
// their sound; the default output when it is unset or unknown.
QAudioDevice outputDevice()
{
    const QByteArray wanted = qgetenv("PULSE_SINK");
    if (!wanted.isEmpty()) {
        for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
            if (device.id() == wanted)
                return device;
        }
    }
    return QMediaDevices::defaultAudioOutput();
}

} // namespace

QtMusicPlayback::QtMusicPlayback() = default;

QtMusicPlayback::~QtMusicPlayback() = default;

bool QtMusicPlayback::load(const QString& realPath)
{
    m_player.reset();
    m_output.reset();
    if (!QFileInfo(realPath).isFile())
        return false;
    m_output = std::make_unique<QAudioOutput>(outputDevice());
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    m_player->setSource(QUrl::fromLocalFile(realPath));
    m_path = realPath;
    return true;
}

void QtMusicPlayback::play()
{
    if (!m_player || failed())
        return;
    // Seeking back in a pipeline that has reached its end is not always
    // heard; a fresh one always is.
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        load(m_path);
    m_player->play();
    waitUntilSettled();
}

void QtMusicPlayback::stop()
{
    // Stopping a pipeline that has failed waits for GStreamer's state change
    // timeout (a second); there is nothing playing to stop anyway.
    if (m_player && !failed())
        m_player->stop();
}

void QtMusicPlayback::pause()
{
    if (m_player && m_player->playbackState() == QMediaPlayer::PlayingState && !failed())
        m_player->pause();
}

void QtMusicPlayback::resume()
{
    if (!m_player || m_player->playbackState() != QMediaPlayer::PausedState || failed())
        return;
    m_player->play();
    waitUntilSettled();
}

int QtMusicPlayback::state() const
{
    if (!m_player)
        return Stopped;
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        return Finished;
    // A file that is not sound stays in the playing state with an error.
    if (failed())
        return Stopped;
    switch (m_player->playbackState()) {
    // Asked to play but not yet known to be sound: not playing yet.
    case QMediaPlayer::PlayingState:
        return m_player->mediaStatus() == QMediaPlayer::LoadingMedia ? Stopped : Playing;
    case QMediaPlayer::PausedState: return Paused;
    default: return Stopped;
    }
}

bool QtMusicPlayback::failed() const
{
    return m_player->error() != QMediaPlayer::NoError
           || m_player->mediaStatus() == QMediaPlayer::InvalidMedia;
}

// Started for real (buffered), ended, failed, or no longer asked to play.
bool QtMusicPlayback::settled() const
{
    const QMediaPlayer::MediaStatus status = m_player->mediaStatus();
    return failed() || m_player->playbackState() != QMediaPlayer::PlayingState
           || status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::EndOfMedia;
}

void QtMusicPlayback::waitUntilSettled()
{
    if (settled())
        return;
    QEventLoop loop;
    const auto check = [this, &loop] {
        if (settled())
            loop.quit();
    };
    QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, &loop, check);
    QObject::connect(m_player.get(), &QMediaPlayer::playbackStateChanged, &loop, check);
    QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, &loop, check);
    QTimer::singleShot(kStartWaitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void InstallQtMusicPlayback()
{
    AlbumMusic::SetPlaybackFactory([] { return std::make_unique<QtMusicPlayback>(); });
}

} // namespace tarnwick
