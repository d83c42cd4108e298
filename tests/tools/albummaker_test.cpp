// The album maker run as a user runs it, read back with the player's album model; its EXIF reader on its own.

#include "../testfiles.h"
#include "album.h"
#include "albumutility.h"
#include "exifreader.h"
#include "inifile.h"

#include <QBuffer>
#include <QDataStream>
#include <QDirIterator>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

using namespace tarnwick;
using tarnwick::testing::readBytes;
using tarnwick::testing::writeBytes;

namespace {

constexpr quint16 Make = 0x010F, Model = 0x0110, Orientation = 0x0112, DateTime = 0x0132, DateTimeOriginal = 0x9003;
const QString kBin = QStringLiteral(TARNWICK_BIN_DIR);

struct MakerRun { int exitCode = -1; QString out, err; };

MakerRun runMaker(const QStringList& arguments)
{
    QProcess process;
    process.start(kBin + "/tarnwick-album-maker", arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, QStringLiteral("album-maker did not finish")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Photos without a date come in the order of their names.
void setModified(const QString& path, const QDateTime& time = QDateTime(QDate(2020, 1, 1), QTime(12, 0)))
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(time, QFileDevice::FileModificationTime))
        ADD_FAILURE() << "cannot set the time of " << path.toStdString();
}

// Writes `image` in the format of the extension (PNG for one Qt cannot write).
void writePicture(const QString& path, const QImage& image)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (suffix == "gif") // one red pixel: Qt writes no GIF
        writeBytes(path, QByteArray::fromHex("47494638396101000100800000ff00000000002c0000000001000100000002024401003b"));
    else if (!image.save(path, QImageWriter::supportedImageFormats().contains(suffix) ? nullptr : "png"))
        ADD_FAILURE() << "cannot write test picture " << path.toStdString();
    setModified(path);
}

void writePicture(const QString& path, QSize size = {32, 24}, QColor color = Qt::red)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    writePicture(path, image);
}

// Pictures, or junk for names ending in ".txt" or starting with '!'.
void plant(const QDir& dir, const QStringList& files)
{
    for (const QString& file : files)
        if (file.startsWith(u'!') || file.endsWith(".txt"))
            writeBytes(dir.filePath(file.mid(file.startsWith(u'!'))), QByteArray(500, 'j'));
        else
            writePicture(dir.filePath(file));
}

// An ASCII text entry, or when `text` is empty a SHORT number.
struct TiffEntry { quint16 tag; QByteArray text; quint16 number = 0; };

// A TIFF block as cameras write it: header, first IFD at 8 (the Exif IFD pointer last), the Exif IFD, long texts.
QByteArray tiffBlock(bool bigEndian, const QVector<TiffEntry>& ifd0, const QVector<TiffEntry>& exifIfd = {})
{
    const QVector<TiffEntry> first = exifIfd.isEmpty() ? ifd0 : ifd0 + QVector<TiffEntry>{{0x8769, {}, 0}};
    const quint32 exifAt = 8 + 2 + 12 * quint32(first.size()) + 4;
    const quint32 dataAt = exifAt + (exifIfd.isEmpty() ? 0 : 2 + 12 * quint32(exifIfd.size()) + 4);
    QByteArray block, data;
    QDataStream out(&block, QIODevice::WriteOnly);
    out.setByteOrder(bigEndian ? QDataStream::BigEndian : QDataStream::LittleEndian);
    out.writeRawData(bigEndian ? "MM" : "II", 2);
    out << quint16(42) << quint32(8);
    for (const QVector<TiffEntry>* ifd : {&first, &exifIfd}) {
        if (ifd == &exifIfd && ifd->isEmpty())
            continue;
        out << quint16(ifd->size());
        for (const TiffEntry& e : *ifd) {
            const QByteArray text = e.text + '\0';
            if (e.tag == 0x8769)
                out << e.tag << quint16(4) << quint32(1) << exifAt;
            else if (e.text.isEmpty())
                out << e.tag << quint16(3) << quint32(1) << e.number << quint16(0);
            else if (out << e.tag << quint16(2) << quint32(text.size()); text.size() <= 4)
                out.writeRawData(text.leftJustified(4, '\0').constData(), 4);
            else
                out << quint32(dataAt + data.size()), data += text;
        }
        out << quint32(0);
    }
    return block + data;
}

