// The dialogs offscreen, on a program folder of their own and desktop actions that record their calls.

#include "desktopactions.h"
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "dlgparameter.h"
#include "frmabout.h"
#include "playersettings.h"
#include "programfolder.h"
#include "registrystore.h"
#include "session.h"
#include "sysinfo.h"
#include "testfiles.h"

#include <QtWidgets>

#include <memory>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tarnwick::test {
namespace {

using testing::writeBytes;

const QString kUnavailable = "System Information Is Unavailable At This Time";

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(m_folder.path());
        m_saved = Desktop();
        Desktop().openUrl = [this](const QUrl& url) { return opened << url.toString(), true; };
        Desktop().startProgram = [this](const QString& program) { return started << program, startSucceeds; };
        Desktop().findExecutable
            = [this](const QString& name) { return onPath.contains(name) ? "/opt/bin/" + name : ""; };
        Desktop().showMessage
            = [this](QWidget* parent, const QString& text) { messages << text, messageParent = parent; };
    }
    void TearDown() override
    {
        Desktop() = m_saved;
        ResetSession();
    }
    void WriteFile(const QString& path, const QString& text) { ASSERT_TRUE(writeBytes(path, text.toUtf8())); }
    QString File() const { return m_folder.path() + "/playerprofile.ini"; }
    // Lines end in CR LF, as the player writes them.
    void WriteSettings(QString text) { WriteFile(File(), text.replace('\n', "\r\n")); }
    QByteArray SettingsBytes() const { return testing::readBytes(File()); }

    QTemporaryDir m_folder;
    DesktopActions m_saved;
    QStringList opened, started, messages, onPath;
    QWidget* messageParent = nullptr;
    bool startSucceeds = true;
};

// Effects with two items, one item and ItemNumbers missing (five rows), no name, an item past row five.
const QString kEffectSettings =
    "[Effect]\nEffect_1=Blend\nCaption_1=Blend\nEffect_2=Drag\nCaption_2=Drag\nCaption_3=Nameless\n"
    "Effect_4=Matrix\nCaption_4=Grid\n[Blend]\nItem_1=BlendTimes(How many?)\nBlendTimes(How many?)=40\n"
    "[Drag]\nItemNumbers=2\nItem_1=DragTimes\nItem_2=DragInterval(ms)\nDragTimes=100\nDragInterval(ms)=20\n"
    "[Matrix]\nItemNumbers=7\nItem_7=G\nG=7\n";

void Press(QWidget* widget, int key, const QString& text = {}, Qt::KeyboardModifiers mods = {})
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(widget, &press);
}

template <class T>
T* Control(const QWidget& dialog, const QString& name)
{
    T* control = dialog.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

// Row by row, what `controls` show joined by '|': a slider its value, a button + or - (enabled or not).
QStringList Rows(const QDialog& dialog, const QStringList& controls)
{
    QStringList rows;
    for (int i = 0; dialog.findChild<QWidget*>(ElementName(controls[0], i)); ++i) {
        QStringList row;
        for (const QString& control : controls) {
            const QWidget* widget = Control<QWidget>(dialog, ElementName(control, i));
            if (const auto* label = qobject_cast<const QLabel*>(widget))
                row << label->text();
            else if (const auto* box = qobject_cast<const QLineEdit*>(widget))
                row << box->text();
            else if (const auto* slider = qobject_cast<const QScrollBar*>(widget))
                row << QString::number(slider->value());
            else
                row << (widget->isEnabled() ? "+" : "-");
        }
        rows << row.join('|');
    }
    return rows;
}

// The last row's `lineName` lies `step` per row below `firstY`; the dialog is `height` tall, OK at its bottom.
void ExpectLayout(const QDialog& dialog, const QString& lineName, int rows, int firstY, int step, int height)
{
    EXPECT_EQ(Control<QWidget>(dialog, ElementName(lineName, rows - 1))->y(), firstY + step * (rows - 1));
    EXPECT_EQ(dialog.height(), height);
    EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), height - 25 - 7);
}

