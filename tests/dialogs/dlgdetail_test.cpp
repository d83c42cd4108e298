// The effect detail dialog: rows named by the effect's section, the boxes'
// keys, OK storing every box as it stands and Escape storing nothing.

// ours
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "playersettings.h"
#include "settingsfolder.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

namespace tarnwick::test {
namespace {

using DetailDialog = SettingsFolder;

const QString kTimes = QStringLiteral("DragTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("DragInterval(ms)(How many milliseconds would computer relax between two process)");

const QString kSettings = QStringLiteral(
    "[Effect]\nEffectNumber=4\n"
    "Effect_1=Blend\nCaption_1=Blend\nEffect_2=Drag\nCaption_2=Drag\nCaption_3=Nameless\n"
    "Effect_4=Matrix\nCaption_4=Grid\n"
    "[Blend]\nItem_1=BlendTimes\nBlendTimes=40\n"
    "[Drag]\nItemNumbers=2\nItem_1=%1\nItem_2=%2\n%1=100\n%2=20\n"
    "[Matrix]\nItemNumbers=7\nItem_1=A\nItem_2=B\nItem_3=C\nItem_4=D\nItem_5=E\nItem_6=F\nItem_7=G\nG=7\n")
                              .arg(kTimes, kInterval);

TEST_F(DetailDialog, RowsComeFromTheEffectsSection)
{
    struct Case {
        const char* name;
        std::int16_t effect;
        QString title, section;
        QStringList items, values;
        int height;
    };
    const Case cases[] = {
        {"two items and their values", 2, "Effect Detail(Drag)", "Drag", {kTimes, kInterval}, {"100", "20"}, 310},
        {"no ItemNumbers: five rows", 1, "Effect Detail(Blend)", "Blend", {"BlendTimes", "", "", "", ""},
         {"40", "", "", "", ""}, 310},
        {"an effect without a name reads the empty section", 3, "Effect Detail(Nameless)", "",
         {"", "", "", "", ""}, {"", "", "", "", ""}, 310},
        {"seven items make the dialog two pitches taller", 4, "Effect Detail(Grid)", "Matrix",
         {"A", "B", "C", "D", "E", "F", "G"}, {"", "", "", "", "", "", "7"}, 390},
    };
    WriteSettings(kSettings);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dlgDetail dialog(c.effect);
        EXPECT_EQ(dialog.windowTitle(), c.title);
        EXPECT_EQ(dialog.EffectSection(), c.section);
        const int rows = int(c.items.size());
        for (int i = 0; i < rows; ++i) {
            const QString n = QString::number(i);
            EXPECT_EQ(Control<QLabel>(dialog, "lblItem_" + n)->text(), c.items[i]) << i;
            EXPECT_EQ(Control<QLineEdit>(dialog, "txtValue_" + n)->text(), c.values[i]) << i;
            EXPECT_EQ(Control<QLineEdit>(dialog, "txtValue_" + n)->y(), 8 + 40 * i) << i;
            EXPECT_EQ(Control<QWidget>(dialog, "Line1_" + n)->y(), 46 + 40 * i) << i;
        }
        EXPECT_EQ(dialog.findChild<QLineEdit*>("txtValue_" + QString::number(rows)), nullptr);
        EXPECT_EQ(dialog.height(), c.height);
        EXPECT_EQ(Control<QWidget>(dialog, "lblBottom")->y(), c.height - 100);
        EXPECT_EQ(Control<QWidget>(dialog, "lblNote")->y(), c.height - 100 + 3);
        EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), c.height - 25 - 7);
    }
}

TEST_F(DetailDialog, OkStoresEveryBoxAsItStandsEscapeNothing)
{
    enum Close { ClickOk, PressReturn, PressEscape };
    struct Case {
        const char* name;
        std::int16_t effect;
        QStringList typed; // replaces the boxes' texts, in row order
        Close close;
        QStringList keys, stored; // empty: the file stays as it was
    };
    const Case cases[] = {
        {"OK stores edits unchanged, an emptied box as empty", 2, {"250", ""}, ClickOk, {kTimes, kInterval},
         {"250", ""}},
        {"Return presses OK", 2, {"007", "20"}, PressReturn, {kTimes, kInterval}, {"007", "20"}},
        {"Escape discards the edits", 2, {"1", "2"}, PressEscape, {}, {}},
        {"the unnamed effect's empty section takes nothing", 3, {"1"}, ClickOk, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(kSettings);
        const QByteArray before = SettingsBytes();
        dlgDetail dialog(c.effect);
        dialog.show();
        for (int i = 0; i < c.typed.size(); ++i)
            Control<QLineEdit>(dialog, "txtValue_" + QString::number(i))->setText(c.typed[i]);
        QLineEdit* first = Control<QLineEdit>(dialog, "txtValue_0");
        if (c.close == ClickOk)
            Control<QPushButton>(dialog, "OKButton")->click();
        else
            Press(first, c.close == PressReturn ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        if (c.keys.isEmpty()) {
            EXPECT_EQ(SettingsBytes(), before);
        }
        for (int i = 0; i < c.keys.size(); ++i)
            EXPECT_EQ(ReadPlayerSetting(dialog.EffectSection(), c.keys[i], "-"), c.stored[i]) << i;
    }
}

TEST_F(DetailDialog, MissingItemNumbersStoresTheNamedItemOnly)
{
    WriteSettings(kSettings);
    dlgDetail dialog(1);
    Control<QLineEdit>(dialog, "txtValue_0")->setText("60");
    Control<QLineEdit>(dialog, "txtValue_4")->setText("9");
    Control<QPushButton>(dialog, "OKButton")->click();
    EXPECT_EQ(ReadPlayerSetting("Blend", "BlendTimes", "-"), "60");
    EXPECT_FALSE(SettingsBytes().contains("\n=")) << "a value was stored under an empty key";
}

TEST_F(DetailDialog, ValueBoxesTakeDigitsOnlyAndNeverBeep)
{
    struct Key {
        int key;
        const char* text;
        const char* shown;
    };
    const Key keys[] = {
        {Qt::Key_Minus, "-", "20"}, {Qt::Key_Period, ".", "20"}, {Qt::Key_E, "e", "20"},
        {Qt::Key_5, "5", "205"},    {Qt::Key_Backspace, "\b", "20"}, {Qt::Key_Plus, "+", "20"},
    };
    WriteSettings(kSettings);
    dlgDetail dialog(2);
    QLineEdit* box = Control<QLineEdit>(dialog, "txtValue_1");
    box->end(false);
    for (const Key& k : keys) {
        SCOPED_TRACE(k.text);
        Press(box, k.key, QString::fromLatin1(k.text));
        EXPECT_EQ(box->text(), k.shown);
    }
    for (const DigitKeyFilter* filter : dialog.findChildren<DigitKeyFilter*>())
        EXPECT_EQ(filter->Beeps(), 0);
}

} // namespace
} // namespace tarnwick::test
