// The effect parameter dialog: rows built from the settings, the shares
// stored when a slider moves, the still-time box's keys, OK and Escape, and
// the detail dialogs opened from the rows.

// ours
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "dlgparameter.h"
#include "playersettings.h"
#include "settingsfolder.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>

namespace tarnwick::test {
namespace {

using ParameterDialog = SettingsFolder;

// Settings with one effect per slider position in `values`, shares unset.
QString Effects(const QList<int>& values)
{
    QString text = QStringLiteral("[Effect]\nEffectNumber=%1\n").arg(values.size());
    for (int i = 0; i < values.size(); ++i)
        text += QStringLiteral("Caption_%1=Effect %1\nPercent_%1=x\nSlideValue_%1=%2\n").arg(i + 1).arg(values[i]);
    return text + QStringLiteral("[Stop]\nStopTime=5\n");
}

TEST_F(ParameterDialog, RowsFollowTheSettings)
{
    const QString three = QStringLiteral(
        "[Effect]\nEffectNumber=3\n"
        "Caption_1=Blend\nPercent_1=50\nSlideValue_1=10\nHasDetail_1=0\nDescription_1=Fades\n"
        "Caption_2=Drag\nPercent_2=50\nSlideValue_2=10\nHasDetail_2=1\nDescription_2=Pushes\n"
        "Caption_3=Wipe\nPercent_3=0\nSlideValue_3=250\nHasDetail_3=0\n"
        "[Stop]\nStopTime=7\n");
    struct Case {
        const char* name;
        QString settings;
        QStringList captions, percents, descriptions;
        QList<int> sliders;
        QList<bool> detailEnabled;
        QString stillTime;
        int height;
    };
    const Case cases[] = {
        {"three rows, the first detail button kept enabled, an out-of-range slider left at 0", three,
         {"Blend", "Drag", "Wipe"}, {"50%", "50%", "0%"}, {"Fades", "Pushes", ""}, {10, 10, 0},
         {true, true, false}, "7", 380},
        {"eight rows make the dialog three pitches taller", Effects({1, 2, 3, 4, 5, 6, 7, 8}),
         {"Effect 1", "Effect 2", "Effect 3", "Effect 4", "Effect 5", "Effect 6", "Effect 7", "Effect 8"},
         {"x%", "x%", "x%", "x%", "x%", "x%", "x%", "x%"}, {"", "", "", "", "", "", "", ""},
         {1, 2, 3, 4, 5, 6, 7, 8}, {true, false, false, false, false, false, false, false}, "5", 560},
        {"an empty file shows five empty rows and the still time 5", "", {"", "", "", "", ""},
         {"%", "%", "%", "%", "%"}, {"", "", "", "", ""}, {0, 0, 0, 0, 0}, {true, false, false, false, false},
         "5", 380},
        {"a count that is no number leaves the design row", "[Effect]\nEffectNumber=many\nCaption_1=Blend\n",
         {"Effect Name"}, {"Effect show perhaps ratio percent"}, {"Description"}, {0}, {true}, "5", 380},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(c.settings);
        dlgParameter dialog;
        EXPECT_EQ(dialog.windowTitle(), "Transform Effect Parameter");
        const int rows = int(c.captions.size());
        for (int i = 0; i < rows; ++i) {
            const QString n = QString::number(i);
            EXPECT_EQ(Control<QLabel>(dialog, "lblName_" + n)->text(), c.captions[i]) << i;
            EXPECT_EQ(Control<QLabel>(dialog, "lblPercent_" + n)->text(), c.percents[i]) << i;
            EXPECT_EQ(Control<QLabel>(dialog, "lblDescription_" + n)->text(), c.descriptions[i]) << i;
            EXPECT_EQ(Control<QScrollBar>(dialog, "sldAdjust_" + n)->value(), c.sliders[i]) << i;
            EXPECT_EQ(Control<QPushButton>(dialog, "cmdSetting_" + n)->isEnabled(), c.detailEnabled[i]) << i;
            EXPECT_EQ(Control<QScrollBar>(dialog, "sldAdjust_" + n)->y(), 8 + 60 * i) << i;
            EXPECT_EQ(Control<QWidget>(dialog, "Line1_" + n)->y(), 58 + 60 * i) << i;
        }
        EXPECT_EQ(dialog.findChild<QScrollBar*>("sldAdjust_" + QString::number(rows)), nullptr);
        EXPECT_EQ(Control<QLineEdit>(dialog, "txtStaticSecond")->text(), c.stillTime);
        EXPECT_EQ(dialog.height(), c.height);
        EXPECT_EQ(Control<QWidget>(dialog, "lblBottom")->y(), c.height - 80);
        EXPECT_EQ(Control<QWidget>(dialog, "lblstatictime")->y(), c.height - 80);
        EXPECT_EQ(Control<QWidget>(dialog, "txtStaticSecond")->y(), c.height - 80);
        EXPECT_EQ(Control<QWidget>(dialog, "chkMusic")->y(), c.height - 80 + 19 + 1);
        EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), c.height - 25 - 7);
    }
}

