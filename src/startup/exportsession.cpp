// ours
#include "exportsession.h"

#include "albumfiles.h"
#include "packagefiles.h"
#include "pathresolver.h"
#include "playercore.h"
#include "session.h"

namespace tarnwick {

ExportSession::ExportSession(PlayerCore& core)
    : m_core(core), m_loop(core), m_writer(core.run().PM(0))
{
    if (gAlbum)
        m_writer.albumSize = QSize(gAlbum->PictureWidth(), gAlbum->PictureHeight());
    m_core.run().M().setFrameSink(&m_writer);
    // The album's last frame is the file's last: it is finished at once,
    // before the program ends.
    QObject::connect(&m_loop, &ExportLoop::ended, &m_loop, [this] { m_writer.finish(); });
}

ExportSession::~ExportSession()
{
    m_core.run().M().setFrameSink(nullptr);
    m_writer.finish();
}

void ExportSession::startExport(QSize frame, bool needNotMovie)
{
    m_writer.frameSize = frame;
    m_loop.Start(frame, needNotMovie);
}

void ExportSession::stopExport()
{
    m_writer.stop();
    m_loop.Stop();
}

QStringList ExportSession::AlbumMusicFiles()
{
    QStringList files;
    if (!gAlbum)
        return files;
    for (int i = 1; i <= gAlbum->Musics().Count(); ++i) {
        const QString name = gAlbum->Musics().Item(i).FileName();
        if (!name.isEmpty())
            files << resolvePath(AlbumFile(QString::fromLatin1(kMainAlbum), name));
    }
    return files;
}

} // namespace tarnwick
