#include "dlgdetail.h"

// ours
#include "digitkeyfilter.h"
#include "numbertext.h"
#include "playersettings.h"
#include "twips.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tarnwick {

namespace {

const QString kEffect = QStringLiteral("Effect");

// The design, in twips: five rows fit above lblBottom, each further row
// makes the dialog one pitch taller.
const RowDialogDesign kDesign{
    9600, 4650, 600,
    {120, 690, 9360, 30},   // Line1_0
    {0, 3150, 9600, 1500},  // lblBottom
    {8040, 0, 1320, 375},   // OKButton
};
constexpr int kNoteGapTwips = 50;

} // namespace

dlgDetail::dlgDetail(std::int16_t effectIndex, QWidget* owner)
    : RowDialog(kDesign, owner)
    , m_effectIndex(effectIndex)
{
    setObjectName(QStringLiteral("dlgDetail"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    m_lblNote = new QLabel(QStringLiteral("Note: These parameter setting will change photo transform quality, you can "
                                          "change them to adapt your computer picture 2D process speed."),
                           this);
    m_lblNote->setObjectName(QStringLiteral("lblNote"));
    m_lblNote->setWordWrap(true);
    m_lblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblNote->setGeometry(TwipsRect(120, 0, 7200, 1050));

    MakeRow(0);
    connect(m_okButton, &QPushButton::clicked, this, &dlgDetail::OkPressed);

    const QString number = QString::number(m_effectIndex);
    m_effectSection = ReadPlayerSetting(kEffect, QStringLiteral("Effect_") + number, QString());
    setWindowTitle(QStringLiteral("Effect Detail(") +
                   ReadPlayerSetting(kEffect, QStringLiteral("Caption_") + number, QString()) + QLatin1Char(')'));
    BuildRows();
    ArrangeBottom();
}

void dlgDetail::MakeRow(int index)
{
    auto* item = new QLabel(this);
    item->setObjectName(ElementName(QStringLiteral("lblItem"), index));
    item->setTextFormat(Qt::PlainText);
    item->setWordWrap(true);
    item->setGeometry(TwipsRect(120, 120, 7200, 510));

    auto* value = new QLineEdit(this);
    value->setObjectName(ElementName(QStringLiteral("txtValue"), index));
    value->setGeometry(TwipsRect(7560, 120, 1500, 315));
    value->installEventFilter(new DigitKeyFilter(false, value));

    if (index > 0) {
        PlaceBelow(item, m_lblItem.last());
        PlaceBelow(value, m_txtValue.last());
    }
    m_lblItem << item;
    m_txtValue << value;
}

void dlgDetail::BuildRows()
{
    int n = 0;
    if (const auto count = TextToInt32(ReadPlayerSetting(m_effectSection, QStringLiteral("ItemNumbers"), QStringLiteral("5"))))
        n = *count;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            MakeRow(i);
            AddLine();
        }
        const QString key = ReadPlayerSetting(m_effectSection, QStringLiteral("Item_") + QString::number(i + 1), QString());
        m_lblItem.at(i)->setText(key);
        m_txtValue.at(i)->setText(ReadPlayerSetting(m_effectSection, key, QString()));
    }
}

void dlgDetail::OkPressed()
{
    // One write for every box: the file never holds half of them.
    SettingsEntries entries;
    for (qsizetype i = 0; i < m_lblItem.size(); ++i)
        entries.append({m_lblItem.at(i)->text(), m_txtValue.at(i)->text()});
    QString trouble;
    if (!WritePlayerSettings(m_effectSection, entries, &trouble))
        QMessageBox::warning(this, windowTitle(), trouble);
    accept();
}

void dlgDetail::ArrangeBottom()
{
    RowDialog::ArrangeBottom();
    m_lblNote->move(m_lblNote->x(), m_lblBottom->y() + TwipsToPixels(kNoteGapTwips));
}

} // namespace tarnwick
