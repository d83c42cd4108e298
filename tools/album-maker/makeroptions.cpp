#include "makeroptions.h"

// ours
#include "makererror.h"
#include "photoscanner.h"

// Qt
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QThread>

// std
#include <algorithm>

namespace tarnwick {

namespace {

constexpr int MinSide = 16;
constexpr int MaxSide = 8192;

const char* const Description = R"(Makes a Tarnwick photo album from a folder of photos.

Each sub-folder of PHOTOS_DIR that holds pictures becomes a category (in
natural order of the names); pictures lying directly in PHOTOS_DIR form a
first category named after it. With --by-month the categories are the
months the photos were taken instead ("2024-05", oldest first), whatever
folder they lie in. Photos are *.jpg *.jpeg *.png *.bmp *.gif *.webp *.heic
*.heif as far as this system's Qt image plugins read them (%1 here).
Within a category photos come in the order they were taken: the EXIF date
taken when the file has one, else its modification time, then the natural
order of the names. Pictures are turned upright by their EXIF orientation.

Each photo's caption fields are Title (the file name without the
extension), Date (the EXIF date taken) and Camera (the EXIF make and model).
Files that cannot be read (broken, cut short or of a kind this system cannot
read) are left out and named in one line on stderr at the end; an album
with no readable photo is refused. On a terminal a progress line counts the
pictures on stderr.

Without --music, the music files lying directly in PHOTOS_DIR (*.mp3 *.wav
*.ogg *.flac *.m4a, in natural order) become the album's music.

ALBUM_DIR receives:
  album.ini                  the album information (play it with
                             tarnwick-player "/1*ALBUM_DIR/album.ini")
  ResultPicture/p0001.jpg    photos scaled to the picture size on black,
                front.jpg back.jpg c01_front.jpg c01_back.jpg  covers,
                BackgroundPicture.jpg
  MainAlbum/p0001_t.jpg      96x72 thumbnails of all those pictures,
            m01.wav          the music files
  profile.ini                the album profile (music on)
  playerprofile.ini          the default player settings
Covers without --front/--back are generated title cards. The album is built
beside ALBUM_DIR and moved into place when complete; an existing album
folder (one holding album.ini) is replaced, any other non-empty folder is
refused. --jobs N makes N pictures at a time (default: one per processor);
the album is the same whatever N is.

--pack also writes the packed form into its own folder, ALBUM_DIR/packed,
the program folder of a packed run:
  album.pak                  every picture, thumbnail, the background and the
                             music, after a 4096-byte header
  MainpicFileInfo.ini        album information plus the picture index
  profile.ini                copies of the two profiles
  playerprofile.ini
  pack.txt                   offset=, container=, folder= and command= lines
and prints offset=4096 and the command that plays it:
  TARNWICK_PROGRAM_FOLDER=ALBUM_DIR/packed tarnwick-player
      "*S*OFFSET=4096*FILE=ALBUM_DIR/packed/album.pak"
The player unpacks pictures into ResultPicture and MainAlbum of that folder
and empties them when it closes; the album in ALBUM_DIR stays untouched.

--demo ALBUM_DIR makes a small demo album from generated pictures and music.

Exit status: 0 done, 1 bad input or a failure (one line on stderr), 2 bad
command line.)";

QString requireValue(const QCommandLineParser& parser, const QString& name)
{
    const QString value = parser.value(name);
    if (parser.isSet(name) && value.trimmed().isEmpty())
        throw MakerError(QStringLiteral("--%1 needs a value").arg(name));
    return value;
}

} // namespace

QSize MakerOptions::parseSize(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,5})\\s*[xX]\\s*(\\d{1,5})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const int w = match.hasMatch() ? match.captured(1).toInt() : 0;
    const int h = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (w < MinSide || h < MinSide || w > MaxSide || h > MaxSide) {
        throw MakerError(QStringLiteral("bad --size \"%1\": expected WIDTHxHEIGHT with sides %2..%3, e.g. 800x600")
                             .arg(text, QString::number(MinSide), QString::number(MaxSide)));
    }
    return QSize(w, h);
}

int MakerOptions::parseJobs(const QString& text)
{
    bool ok = false;
    const int jobs = text.trimmed().toInt(&ok);
    if (!ok || jobs < 1 || jobs > MaxJobs)
        throw MakerError(
            QStringLiteral("bad --jobs \"%1\": expected a number 1..%2").arg(text, QString::number(MaxJobs)));
    return jobs;
}

MakerOptions MakerOptions::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QStringList readable = PhotoScanner::readableKinds();
    parser.setApplicationDescription(
        QString::fromUtf8(Description).arg(readable.isEmpty() ? QStringLiteral("none") : readable.join(u' ')));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("PHOTOS_DIR", "Folder of photos (one sub-folder per category).");
    parser.addPositionalArgument("ALBUM_DIR", "Album folder to write.");
    parser.addOptions({
        {"title", "Album title (default: the photo folder's name).", "T"},
        {"author", "Album author.", "A"},
        {"email", "Author's e-mail address.", "E"},
        {"web", "Album web address.", "W"},
        {"description", "Album description (\\n for a line break).", "D"},
        {"size", "Picture size of the album (default 800x600).", "WxH", "800x600"},
        {"music", "Background music file; repeat for more (default: those in PHOTOS_DIR).", "FILE"},
        {"front", "Picture for the album's front cover.", "F"},
        {"back", "Picture for the album's back cover.", "B"},
        {"background", "Background picture (default: a dark gradient).", "IMG"},
        {"by-month", "One category per month taken instead of one per sub-folder."},
        {"jobs", "Pictures made at a time (default: one per processor).", "N"},
        {"pack", "Also write the packed form (album.pak and its index) into ALBUM_DIR/packed."},
        {"demo", "Make a demo album in ALBUM_DIR from generated pictures and music."},
    });
    if (!parser.parse(arguments))
        throw MakerError(parser.errorText());
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (parser.isSet("version"))
        parser.showVersion();

    MakerOptions options;
    options.demo = parser.isSet("demo");
    const QStringList positional = parser.positionalArguments();
    if (options.demo) {
        if (positional.size() != 1)
            throw MakerError(QStringLiteral("--demo takes one argument, ALBUM_DIR (see --help)"));
        options.albumFolder = positional[0];
    } else {
        if (positional.size() != 2)
            throw MakerError(QStringLiteral("expected PHOTOS_DIR and ALBUM_DIR (see --help)"));
        options.photosFolder = positional[0];
        options.albumFolder = positional[1];
    }
    if (options.albumFolder.trimmed().isEmpty())
        throw MakerError(QStringLiteral("ALBUM_DIR is empty"));
    options.title = requireValue(parser, "title");
    options.author = parser.value("author");
    options.email = parser.value("email");
    options.web = parser.value("web");
    options.description = parser.value("description").replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    options.pictureSize = parseSize(parser.value("size"));
    options.musicFiles = parser.values("music");
    options.frontCover = requireValue(parser, "front");
    options.backCover = requireValue(parser, "back");
    options.background = requireValue(parser, "background");
    options.pack = parser.isSet("pack");
    options.byMonth = parser.isSet("by-month");
    options.jobs = parser.isSet("jobs") ? parseJobs(parser.value("jobs"))
                                        : std::clamp(QThread::idealThreadCount(), 1, MaxJobs);
    return options;
}

} // namespace tarnwick
