#include "albummusic.h"

// ours
#include "pathresolver.h"

// Qt
#include <QFileInfo>

namespace tarnwick {

namespace {

AlbumMusic::PlaybackFactory& playbackFactory()
{
    static AlbumMusic::PlaybackFactory factory;
    return factory;
}

} // namespace

void AlbumMusic::SetPlaybackFactory(PlaybackFactory factory)
{
    playbackFactory() = std::move(factory);
}

void AlbumMusic::SetFileName(const QString& name)
{
    const QString trimmed = name.trimmed();
    m_fileName = isPlainFileName(trimmed) ? trimmed : QString();
}

int AlbumMusic::State() const
{
    return m_playback ? m_playback->state() : m_state;
}

bool AlbumMusic::Load(const QString& albumFolder)
{
    m_playback.reset();
    m_loadedPath.clear();
    m_state = MusicPlayback::Stopped;
    if (m_fileName.isEmpty())
        return false;
    const QString path = resolvePath(toSystemFolder(albumFolder) + QStringLiteral("MainAlbum\\")
                                     + m_fileName);
    if (!QFileInfo(path).isFile())
        return false;
    if (const PlaybackFactory& factory = playbackFactory()) {
        std::unique_ptr<MusicPlayback> playback = factory();
        if (!playback || !playback->load(path))
            return false;
        m_playback = std::move(playback);
    }
    m_loadedPath = path;
    return true;
}

void AlbumMusic::Play()
{
    if (m_playback)
        m_playback->play();
    else if (!m_loadedPath.isEmpty())
        m_state = MusicPlayback::Playing;
}

void AlbumMusic::Stop()
{
    if (m_playback)
        m_playback->stop();
    else
        m_state = MusicPlayback::Stopped;
}

void AlbumMusic::Pause()
{
    if (m_playback)
        m_playback->pause();
    else if (m_state == MusicPlayback::Playing)
        m_state = MusicPlayback::Paused;
}

void AlbumMusic::Resume()
{
    if (m_playback)
        m_playback->resume();
    else if (m_state == MusicPlayback::Paused)
        m_state = MusicPlayback::Playing;
}

} // namespace tarnwick
