#include "albumbuilder.h"

// ours
#include "albuminfowriter.h"
#include "makererror.h"
#include "naturalorder.h"
#include "photorenderer.h"
#include "progressline.h"
#include "stagingfolder.h"

// Qt
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tarnwick {

namespace {

constexpr const char* ResultFolder = "ResultPicture";
constexpr const char* ThumbnailFolder = "MainAlbum";
// The player counts a category's pictures (covers included) in 16 bits.
constexpr int MaxPhotosPerCategory = 32000;

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return QDir::cleanPath(c.isEmpty() ? info.absoluteFilePath() : c);
}

bool isInside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + u'/');
}

QString plural(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(QString::number(n), QString::fromLatin1(n == 1 ? one : many));
}

// A music file keeps its extension (the player may go by it), reduced to
// characters that are safe in any file name.
QString musicName(int number, const QString& source)
{
    static const QRegularExpression unsafe(QStringLiteral("[^a-z0-9]"));
    const QString suffix = QFileInfo(source).suffix().toLower().remove(unsafe).left(8);
    const QString base = QStringLiteral("m%1").arg(number, 2, 10, QChar(u'0'));
    return suffix.isEmpty() ? base : base + u'.' + suffix;
}

} // namespace

AlbumBuilder::AlbumBuilder(const MakerOptions& options, const QString& shippedSettings)
    : m_options(options)
    , m_shippedSettings(shippedSettings)
    , m_target(QDir::cleanPath(QFileInfo(options.albumFolder).absoluteFilePath()))
{
}

void AlbumBuilder::checkInputs() const
{
    if (!QFileInfo(m_options.photosFolder).isDir())
        throw MakerError(QStringLiteral("photo folder %1 does not exist").arg(m_options.photosFolder));
    // Replacing the album folder would delete the photos inside it.
    if (isInside(canonical(m_options.photosFolder), canonical(m_target)))
        throw MakerError(QStringLiteral("photo folder %1 lies inside the album folder %2")
                             .arg(m_options.photosFolder, m_options.albumFolder));
    for (const QString& music : m_options.musicFiles) {
        const QFileInfo info(music);
        if (!info.isFile() || !info.isReadable())
            throw MakerError(QStringLiteral("cannot read music file %1").arg(music));
    }
    for (const QString& picture : {m_options.frontCover, m_options.backCover, m_options.background}) {
        if (!picture.isEmpty() && !QFileInfo(picture).isFile())
            throw MakerError(QStringLiteral("cannot read picture %1").arg(picture));
    }
    if (!QFileInfo(m_shippedSettings).isFile())
        throw MakerError(QStringLiteral("default player settings %1 are missing").arg(m_shippedSettings));
    StagingFolder::checkTarget(m_target);
}

DraftPicture AlbumBuilder::writePicture(const EncodedPicture& picture, const QString& base) const
{
    DraftPicture written;
    written.fileName = base + QStringLiteral(".jpg");
    written.thumbnailFileName = base + QStringLiteral("_t.jpg");
    writeFile(QString::fromLatin1(ResultFolder) + u'/' + written.fileName, picture.picture);
    writeFile(QString::fromLatin1(ThumbnailFolder) + u'/' + written.thumbnailFileName, picture.thumbnail);
    return written;
}

DraftPicture AlbumBuilder::writeCover(const QString& givenPath, const QString& base, const QString& title,
                                      const QString& subtitle) const
{
    const QSize size = m_draft.pictureSize;
    return writePicture(PictureMaker::encode(givenPath.isEmpty() ? PictureMaker::titleCard(size, title, subtitle)
                                                                 : PictureMaker::loadFitted(givenPath, size)),
                        base);
}

void AlbumBuilder::writePhotos(const QVector<SourceCategory>& sources)
{
    QStringList paths;
    for (const SourceCategory& source : sources) {
        for (const SourcePhoto& photo : source.photos)
            paths.append(photo.path);
    }
    PhotoRenderer renderer(paths, m_draft.pictureSize, m_options.jobs);
    ProgressLine progress(QStringLiteral("pictures"), int(paths.size()));
    int done = 0;
    int photoNumber = 0;
    for (const SourceCategory& source : sources) {
        DraftCategory category;
        category.name = source.name;
        for (const SourcePhoto& original : source.photos) {
            const std::optional<EncodedPicture> picture = renderer.next();
            progress.show(++done);
            if (!picture) {
                m_skipped.append(original.path);
                continue;
            }
            DraftPicture photo =
                writePicture(*picture, QStringLiteral("p%1").arg(++photoNumber, 4, 10, QChar(u'0')));
            photo.title = QFileInfo(original.path).completeBaseName();
            if (original.taken.isValid())
                photo.date = original.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            photo.camera = original.camera;
            category.photos.append(photo);
        }
        if (!category.photos.isEmpty())
            m_draft.categories.append(category);
    }
}

