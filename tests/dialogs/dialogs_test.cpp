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

#include <QtWidgets>

#include <memory>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tarnwick::test {
namespace {

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
    void WriteFile(const QString& path, const QString& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    QString File() const { return m_folder.path() + "/playerprofile.ini"; }
    // Lines end in CR LF, as the player writes them.
    void WriteSettings(QString text) { WriteFile(File(), text.replace('\n', "\r\n")); }
    QByteArray SettingsBytes() const
    {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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

// Row i's `controls` show `texts`[c][i], no row past them; rows are `step` apart; the dialog is `height` tall.
void ExpectRows(const QDialog& dialog, const QStringList& controls, const QList<QStringList>& texts,
                const QString& lineName, int firstY, int step, int height)
{
    const int rows = int(texts[0].size());
    for (int c = 0; c < controls.size(); ++c)
        for (int i = 0; i < rows; ++i) {
            const QString name = ElementName(controls[c], i);
            if (auto* label = dialog.findChild<QLabel*>(name))
                EXPECT_EQ(label->text(), texts[c][i]) << name.toStdString();
            else
                EXPECT_EQ(Control<QLineEdit>(dialog, name)->text(), texts[c][i]);
        }
    EXPECT_EQ(dialog.findChild<QWidget*>(ElementName(controls.last(), rows)), nullptr);
    EXPECT_EQ(Control<QWidget>(dialog, ElementName(lineName, rows - 1))->y(), firstY + step * (rows - 1));
    EXPECT_EQ(dialog.height(), height);
    EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), height - 25 - 7);
}

TEST_F(Dialogs, DetailRowsComeFromTheEffectsSection)
{
    const struct {
        std::int16_t effect;
        QString title;
        QStringList items, values;
        int height; // design 310: five rows fit, each further one adds 40
    } cases[] = {
        {2, "Effect Detail(Drag)", {"DragTimes", "DragInterval(ms)"}, {"100", "20"}, 310},
        {1, "Effect Detail(Blend)", {"BlendTimes(How many?)", "", "", "", ""}, {"40", "", "", "", ""}, 310},
        {3, "Effect Detail(Nameless)", {"", "", "", "", ""}, {"", "", "", "", ""}, 310},
        {4, "Effect Detail(Grid)", {"", "", "", "", "", "", "G"}, {"", "", "", "", "", "", "7"}, 390},
    };
    WriteSettings(kEffectSettings);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        const dlgDetail dialog(c.effect);
        EXPECT_EQ(dialog.windowTitle(), c.title);
        ExpectRows(dialog, {"lblItem", "txtValue"}, {c.items, c.values}, "txtValue", 8, 40, c.height);
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

TEST_F(Dialogs, ParameterRowsFollowTheSettings)
{
    const struct {
        QString settings;
        QStringList captions, percents;
        QList<int> sliders;
        QList<bool> detailEnabled;
        QString stillTime;
        int height; // design 380: five rows fit, each further one adds 60
    } cases[] = {
        {"[Effect]\nEffectNumber=3\nCaption_1=Blend\nPercent_1=50\nSlideValue_1=10\nHasDetail_1=0\n"
         "Caption_2=Drag\nPercent_2=50\nSlideValue_2=10\nHasDetail_2=1\nSlideValue_3=250\n[Stop]\nStopTime=7\n",
            {"Blend", "Drag", ""}, {"50%", "50%", "%"}, {10, 10, 0}, {true, true, false}, "7", 380},
        {Effects({1, 2, 3, 4, 5, 6, 7, 8}), {"E1", "E2", "E3", "E4", "E5", "E6", "E7", "E8"}, QStringList(8, "x%"),
            {1, 2, 3, 4, 5, 6, 7, 8}, {true, false, false, false, false, false, false, false}, "5", 560},
        {"[Effect]\nEffectNumber=many\nCaption_1=Blend\n", {"Effect Name"}, {"Effect show perhaps ratio percent"}, {0},
            {true}, "5", 380},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        WriteSettings(c.settings);
        const dlgParameter dialog;
        ExpectRows(dialog, {"lblName", "lblPercent"}, {c.captions, c.percents}, "Line1", 58, 60, c.height);
        for (int i = 0; i < c.sliders.size(); ++i) {
            EXPECT_EQ(Control<QScrollBar>(dialog, ElementName("sldAdjust", i))->value(), c.sliders[i]) << i;
            EXPECT_EQ(Control<QPushButton>(dialog, ElementName("cmdSetting", i))->isEnabled(), c.detailEnabled[i]) << i;
        }
        EXPECT_EQ(dialog.findChild<QScrollBar*>(ElementName("sldAdjust", int(c.sliders.size()))), nullptr);
        EXPECT_EQ(Control<QLineEdit>(dialog, "txtStaticSecond")->text(), c.stillTime);
    }
}

TEST_F(Dialogs, MovingASliderStoresEveryShare)
{
    const struct {
        QList<int> values;
        int moved, to; // to -1: a push against the lower end
        QList<int> shares;
        int position;
    } cases[] = {
        {{0, 1, 1}, 0, 1, {33, 33, 33}, 1}, {{1, 0}, 1, 2, {33, 67}, 2}, {{13, 12, 13}, 2, 0, {52, 48, 0}, 0},
        {{1, 0}, 1, 7, {12, 88}, 7}, // 12.5 and 87.5: halves to even
        {{0, 0, 0}, 1, -1, {0, 100, 0}, 1}, // all at 0: the pushed one gets 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moved);
        WriteSettings(Effects(c.values));
        dlgParameter dialog;
        QScrollBar* slider = Control<QScrollBar>(dialog, ElementName("sldAdjust", c.moved));
        if (c.to < 0)
            slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            slider->setValue(c.to);
        EXPECT_EQ(slider->value(), c.position);
        for (int i = 0; i < c.values.size(); ++i) {
            const QString share = QString::number(c.shares[i]), number = QString::number(i + 1);
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblPercent", i))->text(), share + "%");
            EXPECT_EQ(ReadPlayerSetting("Effect", "Percent_" + number, ""), share);
            EXPECT_EQ(ReadPlayerSetting("Effect", "SlideValue_" + number, ""),
                      QString::number(i == c.moved ? c.position : c.values[i]));
        }
    }
}

TEST_F(Dialogs, NumberBoxesTakeDigitsAndBackspaceOnly)
{
    // The still-time box beeps at a dropped key, the detail boxes do not.
    const struct {
        bool detail;
        int key;
        const char *text, *shown;
        int beeps;
        Qt::KeyboardModifiers mods = {};
    } keys[] = {
        {false, Qt::Key_1, "1", "51", 0}, {false, Qt::Key_A, "a", "51", 1}, {false, Qt::Key_Minus, "-", "51", 2},
        {false, Qt::Key_Space, " ", "51", 3}, {false, Qt::Key_V, "\x16", "51", 4, Qt::ControlModifier}, // paste
        {false, Qt::Key_Backspace, "\b", "5", 4}, {false, Qt::Key_Left, "", "5", 4}, {false, Qt::Key_0, "0", "05", 4},
        {true, 0, "-", "20", 0}, {true, 0, ".", "20", 0}, {true, 0, "e", "20", 0}, {true, 0, "+", "20", 0},
        {true, Qt::Key_5, "5", "205", 0}, {true, Qt::Key_Backspace, "\b", "20", 0},
    };
    WriteSettings(kEffectSettings);
    dlgParameter parameters;
    dlgDetail detail(2);
    const QDialog* const dialogs[] = {&parameters, &detail};
    QLineEdit* const boxes[]
        = {Control<QLineEdit>(parameters, "txtStaticSecond"), Control<QLineEdit>(detail, "txtValue_1")};
    boxes[1]->end(false);
    for (const auto& k : keys) {
        Press(boxes[k.detail], k.key, QString::fromLatin1(k.text), k.mods);
        EXPECT_EQ(boxes[k.detail]->text(), k.shown) << k.text;
        int beeps = 0;
        for (const DigitKeyFilter* filter : dialogs[k.detail]->findChildren<DigitKeyFilter*>())
            beeps += filter->Beeps();
        EXPECT_EQ(beeps, k.beeps) << k.text;
    }
}

// The parameter dialog for 0, else the detail dialog of effect `detailOf`, shown.
std::unique_ptr<QDialog> Open(int detailOf)
{
    std::unique_ptr<QDialog> dialog(detailOf ? static_cast<QDialog*>(new dlgDetail(std::int16_t(detailOf)))
                                             : new dlgParameter);
    dialog->show();
    return dialog;
}

TEST_F(Dialogs, OkStoresWhatTheBoxesShowEscapeStoresNothing)
{
    const struct {
        int detailOf;       // 0: the parameter dialog
        QStringList typed;  // into the still-time box or the value boxes in row order
        int key;            // 0: click OK
        QStringList stored; // "section/key=value"; none: the file stays as it was
    } cases[] = {
        {0, {"12"}, 0, {"Stop/StopTime=12"}}, {0, {"9"}, Qt::Key_Return, {"Stop/StopTime=9"}},
        {0, {"  "}, 0, {}}, {0, {"30"}, Qt::Key_Escape, {}},
        {2, {"250", ""}, 0, {"Drag/DragTimes=250", "Drag/DragInterval(ms)="}},
        {2, {"007", "20"}, Qt::Key_Return, {"Drag/DragTimes=007", "Drag/DragInterval(ms)=20"}},
        {2, {"1", "2"}, Qt::Key_Escape, {}},
        {1, {"60", "1", "2"}, 0, {"Blend/BlendTimes(How many?)=60"}}, // rows without an item store nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.detailOf << " " << c.typed.join(',').toStdString() << " " << c.key);
        WriteSettings(kEffectSettings + "[Stop]\nStopTime=5\n");
        const QByteArray before = SettingsBytes();
        const std::unique_ptr<QDialog> dialog = Open(c.detailOf);
        const auto box = [&](int i) {
            return Control<QLineEdit>(*dialog, c.detailOf ? ElementName("txtValue", i) : "txtStaticSecond");
        };
        for (int i = 0; i < c.typed.size(); ++i)
            box(i)->setText(c.typed[i]);
        if (c.key)
            Press(box(0), c.key);
        else
            Control<QPushButton>(*dialog, "OKButton")->click();
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

TEST_F(Dialogs, OkThatCannotStoreWarnsAndClosesAllTheSame)
{
    WriteSettings(kEffectSettings);
    for (const int detailOf : {0, 2}) {
        SCOPED_TRACE(detailOf);
        QString warned = "no box";
        const std::unique_ptr<QDialog> dialog = Open(detailOf);
        Control<QLineEdit>(*dialog, detailOf ? "txtValue_0" : "txtStaticSecond")->setText("12");
        SetProgramFolder(m_folder.path() + "/gone"); // after the dialog has read the settings
        QTimer::singleShot(0, dialog.get(), [&warned] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                warned = box->icon() == QMessageBox::Warning ? box->text() : "not a warning";
                box->accept();
            }
        });
        Control<QPushButton>(*dialog, "OKButton")->click();
        EXPECT_TRUE(warned.contains(m_folder.path() + "/gone/playerprofile.ini")) << warned.toStdString();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        SetProgramFolder(m_folder.path());
    }
}

TEST_F(Dialogs, ParametersOpenWithoutBlockingAndEachButtonOpensItsRowsDetails)
{
    WriteSettings("[Effect]\nEffectNumber=2\nCaption_1=Blend\nCaption_2=Drag\nHasDetail_2=1\n");
    QWidget owner;
    QPointer<dlgParameter> dialog = OpenParameterDialog(&owner);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible() && !dialog->isModal() && dialog->parentWidget() == &owner);
    for (int row : {1, 0, 1})
        Control<QPushButton>(*dialog, ElementName("cmdSetting", row))->click();
    QStringList titles;
    for (const dlgDetail* detail : dialog->findChildren<dlgDetail*>())
        titles << detail->windowTitle();
    EXPECT_EQ(titles, QStringList({"Effect Detail(Drag)", "Effect Detail(Blend)", "Effect Detail(Drag)"}));
}

void LoadAlbum(const QString& albumSection)
{
    gAlbum = std::make_unique<Album>();
    gAlbum->LoadText("[Album]\n" + albumSection);
}

QString Text(const frmAbout& box, const QString& name)
{
    if (const auto* label = box.findChild<QLabel*>(name))
        return label->text();
    return Control<QPlainTextEdit>(box, name)->toPlainText();
}

TEST_F(Dialogs, AboutShowsTheAlbumsTexts)
{
    const struct {
        const char* album;
        QStringList shown; // lblContent_0 to 4 (title, author, web, e-mail, info), txt_0 and txt_1
    } cases[] = {
        {"Title=Summer by the sea\nAuthor=A. Person\nWeb=www.example.org\nEMail=a@example.org\n"
         "InfoLine=3 categories\nPictureWidth=640\nPictureHeight=480\n"
         "Description=First line\\nSecond line\nOtherInfo=Made by hand\n",
         {"Summer by the sea", "A. Person", "www.example.org", "a@example.org", "3 categories  (640 x 480)",
          "First line\nSecond line", "Made by hand"}},
        // Markup is shown as written; missing values leave blanks and the default size.
        {"Title=<b>Bold</b>\n", {"<b>Bold</b>", "", "", "", "  (800 x 600)", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.album);
        LoadAlbum(c.album);
        const frmAbout box;
        EXPECT_EQ(box.windowTitle(), "About " + c.shown[0]);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(Text(box, i < 5 ? QString("lblContent_%1").arg(i) : QString("txt_%1").arg(i - 5)), c.shown[i])
                << i;
    }
    EXPECT_EQ(PictureSizeText(640.0f, 480.5f), "(640 x 480.5)");
}

TEST_F(Dialogs, AboutLinksOpenTheirAddresses)
{
    const struct {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.web.toStdString() + " " + c.email.toStdString());
        LoadAlbum(QString("Web=%1\nEMail=%2\n").arg(c.web, c.email));
        opened.clear();
        frmAbout box;
        box.lblContent_Click(c.index);
        box.lblContent_Click(c.index);
        EXPECT_EQ(opened, c.opened.isEmpty() ? QStringList() : QStringList({c.opened, c.opened}));
        EXPECT_EQ(gAlbum->Web(), c.webAfter);
    }
    // The prefix stays for the run; a left click on the label is a link click, a right one is not.
    frmAbout().lblContent_Click(2);
    opened.clear();
    frmAbout box;
    EXPECT_EQ(Text(box, "lblContent_2"), "http://www.example.org");
    QWidget* label = Control<QLabel>(box, "lblContent_3");
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton})
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
            QApplication::sendEvent(label, &event);
        }
    EXPECT_EQ(opened, QStringList{"mailto:a@example.org"});
}