// `jpeg` with an APP1 "Exif\0\0" segment holding `tiff` after its SOI.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2;
    return jpeg.left(2) + "\xff\xe1" + char(length >> 8) + char(length & 0xff) + payload + jpeg.mid(2);
}

void addExif(const QString& path, const QByteArray& tiff)
{
    writeBytes(path, withExif(readBytes(path), tiff));
    setModified(path);
}

// The value of the first key=value line of `text`, or "".
QString keyValue(const QString& text, const QString& key)
{
    for (const QString& raw : text.split(u'\n'))
        if (const QString line = raw.trimmed(); line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    return {};
}

// Every entry of `folder` and below, relative and sorted, with its bytes (folders: none).
QList<std::pair<QString, QByteArray>> treeBytes(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next();
        files.insert(QDir(folder).relativeFilePath(name), QFileInfo(name).isFile() ? readBytes(name) : "");
    }
    return QList<std::pair<QString, QByteArray>>(files.keyValueBegin(), files.keyValueEnd());
}

Album loadAlbum(const QString& file)
{
    Album album;
    album.LoadText(QString::fromUtf8(readBytes(file)));
    return album;
}

// Calls `each` on every photo of every category, in order.
template <class Each>
void forEachPhoto(const Album& album, Each each)
{
    for (int c = 1; c <= album.CategoryCount(); ++c)
        for (int p = 1; p <= album.Categories().Item(c).PhotoCount(); ++p)
            each(album.Categories().Item(c), album.Categories().Item(c).Photos().Item(p));
}

// Every picture the album names, as folder/file.
QStringList albumFiles(const Album& album)
{
    QStringList files;
    auto add = [&](const AlbumPhoto& p) { files << "ResultPicture/" + p.FileName() << "MainAlbum/" + p.ThumbnailFileName(); };
    add(album.FrontCover());
    add(album.BackCover());
    for (int c = 1; c <= album.CategoryCount(); ++c)
        add(album.Categories().Item(c).FrontCover()), add(album.Categories().Item(c).BackCover());
    forEachPhoto(album, [&](const AlbumCategory&, const AlbumPhoto& p) { add(p); });
    return files;
}

// "Name: title title | Name: ..." of the album's categories.
QString outline(const Album& album)
{
    QStringList categories;
    for (int c = 1; c <= album.CategoryCount(); ++c) {
        const AlbumCategory& category = album.Categories().Item(c);
        QStringList titles;
        for (int p = 1; p <= category.PhotoCount(); ++p)
            titles << category.Photos().Item(p).FieldValue("Title");
        categories << category.Name() + ": " + titles.join(u' ');
    }
    return categories.join(" | ");
}

// No staging or set-aside folder of a run may stay beside the album.
QStringList leftovers(const QString& root)
{
    return QDir(root).entryList({"*.partial-*", "*.old-*"}, QDir::AllEntries | QDir::Hidden);
}

// The colour at `at` of `file` is `want`, give or take JPEG's changes.
::testing::AssertionResult looksLike(const QImage& image, QPoint at, QColor want)
{
    const QColor got = image.pixelColor(at);
    const int off = std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()),
                              std::abs(got.blue() - want.blue())});
    return (off < 40 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << "at " << at.x() << "," << at.y() << ": " << got.name().toStdString() << " instead of "
           << want.name().toStdString();
}

class AlbumMakerTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    // Runs the maker, checks that it went through and reads the album back.
    Album make(const QStringList& arguments, const QString& album = "album")
    {
        m_run = runMaker(arguments);
        EXPECT_EQ(m_run.exitCode, 0) << m_run.err.toStdString();
        return loadAlbum(path(album + "/album.ini"));
    }
    QTemporaryDir m_root;
    MakerRun m_run;
};

