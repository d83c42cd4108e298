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
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

// std
#include <functional>
#include <vector>

#include <gtest/gtest.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QSize pictureSize(const QString& path)
{
    return QImageReader(path).size();
}

Album loadAlbum(const QString& file)
{
    Album album;
    album.LoadText(QString::fromUtf8(readBytes(file)));
    return album;
}

// Every picture the album names, as (folder, file) pairs.
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

bool near(QRgb pixel, QColor expected)
{
    return std::abs(qRed(pixel) - expected.red()) < 40 && std::abs(qGreen(pixel) - expected.green()) < 40
        && std::abs(qBlue(pixel) - expected.blue()) < 40;
}

// No staging or set-aside folder of a run may stay beside the album.
QStringList leftovers(const QString& root)
{
    return QDir(root).entryList({"*.partial-*", "*.old-*"}, QDir::AllEntries | QDir::Hidden);
}

// A JPEG whose stored pixels are 200x100 (left half red, right half blue)
// and whose orientation tag says "turn 90 degrees clockwise to show".
QByteArray turnedJpeg()
{
    QImage stored(200, 100, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        stored.save(&buffer, "jpeg", 95);
    }
    // APP1 "Exif" with a big-endian TIFF holding one entry: Orientation = 6.
    const QByteArray exif = QByteArray::fromHex("ffe10022" "457869660000" "4d4d002a00000008" "0001"
                                                "011200030000000100060000" "00000000");
    return jpeg.left(2) + exif + jpeg.mid(2);
}

class AlbumMakerTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QTemporaryDir m_root;
};

