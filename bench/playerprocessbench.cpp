// ours
#include "playerprocessbench.h"

#include "benchalbum.h"
#include "benchsession.h"

// Qt
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

// std
#include <cstdio>
#include <vector>

namespace tarnwick::bench {

namespace {

// Inside the code patch of the display at the window's start size
// (649 x 599, the display filling it) and right of the side panel.
const QRect kSampleArea(360, 280, 16, 16);
// The background comes first, unscaled from the display's top-left corner:
// looked for where it shows even if only the display's design size
// (261 x 213) of it does.
const QRect kBackgroundArea(180, 100, 16, 16);
constexpr int kSampleMs = 3;
constexpr int kGiveUpMs = 120000;

// Peak and current resident memory of a process in kB; 0 when unknown.
struct Memory {
    long peakKb = 0;
    long residentKb = 0;
};

Memory readMemory(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    Memory m;
    if (!status.open(QIODevice::ReadOnly))
        return m;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words[0] == "VmHWM:")
            m.peakKb = words[1].toLong();
        else if (words.size() >= 2 && words[0] == "VmRSS:")
            m.residentKb = words[1].toLong();
    }
    return m;
}

QString memoryText(const Memory& m)
{
    return QStringLiteral("VmHWM %1 MiB, VmRSS %2 MiB").arg(m.peakKb / 1024.0, 0, 'f', 1).arg(m.residentKb / 1024.0, 0, 'f', 1);
}

// The player program, started on construction and killed on destruction,
// with a clock that starts just before it is started.
class WatchedPlayer {
public:
    explicit WatchedPlayer(const PlayerProcessRun& run)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_clock.start();
        m_process.start(run.player, {QStringLiteral("/1*") + run.albumIni});
        m_process.waitForStarted();
    }
    ~WatchedPlayer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    // Whether the album background is on show; waits the sampling step first.
    bool backgroundShown()
    {
        QThread::msleep(kSampleMs);
        return PictureAt(ScreenColour(kBackgroundArea)).picture == ShownPicture::Background;
    }
    bool running() const { return m_process.state() == QProcess::Running && m_clock.elapsed() < kGiveUpMs; }
    double elapsedMs() const { return m_clock.nsecsElapsed() / 1e6; }
    qint64 pid() const { return m_process.processId(); }
    // The picture on show now; waits the sampling step first.
    PictureCode next()
    {
        QThread::msleep(kSampleMs);
        return PictureAt(ScreenColour(kSampleArea));
    }

private:
    QProcess m_process;
    QElapsedTimer m_clock;
};

} // namespace

int RunStartupBench(const PlayerProcessRun& run, int runs)
{
    std::vector<double> toBackground;
    std::vector<double> toCover;
    for (int i = 0; i < runs; ++i) {
        WatchedPlayer player(run);
        double background = -1;
        while (player.running()) {
            if (background < 0) {
                if (player.backgroundShown())
                    background = player.elapsedMs();
                continue;
            }
            if (player.next().picture == ShownPicture::FrontCover) {
                toCover.push_back(player.elapsedMs());
                break;
            }
        }
        if (background >= 0)
            toBackground.push_back(background);
    }
    Report(QStringLiteral("startup.background_on_screen"), SpreadText(SpreadOf(toBackground), "ms"));
    Report(QStringLiteral("startup.front_cover_on_screen"), SpreadText(SpreadOf(toCover), "ms"));
    Report(QStringLiteral("startup.runs"), QStringLiteral("%1 of %2 saw the front cover").arg(toCover.size()).arg(runs));
    return static_cast<int>(toCover.size()) == runs ? 0 : 1;
}

int RunMemoryBench(const PlayerProcessRun& run, int pictures)
{
    WatchedPlayer player(run);
    Memory atCover;
    double coverMs = -1;
    double firstPhotoMs = -1;
    std::vector<double> photoTimes;
    int settled = 0; // the photo seen in the previous sample, 0 for none
    int counted = 0; // the photo counted last
    int outOfOrder = 0;
    int restarts = 0;
    while (player.running() && static_cast<int>(photoTimes.size()) < pictures) {
        const PictureCode shown = player.next();
        if (shown.picture == ShownPicture::FrontCover && coverMs < 0) {
            coverMs = player.elapsedMs();
            atCover = readMemory(player.pid());
        }
        const int photo = shown.picture == ShownPicture::Photo ? shown.photo : 0;
        // A photo counts once it is seen in two samples running.
        if (photo != 0 && photo == settled && photo != counted) {
            // The show runs through the category in order: anything else
            // is a misread screen. But photos that come on while the
            // category's strip is still being built (a still shorter than
            // the build) are shown again: the category switch that builds
            // the strip sets the show back to the first thumbnail once the
            // build is over, as the player is meant to. A step back to
            // photo 1 is that restart.
            if (counted != 0 && photo != counted % kPhotoCodePeriod + 1) {
                if (photo == 1)
                    ++restarts;
                else
                    ++outOfOrder;
                std::fprintf(stderr, "%s: photo %d after %d at %.0f ms\n", photo == 1 ? "restart" : "out of order",
                             photo, counted, player.elapsedMs());
            }
            counted = photo;
            photoTimes.push_back(player.elapsedMs());
            if (firstPhotoMs < 0)
                firstPhotoMs = photoTimes.back();
        }
        settled = photo;
    }
    const Memory atEnd = readMemory(player.pid());
    std::vector<double> gaps;
    for (std::size_t i = 1; i < photoTimes.size(); ++i)
        gaps.push_back(photoTimes[i] - photoTimes[i - 1]);
    Report(QStringLiteral("memory.front_cover"), QStringLiteral("at %1 ms: %2").arg(coverMs, 0, 'f', 0).arg(memoryText(atCover)));
    Report(QStringLiteral("memory.first_photo"),
           QStringLiteral("at %1 ms (%2 ms after the cover: strip build and first picture)")
               .arg(firstPhotoMs, 0, 'f', 0).arg(firstPhotoMs - coverMs, 0, 'f', 0));
    Report(QStringLiteral("memory.photo_to_photo"), SpreadText(SpreadOf(gaps), "ms"));
    Report(QStringLiteral("memory.after_photos"),
           QStringLiteral("%1 photos seen (%2 out of order, %3 restart at photo 1), at %4 ms: %5")
               .arg(photoTimes.size()).arg(outOfOrder).arg(restarts).arg(player.elapsedMs(), 0, 'f', 0)
               .arg(memoryText(atEnd)));
    return static_cast<int>(photoTimes.size()) == pictures && outOfOrder == 0 ? 0 : 1;
}

} // namespace tarnwick::bench