// One packed album in a folder whose name needs quoting: its model, pictures, music, the container holding each
// file byte for byte, and the printed command that plays it.
TEST_F(AlbumMakerTest, PackedRoundTripKeepsCategoriesOrderTitlesSizesAndEveryByte)
{
    // Categories and photos in natural order whatever the case; hidden, empty and other files are left out.
    plant(QDir(path("photos")), {"Day 10/img10.png", "Day 10/img2.jpg", "Day 10/.hidden.jpg", "Day 10/notes.txt",
                                 "Day 2/street.v2.gif", "day 1/A.JPEG", "day 1/b.Gif", "day 1/d.tiff",
                                 "day 1/e.jpg.txt", ".git/c.png", "Empty/notes.txt"});
    writePicture(path("photos/Day 10/IMG1.PNG"), {150, 200});
    writePicture(path("photos/Day 2/old town.bmp"), {100, 200});
    const QByteArray song = QByteArray("RIFF") + QByteArray(300, '\x5a');
    writeBytes(path("My Song.WAV"), song);
    const QString name = "odd $HOME \"q\" `x` back\\slash 'it'";
    const Album model = make({path("photos"), path(name), "--title", "Trip; C:\\new", "--author", "A. Person",
                              "--description", "line one\\nline two", "--size", "640x480", "--music",
                              path("My Song.WAV"), "--pack"}, name);
    const QDir album(path(name)), packed(path(name + "/packed"));
    EXPECT_EQ(model.Title() + u'/' + model.Author() + u'/' + model.Description(),
              "Trip; C:\\new/A. Person/line one\nline two");
    EXPECT_EQ(model.InfoLine(), "3 categories, 7 photos");
    EXPECT_EQ(QSize(model.PictureWidth(), model.PictureHeight()), QSize(640, 480));
    EXPECT_TRUE(model.FieldVisible("Title"));
    EXPECT_EQ(outline(model), "day 1: A b | Day 2: old town street.v2 | Day 10: IMG1 img2 img10");
    // Pictures at the album size, thumbnails at 96x72, under names of the maker's.
    const QRegularExpression safeName("^([a-z0-9_]+|BackgroundPicture)\\.jpg$");
    QStringList files = albumFiles(model) << "ResultPicture/BackgroundPicture.jpg";
    EXPECT_EQ(files.size(), 2 * (2 + 2 * 3 + 7) + 1);
    EXPECT_EQ(files.removeDuplicates(), 0);
    for (const QString& file : files) {
        EXPECT_EQ(QImageReader(album.filePath(file)).size(), file.startsWith("Result") ? QSize(640, 480) : QSize(96, 72))
            << file.toStdString();
        EXPECT_TRUE(safeName.match(QFileInfo(file).fileName()).hasMatch()) << file.toStdString();
    }
    ASSERT_EQ(model.Musics().Count(), 1);
    EXPECT_EQ(model.Musics().Item(1).FileName(), "m01.wav");
    EXPECT_EQ(readBytes(album.filePath("MainAlbum/m01.wav")), song);
    EXPECT_EQ(keyValue(QString::fromUtf8(readBytes(album.filePath("profile.ini"))), "MusicOpen"), "1");
    EXPECT_EQ(readBytes(album.filePath("playerprofile.ini")), readBytes(kBin + "/playerprofile.ini"));
    EXPECT_TRUE(leftovers(m_root.path()).isEmpty());
    // The packed form in a program folder of its own beside the plain album.
    EXPECT_EQ(packed.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"MainpicFileInfo.ini", "album.pak", "pack.txt", "playerprofile.ini", "profile.ini"}));
    EXPECT_EQ(album.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"MainAlbum", "ResultPicture", "album.ini", "packed", "playerprofile.ini", "profile.ini"}));
    for (const char* profile : {"profile.ini", "playerprofile.ini"})
        EXPECT_EQ(readBytes(packed.filePath(profile)), readBytes(album.filePath(profile))) << profile;
    const QString container = packed.filePath("album.pak");
    const QString note = QString::fromUtf8(readBytes(packed.filePath("pack.txt")));
    for (const QString& text : {m_run.out, note})
        EXPECT_EQ(keyValue(text, "offset") + ' ' + keyValue(text, "container"), "4096 " + container);
    EXPECT_EQ(keyValue(note, "folder"), packed.path());
    const QByteArray bytes = readBytes(container);
    ASSERT_GE(bytes.size(), 4096);
    EXPECT_EQ(bytes.left(8), "TWKALBUM");
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 8), 4096u);
    // The album information, then the index up to the end marker, nothing after it.
    const QString info = QString::fromUtf8(readBytes(packed.filePath("MainpicFileInfo.ini")));
    EXPECT_EQ(info.left(info.indexOf("[PicResultFile]")).trimmed(),
              QString::fromUtf8(readBytes(album.filePath("album.ini"))).trimmed());
    EXPECT_EQ(info.mid(info.indexOf("[Splitter]")).trimmed(), "[Splitter]") << "text after the end marker";
    // As the player unpacks it: the index as MainFile.ini names every file, back to back after 4096.
    const QStringList parts = AlbumUtility().SplitBetween(info, "[PicResultFile]", "[Splitter]", -1, 0);
    ASSERT_EQ(parts.size(), 1);
    const QString mainFile = path("MainFile.ini");
    writeBytes(mainFile, parts[0].toUtf8());
    const QStringList named = albumFiles(loadAlbum(packed.filePath("MainpicFileInfo.ini")))
                              << "ResultPicture/BackgroundPicture.jpg" << "MainAlbum/m01.wav";
    EXPECT_EQ(parts[0].count(u'='), named.size()) << "index entries";
    qint64 packedBytes = 0;
    for (const QString& file : named) {
        const QString section = file.startsWith("ResultPicture") ? "PicResultFile" : "PicThumbnailFile";
        const QStringList range = IniFile().ReadValue(section, QFileInfo(file).fileName(), "", mainFile).split(u',');
        ASSERT_EQ(range.size(), 2) << file.toStdString();
        packedBytes += range[1].toLongLong();
        EXPECT_EQ(bytes.mid(4096 + range[0].toLongLong(), range[1].toLongLong()), readBytes(album.filePath(file)))
            << file.toStdString();
    }
    EXPECT_EQ(bytes.size(), 4096 + packedBytes);
    // The printed command, run by the shell, hands a stand-in player on PATH its folder and container.
    writeBytes(path("bin/tarnwick-player"), "#!/bin/sh\nprintf '%s\\n' \"$TARNWICK_PROGRAM_FOLDER\" \"$#\" \"$1\"\n");
    QFile::setPermissions(path("bin/tarnwick-player"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", path("bin") + ":" + env.value("PATH"));
    env.remove("TARNWICK_PROGRAM_FOLDER");
    const QString command = keyValue(note, "command");
    EXPECT_TRUE(m_run.out.split(u'\n').contains("play: " + command)) << m_run.out.toStdString();
    QProcess shell;
    shell.setProcessEnvironment(env);
    shell.start("/bin/sh", {"-c", command});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n').mid(0, 3),
              (QStringList{packed.path(), "1", "*S*OFFSET=4096*FILE=" + container}));
}