TEST_F(Dialogs, DetailRowsComeFromTheEffectsSection)
{
    // Rows are item|value; the design's height of 310 takes five, each further one adds 40.
    const struct { std::int16_t effect; QString name; QStringList rows; int height; } cases[] = {
        {2, "Drag", {"DragTimes|100", "DragInterval(ms)|20"}, 310},
        {1, "Blend", {"BlendTimes(How many?)|40", "|", "|", "|", "|"}, 310},
        {3, "Nameless", QStringList(5, "|"), 310},
        {4, "Grid", {"|", "|", "|", "|", "|", "|", "G|7"}, 390},
    };
    WriteSettings(kEffectSettings);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        const dlgDetail dialog(c.effect);
        EXPECT_EQ(dialog.windowTitle(), "Effect Detail(" + c.name + ")");
        EXPECT_EQ(Rows(dialog, {"lblItem", "txtValue"}), c.rows);
        ExpectLayout(dialog, "txtValue", int(c.rows.size()), 8, 40, c.height);
    }
}

// One effect per slider position, shares unset.
QString Effects(const QList<int>& values)
{
    QString text = QString("[Effect]\nEffectNumber=%1\n").arg(values.size());
    for (int i = 0; i < values.size(); ++i)
        text += QString("Caption_%1=E%1\nPercent_%1=x\nSlideValue_%1=%2\n").arg(i + 1).arg(values[i]);
    return text;
}

