#pragma once
// "Transform Effect Parameter": weighs the transition effects of the
// player settings against each other and sets a photo's still time. One row
// per effect of section "Effect": lblName_i (caption), lblPercent_i
// (share), lblDescription_i, the slider sldAdjust_i and the button
// cmdSetting_i that opens the effect's dlgDetail; below them
// lblstatictime, txtStaticSecond, chkMusic and OKButton. Control names
// follow RowDialog's scheme: array elements end in "_" and their index.
//
// Moving a slider stores every effect's share ("Percent_" + i) and the
// slider's position ("SlideValue_" + i) at once, in one write of the
// settings file; OK stores the still time in section "Stop"; Escape closes
// without storing it. When OK cannot store it, a warning box says so and
// the dialog closes all the same. The settings are read once, when the
// dialog is made. Window thread only.

// ours
#include "rowdialog.h"

// Qt
#include <QList>

// std
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tarnwick {

class dlgParameter : public RowDialog {
    Q_OBJECT
public:
    // Reads the settings and builds the list. `owner`: the player window
    // when opened from it, none for the screen saver's settings.
    explicit dlgParameter(QWidget* owner = nullptr);

    // The number of effects read from "EffectNumber" (rows shown: at
    // least the design row).
    std::int32_t EffectCount() const { return m_effectCount; }

    // The shares in percent of slider values: each value x 100 / total,
    // rounded half to even; all 0 when the total is 0.
    static QList<int> Shares(const QList<int>& values);

private:
    struct Row {
        QLabel* lblName;
        QLabel* lblPercent;
        QLabel* lblDescription;
        QScrollBar* sldAdjust;
        QPushButton* cmdSetting;
    };

    Row MakeRow(int index);
    void BuildList();
    void SliderChanged(int k);
    void DetailPressed(int k);
    void OkPressed();
    void ArrangeBottom() override;

    QList<Row> m_rows;
    QLabel* m_lblstatictime;
    QLineEdit* m_txtStaticSecond;
    QCheckBox* m_chkMusic;
    std::int32_t m_effectCount = 0;
    bool m_sliderBusy = false;
};

// Opens a new parameter dialog owned by the player window without
// blocking; it deletes itself when closed. Called by the player window's
// "Parameter" command.
dlgParameter* OpenParameterDialog(QWidget* owner);

} // namespace tarnwick