TEST_F(Dialogs, AboutSysInfoWithoutAToolSaysSoAndKeysCloseTheBox)
{
    LoadAlbum("Title=Trip\n");
    QWidget owner;
    QPointer<frmAbout> box = ShowAboutBox(&owner);
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible() && !box->isModal() && box->parentWidget() == &owner);
    Control<QPushButton>(*box, "cmdSysInfo")->click();
    EXPECT_EQ(messages, QStringList{kUnavailable});
    EXPECT_EQ(messageParent, box.data());
    for (const int key : {Qt::Key_Return, Qt::Key_Escape}) { // OK and close; each box deletes itself
        QPointer<frmAbout> shown = ShowAboutBox(&owner);
        Press(shown, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(shown.isNull()) << key;
    }
}

TEST_F(Dialogs, GetKeyValueConvertsEachValueForm)
{
    const QString big = QString("41,").repeated(1023) + "41"; // 1024 bytes
    const struct {
        QString line; // the entries of the key
        bool ok;
        QString value; // the caller passes "keep" in
        const char* key = "SOFTWARE\\Test";
    } cases[] = {
        {"V=hex(4):10,27,00,00", true, "10000"}, {"V=hex(4):01,02,00,00", true, "513"},
        {"V=dword:00002710", true, "10000"}, {"V=hex(4):ff,ff,ff,ff", true, "-1"}, {"V=hex(4):0a,01", true, "266"},
        {"V=hex(4):01,02,03,04,05", false, ""}, // wider than 32 bits
        {"V=/usr/bin/hardinfo", true, "/usr/bin/hardinfo"}, {"V=\"  spaced text  \"", true, "  spaced text  "},
        {"V=hex(1):41,42", true, "AB"}, {"V=hex(1):41,42,00,00", true, QString("AB") + QChar(0)}, // cut at a zero
        {"V=hex:01,02", true, "keep"}, // binary data leaves the text alone
        {"V=hex(4):", false, ""}, {"V=dword:xyz", false, ""}, {"Other=1", false, ""}, {"V=x", false, "", "SOFTWARE"},
        {"v=dword:10", true, "16"}, // value names ignore case
        {"V=hex(1):" + big, true, QString(1024, 'A')}, // the buffer holds 1024 bytes and no more
        {"V=hex(1):41," + big, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.left(40).toStdString());
        WriteFile(RegistryStore::StoreFile(), "[hkey_local_machine\\Software\\Test]\n" + c.line + "\n");
        QString value = "keep";
        EXPECT_EQ(GetKeyValue(HKEY_LOCAL_MACHINE, c.key, "V", value), c.ok);
        EXPECT_EQ(value, c.value);
        value = "keep";
        EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, c.key, "V", value));
        EXPECT_EQ(value, "");
    }
}

TEST_F(Dialogs, StartSysInfoTriesTheRegistryThenThePathThenGivesUp)
{
    const QString msinfo = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\nPATH=/usr/bin/msinfo\n";
    const QString location = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\nMSINFO=%DIR%\\tools\n";
    const struct {
        QString registry;
        bool toolFile; // tools/msinfo32.exe exists
        QStringList onPath;
        bool startSucceeds;
        QString started; // "": nothing is started
        bool message;
    } cases[] = {
        {msinfo + location, true, {"hardinfo"}, true, "/usr/bin/msinfo", false},
        {msinfo, false, {"hardinfo"}, false, "/usr/bin/msinfo", true}, // fails to start: no other try
        {location, true, {"hardinfo"}, true, "%DIR%/tools/msinfo32.exe", false},
        {location, false, {"kinfocenter", "hardinfo"}, true, "/opt/bin/hardinfo", false},
        {"", false, {"hardinfo2"}, false, "/opt/bin/hardinfo2", true},
        {"", false, {}, true, "", true},
    };
    const QString dir = m_folder.path();
    QDir(dir).mkpath("tools");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registry.toStdString() + " " + c.onPath.join(',').toStdString());
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