TEST_F(Dialogs, ParameterRowsFollowTheSettingsAndOpenTheirDetails)
{
    // Rows are name|share|slider|detail button; the design's 380 takes five rows, each further one adds 60.
    // The enabled buttons, clicked from the last row up, open the details of `details`.
    struct Case { QString settings; QStringList rows; QString stillTime; int height; QStringList details; };
    const Case cases[] = {
        {"[Effect]\nEffectNumber=3\nCaption_1=Blend\nPercent_1=50\nSlideValue_1=10\nHasDetail_1=0\n"
         "Caption_2=Drag\nPercent_2=50\nSlideValue_2=10\nHasDetail_2=1\nSlideValue_3=250\n[Stop]\nStopTime=7\n",
            {"Blend|50%|10|+", "Drag|50%|10|+", "|%|0|-"}, "7", 380, {"Drag", "Blend"}},
        {Effects({1, 2, 3, 4, 5, 6, 7, 8}), {"E1|x%|1|+", "E2|x%|2|-", "E3|x%|3|-", "E4|x%|4|-", "E5|x%|5|-",
            "E6|x%|6|-", "E7|x%|7|-", "E8|x%|8|-"}, "5", 560, {"E1"}},
        {"[Effect]\nEffectNumber=many\nCaption_1=Blend\n",
            {"Effect Name|Effect show perhaps ratio percent|0|+"}, "5", 380, {"Blend"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        WriteSettings(c.settings);
        QWidget owner;
        const QPointer<dlgParameter> dialog = OpenParameterDialog(&owner);
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(dialog->isVisible() && !dialog->isModal() && dialog->parentWidget() == &owner);
        EXPECT_EQ(Rows(*dialog, {"lblName", "lblPercent", "sldAdjust", "cmdSetting"}), c.rows);
        EXPECT_EQ(Control<QLineEdit>(*dialog, "txtStaticSecond")->text(), c.stillTime);
        ExpectLayout(*dialog, "Line1", int(c.rows.size()), 58, 60, c.height);
        for (int i = int(c.rows.size()) - 1; i >= 0; --i)
            Control<QPushButton>(*dialog, ElementName("cmdSetting", i))->click();
        QStringList details;
        for (const dlgDetail* detail : dialog->findChildren<dlgDetail*>())
            details << detail->windowTitle().sliced(14).chopped(1); // "Effect Detail(Drag)"
        EXPECT_EQ(details, c.details);
    }
}

TEST_F(Dialogs, MovingASliderStoresEveryShare)
{
    // Rows are share|slider, shown and stored alike; `to` -1 is a push against the lower end.
    struct Case { QList<int> values; int moved, to; QStringList rows; };
    const Case cases[] = {
        {{0, 1, 1}, 0, 1, {"33%|1", "33%|1", "33%|1"}}, {{1, 0}, 1, 2, {"33%|1", "67%|2"}},
        {{13, 12, 13}, 2, 0, {"52%|13", "48%|12", "0%|0"}},
        {{1, 0}, 1, 7, {"12%|1", "88%|7"}}, // 12.5 and 87.5: halves to even
        {{0, 0, 0}, 1, -1, {"0%|0", "100%|1", "0%|0"}}, // all at 0: the pushed one gets 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        WriteSettings(Effects(c.values));
        dlgParameter dialog;
        QScrollBar* slider = Control<QScrollBar>(dialog, ElementName("sldAdjust", c.moved));
        if (c.to < 0)
            slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            slider->setValue(c.to);
        EXPECT_EQ(Rows(dialog, {"lblPercent", "sldAdjust"}), c.rows);
        QStringList stored;
        for (int i = 1; i <= c.values.size(); ++i)
            stored << ReadPlayerSetting("Effect", QString("Percent_%1").arg(i), "") + "%|"
                          + ReadPlayerSetting("Effect", QString("SlideValue_%1").arg(i), "");
        EXPECT_EQ(stored, c.rows);
    }
}

TEST_F(Dialogs, NumberBoxesTakeDigitsAndBackspaceOnly)
{
    // The still-time box beeps at a dropped key, the detail boxes do not.
    // Box 0 is the still time, which beeps at a dropped key; box 1 a detail value, which does not.
    struct Key { int box, key; const char *text, *shown; int beeps; Qt::KeyboardModifiers mods = {}; };
    const Key keys[] = {
        {0, Qt::Key_1, "1", "51", 0}, {0, Qt::Key_A, "a", "51", 1}, {0, Qt::Key_Minus, "-", "51", 2},
        {0, Qt::Key_Space, " ", "51", 3}, {0, Qt::Key_V, "\x16", "51", 4, Qt::ControlModifier}, // paste
        {0, Qt::Key_Backspace, "\b", "5", 4}, {0, Qt::Key_Left, "", "5", 4}, {0, Qt::Key_0, "0", "05", 4},
        {1, 0, "-", "20", 0}, {1, 0, ".", "20", 0}, {1, 0, "e", "20", 0}, {1, 0, "+", "20", 0},
        {1, Qt::Key_5, "5", "205", 0}, {1, Qt::Key_Backspace, "\b", "20", 0},
    };
    WriteSettings(kEffectSettings);
    dlgParameter parameters;
    dlgDetail detail(2);
    const QDialog* const dialogs[] = {&parameters, &detail};
    QLineEdit* const boxes[]
        = {Control<QLineEdit>(parameters, "txtStaticSecond"), Control<QLineEdit>(detail, "txtValue_1")};
    boxes[1]->end(false);
    for (const auto& k : keys) {
        Press(boxes[k.box], k.key, QString::fromLatin1(k.text), k.mods);
        EXPECT_EQ(boxes[k.box]->text(), k.shown) << k.text;
        int beeps = 0;
        for (const DigitKeyFilter* filter : dialogs[k.box]->findChildren<DigitKeyFilter*>())
            beeps += filter->Beeps();
        EXPECT_EQ(beeps, k.beeps) << k.text;
    }
}

TEST_F(Dialogs, OkStoresWhatTheBoxesShowEscapeStoresNothing)
{
    // Typed into the still-time box (detailOf 0) or the detail's value boxes in row order; key 0 clicks OK.
    // Stored as "section/key=value", none: the file stays as it was. The folder gone, the settings cannot be
    // written: a warning, and OK closes all the same.
    struct Case { int detailOf; QStringList typed; int key; QStringList stored; bool folderGone = false; };
    const Case cases[] = {
        {0, {"12"}, 0, {"Stop/StopTime=12"}}, {0, {"9"}, Qt::Key_Return, {"Stop/StopTime=9"}},
        {0, {"  "}, 0, {}}, {0, {"30"}, Qt::Key_Escape, {}}, {0, {"12"}, 0, {}, true},
        {2, {"250", ""}, 0, {"Drag/DragTimes=250", "Drag/DragInterval(ms)="}},
        {2, {"007", "20"}, Qt::Key_Return, {"Drag/DragTimes=007", "Drag/DragInterval(ms)=20"}},
        {2, {"1", "2"}, Qt::Key_Escape, {}}, {2, {"12"}, 0, {}, true},
        {1, {"60", "1", "2"}, 0, {"Blend/BlendTimes(How many?)=60"}}, // rows without an item store nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        WriteSettings(kEffectSettings + "[Stop]\nStopTime=5\n");
        const QByteArray before = SettingsBytes();
        const std::unique_ptr<QDialog> dialog(c.detailOf ? static_cast<QDialog*>(new dlgDetail(c.detailOf))
                                                         : new dlgParameter);
        dialog->show();
        const auto box = [&](int i) {
            return Control<QLineEdit>(*dialog, c.detailOf ? ElementName("txtValue", i) : "txtStaticSecond");
        };
        for (int i = 0; i < c.typed.size(); ++i)
            box(i)->setText(c.typed[i]);
        QString warned;
        if (c.folderGone) {
            SetProgramFolder(m_folder.path() + "/gone"); // after the dialog has read the settings
            QTimer::singleShot(0, dialog.get(), [&warned] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    warned = box->icon() == QMessageBox::Warning ? box->text() : "not a warning";
                    box->accept();
                }
            });
        }
        if (c.key)
            Press(box(0), c.key);
        else
            Control<QPushButton>(*dialog, "OKButton")->click();
        SetProgramFolder(m_folder.path());
        EXPECT_EQ(warned.contains("/gone/playerprofile.ini"), c.folderGone) << warned.toStdString();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), c.key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted);
        for (const QString& entry : c.stored) {
            const QString key = entry.section('=', 0, 0);
            EXPECT_EQ(ReadPlayerSetting(key.section('/', 0, 0), key.section('/', 1), "-"), entry.section('=', 1));
        }
        EXPECT_TRUE(!c.stored.isEmpty() || SettingsBytes() == before);
        EXPECT_FALSE(SettingsBytes().contains("\n=")) << "a value was stored under an empty key";
    }
}