TEST_F(AlbumMakerTest, RoundTripKeepsCategoriesOrderTitlesAndSizes)
{
    writePicture(path("photos/Beach/img10.png"), {200, 150}, Qt::blue);
    writePicture(path("photos/Beach/img2.jpg"), {200, 150}, Qt::yellow);
    writePicture(path("photos/Beach/IMG1.PNG"), {150, 200}, Qt::cyan);
    writePicture(path("photos/Beach/.hidden.jpg"), {20, 20}, Qt::white);
    writeBytes(path("photos/Beach/notes.txt"), "not a picture");
    writePicture(path("photos/City/old town.bmp"), {100, 200}, Qt::red);
    writeBytes(path("photos/City/street.v2.gif"), tinyRedGif());
    const QByteArray song = QByteArray("RIFF") + QByteArray(300, '\x5a');
    writeBytes(path("My Song.WAV"), song);

    const MakerRun run = runMaker({path("photos"), path("album"), "--title", "Trip; C:\\new", "--author", "A. Person",
                                   "--description", "line one\\nline two", "--size", "640x480", "--music",
                                   path("My Song.WAV")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QDir album(path("album"));
    const Album model = loadAlbum(album.filePath("album.ini"));
    EXPECT_EQ(model.Title(), "Trip; C:\\new");
    EXPECT_EQ(model.Author(), "A. Person");
    EXPECT_EQ(model.Description(), "line one\nline two");
    EXPECT_EQ(model.InfoLine(), "2 categories, 5 photos");
    EXPECT_EQ(model.PictureWidth(), 640);
    EXPECT_EQ(model.PictureHeight(), 480);
    EXPECT_EQ(model.FieldNames(), QStringList{"Title"});
    EXPECT_TRUE(model.FieldVisible("Title"));

    struct Expected {
        QString name;
        QStringList titles;
    };
    const std::vector<Expected> expected{{"Beach", {"IMG1", "img2", "img10"}}, {"City", {"old town", "street.v2"}}};
    ASSERT_EQ(model.CategoryCount(), int(expected.size()));
    for (int c = 0; c < model.CategoryCount(); ++c) {
        const AlbumCategory& category = model.Categories().Item(c + 1);
        EXPECT_EQ(category.Name(), expected[c].name);
        QStringList titles;
        for (int p = 1; p <= category.PhotoCount(); ++p)
            titles << category.Photos().Item(p).FieldValue("Title");
        EXPECT_EQ(titles, expected[c].titles) << "category " << c + 1;
    }

    // Every picture exists at the album size, every thumbnail at 96x72,
    // under a generated name.
    const QRegularExpression safeName("^[a-z0-9_]+\\.jpg$");
    QStringList files = albumFiles(model);
    EXPECT_EQ(files.size(), 2 * (2 + 2 * 2 + 5));
    EXPECT_EQ(files.removeDuplicates(), 0);
    for (const QString& file : files) {
        const QSize want = file.startsWith("ResultPicture") ? QSize(640, 480) : QSize(96, 72);
        EXPECT_EQ(pictureSize(album.filePath(file)), want) << file.toStdString();
        EXPECT_TRUE(safeName.match(QFileInfo(file).fileName()).hasMatch()) << file.toStdString();
    }
    EXPECT_EQ(pictureSize(album.filePath("ResultPicture/BackgroundPicture.jpg")), QSize(640, 480));

    ASSERT_EQ(model.Musics().Count(), 1);
    const QString music = model.Musics().Item(1).FileName();
    EXPECT_EQ(music, "m01.wav");
    EXPECT_EQ(readBytes(album.filePath("MainAlbum/" + music)), song);

    EXPECT_EQ(keyValue(QString::fromUtf8(readBytes(album.filePath("profile.ini"))), "MusicOpen"), "1");
    EXPECT_EQ(readBytes(album.filePath("playerprofile.ini")), readBytes(binFolder() + "/playerprofile.ini"));
    EXPECT_TRUE(leftovers(m_root.path()).isEmpty());
}

TEST_F(AlbumMakerTest, CategoriesFollowTheFolders)
{
    struct Case {
        const char* name;
        QStringList files; // under Holiday/
        std::vector<std::pair<QString, int>> categories;
    };
    const std::vector<Case> cases{
        {"flat folder is one category named after it", {"b.png", "a.jpg"}, {{"Holiday", 2}}},
        {"sub-folders in natural order", {"Day 10/x.png", "Day 2/y.png", "day 1/z.png"},
         {{"day 1", 1}, {"Day 2", 1}, {"Day 10", 1}}},
        {"loose pictures first, folders without pictures skipped",
         {"cover.png", "Zoo/a.png", "Zoo/b.png", "Empty/notes.txt", ".git/c.png"},
         {{"Holiday", 1}, {"Zoo", 2}}},
        {"extensions in any case, others ignored", {"A.JPEG", "b.Gif", "c.bmp", "d.tiff", "e.jpg.txt"},
         {{"Holiday", 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        for (const QString& file : c.files) {
            if (file.endsWith(".txt"))
                writeBytes(root.filePath("Holiday/" + file), "text");
            else if (file.endsWith(".Gif"))
                writeBytes(root.filePath("Holiday/" + file), tinyRedGif());
            else if (file.endsWith(".tiff")) { // a real picture under a name that is not taken
                writePicture(root.filePath("Holiday/" + file + ".png"), {32, 24}, Qt::darkGreen);
                QFile::rename(root.filePath("Holiday/" + file + ".png"), root.filePath("Holiday/" + file));
            }
            else
                writePicture(root.filePath("Holiday/" + file), {32, 24}, Qt::darkGreen);
        }
        const MakerRun run = runMaker({root.filePath("Holiday"), root.filePath("album")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const Album model = loadAlbum(root.filePath("album/album.ini"));
        std::vector<std::pair<QString, int>> got;
        for (int i = 1; i <= model.CategoryCount(); ++i)
            got.emplace_back(model.Categories().Item(i).Name(), model.Categories().Item(i).PhotoCount());
        EXPECT_EQ(got, c.categories);
    }
}

TEST_F(AlbumMakerTest, PhotosAreFittedOnBlackAndTurnedByTheirTag)
{
    QImage big(4000, 3000, QImage::Format_RGB32);
    big.fill(Qt::magenta);
    QDir().mkpath(path("photos"));
    big.save(path("photos/5 big.jpg"), "jpeg", 80);
    writePicture(path("photos/1 portrait.png"), {100, 200}, Qt::red);
    writePicture(path("photos/2 wide.png"), {400, 100}, Qt::green);
    writePicture(path("photos/3 exact.png"), {160, 120}, Qt::blue);
    writeBytes(path("photos/4 turned.jpg"), turnedJpeg());
    ASSERT_EQ(runMaker({path("photos"), path("album"), "--size", "640x480"}).exitCode, 0);

    struct Probe {
        const char* file;
        QPoint at;
        QColor want;
    };
    const std::vector<Probe> probes{
        {"p0001.jpg", {320, 240}, Qt::red},   {"p0001.jpg", {20, 240}, Qt::black},
        {"p0001.jpg", {620, 240}, Qt::black}, {"p0002.jpg", {320, 240}, Qt::green},
        {"p0002.jpg", {320, 20}, Qt::black},  {"p0002.jpg", {5, 240}, Qt::green},
        {"p0003.jpg", {3, 3}, Qt::blue},      {"p0003.jpg", {636, 476}, Qt::blue},
        {"p0004.jpg", {320, 120}, Qt::red},   {"p0004.jpg", {320, 360}, Qt::blue},
        {"p0004.jpg", {20, 240}, Qt::black},  {"p0005.jpg", {3, 3}, Qt::magenta},
    };
    for (const Probe& probe : probes) {
        const QImage image(path(QStringLiteral("album/ResultPicture/") + probe.file));
        ASSERT_EQ(image.size(), QSize(640, 480)) << probe.file;
        const QRgb pixel = image.pixel(probe.at);
        EXPECT_TRUE(near(pixel, probe.want)) << probe.file << " at " << probe.at.x() << "," << probe.at.y()
                                             << " is " << QColor(pixel).name().toStdString();
    }
}

TEST_F(AlbumMakerTest, GivenCoversAndBackgroundTakeTheirPlaces)
{
    writePicture(path("photos/a.png"), {40, 30}, Qt::gray);
    writePicture(path("front.png"), {300, 300}, Qt::green);
    writePicture(path("back.jpg"), {80, 60}, Qt::blue);
    writePicture(path("sky.png"), {400, 100}, Qt::red);
    ASSERT_EQ(runMaker({path("photos"), path("album"), "--front", path("front.png"), "--back", path("back.jpg"),
                        "--background", path("sky.png")})
                  .exitCode,
              0);

    struct Probe {
        const char* file;
        QPoint at;
        QColor want;
    };
    // The front cover is letterboxed like a photo; the background fills the
    // whole picture.
    const std::vector<Probe> probes{
        {"front.jpg", {400, 300}, Qt::green}, {"front.jpg", {20, 300}, Qt::black},
        {"back.jpg", {3, 3}, Qt::blue},       {"BackgroundPicture.jpg", {3, 3}, Qt::red},
        {"BackgroundPicture.jpg", {796, 596}, Qt::red},
    };
    for (const Probe& probe : probes) {
        const QImage image(path(QStringLiteral("album/ResultPicture/") + probe.file));
        ASSERT_EQ(image.size(), QSize(800, 600)) << probe.file;
        EXPECT_TRUE(near(image.pixel(probe.at), probe.want)) << probe.file;
    }
}

TEST_F(AlbumMakerTest, PackedContainerHoldsEveryPictureByteForByte)
{
    writePicture(path("photos/One/a.png"), {64, 48}, Qt::red);
    writePicture(path("photos/One/b.jpg"), {48, 64}, Qt::green);
    writeBytes(path("photos/Two/c.gif"), tinyRedGif());
    writeBytes(path("tune.ogg"), "OggS-not-really");
    const MakerRun run = runMaker({path("photos"), path("album"), "--pack", "--music", path("tune.ogg")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // The packed form lives in a program folder of its own; the unpacked
    // album beside it is left as a plain album.
    const QDir album(path("album"));
    const QDir packed(album.filePath("packed"));
    EXPECT_EQ(listTree(packed.path()),
              (QStringList{"MainpicFileInfo.ini", "album.pak", "pack.txt", "playerprofile.ini", "profile.ini"}));
    EXPECT_EQ(QDir(album).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"MainAlbum", "ResultPicture", "album.ini", "packed", "playerprofile.ini", "profile.ini"}));
    for (const char* profile : {"profile.ini", "playerprofile.ini"}) {
        EXPECT_FALSE(readBytes(album.filePath(profile)).isEmpty()) << profile;
        EXPECT_EQ(readBytes(packed.filePath(profile)), readBytes(album.filePath(profile))) << profile;
    }

    const QString container = packed.filePath("album.pak");
    const qint64 offset = keyValue(run.out, "offset").toLongLong();
    ASSERT_EQ(offset, 4096);
    EXPECT_EQ(keyValue(run.out, "container"), container);
    const QString command = QStringLiteral("TARNWICK_PROGRAM_FOLDER=%1 tarnwick-player \"*S*OFFSET=4096*FILE=%2\"")
                                .arg(packed.path(), container);
    EXPECT_TRUE(run.out.split(u'\n').contains("play: " + command)) << run.out.toStdString();
    const QString note = QString::fromUtf8(readBytes(packed.filePath("pack.txt")));
    const std::pair<const char*, QString> noted[]{
        {"offset", "4096"}, {"container", container}, {"folder", packed.path()}, {"command", command}};
    for (const auto& [key, value] : noted)
        EXPECT_EQ(keyValue(note, key), value) << key;

    const QByteArray bytes = readBytes(container);
    ASSERT_GE(bytes.size(), offset);
    EXPECT_EQ(bytes.left(8), "TWKALBUM");
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 8), quint32(offset));

    // The index sits between its first marker and the end marker, after the
    // album information.
    const QString info = QString::fromUtf8(readBytes(packed.filePath("MainpicFileInfo.ini")));
    const qsizetype results = info.indexOf("[PicResultFile]");
    const qsizetype thumbnails = info.indexOf("[PicThumbnailFile]");
    const qsizetype splitter = info.indexOf("[Splitter]");
    ASSERT_GT(results, 0);
    EXPECT_LT(results, thumbnails);
    EXPECT_LT(thumbnails, splitter);
    EXPECT_TRUE(info.mid(splitter).trimmed() == "[Splitter]") << "text after the end marker";
    EXPECT_EQ(info.left(results).trimmed(), QString::fromUtf8(readBytes(album.filePath("album.ini"))).trimmed());

    const Album model = loadAlbum(packed.filePath("MainpicFileInfo.ini"));
    EXPECT_EQ(model.CategoryCount(), 2);
    QStringList indexed;
    qint64 packedBytes = 0;
    const std::pair<const char*, const char*> sections[]{{"PicResultFile", "ResultPicture"},
                                                        {"PicThumbnailFile", "MainAlbum"}};
    for (const auto& [section, folder] : sections) {
        const auto entries = indexEntries(info, section);
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const QString file = QStringLiteral("%1/%2").arg(folder, it.key());
            indexed << file;
            packedBytes += it.value().second;
            EXPECT_EQ(bytes.mid(offset + it.value().first, it.value().second), readBytes(album.filePath(file)))
                << file.toStdString();
        }
    }
    // Exactly what the player unpacks, back to back: the album's pictures
    // and thumbnails, the background and the music.
    QStringList named = albumFiles(model) << "ResultPicture/BackgroundPicture.jpg" << "MainAlbum/m01.ogg";
    named.sort();
    indexed.sort();
    EXPECT_EQ(indexed, named);
    EXPECT_EQ(bytes.size(), offset + packedBytes);

    // What the player does with it: cut out the index, write it as
    // MainFile.ini, and look pictures up there.
    const QStringList parts = AlbumUtility().SplitBetween(info, "[PicResultFile]", "[Splitter]", -1, 0);
    ASSERT_FALSE(parts.isEmpty());
    const QString mainFile = path("MainFile.ini");
    writeBytes(mainFile, parts[0].toUtf8());
    const struct {
        const char* section;
        QString name;
    } lookups[]{{"PicThumbnailFile", model.Categories().Item(2).Photos().Item(1).ThumbnailFileName()},
                {"PicThumbnailFile", model.Musics().Item(1).FileName()},
                {"PicResultFile", "BackgroundPicture.jpg"},
                {"PicResultFile", model.BackCover().FileName()}};
    for (const auto& lookup : lookups) {
        const auto entry = indexEntries(info, lookup.section).value(lookup.name, {-1, -1});
        EXPECT_EQ(IniFile().ReadValue(lookup.section, lookup.name, "", mainFile),
                  QStringLiteral("%1,%2").arg(entry.first).arg(entry.second))
            << lookup.name.toStdString();
    }
}

TEST_F(AlbumMakerTest, PrintedPlayCommandHandsThePlayerItsFolderAndContainer)
{
    // A stand-in player that reports what the shell handed it.
    const QString fakeBin = path("bin");
    writeBytes(fakeBin + "/tarnwick-player", "#!/bin/sh\nprintf '%s\\n' \"$TARNWICK_PROGRAM_FOLDER\" \"$#\" \"$1\"\n");
    QFile::setPermissions(fakeBin + "/tarnwick-player", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writePicture(path("photos/a.png"), {32, 24}, Qt::red);

    for (const QString name : {"plain", "with space", "odd $HOME \"q\" `x` back\\slash 'it'"}) {
        SCOPED_TRACE(name.toStdString());
        const QString album = path("albums/" + name);
        const MakerRun run = runMaker({path("photos"), album, "--pack"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString command = keyValue(QString::fromUtf8(readBytes(album + "/packed/pack.txt")), "command");
        EXPECT_TRUE(run.out.split(u'\n').contains("play: " + command)) << run.out.toStdString();

        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", fakeBin + ":" + env.value("PATH"));
        env.remove("TARNWICK_PROGRAM_FOLDER");
        shell.setProcessEnvironment(env);
        shell.start("/bin/sh", {"-c", command});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        const QStringList handed = QString::fromUtf8(shell.readAllStandardOutput()).split(u'\n');
        EXPECT_EQ(handed.mid(0, 3), (QStringList{album + "/packed", "1",
                                                 "*S*OFFSET=4096*FILE=" + album + "/packed/album.pak"}));
        EXPECT_TRUE(QFileInfo(album + "/packed/album.pak").isFile());
    }
}

TEST_F(AlbumMakerTest, DemoAlbumHasThreeCategoriesOfFourAndAMelody)
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
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    const char* h = wav.constData();
    EXPECT_EQ(qFromLittleEndian<quint16>(h + 20), 1) << "PCM";
    EXPECT_EQ(qFromLittleEndian<quint16>(h + 34), 16) << "bits per sample";
    const quint32 byteRate = qFromLittleEndian<quint32>(h + 28);
    const quint32 dataBytes = qFromLittleEndian<quint32>(h + 40);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(dataBytes, quint32(wav.size() - 44));
    EXPECT_EQ(dataBytes, byteRate * 10) << "ten seconds";
    // Not silence.
    EXPECT_NE(wav.mid(44, 4000), QByteArray(4000, '\0'));
}

TEST_F(AlbumMakerTest, BadInputIsRefusedWithOneLineAndNoAlbum)
{
    struct Case {
        const char* name;
        std::function<QStringList(const QDir&)> setup; // returns the arguments
        const char* mention;
        bool albumExists = false; // ALBUM_DIR exists before and must stay as it was
    };
    auto onePhoto = [](const QDir& root) { writePicture(root.filePath("photos/a.png"), {32, 24}, Qt::red); };
    auto withPhoto = [onePhoto](QStringList extra) {
        return [onePhoto, extra](const QDir& root) {
            onePhoto(root);
            QStringList args{root.filePath("photos"), root.filePath("album")};
            for (const QString& arg : extra)
                args << (arg.startsWith('@') ? root.filePath(arg.mid(1)) : arg);
            return args;
        };
    };
    const std::vector<Case> cases{
        {"missing photo folder",
         [](const QDir& root) { return QStringList{root.filePath("nothere"), root.filePath("album")}; }, "nothere"},
        {"photo folder without pictures",
         [](const QDir& root) {
             writeBytes(root.filePath("photos/Sub/notes.txt"), "x");
             return QStringList{root.filePath("photos"), root.filePath("album")};
         },
         "no pictures"},
        {"undecodable picture",
         [onePhoto](const QDir& root) {
             onePhoto(root);
             writeBytes(root.filePath("photos/b broken.jpg"), QByteArray(500, 'j'));
             return QStringList{root.filePath("photos"), root.filePath("album")};
         },
         "b broken.jpg"},
        {"album folder neither empty nor an album",
         [onePhoto](const QDir& root) {
             onePhoto(root);
             writeBytes(root.filePath("album/keep.txt"), "mine");
             return QStringList{root.filePath("photos"), root.filePath("album")};
         },
         "not empty", true},
        {"album folder is a file",
         [onePhoto](const QDir& root) {
             onePhoto(root);
             writeBytes(root.filePath("album"), "a file");
             return QStringList{root.filePath("photos"), root.filePath("album")};
         },
         "not a folder", true},
        {"photo folder inside the album it would replace",
         [](const QDir& root) {
             writeBytes(root.filePath("album/album.ini"), "[Album]\r\n");
             writePicture(root.filePath("album/photos/a.png"), {32, 24}, Qt::red);
             return QStringList{root.filePath("album/photos"), root.filePath("album")};
         },
         "inside", true},
        {"size without height", withPhoto({"--size", "800x"}), "--size"},
        {"size of zero", withPhoto({"--size", "0x600"}), "--size"},
        {"size too large", withPhoto({"--size", "9000x600"}), "--size"},
        {"size not a size", withPhoto({"--size", "big"}), "--size"},
        {"missing music file", withPhoto({"--music", "@none.mp3"}), "none.mp3"},
        {"missing front cover", withPhoto({"--front", "@nofront.jpg"}), "nofront.jpg"},
        {"undecodable background",
         [withPhoto](const QDir& root) {
             writeBytes(root.filePath("sky.png"), "not a png");
             return withPhoto({"--background", "@sky.png"})(root);
         },
         "sky.png"},
        {"unknown option", withPhoto({"--colour", "red"}), "colour"},
        {"missing album folder argument",
         [onePhoto](const QDir& root) {
             onePhoto(root);
             return QStringList{root.filePath("photos")};
         },
         "ALBUM_DIR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QDir dir(root.path());
        const QStringList args = c.setup(dir);
        const QStringList before = listTree(dir.filePath("album"));
        const QByteArray fileBefore = readBytes(dir.filePath("album"));

        const MakerRun run = runMaker(args);
        EXPECT_NE(run.exitCode, 0);
        const QStringList lines = run.errLines();
        ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith("album-maker: ")) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(c.mention)) << lines[0].toStdString();
        if (c.albumExists) {
            EXPECT_EQ(listTree(dir.filePath("album")), before);
            EXPECT_EQ(readBytes(dir.filePath("album")), fileBefore);
        } else {
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("album")));
        }
        EXPECT_EQ(leftovers(root.path()), QStringList());
    }
}

TEST_F(AlbumMakerTest, RebuildReplacesTheAlbumOnlyWhenComplete)
{
    for (const char* name : {"a.png", "b.png", "c.png"})
        writePicture(path(QStringLiteral("first/") + name), {32, 24}, Qt::red);
    ASSERT_EQ(runMaker({path("first"), path("album")}).exitCode, 0);
    const QStringList firstTree = listTree(path("album"));
    const QByteArray firstInfo = readBytes(path("album/album.ini"));

    writePicture(path("second/a.png"), {32, 24}, Qt::blue);
    writeBytes(path("second/b.jpg"), "broken");
    EXPECT_NE(runMaker({path("second"), path("album")}).exitCode, 0);
    EXPECT_EQ(listTree(path("album")), firstTree);
    EXPECT_EQ(readBytes(path("album/album.ini")), firstInfo);

    QFile::remove(path("second/b.jpg"));
    ASSERT_EQ(runMaker({path("second"), path("album"), "--pack"}).exitCode, 0);
    const Album model = loadAlbum(path("album/album.ini"));
    ASSERT_EQ(model.CategoryCount(), 1);
    EXPECT_EQ(model.Categories().Item(1).Name(), "second");
    EXPECT_EQ(model.Categories().Item(1).PhotoCount(), 1);
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
