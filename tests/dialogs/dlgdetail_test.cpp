// The effect detail dialog: its rows come from the effect's section (its
// OK, Escape and keys are checked with the parameter dialog's).

// ours
#include "dialogfixture.h"
#include "dlgdetail.h"

// Qt
#include <QLabel>
#include <QLineEdit>

namespace tarnwick::test {
namespace {

using DetailDialog = DialogTest;

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
    WriteSettings(kEffectSettings);
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
        EXPECT_EQ(Control<QWidget>(dialog, "OKButton")->y(), c.height - 25 - 7);
    }
}

} // namespace
} // namespace tarnwick::test