TEST_F(Dialogs, AboutBoxShowsTheAlbumsTextsItsMailLinkAndItsKeysCloseIt)
{
    // Shown: lblContent_0 to 4 (title, author, web, e-mail, info), txt_0 and txt_1. The key is OK's or close.
    const struct { const char* album; QStringList shown; int closeKey; } cases[] = {
        {"Title=Summer by the sea\nAuthor=A. Person\nWeb=www.example.org\nEMail=a@example.org\n"
         "InfoLine=3 categories\nPictureWidth=640\nPictureHeight=480\n"
         "Description=First line\\nSecond line\nOtherInfo=Made by hand\n",
         {"Summer by the sea", "A. Person", "www.example.org", "a@example.org", "3 categories  (640 x 480)",
          "First line\nSecond line", "Made by hand"}, Qt::Key_Return},
        // Markup is shown as written; missing values leave blanks and the default size.
        {"Title=<b>Bold</b>\n", {"<b>Bold</b>", "", "", "", "  (800 x 600)", "", ""}, Qt::Key_Escape},
    };
    QWidget owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.album);
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(QString("[Album]\n") + c.album);
        messages.clear();
        const QPointer<frmAbout> box = ShowAboutBox(&owner);
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isVisible() && !box->isModal() && box->parentWidget() == &owner);
        EXPECT_EQ(box->windowTitle(), "About " + c.shown[0]);
        QStringList shown;
        for (int i = 0; i < 5; ++i)
            shown << Control<QLabel>(*box, QString("lblContent_%1").arg(i))->text();
        for (int i = 0; i < 2; ++i)
            shown << Control<QPlainTextEdit>(*box, QString("txt_%1").arg(i))->toPlainText();
        EXPECT_EQ(shown, c.shown);
        // A left click on the e-mail label is a link click, a right one is not.
        opened.clear();
        QWidget* label = Control<QLabel>(*box, "lblContent_3");
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton})
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent event(type, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), button,
                                  type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
                QApplication::sendEvent(label, &event);
            }
        EXPECT_EQ(opened, c.shown[3].isEmpty() ? QStringList() : QStringList{"mailto:" + c.shown[3]});
        Control<QPushButton>(*box, "cmdSysInfo")->click(); // no tool anywhere
        EXPECT_EQ(messages, QStringList{kUnavailable});
        EXPECT_EQ(messageParent, box.data());
        Press(box, c.closeKey); // the box deletes itself
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull());
    }
}