// A photo folder as a user has it: photos of every shape, turned by their cameras, dated or not, broken files and
// music beside them.
TEST_F(AlbumMakerTest, PhotosAreFittedTurnedUprightAndComeInTheOrderTakenWithTheirCaptions)
{
    for (const auto& [name, size, colour] : {std::tuple<const char*, QSize, QColor>{"photos/1 portrait.png", {100, 200}, Qt::red},
             {"photos/2 wide.png", {400, 100}, Qt::green}, {"photos/3 exact.png", {160, 120}, Qt::blue},
             {"photos/4 big.jpg", {4000, 3000}, Qt::magenta}, {"front.png", {300, 300}, Qt::green},
             {"back.jpg", {80, 60}, Qt::blue}, {"sky.png", {400, 100}, Qt::red}})
        writePicture(path(name), size, colour);
    // Stored 200x100 as red blue over green white, with each EXIF orientation; the quadrants as shown, row by row.
    QImage stored(200, 100, QImage::Format_RGB32);
    QPainter painter(&stored);
    const QColor r = Qt::red, b = Qt::blue, g = Qt::green, w = Qt::white;
    painter.fillRect(0, 0, 100, 50, r), painter.fillRect(100, 0, 100, 50, b);
    painter.fillRect(0, 50, 100, 50, g), painter.fillRect(100, 50, 100, 50, w);
    painter.end();
    const std::pair<quint16, std::array<QColor, 4>> turned[] = {
        {1, {r, b, g, w}}, {2, {b, r, w, g}}, {3, {w, g, b, r}}, {4, {g, w, r, b}},
        {5, {r, g, b, w}}, {6, {g, r, w, b}}, {7, {w, b, g, r}}, {8, {b, w, r, g}},
    };
    QString undated = "1 portrait 2 wide 3 exact 4 big"; // all modified at the same moment: in name order
    for (const auto& [orientation, shown] : turned) {
        const QString file = path(QStringLiteral("photos/5 turned %1.jpg").arg(orientation));
        writePicture(file, stored);
        addExif(file, tiffBlock(orientation % 2 == 0, {{Orientation, {}, orientation}}));
        undated += QStringLiteral(" 5 turned %1").arg(orientation);
    }
    // file, EXIF block, "Date / Camera" captions
    const std::tuple<const char*, QByteArray, QString> dated[] = {
        {"b.jpg", tiffBlock(true, {{Make, "Canon"}, {Model, "Canon EOS R6"}, {DateTime, "2030:01:01 00:00:00"}},
                            {{DateTimeOriginal, "2024:05:17 10:00:00"}}), "2024-05-17 10:00 / Canon EOS R6"},
        {"a.jpg", tiffBlock(false, {{Make, "NIKON CORPORATION"}, {Model, "D750"}, {DateTime, "2024:05:17 09:00:00"}}),
         "2024-05-17 09:00 / NIKON CORPORATION D750"},
        {"d10.jpg", tiffBlock(false, {{Model, "Pixel 7"}}, {{DateTimeOriginal, "2024:06:01 08:00:00"}}),
         "2024-06-01 08:00 / Pixel 7"},
        {"d9.jpg", tiffBlock(true, {}, {{DateTimeOriginal, "2024:06:01 08:00:00"}}), "2024-06-01 08:00 / "},
        {"Home/x.jpg", tiffBlock(true, {}, {{DateTimeOriginal, "2024:05:01 07:00:00"}}), "2024-05-01 07:00 / "},
    };
    QMap<QString, QString> captions;
    for (const auto& [file, exif, caption] : dated) {
        writePicture(path("photos/" + QString(file)));
        addExif(path("photos/" + QString(file)), exif);
        captions[QFileInfo(file).completeBaseName()] = caption;
    }
    writePicture(path("photos/c.png")); // without EXIF its file's time counts
    setModified(path("photos/c.png"), QDateTime(QDate(2024, 4, 30), QTime(12, 0)));
    writeBytes(path("photos/song 10.mp3"), "ID3 ten");
    writeBytes(path("photos/song 2.ogg"), "OggS two");
    writeBytes(path("photos/Home/elsewhere.wav"), "RIFF not taken");
    // Unreadable files, whatever their kind (Qt may read HEIC or not), are named in one line; a folder of them is no category.
    writePicture(path("whole.jpg"), {400, 300});
    const QByteArray jpeg = readBytes(path("whole.jpg")), png = readBytes(path("photos/3 exact.png"));
    for (const auto& [name, bytes] : {std::pair<const char*, QByteArray>{"9 broken.jpg", QByteArray(100, 'x')},
             {"c.jpg", jpeg.left(jpeg.size() * 2 / 3)}, {"Sub/e.png", png.left(png.size() / 2)},
             {"f.heic", QByteArray(300, 'h')}, {"Only broken/g.gif", "GIF89a"}})
        writeBytes(path(QStringLiteral("photos/") + name), bytes);
    // The same album whatever the number of jobs.
    QStringList errors;
    for (const char* jobs : {"1", "3"}) {
        make({path("photos"), path(jobs), "--jobs", jobs, "--size", "640x480", "--front", path("front.png"), "--back",
              path("back.jpg"), "--background", path("sky.png")}, jobs);
        errors << m_run.err;
    }
    EXPECT_EQ(errors, QStringList(2, "tarnwick-album-maker: skipped 5 unreadable files: 9 broken.jpg, c.jpg, f.heic, "
                                     "Only broken/g.gif, Sub/e.png\n"));
    const auto files = treeBytes(path("1"));
    EXPECT_EQ(files.size(), 2 * (2 + 2 * 2 + 18) + 1 + 3 + 2 + 2); // pictures, background, texts, two folders, music
    EXPECT_TRUE(files == treeBytes(path("3")));
    // In the order taken, with their captions; the music beside the photos in natural order.
    const Album model = loadAlbum(path("3/album.ini"));
    EXPECT_EQ(outline(model), "photos: " + undated + " c a b d9 d10 | Home: x");
    EXPECT_TRUE(model.FieldVisible("Date") && model.FieldVisible("Camera"));
    forEachPhoto(model, [&](const AlbumCategory&, const AlbumPhoto& photo) {
        EXPECT_EQ(photo.FieldValue("Date") + " / " + photo.FieldValue("Camera"),
                  captions.value(photo.FieldValue("Title"), " / ")) << photo.FieldValue("Title").toStdString();
    });
    ASSERT_EQ(model.Musics().Count(), 2);
    EXPECT_EQ(readBytes(path("3/MainAlbum/" + model.Musics().Item(1).FileName())), "OggS two");
    EXPECT_EQ(model.Musics().Item(2).FileName(), "m02.mp3");
    // Photos and the front cover are letterboxed; the back cover and the background fill the picture.
    const auto picture = [&](const QString& name) {
        const QImage image(path("3/ResultPicture/" + name + ".jpg"));
        EXPECT_EQ(image.size(), QSize(640, 480)) << name.toStdString();
        return image;
    };
    const std::tuple<const char*, QPoint, QColor> probes[] = {
        {"p0001", {320, 240}, Qt::red},   {"p0001", {20, 240}, Qt::black},  {"p0001", {620, 240}, Qt::black},
        {"p0002", {320, 240}, Qt::green}, {"p0002", {320, 20}, Qt::black},  {"p0002", {5, 240}, Qt::green},
        {"p0003", {3, 3}, Qt::blue},      {"p0003", {636, 476}, Qt::blue},  {"p0004", {3, 3}, Qt::magenta},
        {"front", {320, 240}, Qt::green}, {"front", {20, 240}, Qt::black},  {"back", {3, 3}, Qt::blue},
        {"BackgroundPicture", {3, 3}, Qt::red}, {"BackgroundPicture", {636, 476}, Qt::red},
    };
    for (const auto& [file, at, want] : probes)
        EXPECT_TRUE(looksLike(picture(file), at, want)) << file;
    for (const auto& [orientation, shown] : turned) {
        SCOPED_TRACE(orientation);
        const QImage image = picture(QStringLiteral("p%1").arg(orientation + 4, 4, 10, QChar('0')));
        // Turned by a quarter it stands 240x480 in the middle, otherwise it lies 640x320.
        const QSize q = orientation >= 5 ? QSize(120, 240) : QSize(320, 160);
        const QPoint c(320 - q.width() / 2, 240 - q.height() / 2);
        const QPoint corners[] = {c, c + QPoint(q.width(), 0), c + QPoint(0, q.height()), c + QPoint(q.width(), q.height())};
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(looksLike(image, corners[k], shown[k])) << "quadrant " << k;
        EXPECT_TRUE(looksLike(image, orientation >= 5 ? QPoint(100, 240) : QPoint(320, 40), Qt::black));
    }
    // By month, and --music replaces the photo folder's music.
    writeBytes(path("tune.wav"), "RIFF tune");
    const Album months = make({path("photos"), path("album"), "--by-month", "--music", path("tune.wav")});
    EXPECT_EQ(outline(months), "2020-01: " + undated + " | 2024-04: c | 2024-05: x a b | 2024-06: d9 d10");
    EXPECT_EQ(months.Musics().Count(), 1);
    EXPECT_EQ(readBytes(path("album/MainAlbum/m01.wav")), "RIFF tune");
}

