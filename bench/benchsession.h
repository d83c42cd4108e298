#pragma once
// What every player-window measurement sets up: a program folder with the
// shipped player settings and a chosen effect table, the album loaded as
// the start-up routine loads it, reading the screen, and the summary
// figures printed. Window thread only.

// Qt
#include <QColor>
#include <QRect>
#include <QString>

// std
#include <vector>

namespace tarnwick::bench {

// One value written over the shipped settings.
struct SettingValue {
    QString section;
    QString key;
    QString value;
};

// Makes `folder` the program folder of this process and of the players it
// starts: the shipped playerprofile.ini (found beside this program) with an
// effect table of `effect` alone at 100 %, then `values` written over it,
// and a profile.ini with the music off. False when the shipped file is
// missing or a file cannot be written. Call once, before anything reads a
// setting.
bool MakeProgramFolder(const QString& folder, const QString& effect, const std::vector<SettingValue>& values);

// The album of `albumIni` loaded into gAlbum with StartMode 1, as the
// start-up routine does for "/1". False when the file cannot be read.
bool LoadAlbumFolder(const QString& albumIni);
// An album of the given picture size without categories (no files).
void LoadEmptyAlbum(int pictureWidth, int pictureHeight);

// The colour of `area` of the screen as the X server holds it: the mean of
// its pixels when they are all about the same, else an invalid colour.
QColor ScreenColour(const QRect& area);

// Lets window events run for `ms` milliseconds.
void RunEventsFor(int ms);

// Summary of a set of figures.
struct Spread {
    double min = 0;
    double median = 0;
    double p90 = 0;
    double max = 0;
    double mean = 0;
};
Spread SpreadOf(std::vector<double> values);
// " min .. median .. max" style text of a spread, with `unit`.
QString SpreadText(const Spread& s, const char* unit);

// Prints one result line: "name: text" to stdout, flushed.
void Report(const QString& name, const QString& text);

} // namespace tarnwick::bench
