// The about box: what it shows of the album, where its links lead (and the
// "http://" put in front of a bare web address for the rest of the run),
// and how its buttons and keys close it or start System Info.

// ours
#include "dialogfixture.h"
#include "frmabout.h"

// Qt
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace tarnwick::test {
namespace {

class AboutBox : public DialogTest {
protected:
    static void LoadAlbum(const QString& albumSection)
    {
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(QStringLiteral("[Album]\n") + albumSection);
    }
    static QString Text(const frmAbout& box, const QString& name)
    {
        if (const auto* label = box.findChild<QLabel*>(name))
            return label->text();
        return Control<QPlainTextEdit>(box, name)->toPlainText();
    }
};

TEST_F(AboutBox, ShowsTheAlbumsTexts)
{
    struct Case {
        const char* album;
        QStringList shown; // lblContent_0 to 4 (title, author, web, e-mail, info), txt_0 and txt_1
    } cases[] = {
        {"Title=Summer by the sea\nAuthor=A. Person\nWeb=www.example.org\nEMail=a@example.org\n"
         "InfoLine=3 categories\nPictureWidth=640\nPictureHeight=480\n"
         "Description=First line\\nSecond line\nOtherInfo=Made by hand\n",
         {"Summer by the sea", "A. Person", "www.example.org", "a@example.org", "3 categories  (640 x 480)",
          "First line\nSecond line", "Made by hand"}},
        // Markup is shown as written; missing values leave blanks and a 0 x 0 size.
        {"Title=<b>Bold</b>\n", {"<b>Bold</b>", "", "", "", "  (800 x 600)", "", ""}},
    };
    for (const Case& c : cases) {
        LoadAlbum(c.album);
        const frmAbout box;
        EXPECT_EQ(box.windowTitle(), "About " + c.shown[0]) << c.album;
        for (int i = 0; i < 7; ++i) {
            const QString name = i < 5 ? QStringLiteral("lblContent_%1").arg(i) : QStringLiteral("txt_%1").arg(i - 5);
            EXPECT_EQ(Text(box, name), c.shown[i]) << c.album << name.toStdString();
        }
    }
    EXPECT_EQ(PictureSizeText(640.0f, 480.5f), "(640 x 480.5)");
}

TEST_F(AboutBox, LinksOpenTheirAddresses)
{
    struct Case {
        QString web, email;
        int index;        // the label clicked, twice
        QString opened;   // each time
        QString webAfter; // the album's address afterwards
    } cases[] = {
        {"www.example.org", "", 2, "http://www.example.org", "http://www.example.org"},
        {"HTTP://WWW.EXAMPLE.ORG", "", 2, "http://www.example.org", "HTTP://WWW.EXAMPLE.ORG"},
        {"https://www.example.org", "", 2, "https://www.example.org", "https://www.example.org"},
        {"", "a@example.org", 2, "", ""},
        {"www.example.org", "a@example.org", 3, "mailto:a@example.org", "www.example.org"},
        {"www.example.org", "", 3, "", "www.example.org"},
        {"www.example.org", "a@example.org", 4, "", "www.example.org"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.web.toStdString() + " " + c.email.toStdString());
        LoadAlbum(QStringLiteral("Web=%1\nEMail=%2\n").arg(c.web, c.email));
        opened.clear();
        frmAbout box;
        box.lblContent_Click(c.index);
        box.lblContent_Click(c.index);
        EXPECT_EQ(opened, c.opened.isEmpty() ? QStringList() : QStringList({c.opened, c.opened}));
        EXPECT_EQ(gAlbum->Web(), c.webAfter);
    }

    // The prefix stays for the run: a later box shows it. A left mouse click
    // on the label is a link click, a right click is not.
    frmAbout().lblContent_Click(2);
    opened.clear();
    frmAbout box;
    EXPECT_EQ(Text(box, "lblContent_2"), "http://www.example.org");
    QWidget* label = Control<QLabel>(box, "lblContent_3");
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
            QApplication::sendEvent(label, &event);
        }
    }
    EXPECT_EQ(opened, QStringList{"mailto:a@example.org"});
}

TEST_F(AboutBox, SysInfoWithoutAToolSaysSoAndKeysCloseTheBox)
{
    LoadAlbum("Title=Trip\n");
    QWidget owner;
    QPointer<frmAbout> box = ShowAboutBox(&owner);
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible() && !box->isModal() && box->parentWidget() == &owner);
    Control<QPushButton>(*box, "cmdSysInfo")->click();
    EXPECT_EQ(messages, QStringList{"System Information Is Unavailable At This Time"});
    EXPECT_EQ(messageParent, box.data());

    // Return presses OK, Escape closes; each box goes away on its own.
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QPointer<frmAbout> shown = ShowAboutBox(&owner);
        Press(shown, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(shown.isNull()) << key;
    }
}

} // namespace
} // namespace tarnwick::test
