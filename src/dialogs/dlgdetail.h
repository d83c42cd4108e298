#pragma once
// "Effect Detail(<caption>)": the tuning values of one transition effect.
// The effect's own section of the player settings lists its items
// ("ItemNumbers", "Item_" + j); each item name is both the caption of its
// row (lblItem_i) and the key its value (txtValue_i) is stored under. The
// boxes take digits only, silently. OK stores every box as it stands, even
// empty, in one write of the settings file (a warning box says when that
// fails; the dialog closes all the same); Escape closes without storing. The dialog stays on top of other
// windows; several may be open at once. Control names follow RowDialog's
// scheme. Window thread only.

// ours
#include "rowdialog.h"

// Qt
#include <QList>

// std
#include <cstdint>

class QLineEdit;

namespace tarnwick {

class dlgDetail : public RowDialog {
    Q_OBJECT
public:
    // Reads the settings of effect `effectIndex` (1-based "Effect_" number)
    // and builds the rows. The opener (the parameter dialog) shows it
    // modeless and brings it to the front.
    explicit dlgDetail(std::int16_t effectIndex, QWidget* owner = nullptr);

    std::int16_t EffectIndex() const { return m_effectIndex; }
    // The section of the effect's tuning values: its name, "" when unnamed.
    QString EffectSection() const { return m_effectSection; }

private:
    void MakeRow(int index);
    void BuildRows();
    void OkPressed();
    void ArrangeBottom() override;

    std::int16_t m_effectIndex;
    QString m_effectSection;
    QList<QLabel*> m_lblItem;
    QList<QLineEdit*> m_txtValue;
    QLabel* m_lblNote;
};

} // namespace tarnwick