void AlbumBuilder::writeCovers()
{
    m_draft.frontCover = writeCover(m_options.frontCover, QStringLiteral("front"), m_draft.title,
                                    m_draft.author.isEmpty() ? m_draft.infoLine : m_draft.author);
    const qsizetype count = m_draft.categories.size();
    for (qsizetype c = 0; c < count; ++c) {
        DraftCategory& category = m_draft.categories[c];
        const QString prefix = QStringLiteral("c%1").arg(c + 1, 2, 10, QChar(u'0'));
        category.frontCover = writeCover(QString(), prefix + QStringLiteral("_front"), category.name,
                                         plural(int(category.photos.size()), "photo", "photos"));
        // The show wraps from the last category to the first.
        const QString next = m_draft.categories[(c + 1) % count].name;
        category.backCover = writeCover(QString(), prefix + QStringLiteral("_back"), category.name,
                                        QStringLiteral("Next: %1").arg(next));
    }
    m_draft.backCover =
        writeCover(m_options.backCover, QStringLiteral("back"), QStringLiteral("The End"), m_draft.title);
}

void AlbumBuilder::writeMusic()
{
    const QStringList music =
        m_options.musicFiles.isEmpty() ? PhotoScanner::musicIn(m_options.photosFolder) : m_options.musicFiles;
    for (int i = 0; i < music.size(); ++i) {
        const QString name = musicName(i + 1, music[i]);
        copyFile(music[i], QString::fromLatin1(ThumbnailFolder) + u'/' + name);
        m_draft.musicFiles.append(name);
    }
}

void AlbumBuilder::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(m_build.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw MakerError(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
}

void AlbumBuilder::copyFile(const QString& from, const QString& name) const
{
    QFile source(from);
    if (!source.copy(m_build.filePath(name)))
        throw MakerError(QStringLiteral("cannot copy %1: %2").arg(from, source.errorString()));
    // A copy of a read-only file would stay read-only and block a rebuild.
    QFile::setPermissions(m_build.filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                      | QFile::ReadOther);
}

BuildOutcome AlbumBuilder::build()
{
    checkInputs();
    const ScannedPhotos scanned = PhotoScanner::scan(m_options.photosFolder, m_target, m_options.byMonth);
    if (scanned.categories.isEmpty() && scanned.unsupported.isEmpty())
        throw MakerError(QStringLiteral("no pictures in %1").arg(m_options.photosFolder));
    for (const SourceCategory& source : scanned.categories) {
        if (source.photos.size() > MaxPhotosPerCategory)
            throw MakerError(QStringLiteral("category %1 has more than %2 photos")
                                 .arg(source.name, QString::number(MaxPhotosPerCategory)));
    }

    StagingFolder staging(m_target);
    m_build = QDir(staging.path());
    for (const char* folder : {ResultFolder, ThumbnailFolder}) {
        if (!m_build.mkdir(QString::fromLatin1(folder)))
            throw MakerError(QStringLiteral("cannot create %1").arg(m_build.filePath(QString::fromLatin1(folder))));
    }

    m_draft.pictureSize = m_options.pictureSize;
    m_skipped = scanned.unsupported;
    writePhotos(scanned.categories);
    const QDir photos(QFileInfo(m_options.photosFolder).absoluteFilePath());
    QStringList skipped;
    for (const QString& path : m_skipped)
        skipped.append(photos.relativeFilePath(path));
    sortNaturally(skipped);
    if (m_draft.categories.isEmpty()) {
        throw MakerError(QStringLiteral("no readable pictures in %1 (%2)")
                             .arg(m_options.photosFolder, unreadableLine(skipped)));
    }

    const QString photosName = QFileInfo(canonical(m_options.photosFolder)).fileName();
    m_draft.title = m_options.title.isEmpty() ? photosName : m_options.title;
    m_draft.author = m_options.author;
    m_draft.email = m_options.email;
    m_draft.web = m_options.web;
    m_draft.description = m_options.description;
    m_draft.otherInfo = QStringLiteral("Made with the Tarnwick album maker");
    m_draft.infoLine = plural(int(m_draft.categories.size()), "category", "categories") + QStringLiteral(", ")
        + plural(m_draft.photoCount(), "photo", "photos");
    writeCovers();

    const QImage background = m_options.background.isEmpty()
        ? PictureMaker::gradientBackground(m_draft.pictureSize)
        : PictureMaker::loadFilling(m_options.background, m_draft.pictureSize);
    writeFile(QString::fromLatin1(ResultFolder) + u'/' + QString::fromLatin1(AlbumPacker::BackgroundName),
              PictureMaker::jpegBytes(background, 90));
    writeMusic();

    const QString eol = QString::fromLatin1(AlbumInfoWriter::LineEnd);
    writeFile(QString::fromLatin1(StagingFolder::AlbumMarker), AlbumInfoWriter::text(m_draft).toUtf8());
    writeFile(QStringLiteral("profile.ini"),
              (QStringLiteral("[Current]") + eol + QStringLiteral("MusicOpen=1") + eol).toUtf8());
    copyFile(m_shippedSettings, QStringLiteral("playerprofile.ini"));

    BuildOutcome outcome;
    if (m_options.pack)
        outcome.pack = AlbumPacker::pack(m_draft, m_build.path(), m_target);
    staging.commit();
    outcome.albumFolder = m_target;
    outcome.categories = m_draft.categories.size();
    outcome.photos = m_draft.photoCount();
    outcome.skipped = skipped;
    return outcome;
}

QString AlbumBuilder::unreadableLine(const QStringList& names)
{
    return QStringLiteral("skipped %1: %2").arg(plural(int(names.size()), "unreadable file", "unreadable files"),
                                                names.join(QStringLiteral(", ")));
}

} // namespace tarnwick
