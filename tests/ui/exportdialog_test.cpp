// The export dialog as a user drives it: "/2" shows "Export Avi (VCD
// Source File)" and nothing else; its close box is refused; Start plays the
// album into the preview and the file; Stop asks first (Cancel keeps the
// run going, OK ends the program with a file that plays); the session's
// end before Start ends the program; a run left alone ends the program by
// itself at the end of the album.

// ours
#include "colouralbum.h"
#include "displaytrace.h"
#include "x11session.h"

// Qt
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

// std
#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

const QString kTitle = QStringLiteral("^Export Avi \\(VCD Source File\\)$");
// Button centres in the dialog (design twips at 15 to the pixel); Stop's
// row moves up a pixel once the preview takes the frame's height.
const QPoint kStart(182, 368);
const QPoint kStop(246, 367);
const QPoint kPreviewCentre(180, 148);

int probedFrames(const QString& file)
{
    const QStringList out = run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                            "stream=nb_read_frames", "-of", "csv=p=0", file});
    return out.isEmpty() ? -1 : out.first().trimmed().toInt();
}

// Answers the stop question with `keys` (Return takes the default, Cancel).
bool answerStopQuestion(const QString& dialog, const QStringList& keys)
{
    pointAt(dialog, kStop, 1);
    const QStringList box = waitForWindows("^tarnwick-player$", 10000);
    if (box.size() != 1)
        return false;
    run("xdotool", {"windowfocus", "--sync", box.first()});
    run("xdotool", QStringList{"key"} + keys);
    for (int i = 0; i < 100 && !waitForWindows("^tarnwick-player$", 100).isEmpty(); ++i)
        QThread::msleep(50);
    return true;
}

class ExportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = x11Unavailable();
        if (!why.isEmpty())
            GTEST_SKIP() << why.toStdString();
    }
    // "/2" for the colour album, into `video` in the output folder.
    QString exportLine(const ColourAlbum& album, const QString& video) const
    {
        return album.commandLine().replace(0, 2, QStringLiteral("/2")) + QLatin1Char('*') + m_out.filePath(video);
    }

    PrivateDisplay m_display;
    QTemporaryDir m_root;
    QTemporaryDir m_out;
};

TEST_F(ExportDialog, CloseBoxIsRefusedAndStopAsksBeforeItEndsTheRunWithAFileThatPlays)
{
    const ColourAlbum album(m_root.path(), {"30", 2});
    ASSERT_TRUE(album.ok());
    PlayerProcess player(exportLine(album, "stopped.avi"), album.programFolder());
    const QStringList windows = waitForWindows(kTitle, 20000);
    ASSERT_EQ(windows.size(), 1) << "no export dialog appeared";
    EXPECT_TRUE(waitForWindows("Tarnwick Album Player", 500).isEmpty()) << "the player window shows";

    askToClose(windows.first());
    QThread::msleep(500);
    EXPECT_EQ(waitForWindows(kTitle, 500).size(), 1);

    pointAt(windows.first(), kStart, 1);
    const WindowPixels pixels(windows.first());
    DisplayTrace preview(pixels, kPreviewCentre);
    EXPECT_TRUE(preview.until([](const DisplayTrace& t) { return t.saw("background"); }, 20000))
        << "the preview shows " << joined(preview.names());

    ASSERT_TRUE(answerStopQuestion(windows.first(), {"Return"}));
    EXPECT_EQ(player.process.state(), QProcess::Running) << "Cancel ended the run";
    ASSERT_TRUE(answerStopQuestion(windows.first(), {"shift+Tab", "space"}));
    ASSERT_TRUE(player.process.waitForFinished(20000)) << "OK did not end the program";
    EXPECT_EQ(player.process.exitCode(), 0);
    // The opening still alone is 750 frames.
    EXPECT_GE(probedFrames(m_out.filePath("stopped.avi")), 750);
}

TEST_F(ExportDialog, SessionEndBeforeStartEndsTheProgram)
{
    const ColourAlbum album(m_root.path(), {"1", 2});
    ASSERT_TRUE(album.ok());
    PlayerProcess player(exportLine(album, "never.avi"), album.programFolder());
    ASSERT_EQ(waitForWindows(kTitle, 20000).size(), 1);
    player.process.terminate();
    ASSERT_TRUE(player.process.waitForFinished(10000)) << "the program stayed without a window";
    EXPECT_EQ(player.process.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(m_out.filePath("never.avi")));
}

TEST_F(ExportDialog, RunLeftAloneEndsTheProgramAtTheEndOfTheAlbum)
{
    const ColourAlbum album(m_root.path(), {"0", 2});
    ASSERT_TRUE(album.ok());
    PlayerProcess player(exportLine(album, "whole.mp4"), album.programFolder());
    const QStringList windows = waitForWindows(kTitle, 20000);
    ASSERT_EQ(windows.size(), 1);
    pointAt(windows.first(), kStart, 1);
    ASSERT_TRUE(player.process.waitForFinished(60000)) << "the run did not end";
    EXPECT_EQ(player.process.exitCode(), 0);
    // Eight pictures of one frame each and seven Blends of 100 frames.
    EXPECT_EQ(probedFrames(m_out.filePath("whole.mp4")), 8 + 7 * 100);
}

} // namespace
} // namespace tarnwick::test
