#include "albumpacker.h"

// ours
#include "albuminfowriter.h"
#include "makererror.h"
#include "packedfile.h"

// Qt
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

// std
#include <array>

namespace tarnwick {

namespace {

class ContainerWriter {
public:
    explicit ContainerWriter(const QString& path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail();
        // The header is filled in when the number of files is known.
        if (!m_file.resize(AlbumPacker::DataOffset) || !m_file.seek(AlbumPacker::DataOffset))
            fail();
    }

    // Appends the file and returns its index line "name=start,length".
    QString append(const QString& folder, const QString& name)
    {
        QFile in(folder + u'/' + name);
        if (!in.open(QIODevice::ReadOnly))
            throw MakerError(QStringLiteral("cannot read %1: %2").arg(in.fileName(), in.errorString()));
        const qint64 start = m_file.pos() - AlbumPacker::DataOffset;
        std::array<char, 1 << 16> buffer;
        for (qint64 n; (n = in.read(buffer.data(), buffer.size())) > 0;) {
            if (m_file.write(buffer.data(), n) != n)
                fail();
        }
        ++m_count;
        return QStringLiteral("%1=%2,%3").arg(name, QString::number(start),
                                                QString::number(m_file.pos() - AlbumPacker::DataOffset - start));
    }

    void finish()
    {
        std::array<char, 16> header{};
        std::copy_n(PackedFile::kMagic, PackedFile::kMagicBytes, header.begin());
        qToLittleEndian<quint32>(quint32(AlbumPacker::DataOffset), header.data() + 8);
        qToLittleEndian<quint32>(quint32(m_count), header.data() + 12);
        if (!m_file.seek(0) || m_file.write(header.data(), header.size()) != qint64(header.size()) || !m_file.flush())
            fail();
        m_file.close();
    }

private:
    [[noreturn]] void fail() const
    {
        throw MakerError(QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()));
    }

    QFile m_file;
    int m_count = 0;
};

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw MakerError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void copyInto(const QDir& from, const QDir& to, const QString& name)
{
    QFile source(from.filePath(name));
    if (!source.copy(to.filePath(name)))
        throw MakerError(QStringLiteral("cannot copy %1: %2").arg(source.fileName(), source.errorString()));
}

// The text as it stands between double quotes in a POSIX shell.
QString escapedForDoubleQuotes(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"' || c == u'$' || c == u'`')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

// Ordinary paths stay bare, as a user would type them.
QString shellWord(const QString& text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:@%+,=-]+$"));
    return plain.match(text).hasMatch() ? text : u'"' + escapedForDoubleQuotes(text) + u'"';
}

} // namespace

QString AlbumPacker::playCommand(qint64 offset, const QString& folder, const QString& container)
{
    return QStringLiteral("TARNWICK_PROGRAM_FOLDER=%1 tarnwick-player \"*S*OFFSET=%2*FILE=%3\"")
        .arg(shellWord(folder), QString::number(offset), escapedForDoubleQuotes(container));
}

PackResult AlbumPacker::pack(const AlbumDraft& draft, const QString& buildFolder, const QString& finalFolder)
{
    const QString eol = QString::fromLatin1(AlbumInfoWriter::LineEnd);
    const QDir build(buildFolder);
    if (!build.mkdir(QString::fromLatin1(FolderName)))
        throw MakerError(QStringLiteral("cannot create %1").arg(build.filePath(QString::fromLatin1(FolderName))));
    const QDir packed(build.filePath(QString::fromLatin1(FolderName)));
    ContainerWriter container(packed.filePath(ContainerName));

    QString index = QStringLiteral("[PicResultFile]") + eol;
    const QVector<const DraftPicture*> pictures = draft.pictures();
    const QString results = build.filePath("ResultPicture");
    for (const DraftPicture* picture : pictures)
        index += container.append(results, picture->fileName) + eol;
    index += container.append(results, QString::fromLatin1(BackgroundName)) + eol;
    index += QStringLiteral("[PicThumbnailFile]") + eol;
    // The player unpacks music through the thumbnail section: both live in
    // MainAlbum.
    const QString thumbnails = build.filePath("MainAlbum");
    for (const DraftPicture* picture : pictures)
        index += container.append(thumbnails, picture->thumbnailFileName) + eol;
    for (const QString& music : draft.musicFiles)
        index += container.append(thumbnails, music) + eol;
    index += QStringLiteral("[Splitter]") + eol;
    container.finish();

    writeText(packed.filePath(InfoName), AlbumInfoWriter::text(draft) + eol + index);
    // The player reads its settings and the album profile from the program
    // folder too.
    for (const char* profile : {"profile.ini", "playerprofile.ini"})
        copyInto(build, packed, QString::fromLatin1(profile));

    PackResult result;
    result.offset = DataOffset;
    result.folder = QDir(finalFolder).filePath(QString::fromLatin1(FolderName));
    result.container = QDir(result.folder).filePath(ContainerName);
    result.command = playCommand(result.offset, result.folder, result.container);
    writeText(packed.filePath(LauncherNoteName),
              QStringLiteral("offset=%1").arg(result.offset) + eol + QStringLiteral("container=") + result.container
                  + eol + QStringLiteral("folder=") + result.folder + eol + QStringLiteral("command=")
                  + result.command + eol);
    return result;
}

} // namespace tarnwick