TEST_F(AlbumMakerTest, DemoAlbumHasThreeCategoriesOfFourAndATenSecondMelody)
{
    const Album model = make({"--demo", path("demo")}, "demo");
    ASSERT_EQ(model.CategoryCount(), 3);
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(model.Categories().Item(c).PhotoCount(), 4);
    for (const QString& file : albumFiles(model))
        EXPECT_TRUE(QFileInfo(path("demo/" + file)).isFile()) << file.toStdString();
    ASSERT_EQ(model.Musics().Count(), 1);
    const QByteArray wav = readBytes(path("demo/MainAlbum/" + model.Musics().Item(1).FileName()));
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), "RIFFWAVEfmt data");
    const quint32 dataBytes = qFromLittleEndian<quint32>(wav.constData() + 40);
    EXPECT_EQ(dataBytes, quint32(wav.size() - 44));
    EXPECT_EQ(dataBytes, qFromLittleEndian<quint32>(wav.constData() + 28) * 10) << "ten seconds";
    EXPECT_NE(wav.mid(44, 4000), QByteArray(4000, '\0')) << "silence";
}

TEST_F(AlbumMakerTest, BadInputIsRefusedWithOneLineAndNoAlbum)
{
    const QStringList photo{"photos/a.png"};
    const std::tuple<QStringList, const char*, const char*, bool> cases[] = {
        // files (as plant() takes them), arguments ("@": in the case's folder), what the message names, ALBUM_DIR there
        {{}, "@nothere @album", "nothere", false}, {{"photos/Sub/notes.txt"}, "@photos @album", "no pictures", false},
        {{"!photos/b broken.jpg", "!photos/Sub/c.png"}, "@photos @album",
         "no readable pictures in @photos (skipped 2 unreadable files: b broken.jpg, Sub/c.png)", false},
        {{"photos/a.png", "album/keep.txt"}, "@photos @album", "not empty", true},
        {{"photos/a.png", "!album"}, "@photos @album", "not a folder", true},
        {{"!album/album.ini", "album/photos/a.png"}, "@album/photos @album", "inside", true},
        {photo, "@photos @album --size 0x600", "--size", false}, {photo, "@photos @album --size big", "--size", false},
        {photo, "@photos @album --size 8193x600", "--size", false},
        {photo, "@photos @album --music @none.mp3", "none.mp3", false},
        {photo, "@photos @album --front @nofront.jpg", "nofront.jpg", false},
        {{"photos/a.png", "!sky.png"}, "@photos @album --background @sky.png", "sky.png", false},
        {photo, "@photos @album --colour red", "colour", false}, {photo, "@photos @album --jobs 0", "--jobs", false},
        {photo, "@photos", "ALBUM_DIR", false},
    };
    int n = 0;
    for (const auto& [files, arguments, mention, albumExists] : cases) {
        SCOPED_TRACE(mention);
        const QDir dir(path(QString::number(++n)));
        plant(dir, files);
        QStringList args;
        for (const QString& arg : QString(arguments).split(u' '))
            args << (arg.startsWith(u'@') ? dir.filePath(arg.mid(1)) : arg);
        const auto state = [&] { return std::pair(treeBytes(dir.filePath("album")), readBytes(dir.filePath("album"))); };
        const auto before = state();
        const MakerRun run = runMaker(args);
        EXPECT_NE(run.exitCode, 0);
        const QString named = QString(mention).replace("@", dir.path() + u'/');
        EXPECT_TRUE(run.err.startsWith("tarnwick-album-maker: ") && run.err.contains(named) && run.err.count(u'\n') == 1
                    && run.err.endsWith(u'\n')) << run.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(dir.filePath("album")), albumExists);
        EXPECT_TRUE(state() == before);
        EXPECT_EQ(leftovers(dir.path()), QStringList());
    }
}

