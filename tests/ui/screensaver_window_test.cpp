// The saver as the desktop runs it, on a packed album made by the album
// maker: "/S" covers the whole screen with the pointer hidden, a right
// click leaves it running, a key or a left click ends it after the closing
// transition with what it unpacked removed; "/P" lives inside a window the
// test makes, at its size, follows its resizes and ends by itself, cleaned
// up, when that window goes away.

// ours
#include "x11session.h"

// Qt
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

// xcb
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

// std
#include <cstdlib>
#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// Geometry of a window as xwininfo gives it: x, y, width, height.
QRect geometryOf(const QString& windowId)
{
    QRect r;
    for (const QString& line : run("xwininfo", {"-id", windowId})) {
        const auto m = QRegularExpression(QStringLiteral("^\\s*(Relative upper-left X|Relative upper-left Y|Width|Height):\\s+(-?\\d+)"))
                           .match(line);
        if (!m.hasMatch())
            continue;
        const int v = m.captured(2).toInt();
        const QString what = m.captured(1);
        if (what.endsWith("X"))
            r.moveLeft(v);
        else if (what.endsWith("Y"))
            r.moveTop(v);
        else if (what == "Width")
            r.setWidth(v);
        else
            r.setHeight(v);
    }
    return r;
}

// The children of `windowId` (xwininfo's tree, one level).
QStringList childrenOf(const QString& windowId)
{
    QStringList ids;
    for (const QString& line : run("xwininfo", {"-children", "-id", windowId})) {
        const auto m = QRegularExpression(QStringLiteral("^\\s+(0x[0-9a-f]+) ")).match(line);
        if (m.hasMatch())
            ids << QString::number(m.captured(1).toUInt(nullptr, 16));
    }
    return ids;
}

// Whether the pointer shows at all: the cursor image XFixes reports has a
// pixel that is not fully transparent.
bool pointerVisible()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_xfixes_query_version_reply_t* v =
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr);
    std::free(v);
    xcb_xfixes_get_cursor_image_reply_t* image =
        xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr);
    bool visible = false;
    if (image) {
        const uint32_t* pixels = xcb_xfixes_get_cursor_image_cursor_image(image);
        for (int i = 0; i < image->width * image->height && !visible; ++i)
            visible = (pixels[i] >> 24) != 0;
        std::free(image);
    }
    xcb_disconnect(c);
    return visible;
}

// A window of the test's own on the root, as a saver settings dialog's
// preview area.
class HostWindow {
public:
    explicit HostWindow(QSize size) : m_c(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_id = xcb_generate_id(m_c);
        const uint32_t black = screen->black_pixel;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_id, screen->root, 40, 40, uint16_t(size.width()),
                          uint16_t(size.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL, &black);
        xcb_map_window(m_c, m_id);
        xcb_flush(m_c);
    }
    ~HostWindow() { xcb_disconnect(m_c); }
    QString id() const { return QString::number(m_id); }
    void resize(QSize size)
    {
        const uint32_t values[] = {uint32_t(size.width()), uint32_t(size.height())};
        xcb_configure_window(m_c, m_id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb_flush(m_c);
    }
    void destroy()
    {
        xcb_destroy_window(m_c, m_id);
        xcb_flush(m_c);
    }

private:
    xcb_connection_t* m_c;
    xcb_window_t m_id = 0;
};

template <class Done>
bool within(int ms, Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

class SaverWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString why = x11Unavailable();
        if (!why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        // Two categories of one solid photo each, packed by the album maker,
        // with quick settings: short Blends, a second a photo.
        const QStringList colours{"#d04040", "#40d040"};
        for (int i = 0; i < colours.size(); ++i) {
            QDir(m_root.path()).mkpath(QStringLiteral("photos/c%1").arg(i));
            QImage photo(320, 240, QImage::Format_RGB32);
            photo.fill(QColor(colours[i]));
            photo.save(m_root.filePath(QStringLiteral("photos/c%1/p.png").arg(i)));
        }
        const QStringList out = run(TARNWICK_BIN_DIR "/tarnwick-album-maker",
                                    {m_root.filePath("photos"), m_root.filePath("album"), "--size", "320x240", "--pack"},
                                    60000);
        for (const QString& line : out) {
            if (line.startsWith("offset="))
                m_offset = line.mid(7);
        }
        ASSERT_FALSE(m_offset.isEmpty()) << "the album maker did not pack";
        QFile settings(programFolder() + "/playerprofile.ini");
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Effect]\nEffectNumber=1\nEffect_1=Blend\nPercent_1=100\nStopTime=1\n"
                       "[Blend]\nBlendTimes(How many loop times to finish?)=5\n");
    }
    QString programFolder() const { return m_root.filePath("album/packed"); }
    QString pieces() const
    {
        return QStringLiteral("*OFFSET=%1*FILE=%2").arg(m_offset, programFolder() + "/album.pak");
    }
    int unpackedFiles() const
    {
        return QDir(programFolder() + "/ResultPicture").entryList(QDir::Files).size()
            + QDir(programFolder() + "/MainAlbum").entryList(QDir::Files).size();
    }

    PrivateDisplay m_display;
    QTemporaryDir m_root;
    QString m_offset;
};

