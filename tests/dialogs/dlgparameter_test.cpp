// The effect parameter dialog: rows from the settings, shares stored when
// a slider moves, the still-time box's keys, OK and Escape, detail dialogs.

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

namespace tarnwick::test {
namespace {

using ParameterDialog = SettingsFolder;

// One effect per slider position, shares unset.
QString Effects(const QList<int>& values)
{
    QString text = QStringLiteral("[Effect]\nEffectNumber=%1\n").arg(values.size());
    for (int i = 0; i < values.size(); ++i)
        text += QStringLiteral("Caption_%1=E%1\nPercent_%1=x\nSlideValue_%1=%2\n").arg(i + 1).arg(values[i]);
    return text;
}

TEST_F(ParameterDialog, RowsFollowTheSettings)
{
    struct Case {
        QString settings;
        QStringList captions, percents;
        QList<int> sliders;
        QList<bool> detailEnabled;
        QString stillTime;
        int height; // design 380: five rows fit, each further row adds 60
    };
    const Case cases[] = {
        {"[Effect]\nEffectNumber=3\nCaption_1=Blend\nPercent_1=50\nSlideValue_1=10\nHasDetail_1=0\n"
         "Caption_2=Drag\nPercent_2=50\nSlideValue_2=10\nHasDetail_2=1\nSlideValue_3=250\n[Stop]\nStopTime=7\n",
         {"Blend", "Drag", ""}, {"50%", "50%", "%"}, {10, 10, 0}, {true, true, false}, "7", 380},
        {Effects({1, 2, 3, 4, 5, 6, 7, 8}), {"E1", "E2", "E3", "E4", "E5", "E6", "E7", "E8"},
         {"x%", "x%", "x%", "x%", "x%", "x%", "x%", "x%"}, {1, 2, 3, 4, 5, 6, 7, 8},
         {true, false, false, false, false, false, false, false}, "5", 560},
        {"[Effect]\nEffectNumber=many\nCaption_1=Blend\n", {"Effect Name"}, {"Effect show perhaps ratio percent"},
         {0}, {true}, "5", 380},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        WriteSettings(c.settings);
        dlgParameter dialog;
        const int rows = int(c.captions.size());
        for (int i = 0; i < rows; ++i) {
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblName", i))->text(), c.captions[i]) << i;
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblPercent", i))->text(), c.percents[i]) << i;
            EXPECT_EQ(Control<QScrollBar>(dialog, ElementName("sldAdjust", i))->value(), c.sliders[i]) << i;
            EXPECT_EQ(Control<QPushButton>(dialog, ElementName("cmdSetting", i))->isEnabled(), c.detailEnabled[i]) << i;
        }
        EXPECT_EQ(dialog.findChild<QScrollBar*>(ElementName("sldAdjust", rows)), nullptr);
        EXPECT_EQ(Control<QWidget>(dialog, ElementName("Line1", rows - 1))->y(), 58 + 60 * (rows - 1));
        EXPECT_EQ(Control<QLineEdit>(dialog, "txtStaticSecond")->text(), c.stillTime);
        EXPECT_EQ(dialog.height(), c.height);
        EXPECT_EQ(Control<QWidget>(dialog, "lblBottom")->y(), c.height - 80);
        EXPECT_EQ(Control<QWidget>(dialog, "chkMusic")->y(), c.height - 80 + 19 + 1);
        EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), c.height - 25 - 7);
    }
}

TEST_F(ParameterDialog, MovingASliderStoresEveryShare)
{
    struct Case {
        QList<int> values;
        int moved, to; // to -1: a push against the lower end
        QList<int> shares;
        int position;
    };
    const Case cases[] = {
        {{0, 1, 1}, 0, 1, {33, 33, 33}, 1},
        {{1, 0}, 1, 2, {33, 67}, 2},
        {{1, 0}, 1, 7, {12, 88}, 7}, // 12.5 and 87.5: halves to even
        {{13, 12, 13}, 2, 0, {52, 48, 0}, 0},
        {{0, 0, 0}, 1, -1, {0, 100, 0}, 1}, // all at 0: the pushed one gets 1
    };
    for (const Case& c : cases) {
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
            const QString number = QString::number(i + 1);
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblPercent", i))->text(), QString::number(c.shares[i]) + "%");
            EXPECT_EQ(ReadPlayerSetting("Effect", "Percent_" + number, ""), QString::number(c.shares[i]));
            EXPECT_EQ(ReadPlayerSetting("Effect", "SlideValue_" + number, ""),
                      QString::number(i == c.moved ? c.position : c.values[i]));
        }
    }
}