TEST_F(AlbumMakerTest, RebuildReplacesTheAlbumOnlyWhenComplete)
{
    plant(QDir(m_root.path()), {"first/a.png", "first/b.png", "first/c.png", "second/a.jpg", "!broken/b.jpg"});
    addExif(path("second/a.jpg"), tiffBlock(true, {}, {{DateTimeOriginal, "2024:05:01 07:00:00"}}));
    // The first build on a terminal: a progress line shows, wiped before the summary.
    QProcess terminal;
    terminal.start("/usr/bin/script", {"-qec", kBin + "/tarnwick-album-maker " + path("first") + " " + path("album"),
                                       "/dev/null"});
    ASSERT_TRUE(terminal.waitForFinished(120000));
    const QString shown = QString::fromUtf8(terminal.readAllStandardOutput());
    EXPECT_TRUE(shown.startsWith("\rpictures 1/3\rpictures 2/3\rpictures 3/3\r            \ralbum="))
        << shown.toStdString();
    const auto first = treeBytes(path("album")); // a run failing once the new album is begun leaves it
    EXPECT_NE(runMaker({path("broken"), path("album")}).exitCode, 0);
    EXPECT_TRUE(treeBytes(path("album")) == first);
    const Album second = make({path("second"), path("album"), "--pack"});
    EXPECT_EQ(outline(second), "second: a");
    EXPECT_TRUE(second.FieldVisible("Date") && !second.FieldVisible("Camera")) << "a date but no camera";
    // Nothing of the first album stays behind.
    EXPECT_FALSE(QFileInfo::exists(path("album/ResultPicture/p0002.jpg")));
    EXPECT_FALSE(QFileInfo::exists(path("album/MainAlbum/p0003_t.jpg")));
    EXPECT_TRUE(QFileInfo(path("album/packed/album.pak")).isFile());
    // Pictures the player unpacked go with the packed form when rebuilt unpacked.
    writeBytes(path("album/packed/ResultPicture/p0001.jpg"), "unpacked by the player");
    make({path("second"), path("album")});
    EXPECT_FALSE(QFileInfo::exists(path("album/packed")));
    EXPECT_TRUE(QFileInfo(path("album/ResultPicture/p0001.jpg")).isFile());
    EXPECT_EQ(leftovers(m_root.path()), QStringList());
}

