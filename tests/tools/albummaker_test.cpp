// The album maker, run as a user runs it: photos in, album folder out, read
// back with the player's own album model.

// ours
#include "album.h"
#include "albummaker_support.h"
#include "albumutility.h"
#include "inifile.h"

// Qt
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <algorithm>
#include <array>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

Album loadAlbum(const QString& file)
{
    Album album;
    album.LoadText(QString::fromUtf8(readBytes(file)));
    return album;
}

// Every picture the album names, as folder/file.
QStringList albumFiles(const Album& album)
{
    QStringList files;
    auto add = [&](const AlbumPhoto& p) {
        files << "ResultPicture/" + p.FileName() << "MainAlbum/" + p.ThumbnailFileName();
    };
    add(album.FrontCover());
    add(album.BackCover());
    for (int c = 1; c <= album.CategoryCount(); ++c) {
        const AlbumCategory& category = album.Categories().Item(c);
        add(category.FrontCover());
        add(category.BackCover());
        for (int p = 1; p <= category.PhotoCount(); ++p)
            add(category.Photos().Item(p));
    }
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

// The largest difference of the colour channels.
int colourDistance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

class AlbumMakerTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QTemporaryDir m_root;
};

TEST_F(AlbumMakerTest, RoundTripKeepsCategoriesOrderTitlesAndSizes)
{
    for (const char* name : {"Beach/img10.png", "Beach/img2.jpg", "Beach/.hidden.jpg", "City/street.v2.gif"})
        writePicture(path(QStringLiteral("photos/") + name));
    writePicture(path("photos/Beach/IMG1.PNG"), {150, 200});
    writePicture(path("photos/City/old town.bmp"), {100, 200});
    writeBytes(path("photos/Beach/notes.txt"), "not a picture");
    const QByteArray song = QByteArray("RIFF") + QByteArray(300, '\x5a');
    writeBytes(path("My Song.WAV"), song);

    const MakerRun run = runMaker({path("photos"), path("album"), "--title", "Trip; C:\\new", "--author", "A. Person",
                                   "--description", "line one\\nline two", "--size", "640x480", "--music",
                                   path("My Song.WAV")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QDir album(path("album"));
    const Album model = loadAlbum(album.filePath("album.ini"));
    EXPECT_EQ(model.Title() + u'/' + model.Author() + u'/' + model.Description(),
              "Trip; C:\\new/A. Person/line one\nline two");
    EXPECT_EQ(model.InfoLine(), "2 categories, 5 photos");
    EXPECT_EQ(QSize(model.PictureWidth(), model.PictureHeight()), QSize(640, 480));
    EXPECT_TRUE(model.FieldVisible("Title"));
    EXPECT_EQ(outline(model), "Beach: IMG1 img2 img10 | City: old town street.v2");

    // Every picture exists at the album size, every thumbnail at 96x72,
    // under a name of the maker's.
    const QRegularExpression safeName("^[a-z0-9_]+\\.jpg$");
    QStringList files = albumFiles(model);
    EXPECT_EQ(files.size(), 2 * (2 + 2 * 2 + 5));
    EXPECT_EQ(files.removeDuplicates(), 0);
    for (const QString& file : files) {
        const QSize want = file.startsWith("ResultPicture") ? QSize(640, 480) : QSize(96, 72);
        EXPECT_EQ(QImageReader(album.filePath(file)).size(), want) << file.toStdString();
        EXPECT_TRUE(safeName.match(QFileInfo(file).fileName()).hasMatch()) << file.toStdString();
    }
    EXPECT_EQ(QImageReader(album.filePath("ResultPicture/BackgroundPicture.jpg")).size(), QSize(640, 480));
    ASSERT_EQ(model.Musics().Count(), 1);
    EXPECT_EQ(model.Musics().Item(1).FileName(), "m01.wav");
    EXPECT_EQ(readBytes(album.filePath("MainAlbum/m01.wav")), song);
    EXPECT_EQ(keyValue(QString::fromUtf8(readBytes(album.filePath("profile.ini"))), "MusicOpen"), "1");
    EXPECT_EQ(readBytes(album.filePath("playerprofile.ini")), readBytes(binFolder() + "/playerprofile.ini"));
    EXPECT_TRUE(leftovers(m_root.path()).isEmpty());
}

TEST_F(AlbumMakerTest, CategoriesFollowTheFolders)
{
    const std::pair<QStringList, QString> cases[] = {
        // files under Holiday/ (".txt" get text), the album's outline
        {{"Day 10/x.png", "Day 2/y.png", "day 1/z.png"}, "day 1: z | Day 2: y | Day 10: x"},
        {{"cover.png", "Zoo/a.png", "Zoo/b.png", "Empty/notes.txt", ".git/c.png"}, "Holiday: cover | Zoo: a b"},
        {{"A.JPEG", "b.Gif", "c.bmp", "d.tiff", "e.jpg.txt"}, "Holiday: A b c"},
    };
    for (const auto& [files, expected] : cases) {
        QTemporaryDir root;
        for (const QString& file : files) {
            if (file.endsWith(".txt"))
                writeBytes(root.filePath("Holiday/" + file), "text");
            else
                writePicture(root.filePath("Holiday/" + file));
        }
        const MakerRun run = runMaker({root.filePath("Holiday"), root.filePath("album")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(outline(loadAlbum(root.filePath("album/album.ini"))), expected);
    }
}

TEST_F(AlbumMakerTest, PicturesAreFittedOnBlackAndCoversTakeTheirPlaces)
{
    writePicture(path("photos/1 portrait.png"), {100, 200}, Qt::red);
    writePicture(path("photos/2 wide.png"), {400, 100}, Qt::green);
    writePicture(path("photos/3 exact.png"), {160, 120}, Qt::blue);
    writePicture(path("photos/4 big.jpg"), {4000, 3000}, Qt::magenta);
    writePicture(path("front.png"), {300, 300}, Qt::green);
    writePicture(path("back.jpg"), {80, 60}, Qt::blue);
    writePicture(path("sky.png"), {400, 100}, Qt::red);
    const MakerRun run = runMaker({path("photos"), path("album"), "--size", "640x480", "--front", path("front.png"),
                                   "--back", path("back.jpg"), "--background", path("sky.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // Photos and the front cover are letterboxed; the back cover and the
    // background fill the whole picture.
    const std::tuple<const char*, QPoint, QColor> probes[] = {
        {"p0001", {320, 240}, Qt::red},   {"p0001", {20, 240}, Qt::black},  {"p0001", {620, 240}, Qt::black},
        {"p0002", {320, 240}, Qt::green}, {"p0002", {320, 20}, Qt::black},  {"p0002", {5, 240}, Qt::green},
        {"p0003", {3, 3}, Qt::blue},      {"p0003", {636, 476}, Qt::blue},  {"p0004", {3, 3}, Qt::magenta},
        {"front", {320, 240}, Qt::green}, {"front", {20, 240}, Qt::black},  {"back", {3, 3}, Qt::blue},
        {"BackgroundPicture", {3, 3}, Qt::red}, {"BackgroundPicture", {636, 476}, Qt::red},
    };
    for (const auto& [file, at, want] : probes) {
        const QImage image(path(QStringLiteral("album/ResultPicture/%1.jpg").arg(file)));
        ASSERT_EQ(image.size(), QSize(640, 480)) << file;
        const QColor got = image.pixelColor(at);
        EXPECT_LT(colourDistance(got, want), 40)
            << file << " at " << at.x() << "," << at.y() << " is " << got.name().toStdString();
    }
}

TEST_F(AlbumMakerTest, PhotosAreTurnedUprightByEveryExifOrientation)
{
    // Stored 200x100 in four quadrants: red blue over green white.
    QImage stored(200, 100, QImage::Format_RGB32);
    QPainter painter(&stored);
    painter.fillRect(0, 0, 100, 50, Qt::red);
    painter.fillRect(100, 0, 100, 50, Qt::blue);
    painter.fillRect(0, 50, 100, 50, Qt::green);
    painter.fillRect(100, 50, 100, 50, Qt::white);
    painter.end();
    // The quadrants as shown: top left, top right, bottom left, bottom right.
    const QColor r = Qt::red, b = Qt::blue, g = Qt::green, w = Qt::white;
    const std::pair<quint16, std::array<QColor, 4>> cases[] = {
        {1, {r, b, g, w}}, {2, {b, r, w, g}}, {3, {w, g, b, r}}, {4, {g, w, r, b}},
        {5, {r, g, b, w}}, {6, {g, r, w, b}}, {7, {w, b, g, r}}, {8, {b, w, r, g}},
    };
    for (const auto& [orientation, shown] : cases) {
        const QString file = path(QStringLiteral("photos/%1.jpg").arg(orientation));
        writePicture(file, stored);
        // Big-endian for even values, little-endian for odd ones.
        addExif(file, tiffBlock(orientation % 2 == 0, {{0x0112, {}, orientation}}));
    }
    const MakerRun run = runMaker({path("photos"), path("album"), "--size", "640x480"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    for (const auto& [orientation, shown] : cases) {
        SCOPED_TRACE(orientation);
        const QImage image(path(QStringLiteral("album/ResultPicture/p%1.jpg").arg(orientation, 4, 10, QChar('0'))));
        // Turned by a quarter the picture stands 240x480 in the middle,
        // otherwise it lies 640x320.
        const QSize quadrant = orientation >= 5 ? QSize(120, 240) : QSize(320, 160);
        const QPoint topLeft(320 - quadrant.width() / 2, 240 - quadrant.height() / 2);
        const QPoint probes[] = {topLeft, topLeft + QPoint(quadrant.width(), 0), topLeft + QPoint(0, quadrant.height()),
                                 topLeft + QPoint(quadrant.width(), quadrant.height())};
        for (int q = 0; q < 4; ++q)
            EXPECT_LT(colourDistance(image.pixelColor(probes[q]), shown[q]), 40) << "quadrant " << q;
        const QPoint margin = orientation >= 5 ? QPoint(100, 240) : QPoint(320, 40);
        EXPECT_LT(colourDistance(image.pixelColor(margin), Qt::black), 40);
    }
}

TEST_F(AlbumMakerTest, PhotosComeInTheOrderTakenWithDateAndCameraCaptions)
{
    constexpr quint16 tagMake = 0x010F, tagModel = 0x0110, tagDateTime = 0x0132, tagOriginal = 0x9003;
    const QDateTime noTime;
    const std::tuple<const char*, QByteArray, QDateTime, QString, QString> photos[] = {
        // file, EXIF block (or none), modification time (or the fixed one), Date and Camera captions
        {"b.jpg",
         tiffBlock(true, {{tagMake, "Canon"}, {tagModel, "Canon EOS R6"}, {tagDateTime, "2030:01:01 00:00:00"}},
                   {{tagOriginal, "2024:05:17 10:00:00"}}),
         noTime, "2024-05-17 10:00", "Canon EOS R6"},
        {"a.jpg",
         tiffBlock(false,
                   {{tagMake, "NIKON CORPORATION"}, {tagModel, "D750"}, {tagDateTime, "2024:05:17 09:00:00"}}),
         noTime, "2024-05-17 09:00", "NIKON CORPORATION D750"},
        {"c.png", {}, QDateTime(QDate(2024, 4, 30), QTime(12, 0)), "", ""},
        {"d10.jpg", tiffBlock(false, {{tagModel, "Pixel 7"}}, {{tagOriginal, "2024:06:01 08:00:00"}}), noTime,
         "2024-06-01 08:00", "Pixel 7"},
        {"d9.jpg", tiffBlock(true, {}, {{tagOriginal, "2024:06:01 08:00:00"}}), noTime, "2024-06-01 08:00", ""},
        {"Home/x.jpg", tiffBlock(true, {}, {{tagOriginal, "2024:05:01 07:00:00"}}), noTime, "2024-05-01 07:00", ""},
    };
    for (const auto& [file, exif, modified, date, camera] : photos) {
        writePicture(path("lib/" + QString(file)));
        if (!exif.isEmpty())
            addExif(path("lib/" + QString(file)), exif);
        if (modified.isValid())
            setModified(path("lib/" + QString(file)), modified);
    }
    writeBytes(path("lib/song 10.mp3"), "ID3 ten");
    writeBytes(path("lib/song 2.ogg"), "OggS two");
    writeBytes(path("lib/Home/elsewhere.wav"), "RIFF not taken");

    const std::pair<QStringList, QString> runs[] = {
        {{}, "lib: c a b d9 d10 | Home: x"},
        {{"--by-month"}, "2024-04: c | 2024-05: x a b | 2024-06: d9 d10"},
    };
    for (const auto& [options, expected] : runs) {
        SCOPED_TRACE(expected.toStdString());
        const MakerRun run = runMaker(QStringList{path("lib"), path("album")} + options);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.toStdString(), "");
        const Album model = loadAlbum(path("album/album.ini"));
        EXPECT_EQ(outline(model), expected);
        EXPECT_TRUE(model.FieldVisible("Date") && model.FieldVisible("Camera"));
        for (int c = 1; c <= model.CategoryCount(); ++c) {
            const AlbumPhotos& shown = model.Categories().Item(c).Photos();
            for (int p = 1; p <= shown.Count(); ++p) {
                const AlbumPhoto& photo = shown.Item(p);
                const auto* source = std::find_if(std::begin(photos), std::end(photos), [&](const auto& row) {
                    return QFileInfo(std::get<0>(row)).completeBaseName() == photo.FieldValue("Title");
                });
                ASSERT_NE(source, std::end(photos));
                EXPECT_EQ(photo.FieldValue("Date") + " / " + photo.FieldValue("Camera"),
                          std::get<3>(*source) + " / " + std::get<4>(*source));
            }
        }
        // Music lying beside the photos, in natural order.
        ASSERT_EQ(model.Musics().Count(), 2);
        EXPECT_EQ(readBytes(path("album/MainAlbum/" + model.Musics().Item(1).FileName())), "OggS two");
        EXPECT_EQ(model.Musics().Item(2).FileName(), "m02.mp3");
    }

    // --music replaces the music of the photo folder; an album without
    // dates or cameras hides those captions.
    writeBytes(path("tune.wav"), "RIFF tune");
    const MakerRun run = runMaker({path("lib/Home"), path("album"), "--music", path("tune.wav")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Album model = loadAlbum(path("album/album.ini"));
    EXPECT_EQ(model.Musics().Count(), 1);
    EXPECT_EQ(readBytes(path("album/MainAlbum/m01.wav")), "RIFF tune");
    EXPECT_TRUE(model.FieldVisible("Date"));
    EXPECT_FALSE(model.FieldVisible("Camera"));
}

TEST_F(AlbumMakerTest, UnreadablePhotosAreLeftOutAndNamedInOneLine)
{
    writePicture(path("photos/a.png"));
    writePicture(path("photos/Sub/ok.jpg"), {400, 300});
    const QByteArray jpeg = readBytes(path("photos/Sub/ok.jpg"));
    writePicture(path("photos/Sub/wide.png"), {400, 300});
    const QByteArray png = readBytes(path("photos/Sub/wide.png"));
    writeBytes(path("photos/b.jpg"), QByteArray(600, 'j'));
    writeBytes(path("photos/c.jpg"), jpeg.left(jpeg.size() * 2 / 3));
    writeBytes(path("photos/Sub/e.png"), png.left(png.size() / 2));
    // A kind Qt may or may not read here: broken either way.
    writeBytes(path("photos/f.heic"), QByteArray(300, 'h'));
    writeBytes(path("photos/Only broken/g.gif"), "GIF89a");

    const MakerRun run = runMaker({path("photos"), path("album")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.toStdString(), "tarnwick-album-maker: skipped 5 unreadable files: b.jpg, c.jpg, f.heic, "
                                     "Only broken/g.gif, Sub/e.png\n");
    const Album model = loadAlbum(path("album/album.ini"));
    EXPECT_EQ(outline(model), "photos: a | Sub: ok wide");
    EXPECT_EQ(model.InfoLine(), "2 categories, 3 photos");
}

TEST_F(AlbumMakerTest, ProgressLineShowsOnlyOnATerminal)
{
    if (!QFileInfo("/usr/bin/script").isExecutable())
        GTEST_SKIP() << "script(1) is needed to give the tool a terminal";
    writePicture(path("photos/a.png"));
    writePicture(path("photos/b.png"));
    QProcess terminal;
    terminal.start("/usr/bin/script", {"-qec", binFolder() + "/tarnwick-album-maker " + path("photos") + " " + path("album"),
                                       "/dev/null"});
    ASSERT_TRUE(terminal.waitForFinished(120000));
    const QString shown = QString::fromUtf8(terminal.readAllStandardOutput());
    EXPECT_EQ(terminal.exitCode(), 0) << shown.toStdString();
    // Rewritten in place, then wiped before the summary.
    EXPECT_TRUE(shown.startsWith("\rpictures 1/2\rpictures 2/2\r            \ralbum=")) << shown.toStdString();
}

TEST_F(AlbumMakerTest, AlbumIsTheSameWhateverTheNumberOfJobs)
{
    for (int i = 1; i <= 9; ++i)
        writePicture(path(QStringLiteral("photos/%1/p%2.jpg").arg(i % 2 ? "Odd" : "Even").arg(i)),
                     QSize(300 + 37 * i, 200 + 53 * (9 - i)), QColor::fromHsv(i * 40, 200, 200));
    writeBytes(path("photos/Odd/p4 broken.jpg"), QByteArray(100, 'x'));
    addExif(path("photos/Odd/p3.jpg"), tiffBlock(false, {{0x0112, {}, 6}, {0x0110, "Cam"}}));

    const MakerRun one = runMaker({path("photos"), path("one"), "--jobs", "1", "--size", "320x240"});
    const MakerRun three = runMaker({path("photos"), path("three"), "--jobs", "3", "--size", "320x240"});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    ASSERT_EQ(three.exitCode, 0) << three.err.toStdString();
    EXPECT_EQ(one.err.toStdString(), three.err.toStdString());
    EXPECT_EQ(outline(loadAlbum(path("one/album.ini"))), "Even: p2 p4 p6 p8 | Odd: p1 p3 p5 p7 p9");
    const auto files = treeBytes(path("one"));
    EXPECT_EQ(files.size(), 2 * (2 + 2 * 2 + 9) + 1 + 3);
    EXPECT_TRUE(files == treeBytes(path("three")));
}

TEST_F(AlbumMakerTest, PackedContainerHoldsEveryPictureByteForByte)
{
    for (const char* name : {"One/a.png", "One/b.jpg", "Two/c.gif"})
        writePicture(path(QStringLiteral("photos/") + name));
    writeBytes(path("tune.ogg"), "OggS-not-really");
    const MakerRun run = runMaker({path("photos"), path("album"), "--pack", "--music", path("tune.ogg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // The packed form lives in a program folder of its own; the unpacked
    // album beside it is left as a plain album.
    const QDir album(path("album"));
    const QDir packed(album.filePath("packed"));
    EXPECT_EQ(listTree(packed.path()),
              (QStringList{"MainpicFileInfo.ini", "album.pak", "pack.txt", "playerprofile.ini", "profile.ini"}));
    EXPECT_EQ(album.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"MainAlbum", "ResultPicture", "album.ini", "packed", "playerprofile.ini", "profile.ini"}));
    for (const char* profile : {"profile.ini", "playerprofile.ini"})
        EXPECT_EQ(readBytes(packed.filePath(profile)), readBytes(album.filePath(profile))) << profile;

    // (The printed play command is run through a shell in its own test.)
    const QString container = packed.filePath("album.pak");
    const QString note = QString::fromUtf8(readBytes(packed.filePath("pack.txt")));
    for (const QString& text : {run.out, note})
        EXPECT_EQ(keyValue(text, "offset") + ' ' + keyValue(text, "container"), "4096 " + container);
    EXPECT_EQ(keyValue(note, "folder"), packed.path());

    const QByteArray bytes = readBytes(container);
    ASSERT_GE(bytes.size(), 4096);
    EXPECT_EQ(bytes.left(8), "TWKALBUM");
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 8), 4096u);

    // The album information, then the index between its first marker and
    // the end marker, nothing after it.
    const QString info = QString::fromUtf8(readBytes(packed.filePath("MainpicFileInfo.ini")));
    const QString plain = QString::fromUtf8(readBytes(album.filePath("album.ini")));
    EXPECT_EQ(info.left(info.indexOf("[PicResultFile]")).trimmed(), plain.trimmed());
    EXPECT_EQ(info.mid(info.indexOf("[Splitter]")).trimmed(), "[Splitter]") << "text after the end marker";

    // What the player does with it: cut out the index, write it as
    // MainFile.ini, and look up every file it unpacks: the album's pictures
    // and thumbnails, the background and the music, back to back.
    const Album model = loadAlbum(packed.filePath("MainpicFileInfo.ini"));
    const QStringList parts = AlbumUtility().SplitBetween(info, "[PicResultFile]", "[Splitter]", -1, 0);
    ASSERT_EQ(parts.size(), 1);
    const QString mainFile = path("MainFile.ini");
    writeBytes(mainFile, parts[0].toUtf8());
    const QStringList named = albumFiles(model) << "ResultPicture/BackgroundPicture.jpg" << "MainAlbum/m01.ogg";
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
}

TEST_F(AlbumMakerTest, PrintedPlayCommandHandsThePlayerItsFolderAndContainer)
{
    // A stand-in player that reports what the shell handed it.
    const QString fakeBin = path("bin");
    writeBytes(fakeBin + "/tarnwick-player", "#!/bin/sh\nprintf '%s\\n' \"$TARNWICK_PROGRAM_FOLDER\" \"$#\" \"$1\"\n");
    QFile::setPermissions(fakeBin + "/tarnwick-player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writePicture(path("photos/a.png"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", fakeBin + ":" + env.value("PATH"));
    env.remove("TARNWICK_PROGRAM_FOLDER");

    for (const QString name : {"plain", "with space", "odd $HOME \"q\" `x` back\\slash 'it'"}) {
        SCOPED_TRACE(name.toStdString());
        const QString album = path("albums/" + name);
        const MakerRun run = runMaker({path("photos"), album, "--pack"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString command = keyValue(QString::fromUtf8(readBytes(album + "/packed/pack.txt")), "command");
        EXPECT_TRUE(run.out.split(u'\n').contains("play: " + command)) << run.out.toStdString();

        QProcess shell;
        shell.setProcessEnvironment(env);
        shell.start("/bin/sh", {"-c", command});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n').mid(0, 3),
                  (QStringList{album + "/packed", "1", "*S*OFFSET=4096*FILE=" + album + "/packed/album.pak"}));
    }
}

TEST_F(AlbumMakerTest, DemoAlbumHasThreeCategoriesOfFourAndATenSecondMelody)
{
    const MakerRun run = runMaker({"--demo", path("demo")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Album model = loadAlbum(path("demo/album.ini"));
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
    const QStringList usual{"@photos", "@album"};
    const std::tuple<QStringList, QStringList, const char*, bool> cases[] = {
        // files ("!": junk bytes, ".txt": text), arguments ("@": below the test folder), what the message names,
        // whether ALBUM_DIR exists before (and must stay as it was)
        {{}, {"@nothere", "@album"}, "nothere", false},
        {{"photos/Sub/notes.txt"}, usual, "no pictures", false},
        {{"!photos/b broken.jpg", "!photos/Sub/c.png"}, usual,
         "no readable pictures in @photos (skipped 2 unreadable files: b broken.jpg, Sub/c.png)", false},
        {{"photos/a.png", "album/keep.txt"}, usual, "not empty", true},
        {{"photos/a.png", "!album"}, usual, "not a folder", true},
        {{"!album/album.ini", "album/photos/a.png"}, {"@album/photos", "@album"}, "inside", true},
        {photo, usual + QStringList{"--size", "800x"}, "--size", false},
        {photo, usual + QStringList{"--size", "0x600"}, "--size", false},
        {photo, usual + QStringList{"--size", "9000x600"}, "--size", false},
        {photo, usual + QStringList{"--size", "big"}, "--size", false},
        {photo, usual + QStringList{"--music", "@none.mp3"}, "none.mp3", false},
        {photo, usual + QStringList{"--front", "@nofront.jpg"}, "nofront.jpg", false},
        {{"photos/a.png", "!sky.png"}, usual + QStringList{"--background", "@sky.png"}, "sky.png", false},
        {photo, usual + QStringList{"--colour", "red"}, "colour", false},
        {photo, usual + QStringList{"--jobs", "0"}, "--jobs", false},
        {photo, usual + QStringList{"--jobs", "many"}, "--jobs", false},
        {photo, {"@photos"}, "ALBUM_DIR", false},
    };
    for (const auto& [files, arguments, mention, albumExists] : cases) {
        SCOPED_TRACE(mention);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const QString& file : files) {
            if (file.startsWith(u'!') || file.endsWith(".txt"))
                writeBytes(dir.filePath(file.mid(file.startsWith(u'!'))), QByteArray(500, 'j'));
            else
                writePicture(dir.filePath(file));
        }
        QStringList args;
        for (const QString& arg : arguments)
            args << (arg.startsWith(u'@') ? dir.filePath(arg.mid(1)) : arg);
        const QStringList before = listTree(dir.filePath("album"));
        const QByteArray fileBefore = readBytes(dir.filePath("album"));

        const MakerRun run = runMaker(args);
        EXPECT_NE(run.exitCode, 0);
        const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
        const QString named = QString(mention).replace("@", dir.path() + u'/');
        EXPECT_TRUE(lines[0].startsWith("tarnwick-album-maker: ") && lines[0].contains(named)) << lines[0].toStdString();
        EXPECT_EQ(QFileInfo::exists(dir.filePath("album")), albumExists);
        EXPECT_EQ(listTree(dir.filePath("album")), before);
        EXPECT_EQ(readBytes(dir.filePath("album")), fileBefore);
        EXPECT_EQ(leftovers(root.path()), QStringList());
    }
}

TEST_F(AlbumMakerTest, RebuildReplacesTheAlbumOnlyWhenComplete)
{
    for (const char* name : {"first/a.png", "first/b.png", "first/c.png", "second/a.png"})
        writePicture(path(name));
    ASSERT_EQ(runMaker({path("first"), path("album")}).exitCode, 0);
    const QStringList firstTree = listTree(path("album"));
    const QByteArray firstInfo = readBytes(path("album/album.ini"));

    // Fails once the new album is begun: no photo can be read.
    writeBytes(path("broken/b.jpg"), "broken");
    EXPECT_NE(runMaker({path("broken"), path("album")}).exitCode, 0);
    EXPECT_EQ(listTree(path("album")), firstTree);
    EXPECT_EQ(readBytes(path("album/album.ini")), firstInfo);

    ASSERT_EQ(runMaker({path("second"), path("album"), "--pack"}).exitCode, 0);
    EXPECT_EQ(outline(loadAlbum(path("album/album.ini"))), "second: a");
    // Nothing of the first album stays behind.
    EXPECT_FALSE(QFileInfo::exists(path("album/ResultPicture/p0002.jpg")));
    EXPECT_FALSE(QFileInfo::exists(path("album/MainAlbum/p0003_t.jpg")));
    EXPECT_TRUE(QFileInfo(path("album/packed/album.pak")).isFile());

    // Pictures a packed run unpacked go with the packed form when the album
    // is rebuilt unpacked.
    writeBytes(path("album/packed/ResultPicture/p0001.jpg"), "unpacked by the player");
    ASSERT_EQ(runMaker({path("second"), path("album")}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(path("album/packed")));
    EXPECT_TRUE(QFileInfo(path("album/ResultPicture/p0001.jpg")).isFile());
    EXPECT_EQ(leftovers(m_root.path()), QStringList());
}

} // namespace