TEST_F(ParameterDialog, MovingASliderStoresEveryShare)
{
    struct Case {
        const char* name;
        QList<int> values;
        int moved;
        int to; // -1: a push against the slider's lower end
        QList<int> shares;
        int storedPosition;
    };
    const Case cases[] = {
        {"three equal weights round a third down", {0, 1, 1}, 0, 1, {33, 33, 33}, 1},
        {"one against two", {1, 0}, 1, 2, {33, 67}, 2},
        {"halves round to even", {1, 0}, 1, 7, {12, 88}, 7},
        {"a slider moved to 0 loses its share", {13, 12, 13}, 2, 0, {52, 48, 0}, 0},
        {"all at 0: the pushed slider takes everything", {0, 0, 0}, 1, -1, {0, 100, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(Effects(c.values));
        dlgParameter dialog;
        QScrollBar* slider = Control<QScrollBar>(dialog, "sldAdjust_" + QString::number(c.moved));
        if (c.to < 0)
            slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            slider->setValue(c.to);
        EXPECT_EQ(slider->value(), c.storedPosition);
        for (int i = 0; i < c.values.size(); ++i) {
            const QString share = QString::number(c.shares[i]);
            EXPECT_EQ(Control<QLabel>(dialog, "lblPercent_" + QString::number(i))->text(), share + "%") << i;
            EXPECT_EQ(ReadPlayerSetting("Effect", "Percent_" + QString::number(i + 1), "-"), share) << i;
            const int position = i == c.moved ? c.storedPosition : c.values[i];
            EXPECT_EQ(ReadPlayerSetting("Effect", "SlideValue_" + QString::number(i + 1), "-"),
                      QString::number(position)) << i;
        }
    }
}

TEST_F(ParameterDialog, StillTimeBoxTakesDigitsAndBackspaceOnly)
{
    struct Key {
        int key;
        const char* text;
        Qt::KeyboardModifiers modifiers;
        const char* shown;
        int beeps;
    };
    const Key keys[] = {
        {Qt::Key_1, "1", Qt::NoModifier, "51", 0},
        {Qt::Key_A, "a", Qt::NoModifier, "51", 1},
        {Qt::Key_Minus, "-", Qt::NoModifier, "51", 2},
        {Qt::Key_Period, ".", Qt::NoModifier, "51", 3},
        {Qt::Key_Space, " ", Qt::NoModifier, "51", 4},
        {Qt::Key_V, "\x16", Qt::ControlModifier, "51", 5},
        {Qt::Key_Backspace, "\b", Qt::NoModifier, "5", 5},
        {Qt::Key_Left, "", Qt::NoModifier, "5", 5},
        {Qt::Key_0, "0", Qt::NoModifier, "05", 5},
    };
    WriteSettings(Effects({1, 1}));
    dlgParameter dialog;
    QLineEdit* box = Control<QLineEdit>(dialog, "txtStaticSecond");
    const DigitKeyFilter* filter = dialog.findChild<DigitKeyFilter*>();
    ASSERT_NE(filter, nullptr);
    for (const Key& k : keys) {
        SCOPED_TRACE(k.text);
        Press(box, k.key, QString::fromLatin1(k.text), k.modifiers);
        EXPECT_EQ(box->text(), k.shown);
        EXPECT_EQ(filter->Beeps(), k.beeps);
    }
}

TEST_F(ParameterDialog, OkStoresTheStillTimeShownEscapeStoresNothing)
{
    enum Close { ClickOk, PressReturn, PressEscape };
    struct Case {
        const char* name;
        const char* shown;
        Close close;
        const char* stored; // nullptr: the file stays as it was
        int result;
    };
    const Case cases[] = {
        {"OK stores the box as shown", "12", ClickOk, "12", QDialog::Accepted},
        {"Return presses OK", "9", PressReturn, "9", QDialog::Accepted},
        {"OK with an empty box stores nothing", "", ClickOk, nullptr, QDialog::Accepted},
        {"OK with blanks only stores nothing", "  ", ClickOk, nullptr, QDialog::Accepted},
        {"Escape stores nothing", "30", PressEscape, nullptr, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(Effects({1, 1}));
        const QByteArray before = SettingsBytes();
        dlgParameter dialog;
        dialog.show();
        QLineEdit* box = Control<QLineEdit>(dialog, "txtStaticSecond");
        box->setText(c.shown);
        if (c.close == ClickOk)
            Control<QPushButton>(dialog, "OKButton")->click();
        else
            Press(box, c.close == PressReturn ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.result);
        if (c.stored)
            EXPECT_EQ(ReadPlayerSetting("Stop", "StopTime", "-"), c.stored);
        else
            EXPECT_EQ(SettingsBytes(), before);
    }
}

TEST_F(ParameterDialog, OpensWithoutBlockingAndOpensOneDetailDialogPerPress)
{
    WriteSettings("[Effect]\nEffectNumber=2\nEffect_1=Blend\nCaption_1=Blend\nEffect_2=Drag\nCaption_2=Drag\n"
                  "HasDetail_2=1\n");
    QWidget owner;
    QPointer<dlgParameter> dialog = OpenParameterDialog(&owner);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->parentWidget(), &owner);

    Control<QPushButton>(*dialog, "cmdSetting_1")->click();
    Control<QPushButton>(*dialog, "cmdSetting_0")->click();
    Control<QPushButton>(*dialog, "cmdSetting_1")->click();
    QStringList titles;
    for (const dlgDetail* detail : dialog->findChildren<dlgDetail*>()) {
        EXPECT_TRUE(detail->isVisible());
        EXPECT_TRUE(detail->windowFlags() & Qt::WindowStaysOnTopHint);
        titles << detail->windowTitle();
    }
    EXPECT_EQ(titles, QStringList({"Effect Detail(Drag)", "Effect Detail(Blend)", "Effect Detail(Drag)"}));

    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
}

} // namespace
} // namespace tarnwick::test
