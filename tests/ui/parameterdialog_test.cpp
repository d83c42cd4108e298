// The screen saver's settings as a user opens them: "/c" shows the effect
// parameter dialog, a click on a slider's track stores every share at
// once, and Return presses OK, after which the program ends.

// ours
#include "x11session.h"

// Qt
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

#include <cmath>

namespace tarnwick::test {
namespace {

// The entries of section "Effect" of a settings file.
QMap<QString, QString> EffectSection(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QString> entries;
    bool inEffect = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1Char('[')))
            inEffect = line == QStringLiteral("[Effect]");
        else if (inEffect && line.contains(QLatin1Char('=')))
            entries.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return entries;
}

// The "KEY=value" lines xdotool prints for a window's geometry.
QMap<QString, int> Geometry(const QString& window)
{
    QMap<QString, int> values;
    for (const QString& line : run("xdotool", {"getwindowgeometry", "--shell", window}))
        values.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1).toInt());
    return values;
}

TEST(ParameterDialogRun, SliderClickStoresTheSharesAndOkEndsTheProgram)
{
    const QString why = x11Unavailable();
    if (!why.isEmpty())
        GTEST_SKIP() << why.toStdString();

    QTemporaryDir program;
    const QString settings = program.path() + "/playerprofile.ini";
    ASSERT_TRUE(QFile::copy(TARNWICK_BIN_DIR "/playerprofile.ini", settings));
    const QMap<QString, QString> shipped = EffectSection(settings);
    ASSERT_EQ(shipped.value("EffectNumber"), "8");

    PlayerProcess player("/c:4711", program.path());
    const QStringList windows = waitForWindows("^Transform Effect Parameter$", 20000);
    ASSERT_EQ(windows.size(), 1) << "the parameter dialog did not appear";
    const QString dialog = windows.first();
    ASSERT_EQ(Geometry(dialog).value("HEIGHT"), 560) << "eight rows, three past the design's five";

    // The first row's slider spans x 208..448 at y 8..25 of the dialog; its
    // handle sits near the left end, so a click near the right end moves
    // it up.
    run("xdotool", {"mousemove", "--window", dialog, "420", "16", "click", "1"});
    run("xdotool", {"windowfocus", "--sync", dialog});
    run("xdotool", {"key", "Return"});
    ASSERT_TRUE(player.process.waitForFinished(10000)) << "the program did not end after OK";
    EXPECT_EQ(player.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.process.exitCode(), 0);

    const QMap<QString, QString> stored = EffectSection(settings);
    const int moved = stored.value("SlideValue_1").toInt();
    EXPECT_GT(moved, shipped.value("SlideValue_1").toInt()) << "the click did not move the slider";
    QList<int> values;
    int sum = 0;
    for (int i = 1; i <= 8; ++i) {
        values << stored.value("SlideValue_" + QString::number(i)).toInt();
        sum += values.last();
    }
    for (int i = 1; i <= 8; ++i) {
        const int share = int(std::nearbyint(values[i - 1] * 100.0 / sum));
        EXPECT_EQ(stored.value("Percent_" + QString::number(i)), QString::number(share)) << i;
    }
}

} // namespace
} // namespace tarnwick::test
