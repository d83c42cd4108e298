#pragma once
// The album maker's command line:
//   album-maker PHOTOS_DIR ALBUM_DIR [--title T] [--author A] [--email E]
//     [--web W] [--description D] [--size WxH] [--music FILE]... [--front F]
//     [--back B] [--background IMG] [--by-month] [--jobs N] [--pack]
//   album-maker --demo ALBUM_DIR [same options]

// Qt
#include <QSize>
#include <QString>
#include <QStringList>

namespace tarnwick {

struct MakerOptions {
    bool demo = false;
    QString photosFolder; // empty with --demo
    QString albumFolder;
    QString title;        // empty: the photo folder's name
    QString author;
    QString email;
    QString web;
    QString description;
    QSize pictureSize{800, 600};
    QStringList musicFiles;
    QString frontCover;   // empty: a generated title card
    QString backCover;
    QString background;   // empty: a generated gradient
    bool pack = false;
    bool byMonth = false; // one category per month taken
    int jobs = 1;         // threads that make the pictures

    // Parses the arguments (program name first). --help and --version print
    // and end the process with status 0. Throws MakerError on anything it
    // cannot take. Called once by main() after the application exists.
    static MakerOptions parse(const QStringList& arguments);

    // "800x600" -> 800 x 600; each side 16..8192. Throws MakerError.
    static QSize parseSize(const QString& text);

    // "4" -> 4; 1..MaxJobs. Throws MakerError.
    static int parseJobs(const QString& text);
    static constexpr int MaxJobs = 256;
};

} // namespace tarnwick
