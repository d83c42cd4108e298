// The about box: what it shows of the album, where its links lead (and the
// "http://" put in front of a bare web address for the rest of the run),
// its buttons and keys, and how the player window opens it.

// ours
#include "desktopactions.h"
#include "frmabout.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

// std
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Readable failures: gtest prints texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tarnwick {
namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(folder.path());
        saved = Desktop();
        Desktop().openUrl = [this](const QUrl& url) {
            opened << url.toString();
            return true;
        };
        Desktop().startProgram = [](const QString&) { return false; };
        Desktop().findExecutable = [](const QString&) { return QString(); };
        Desktop().showMessage = [this](QWidget* parent, const QString& text) {
            messages << text;
            messageParent = parent;
        };
    }
    void TearDown() override
    {
        Desktop() = saved;
        ResetSession();
    }
    static void loadAlbum(const QString& albumSection)
    {
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(QStringLiteral("[Album]\n") + albumSection);
    }
    static QString text(const frmAbout& box, const QString& name)
    {
        if (const auto* label = box.findChild<QLabel*>(name))
            return label->text();
        return box.findChild<QPlainTextEdit*>(name)->toPlainText();
    }
    static void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, {});
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, {}, {});
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }

    QTemporaryDir folder;
    DesktopActions saved;
    QStringList opened, messages;
    QWidget* messageParent = nullptr;
};

TEST_F(AboutBox, ShowsTheAlbumsTexts)
{
    struct Case {
        const char* album;
        QString title, author, web, email, info, description, other;
    } cases[] = {
        {"Title=Summer by the sea\nAuthor=A. Person\nWeb=www.example.org\nEMail=a@example.org\n"
         "InfoLine=3 categories\nPictureWidth=640\nPictureHeight=480\n"
         "Description=First line\\nSecond line\nOtherInfo=Made by hand\n",
         "Summer by the sea", "A. Person", "www.example.org", "a@example.org", "3 categories  (640 x 480)",
         "First line\nSecond line", "Made by hand"},
        // Markup is shown as written; missing values leave blanks and a 0 x 0 size.
        {"Title=<b>Bold</b>\n", "<b>Bold</b>", "", "", "", "  (0 x 0)", "", ""},
        {"PictureWidth=1024\nPictureHeight=768\n", "", "", "", "", "  (1024 x 768)", "", ""},
    };
    for (const Case& c : cases) {
        loadAlbum(c.album);
        const frmAbout box;
        EXPECT_EQ(box.windowTitle(), "About " + c.title) << c.album;
        const QString expected[] = {c.title, c.author, c.web, c.email, c.info};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(text(box, QStringLiteral("lblContent_%1").arg(i)), expected[i]) << c.album << i;
        EXPECT_EQ(text(box, "txt_0"), c.description) << c.album;
        EXPECT_EQ(text(box, "txt_1"), c.other) << c.album;
    }

    const frmAbout box;
    for (const char* link : {"lblContent_2", "lblContent_3"}) {
        const auto* label = box.findChild<QLabel*>(link);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << link;
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor) << link;
    }
    EXPECT_EQ(PictureSizeText(640.0f, 480.5f), "(640 x 480.5)");
}

TEST_F(AboutBox, LinksOpenTheirAddresses)
{
    struct Case {
        const char* name;
        QString web, email;
        int index;      // the label clicked, twice
        QStringList opened;
        QString webAfter; // the album's address afterwards
    } cases[] = {
        {"bare web address", "www.example.org", "", 2,
         {"http://www.example.org", "http://www.example.org"}, "http://www.example.org"},
        {"capital scheme", "HTTP://WWW.EXAMPLE.ORG", "", 2,
         {"http://www.example.org", "http://www.example.org"}, "HTTP://WWW.EXAMPLE.ORG"},
        {"secure address", "https://www.example.org", "", 2,
         {"https://www.example.org", "https://www.example.org"}, "https://www.example.org"},
        {"empty web address", "", "a@example.org", 2, {}, ""},
        {"e-mail", "www.example.org", "a@example.org", 3,
         {"mailto:a@example.org", "mailto:a@example.org"}, "www.example.org"},
        {"empty e-mail", "www.example.org", "", 3, {}, "www.example.org"},
        {"info label", "www.example.org", "a@example.org", 4, {}, "www.example.org"},
    };
    for (const Case& c : cases) {
        loadAlbum(QStringLiteral("Web=%1\nEMail=%2\n").arg(c.web, c.email));
        opened.clear();
        frmAbout box;
        box.lblContent_Click(c.index);
        box.lblContent_Click(c.index);
        EXPECT_EQ(opened, c.opened) << c.name;
        EXPECT_EQ(gAlbum->Web(), c.webAfter) << c.name;
    }

    // The prefix stays for the run: a later box shows it; a mouse click on
    // the label is a link click, a right click is not.
    loadAlbum("Web=www.example.org\nEMail=a@example.org\n");
    opened.clear();
    frmAbout(nullptr).lblContent_Click(2);
    frmAbout box;
    EXPECT_EQ(text(box, "lblContent_2"), "http://www.example.org");
    click(box.findChild<QLabel*>("lblContent_3"), Qt::RightButton);
    click(box.findChild<QLabel*>("lblContent_1"));
    click(box.findChild<QLabel*>("lblContent_3"));
    EXPECT_EQ(opened, (QStringList{"http://www.example.org", "mailto:a@example.org"}));
}

TEST_F(AboutBox, ButtonsAndKeysCloseOrStartSysInfo)
{
    loadAlbum("Title=Trip\n");
    QWidget owner;
    owner.setWindowIcon(QIcon(QPixmap(16, 16)));

    QPointer<frmAbout> first = ShowAboutBox(&owner);
    QPointer<frmAbout> second = ShowAboutBox(&owner);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_FALSE(first->windowIcon().isNull());
    EXPECT_FALSE(first->findChild<QLabel*>("Image1")->pixmap().isNull());
    EXPECT_TRUE(first->findChild<QPushButton*>("cmdOK")->isDefault());

    first->findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(messages, QStringList{"System Information Is Unavailable At This Time"});
    EXPECT_EQ(messageParent, first.data());
    EXPECT_TRUE(first->isVisible());

    // Return presses OK, Escape closes; each box goes away on its own.
    for (QPointer<frmAbout>* box : {&first, &second}) {
        QKeyEvent key(QEvent::KeyPress, box == &first ? Qt::Key_Return : Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box->data(), &key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box->isNull());
    }
}

} // namespace
} // namespace tarnwick