TEST_F(Dialogs, AboutLinksOpenTheirAddresses)
{
    // The label `index` is clicked twice, opening `opened` each time; the album's address is `webAfter` then.
    const struct { QString web, email; int index; QString opened, webAfter; } cases[] = {
        {"www.example.org", "", 2, "http://www.example.org", "http://www.example.org"},
        {"HTTP://WWW.EXAMPLE.ORG", "", 2, "http://www.example.org", "HTTP://WWW.EXAMPLE.ORG"},
        {"https://www.example.org", "", 2, "https://www.example.org", "https://www.example.org"},
        {"", "a@example.org", 2, "", ""},
        {"www.example.org", "a@example.org", 4, "", "www.example.org"}, // the information line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.web.toStdString() + " " + c.email.toStdString());
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(QString("[Album]\nWeb=%1\nEMail=%2\n").arg(c.web, c.email));
        opened.clear();
        frmAbout box;
        box.lblContent_Click(c.index);
        box.lblContent_Click(c.index);
        EXPECT_EQ(opened, c.opened.isEmpty() ? QStringList() : QStringList({c.opened, c.opened}));
        EXPECT_EQ(gAlbum->Web(), c.webAfter);
    }
}

TEST_F(Dialogs, StartSysInfoTriesTheRegistryThenThePathThenGivesUp)
{
    const auto msinfo = [](const QString& value) {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=" + value + "\n";
    };
    const QString location
        = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%DIR%\\tools\n";
    const QString tooLong = "hex(1):" + QString("41,").repeated(1024) + "00"; // 1025 bytes: more than fits
    const struct {
        QString registry;
        bool toolFile; // tools/msinfo32.exe exists
        QStringList onPath;
        bool startSucceeds;
        QString started; // "": nothing is started
        bool message;
    } cases[] = {
        {msinfo("/usr/bin/msinfo") + location, true, {"hardinfo"}, true, "/usr/bin/msinfo", false},
        {msinfo("/usr/bin/msinfo"), false, {"hardinfo"}, false, "/usr/bin/msinfo", true}, // no other try
        {msinfo("hex(1):2f,78,00"), false, {}, true, "/x", false}, // a string written as its bytes
        {msinfo(tooLong) + location, true, {}, true, "%DIR%/tools/msinfo32.exe", false},
        {location, false, {"kinfocenter", "hardinfo"}, true, "/opt/bin/hardinfo", false},
        {"", false, {"hardinfo2"}, false, "/opt/bin/hardinfo2", true},
        {"", false, {}, true, "", true},
    };
    const QString dir = m_folder.path();
    QDir(dir).mkpath("tools");
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        WriteFile(RegistryStore::StoreFile(), QString(c.registry).replace("%DIR%", dir));
        QFile::remove(dir + "/tools/msinfo32.exe");
        if (c.toolFile)
            WriteFile(dir + "/tools/msinfo32.exe", "");
        onPath = c.onPath;
        startSucceeds = c.startSucceeds;
        started.clear();
        messages.clear();
        StartSysInfo();
        const QString expected = QString(c.started).replace("%DIR%", dir);
        EXPECT_EQ(started, expected.isEmpty() ? QStringList() : QStringList{expected});
        EXPECT_EQ(messages, c.message ? QStringList{kUnavailable} : QStringList());
    }
}

} // namespace
} // namespace tarnwick::test