TEST_F(ParameterDialog, StillTimeBoxTakesDigitsAndBackspaceOnly)
{
    struct Key {
        int key;
        const char* text;
        const char* shown;
        int beeps;
        Qt::KeyboardModifiers mods = {};
    };
    const Key keys[] = {
        {Qt::Key_1, "1", "51", 0},         {Qt::Key_A, "a", "51", 1},
        {Qt::Key_Minus, "-", "51", 2},     {Qt::Key_Space, " ", "51", 3},
        {Qt::Key_V, "\x16", "51", 4, Qt::ControlModifier},
        {Qt::Key_Backspace, "\b", "5", 4}, {Qt::Key_Left, "", "5", 4},
        {Qt::Key_0, "0", "05", 4},
    };
    WriteSettings(Effects({1}));
    dlgParameter dialog;
    QLineEdit* box = Control<QLineEdit>(dialog, "txtStaticSecond");
    const DigitKeyFilter* filter = dialog.findChild<DigitKeyFilter*>();
    ASSERT_NE(filter, nullptr);
    for (const Key& k : keys) {
        Press(box, k.key, QString::fromLatin1(k.text), k.mods);
        EXPECT_EQ(box->text(), k.shown) << k.key;
        EXPECT_EQ(filter->Beeps(), k.beeps) << k.key;
    }
}

TEST_F(ParameterDialog, OkStoresTheStillTimeShownEscapeStoresNothing)
{
    struct Case {
        const char* shown;
        int key; // 0: click OK
        const char* stored; // nullptr: the file stays as it was
        int result;
    };
    const Case cases[] = {
        {"12", 0, "12", QDialog::Accepted},
        {"9", Qt::Key_Return, "9", QDialog::Accepted},
        {"  ", 0, nullptr, QDialog::Accepted},
        {"30", Qt::Key_Escape, nullptr, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        WriteSettings(Effects({1, 1}) + "[Stop]\nStopTime=5\n");
        const QByteArray before = SettingsBytes();
        dlgParameter dialog;
        dialog.show();
        QLineEdit* box = Control<QLineEdit>(dialog, "txtStaticSecond");
        box->setText(c.shown);
        if (c.key)
            Press(box, c.key);
        else
            Control<QPushButton>(dialog, "OKButton")->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.result);
        if (c.stored)
            EXPECT_EQ(ReadPlayerSetting("Stop", "StopTime", ""), c.stored);
        else
            EXPECT_EQ(SettingsBytes(), before);
    }
}

TEST_F(ParameterDialog, OpensWithoutBlockingAndOpensOneDetailDialogPerPress)
{
    WriteSettings("[Effect]\nEffectNumber=2\nCaption_1=Blend\nCaption_2=Drag\nHasDetail_2=1\n");
    QWidget owner;
    QPointer<dlgParameter> dialog = OpenParameterDialog(&owner);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible() && !dialog->isModal() && dialog->parentWidget() == &owner);

    for (int row : {1, 0, 1})
        Control<QPushButton>(*dialog, ElementName("cmdSetting", row))->click();
    QStringList titles;
    for (const dlgDetail* detail : dialog->findChildren<dlgDetail*>()) {
        EXPECT_TRUE(detail->isVisible() && (detail->windowFlags() & Qt::WindowStaysOnTopHint));
        titles << detail->windowTitle();
    }
    EXPECT_EQ(titles, QStringList({"Effect Detail(Drag)", "Effect Detail(Blend)", "Effect Detail(Drag)"}));

    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);
}

} // namespace
} // namespace tarnwick::test