TEST_F(SaverWindow, FullScreenHidesThePointerAndEndsOnAKeyOrALeftClickNotTheRightButton)
{
    struct Ending {
        const char* name;
        QStringList xdotool;
    };
    const Ending endings[] = {{"a key", {"key", "space"}}, {"a left click", {"click", "1"}}};
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.name);
        PlayerProcess saver("/S" + pieces(), programFolder());
        const QStringList windows = waitForWindows("Tarnwick Album Player", 20000);
        ASSERT_EQ(windows.size(), 1);
        EXPECT_EQ(geometryOf(windows.first()), QRect(0, 0, 1024, 768)); // the private display's screen
        run("xdotool", {"mousemove", "640", "512"});
        EXPECT_TRUE(within(5000, [] { return !pointerVisible(); })) << "the pointer shows";
        ASSERT_TRUE(within(10000, [&] { return unpackedFiles() > 0; }));

        run("xdotool", {"click", "3"});
        QThread::msleep(1500);
        EXPECT_EQ(saver.process.state(), QProcess::Running) << "the right button ended the saver";

        run("xdotool", e.xdotool);
        ASSERT_TRUE(saver.process.waitForFinished(20000)) << "the saver did not end";
        EXPECT_EQ(saver.process.exitCode(), 0);
        EXPECT_EQ(unpackedFiles(), 0);
        EXPECT_TRUE(pointerVisible());
    }
}

TEST_F(SaverWindow, PreviewLivesInItsWindowFollowsItsSizeAndEndsWithIt)
{
    HostWindow host(QSize(152, 112));
    PlayerProcess preview("/P " + host.id() + pieces(), programFolder());
    QStringList children;
    ASSERT_TRUE(within(20000, [&] {
        children = childrenOf(host.id());
        return !children.isEmpty() && geometryOf(children.first()).width() == 152;
    })) << "no player inside the window";
    EXPECT_EQ(geometryOf(children.first()), QRect(0, 0, 152, 112));
    ASSERT_TRUE(within(10000, [&] { return unpackedFiles() > 0; }));

    host.resize(QSize(200, 150));
    EXPECT_TRUE(within(5000, [&] { return geometryOf(children.first()).size() == QSize(200, 150); }))
        << "the player kept its size";

    QElapsedTimer clock;
    clock.start();
    host.destroy();
    ASSERT_TRUE(preview.process.waitForFinished(10000)) << "the player outlived its window";
    std::cout << "preview ended " << clock.elapsed() << " ms after its window went\n";
    EXPECT_EQ(preview.process.exitCode(), 0);
    EXPECT_EQ(unpackedFiles(), 0);
}

} // namespace
} // namespace tarnwick::test
