#include "monitorrecorder.h"

// Qt
#include <QAudioDevice>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

// std
#include <optional>

namespace tarnwick::testing {

namespace {

constexpr int kSetupCapMs = 5000;

// Runs a pactl command; its trimmed output, or nothing when it failed.
std::optional<QString> pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(kSetupCapMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool qtKnowsSink(const QString& sink)
{
    for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
        if (device.id() == sink.toUtf8())
            return true;
    }
    return false;
}

} // namespace

QString MonitorRecorder::unavailableReason()
{
    if (!pactl({QStringLiteral("info")}))
        return QStringLiteral("no PulseAudio server answers `pactl info`");
    return {};
}

MonitorRecorder::MonitorRecorder()
{
    // A new name each time: Qt would take a sink that is being removed for
    // the new one of the same name.
    static int made = 0;
    m_sink = QStringLiteral("tarnwick_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    const std::optional<QString> module = pactl(
        {QStringLiteral("load-module"), QStringLiteral("module-null-sink"), QStringLiteral("sink_name=") + m_sink});
    if (!module) {
        m_error = QStringLiteral("cannot load a null sink");
        return;
    }
    m_module = *module;
    if (!WaitFor([this] { return qtKnowsSink(m_sink); }, kSetupCapMs)) {
        m_error = QStringLiteral("Qt does not list the sink ") + m_sink;
        return;
    }
    qputenv("PULSE_SINK", m_sink.toUtf8());
    m_parec.start(QStringLiteral("parec"),
                  {QStringLiteral("-d"), m_sink + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                   QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                   QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--latency-msec=10")});
    // An idle null sink hands its monitor the first samples only after up
    // to two seconds, and sound played before then is partly lost.
    if (!m_parec.waitForStarted(kSetupCapMs) || !WaitFor([this] { return recordedMs() > 0; }, kSetupCapMs))
        m_error = QStringLiteral("parec does not record ") + m_sink + QStringLiteral(".monitor");
}

MonitorRecorder::~MonitorRecorder()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished(kSetupCapMs);
    }
    qunsetenv("PULSE_SINK");
    if (!m_module.isEmpty() && pactl({QStringLiteral("unload-module"), m_module})) {
        // Let Qt see the sink go before the next test makes its outputs.
        WaitFor([this] { return !qtKnowsSink(m_sink); }, kSetupCapMs);
    }
}

const std::vector<std::int16_t>& MonitorRecorder::samples()
{
    m_pending += m_parec.readAllStandardOutput();
    const qsizetype whole = m_pending.size() / 2 * 2;
    for (qsizetype i = 0; i < whole; i += 2) {
        const auto low = static_cast<std::uint8_t>(m_pending[i]);
        const auto high = static_cast<std::uint8_t>(m_pending[i + 1]);
        m_samples.push_back(static_cast<std::int16_t>(low | (high << 8)));
    }
    m_pending.remove(0, whole);
    return m_samples;
}

int MonitorRecorder::recordedMs()
{
    return static_cast<int>(samples().size() * 1000 / kRate);
}

bool WaitFor(const std::function<bool()>& done, int capMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(capMs, &loop, &QEventLoop::quit);
    if (done())
        return true;
    poll.start(10);
    loop.exec();
    return done();
}

void RunEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tarnwick::testing
