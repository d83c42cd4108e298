// The effect detail dialog: rows named by the effect's section, OK storing
// every box as it stands, Escape storing nothing, silent digits-only boxes.

// ours
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "playersettings.h"
#include "settingsfolder.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarnwick::test {
namespace {

using DetailDialog = SettingsFolder;

const QString kSettings = QStringLiteral(
    "[Effect]\nEffect_1=Blend\nCaption_1=Blend\nEffect_2=Drag\nCaption_2=Drag\nCaption_3=Nameless\n"
    "Effect_4=Matrix\nCaption_4=Grid\n"
    "[Blend]\nItem_1=BlendTimes(How many?)\nBlendTimes(How many?)=40\n"
    "[Drag]\nItemNumbers=2\nItem_1=DragTimes\nItem_2=DragInterval(ms)\nDragTimes=100\nDragInterval(ms)=20\n"
    "[Matrix]\nItemNumbers=7\nItem_7=G\nG=7\n");

TEST_F(DetailDialog, RowsComeFromTheEffectsSection)
{
    struct Case {
        std::int16_t effect;
        QString title;
        QStringList items, values;
        int height; // design 310: five rows fit, each further row adds 40
    };
    const Case cases[] = {
        {2, "Effect Detail(Drag)", {"DragTimes", "DragInterval(ms)"}, {"100", "20"}, 310},
        {1, "Effect Detail(Blend)", {"BlendTimes(How many?)", "", "", "", ""}, {"40", "", "", "", ""}, 310},
        {3, "Effect Detail(Nameless)", {"", "", "", "", ""}, {"", "", "", "", ""}, 310},
        {4, "Effect Detail(Grid)", {"", "", "", "", "", "", "G"}, {"", "", "", "", "", "", "7"}, 390},
    };
    WriteSettings(kSettings);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        dlgDetail dialog(c.effect);
        EXPECT_EQ(dialog.windowTitle(), c.title);
        const int rows = int(c.items.size());
        for (int i = 0; i < rows; ++i) {
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblItem", i))->text(), c.items[i]) << i;
            EXPECT_EQ(Control<QLineEdit>(dialog, ElementName("txtValue", i))->text(), c.values[i]) << i;
        }
        EXPECT_EQ(dialog.findChild<QLineEdit*>(ElementName("txtValue", rows)), nullptr);
        EXPECT_EQ(Control<QWidget>(dialog, ElementName("txtValue", rows - 1))->y(), 8 + 40 * (rows - 1));
        EXPECT_EQ(dialog.height(), c.height);
        EXPECT_EQ(Control<QWidget>(dialog, "lblBottom")->y(), c.height - 100);
        EXPECT_EQ(Control<QWidget>(dialog, "lblNote")->y(), c.height - 100 + 3);
        EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), c.height - 25 - 7);
    }
}

TEST_F(DetailDialog, OkStoresEveryBoxAsItStandsEscapeNothing)
{
    struct Case {
        std::int16_t effect;
        QStringList typed; // into the boxes in row order
        int key;           // 0: click OK
        QStringList keys, stored;
    };
    const Case cases[] = {
        {2, {"250", ""}, 0, {"DragTimes", "DragInterval(ms)"}, {"250", ""}},
        {2, {"007", "20"}, Qt::Key_Return, {"DragTimes", "DragInterval(ms)"}, {"007", "20"}},
        {2, {"1", "2"}, Qt::Key_Escape, {"DragTimes", "DragInterval(ms)"}, {"100", "20"}},
        // Rows without an item name store nothing: the writer takes no empty key.
        {1, {"60", "1", "2"}, 0, {"BlendTimes(How many?)"}, {"60"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.join(',').toStdString());
        WriteSettings(kSettings);
        dlgDetail dialog(c.effect);
        dialog.show();
        for (int i = 0; i < c.typed.size(); ++i)
            Control<QLineEdit>(dialog, ElementName("txtValue", i))->setText(c.typed[i]);
        if (c.key)
            Press(Control<QLineEdit>(dialog, ElementName("txtValue", 0)), c.key);
        else
            Control<QPushButton>(dialog, "OKButton")->click();
        EXPECT_FALSE(dialog.isVisible());
        for (int i = 0; i < c.keys.size(); ++i)
            EXPECT_EQ(ReadPlayerSetting(dialog.EffectSection(), c.keys[i], "-"), c.stored[i]) << i;
        EXPECT_FALSE(SettingsBytes().contains("\n=")) << "a value was stored under an empty key";
    }
}

TEST_F(DetailDialog, ValueBoxesTakeDigitsOnlyAndNeverBeep)
{
    WriteSettings(kSettings);
    dlgDetail dialog(2);
    QLineEdit* box = Control<QLineEdit>(dialog, "txtValue_1");
    box->end(false);
    for (const char* typed : {"-", ".", "e", "+", "5"})
        Press(box, 0, QString::fromLatin1(typed));
    Press(box, Qt::Key_Backspace, "\b");
    Press(box, Qt::Key_3, "3");
    EXPECT_EQ(box->text(), "203");
    for (const DigitKeyFilter* filter : dialog.findChildren<DigitKeyFilter*>())
        EXPECT_EQ(filter->Beeps(), 0);
}

} // namespace
} // namespace tarnwick::test
