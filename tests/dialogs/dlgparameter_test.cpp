// The effect parameter dialog and its detail dialogs: rows from the
// settings, shares stored when a slider moves, the number boxes' keys, what
// OK and Escape store, a warning when OK cannot store it, a detail dialog
// per button press.

// ours
#include "dialogfixture.h"
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "dlgparameter.h"
#include "playersettings.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

// std
#include <memory>

namespace tarnwick::test {
namespace {

using ParameterDialog = DialogTest;

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
            EXPECT_EQ(Control<QPushButton>(dialog, ElementName("cmdSetting", i))->isEnabled(), c.detailEnabled[i])
                << i;
        }
        EXPECT_EQ(dialog.findChild<QScrollBar*>(ElementName("sldAdjust", rows)), nullptr);
        EXPECT_EQ(Control<QWidget>(dialog, ElementName("Line1", rows - 1))->y(), 58 + 60 * (rows - 1));
        EXPECT_EQ(Control<QLineEdit>(dialog, "txtStaticSecond")->text(), c.stillTime);
        EXPECT_EQ(dialog.height(), c.height);
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
            EXPECT_EQ(Control<QLabel>(dialog, ElementName("lblPercent", i))->text(),
                      QString::number(c.shares[i]) + "%");
            EXPECT_EQ(ReadPlayerSetting("Effect", "Percent_" + number, ""), QString::number(c.shares[i]));
            EXPECT_EQ(ReadPlayerSetting("Effect", "SlideValue_" + number, ""),
                      QString::number(i == c.moved ? c.position : c.values[i]));
        }
    }
}

TEST_F(ParameterDialog, NumberBoxesTakeDigitsAndBackspaceOnly)
{
    // The still-time box beeps at a dropped key, the detail boxes do not.
    struct Key {
        bool detail;
        int key;
        const char* text;
        const char* shown;
        int beeps;
        Qt::KeyboardModifiers mods = {};
    };
    const Key keys[] = {
        {false, Qt::Key_1, "1", "51", 0},
        {false, Qt::Key_A, "a", "51", 1},
        {false, Qt::Key_Minus, "-", "51", 2},
        {false, Qt::Key_Space, " ", "51", 3},
        {false, Qt::Key_V, "\x16", "51", 4, Qt::ControlModifier}, // paste
        {false, Qt::Key_Backspace, "\b", "5", 4},
        {false, Qt::Key_Left, "", "5", 4},
        {false, Qt::Key_0, "0", "05", 4},
        {true, 0, "-", "20", 0}, {true, 0, ".", "20", 0}, {true, 0, "e", "20", 0}, {true, 0, "+", "20", 0},
        {true, Qt::Key_5, "5", "205", 0},
        {true, Qt::Key_Backspace, "\b", "20", 0},
    };
    WriteSettings(kEffectSettings);
    dlgParameter parameters;
    dlgDetail detail(2);
    const QDialog* const dialogs[] = {&parameters, &detail};
    QLineEdit* const boxes[] = {Control<QLineEdit>(parameters, "txtStaticSecond"),
                                Control<QLineEdit>(detail, "txtValue_1")};
    boxes[1]->end(false);
    for (const Key& k : keys) {
        QLineEdit* box = boxes[k.detail];
        Press(box, k.key, QString::fromLatin1(k.text), k.mods);
        EXPECT_EQ(box->text(), k.shown) << k.text;
        int beeps = 0;
        for (const DigitKeyFilter* filter : dialogs[k.detail]->findChildren<DigitKeyFilter*>())
            beeps += filter->Beeps();
        EXPECT_EQ(beeps, k.beeps) << k.text;
    }
}

TEST_F(ParameterDialog, OkStoresWhatTheBoxesShowEscapeStoresNothing)
{
    struct Case {
        int detailOf;      // the effect whose detail dialog is tested; 0: the parameter dialog
        QStringList typed; // into the still-time box or the value boxes in row order
        int key;           // 0: click OK
        QStringList stored; // "section/key=value"; none: the file stays as it was
    };
    const Case cases[] = {
        {0, {"12"}, 0, {"Stop/StopTime=12"}},
        {0, {"9"}, Qt::Key_Return, {"Stop/StopTime=9"}},
        {0, {"  "}, 0, {}},
        {0, {"30"}, Qt::Key_Escape, {}},
        {2, {"250", ""}, 0, {"Drag/DragTimes=250", "Drag/DragInterval(ms)="}},
        {2, {"007", "20"}, Qt::Key_Return, {"Drag/DragTimes=007", "Drag/DragInterval(ms)=20"}},
        {2, {"1", "2"}, Qt::Key_Escape, {}},
        // Rows without an item name store nothing: the writer takes no empty key.
        {1, {"60", "1", "2"}, 0, {"Blend/BlendTimes(How many?)=60"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.detailOf << " " << c.typed.join(',').toStdString() << " " << c.key);
        WriteSettings(kEffectSettings + "[Stop]\nStopTime=5\n");
        const QByteArray before = SettingsBytes();
        std::unique_ptr<QDialog> dialog;
        if (c.detailOf)
            dialog = std::make_unique<dlgDetail>(std::int16_t(c.detailOf));
        else
            dialog = std::make_unique<dlgParameter>();
        dialog->show();
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

TEST_F(ParameterDialog, OkThatCannotStoreWarnsAndClosesAllTheSame)
{
    WriteSettings(kEffectSettings);
    for (const int detailOf : {0, 2}) {
        SCOPED_TRACE(detailOf);
        QString warned = "no box";
        std::unique_ptr<QDialog> dialog;
        if (detailOf)
            dialog = std::make_unique<dlgDetail>(std::int16_t(detailOf));
        else
            dialog = std::make_unique<dlgParameter>();
        dialog->show();
        Control<QLineEdit>(*dialog, detailOf ? "txtValue_0" : "txtStaticSecond")->setText("12");
        // The folder goes after the dialog has read the settings.
        SetProgramFolder(m_folder.path() + "/gone");
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

TEST_F(ParameterDialog, OpensWithoutBlockingAndEachButtonOpensItsRowsDetails)
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

} // namespace
} // namespace tarnwick::test
