// ours
#include "batchexport.h"

#include "aviwriter.h"
#include "exportsession.h"
#include "frmprocess.h"
#include "headlessview.h"
#include "playercore.h"
#include "playersettings.h"
#include "realhost.h"
#include "session.h"
#include "signalcloser.h"
#include "startup.h"

// Qt
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

// std
#include <cstdio>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr int kMaxStill = 1310; // 25 frames a second in a 16-bit count
constexpr int kFramesPerSecond = 25;

void say(std::FILE* to, const QString& line) { std::fprintf(to, "%s\n", qPrintable(line)); }

// The terminal line of a run in progress: one line rewritten in place on a
// terminal, plain lines otherwise.
class ProgressLine {
public:
    explicit ProgressLine(int pictures) : m_pictures(pictures), m_terminal(isatty(fileno(stdout))) { m_clock.start(); }

    void show(int done, std::int64_t frames)
    {
        if (!m_terminal && done == m_lastDone)
            return;
        m_lastDone = done;
        QString line = QStringLiteral("picture %1 of %2, %3 frames, %4 elapsed")
                           .arg(done)
                           .arg(m_pictures)
                           .arg(frames)
                           .arg(frmProcess::ElapsedText(m_clock.elapsed()));
        if (done > 0 && m_pictures > done)
            line += QStringLiteral(", about %1 left")
                        .arg(frmProcess::ElapsedText(m_clock.elapsed() * (m_pictures - done) / done));
        if (m_terminal)
            std::printf("\r%-78s", qPrintable(line));
        else
            std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }
    void end()
    {
        if (m_terminal)
            std::printf("\n");
    }
    std::int64_t elapsedMs() const { return m_clock.elapsed(); }

private:
    QElapsedTimer m_clock;
    int m_pictures;
    int m_lastDone = -1;
    bool m_terminal;
};

} // namespace

bool IsBatchExport(const QStringList& words) { return !words.isEmpty() && words.first() == QLatin1String("--export"); }

std::optional<ExportOptions> ParseExportOptions(const QStringList& words, QString& error)
{
    ExportOptions o;
    QStringList albums;
    auto value = [&](qsizetype& i) -> std::optional<QString> {
        if (i + 1 >= words.size()) {
            error = words.at(i) + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        return words.at(++i);
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words.at(i);
        if (w == QLatin1String("--export")) {
            const auto v = value(i);
            if (!v)
                return std::nullopt;
            o.output = *v;
        } else if (w == QLatin1String("--size")) {
            const auto v = value(i);
            if (!v)
                return std::nullopt;
            const auto m = QRegularExpression(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$")).match(*v);
            if (!m.hasMatch()) {
                error = QStringLiteral("--size takes WIDTHxHEIGHT in pixels, such as 352x288, not \"%1\"").arg(*v);
                return std::nullopt;
            }
            o.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (w == QLatin1String("--still")) {
            const auto v = value(i);
            if (!v)
                return std::nullopt;
            bool ok = false;
            const int s = v->toInt(&ok);
            if (!ok || s < 0 || s > kMaxStill) {
                error = QStringLiteral("--still takes whole seconds from 0 to %1, not \"%2\"").arg(kMaxStill).arg(*v);
                return std::nullopt;
            }
            o.still = s;
        } else if (w == QLatin1String("--static")) {
            o.staticPictures = true;
        } else if (w == QLatin1String("--no-music")) {
            o.music = false;
        } else if (w.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1 (see --help)").arg(w);
            return std::nullopt;
        } else {
            albums << w;
        }
    }
    if (o.output.isEmpty()) {
        error = QStringLiteral("--export needs the video file to write");
        return std::nullopt;
    }
    if (albums.size() != 1) {
        error = albums.isEmpty() ? QStringLiteral("name the album to export (its folder or its information file)")
                                 : QStringLiteral("one album at a time, not %1").arg(albums.join(QLatin1Char(' ')));
        return std::nullopt;
    }
    o.album = albums.first();
    return o;
}

int RunBatchExport(const ExportOptions& options)
{
    const QString albumFile = FindAlbumFile(options.album);
    StartMode = ModeExport;
    gAlbum = std::make_unique<Album>();
    if (!LoadAlbumInPlace(albumFile)) {
        say(stderr, QStringLiteral("tarnwick-player: no album at \"%1\" (give its folder or its information file)")
                        .arg(options.album));
        return 1;
    }
    const QString output = QFileInfo(options.output).absoluteFilePath();
    const QString problem = AviWriter::Check(output, options.size.width(), options.size.height());
    if (!problem.isEmpty()) {
        say(stderr, QStringLiteral("tarnwick-player: ") + problem);
        return 2;
    }

    // A still given here is this run's; the player's own setting stays.
    const SettingReader read = [still = options.still](QString section, QString key, QString def) {
        if (still && section == QLatin1String("Effect") && key == QLatin1String("StopTime"))
            return QString::number(*still);
        return ReadPlayerSetting(section, key, def);
    };
    RealHost host;
    host.setPaced(false);
    host.setSettingReader(read);
    QString failure;
    host.setFailureHandler([&](const QString& description) { say(stderr, QStringLiteral("tarnwick-player: ") + description); });
    HeadlessPlayerView view;
    PlayerCore core(view, host, read);
    ExportSession session(core);
    view.onClose = [&] {
        core.unload();
        QCoreApplication::quit();
    };
    VcdFrameWriter& writer = session.writer();
    writer.AviFile = output;
    writer.soundtrack = options.music ? ExportSession::AlbumMusicFiles() : QStringList();
    writer.showFailure = [&](const QString& description) {
        failure = description;
        session.stopExport();
    };
    SignalCloser closer;
    closer.onSignal = [&] { session.stopExport(); };

    ProgressLine progress(ExportLoop::PicturesToShow());
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { progress.show(session.picturesDone(), writer.framesWritten()); });
    ticker.start(500);
    QTimer::singleShot(0, [&] { session.startExport(options.size, options.staticPictures); });
    QCoreApplication::exec();
    ticker.stop();
    progress.show(session.picturesDone(), writer.framesWritten());
    progress.end();

    if (!writer.finish() && failure.isEmpty())
        failure = writer.lastError();
    if (!failure.isEmpty()) {
        say(stderr, QStringLiteral("tarnwick-player: ") + failure);
        return 1;
    }
    const std::int64_t frames = writer.framesWritten();
    const double seconds = progress.elapsedMs() / 1000.0;
    say(stdout, QStringLiteral("%1: %2 frames, %3 of video, %4 MB, %5 frames a second")
                    .arg(output)
                    .arg(frames)
                    .arg(frmProcess::ElapsedText(frames * 1000 / kFramesPerSecond))
                    .arg(QFileInfo(output).size() / 1e6, 0, 'f', 1)
                    .arg(seconds > 0 ? frames / seconds : 0.0, 0, 'f', 1));
    return 0;
}

} // namespace tarnwick