QByteArray smallJpeg()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg");
    return jpeg;
}

// Make, Model, Orientation and DateTime in the first IFD, then the Exif pointer (entry 4) to DateTimeOriginal.
QByteArray usualBlock(bool bigEndian)
{
    return tiffBlock(bigEndian,
                     {{Make, "Canon"}, {Model, "Canon EOS R6"}, {Orientation, {}, 6}, {DateTime, "2030:01:01 00:00:00"}},
                     {{DateTimeOriginal, "2024:05:17 14:03:22"}});
}

TEST(ExifReaderTest, FindsTheBlockAndReadsDateAndCameraAndNothingFromBadOnes)
{
    const QString usual = "2024-05-17 14:03:22 / Canon EOS R6", first = "2030-01-01 00:00:00 / Canon EOS R6";
    const auto entry = [](int k, int field) { return 10 + 12 * k + field; }; // entry k of the first IFD
    struct Case {
        const char* name;
        QVector<TiffEntry> ifd0; // empty: the usual block
        QString expected;
        int at = -1, size = 0; // `size` bytes at `at` set to `value`
        quint32 value = 0;
    };
    const Case cases[] = {
        {"usual", {}, usual},
        {"make alone, short texts inside their entries", {{Make, "Leic"}}, " / Leic"},
        {"make inside the model in other letters", {{Make, "google"}, {Model, "Google Pixel 7"}}, " / Google Pixel 7"},
        {"no tags", {{Orientation, {}, 1}}, " / "},
        {"zero date", {{DateTime, "0000:00:00 00:00:00"}}, " / "},
        {"bad magic", {}, " / ", 2, 2, 43},
        {"first IFD far outside", {}, " / ", 4, 4, 0xFFFFFFF0u},
        {"entry count beyond the block", {}, usual, 8, 2, 0xFFFF},
        {"text offset outside", {}, "2024-05-17 14:03:22 / Canon", entry(1, 8), 4, 0xFFFFFFF8u},
        {"text count wrapping around", {}, "2024-05-17 14:03:22 / Canon", entry(1, 4), 4, 0xFFFFFFFFu},
        {"Exif pointer outside", {}, first, entry(4, 8), 4, 0x7FFFFFFFu},
        {"Exif pointer to the first IFD", {}, first, entry(4, 8), 4, 8},
    };
    for (const bool big : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (big ? " (big-endian)" : " (little-endian)"));
            QByteArray block = c.ifd0.isEmpty() ? usualBlock(big) : tiffBlock(big, c.ifd0);
            for (int i = 0; i < c.size; ++i)
                block[c.at + i] = char(c.value >> (8 * (big ? c.size - 1 - i : i)));
            const ExifData data = ExifReader::fromJpeg(withExif(smallJpeg(), block));
            EXPECT_EQ(data.taken.toString("yyyy-MM-dd HH:mm:ss") + " / " + data.camera, c.expected);
        }
        // Every shorter block reads as part of the data or none, never from outside it.
        const QByteArray whole = usualBlock(big);
        for (qsizetype n = 0; n < whole.size(); ++n) {
            const ExifData data = ExifReader::fromTiff(whole.left(n));
            EXPECT_TRUE(QStringList({"", "Canon", "Canon EOS R6"}).contains(data.camera)) << n;
            EXPECT_TRUE(QStringList({"", "2030-01-01", "2024-05-17"}).contains(data.taken.toString("yyyy-MM-dd"))) << n;
        }
    }
    // The block among the segments.
    const QByteArray tiff = usualBlock(false), jpeg = smallJpeg();
    const QByteArray app1 = withExif(jpeg, tiff).mid(2, tiff.size() + 10);
    const QByteArray xmp = QByteArray::fromHex("ffe1000a") + "http:/\\0";
    const std::tuple<const char*, QByteArray, bool> placed[] = {
        {"first", jpeg.left(2) + app1 + jpeg.mid(2), true},
        {"after JFIF and XMP, with fill bytes", jpeg.left(20) + xmp + "\xff\xff" + app1 + jpeg.mid(20), true},
        {"after the image data", jpeg.chopped(2) + app1 + jpeg.right(2), false},
        {"segment longer than the file", (jpeg.left(2) + app1).chopped(1), false},
        {"no JPEG", QByteArray("\x89PNG\r\n\x1a\n") + app1, false},
        {"empty", QByteArray(), false},
    };
    for (const auto& [name, bytes, found] : placed)
        EXPECT_EQ(ExifReader::fromJpeg(bytes).camera, found ? "Canon EOS R6" : "") << name;
}

} // namespace
