#include "dlgparameter.h"

// ours
#include "digitkeyfilter.h"
#include "dlgdetail.h"
#include "numbertext.h"
#include "playersettings.h"
#include "twips.h"

// Qt
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

// std
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tarnwick {

namespace {

const QString kEffect = QStringLiteral("Effect");

// The design, in twips: five rows fit above lblBottom, each further row
// makes the dialog one pitch taller.
const RowDialogDesign kDesign{
    9000, 5700, 900,
    {120, 870, 8760, 30},   // Line1_0
    {0, 4500, 9000, 1200},  // lblBottom
    {7560, 0, 1320, 375},   // OKButton
};
constexpr int kMusicGapTwips = 20;
constexpr int kSliderMaximum = 100;

QString Key(const char* name, int number)
{
    return QLatin1String(name) + QString::number(number);
}

// A stored text as a 16-bit whole number, or nothing when it is none.
std::optional<int> ToInt16(const QString& text)
{
    const auto value = TextToInt32(text);
    if (!value || *value < std::numeric_limits<std::int16_t>::min() || *value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return *value;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

} // namespace

dlgParameter::dlgParameter(QWidget* owner)
    : RowDialog(kDesign, owner)
{
    setObjectName(QStringLiteral("dlgParameter"));
    setWindowTitle(QStringLiteral("Transform Effect Parameter"));

    m_rows << MakeRow(0);

    m_lblstatictime = MakeLabel(this, QStringLiteral("lblstatictime"),
                                QStringLiteral("Photo static time must not less than(s):"), TwipsRect(120, 0, 4200, 285));
    m_txtStaticSecond = new QLineEdit(this);
    m_txtStaticSecond->setObjectName(QStringLiteral("txtStaticSecond"));
    m_txtStaticSecond->setGeometry(TwipsRect(4440, 0, 900, 315));
    m_txtStaticSecond->installEventFilter(new DigitKeyFilter(true, this));
    m_chkMusic = new QCheckBox(QStringLiteral("Music Open"), this);
    m_chkMusic->setObjectName(QStringLiteral("chkMusic"));
    m_chkMusic->setGeometry(TwipsRect(120, 0, 1800, 285));

    connect(m_okButton, &QPushButton::clicked, this, &dlgParameter::OkPressed);

    BuildList();
    ArrangeBottom();
}

dlgParameter::Row dlgParameter::MakeRow(int index)
{
    Row row;
    row.lblName = MakeLabel(this, ElementName(QStringLiteral("lblName"), index), QStringLiteral("Effect Name"),
                            TwipsRect(120, 120, 1950, 255));
    row.lblPercent = MakeLabel(this, ElementName(QStringLiteral("lblPercent"), index),
                               QStringLiteral("Effect show perhaps ratio percent"), TwipsRect(2100, 120, 900, 255));
    row.lblDescription = MakeLabel(this, ElementName(QStringLiteral("lblDescription"), index),
                                   QStringLiteral("Description"), TwipsRect(120, 420, 8760, 420));
    row.lblDescription->setWordWrap(true);
    row.lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    row.sldAdjust = new QScrollBar(Qt::Horizontal, this);
    row.sldAdjust->setObjectName(ElementName(QStringLiteral("sldAdjust"), index));
    row.sldAdjust->setGeometry(TwipsRect(3120, 120, 3600, 255));
    row.sldAdjust->setRange(0, kSliderMaximum);
    row.sldAdjust->setSingleStep(1);
    row.sldAdjust->setPageStep(10);

    row.cmdSetting = new QPushButton(QStringLiteral("Detail Setting ..."), this);
    row.cmdSetting->setObjectName(ElementName(QStringLiteral("cmdSetting"), index));
    row.cmdSetting->setGeometry(TwipsRect(6900, 60, 1980, 375));
    // Return belongs to OKButton even while a detail button has the focus.
    row.cmdSetting->setAutoDefault(false);

    if (index > 0) {
        const Row& previous = m_rows.at(index - 1);
        PlaceBelow(row.lblName, previous.lblName);
        PlaceBelow(row.lblPercent, previous.lblPercent);
        PlaceBelow(row.lblDescription, previous.lblDescription);
        PlaceBelow(row.sldAdjust, previous.sldAdjust);
        PlaceBelow(row.cmdSetting, previous.cmdSetting);
    }

    QScrollBar* slider = row.sldAdjust;
    connect(slider, &QScrollBar::valueChanged, this, [this, index] { SliderChanged(index); });
    // A push against the slider's end changes no value, yet counts as a
    // move: it is how a row of all-zero sliders gets its first share.
    connect(slider, &QScrollBar::actionTriggered, this, [this, slider, index](int action) {
        if (action != QAbstractSlider::SliderNoAction && slider->sliderPosition() == slider->value())
            SliderChanged(index);
    });
    connect(row.cmdSetting, &QPushButton::clicked, this, [this, index] { DetailPressed(index); });
    return row;
}

void dlgParameter::BuildList()
{
    // Values are set before the sliders' signals can matter: loading shows
    // the stored shares and stores nothing.
    m_sliderBusy = true;
    if (const auto count = TextToInt32(ReadPlayerSetting(kEffect, QStringLiteral("EffectNumber"), QStringLiteral("5"))))
        m_effectCount = *count;
    for (int i = 0; i < m_effectCount; ++i) {
        const int number = i + 1;
        if (i > 0) {
            m_rows << MakeRow(i);
            if (const auto hasDetail = TextToInt32(ReadPlayerSetting(kEffect, Key("HasDetail_", number), QStringLiteral("0"))))
                m_rows.at(i).cmdSetting->setEnabled(*hasDetail != 0);
            AddLine();
        }
        const Row& row = m_rows.at(i);
        row.lblName->setText(ReadPlayerSetting(kEffect, Key("Caption_", number), QString()));
        row.lblPercent->setText(ReadPlayerSetting(kEffect, Key("Percent_", number), QString()) + QLatin1Char('%'));
        row.lblDescription->setText(ReadPlayerSetting(kEffect, Key("Description_", number), QString()));
        // A value the slider cannot take leaves it where it was.
        const auto value = ToInt16(ReadPlayerSetting(kEffect, Key("SlideValue_", number), QStringLiteral("0")));
        if (value && *value >= row.sldAdjust->minimum() && *value <= row.sldAdjust->maximum())
            row.sldAdjust->setValue(*value);
    }
    m_txtStaticSecond->setText(ReadPlayerSetting(QStringLiteral("Stop"), QStringLiteral("StopTime"), QStringLiteral("5")));
    m_sliderBusy = false;
}

QList<int> dlgParameter::Shares(const QList<int>& values)
{
    long long sum = 0;
    for (const int value : values)
        sum += value;
    QList<int> shares;
    for (const int value : values)
        shares << (sum == 0 ? 0 : int(std::nearbyint(value * 100.0 / double(sum))));
    return shares;
}

void dlgParameter::SliderChanged(int k)
{
    if (m_sliderBusy)
        return;
    m_sliderBusy = true;
    const int n = std::min<int>(m_effectCount, int(m_rows.size()));
    QList<int> values;
    for (int i = 0; i < n; ++i)
        values << m_rows.at(i).sldAdjust->value();
    if (std::all_of(values.cbegin(), values.cend(), [](int v) { return v == 0; })) {
        // Some effect must keep a share: the one just moved.
        m_rows.at(k).sldAdjust->setValue(1);
        if (k < n)
            values[k] = 1;
    }
    const QList<int> shares = Shares(values);
    // The shares sum to about 100 only together: one write for all of them.
    SettingsEntries entries;
    for (int i = 0; i < n; ++i) {
        const QString percent = QString::number(shares.at(i));
        m_rows.at(i).lblPercent->setText(percent + QLatin1Char('%'));
        entries.append({Key("Percent_", i + 1), percent});
    }
    entries.append({Key("SlideValue_", k + 1), QString::number(m_rows.at(k).sldAdjust->value())});
    // A failure is said on the error output; a slider move shows no box.
    WritePlayerSettings(kEffect, entries);
    m_sliderBusy = false;
}

void dlgParameter::DetailPressed(int k)
{
    auto* detail = new dlgDetail(std::int16_t(k + 1), this);
    detail->setAttribute(Qt::WA_DeleteOnClose);
    detail->show();
    detail->raise();
    detail->activateWindow();
}

void dlgParameter::OkPressed()
{
    QString trouble;
    if (!m_txtStaticSecond->text().trimmed().isEmpty() &&
        !WritePlayerSetting(QStringLiteral("Stop"), QStringLiteral("StopTime"), m_txtStaticSecond->text(), &trouble))
        QMessageBox::warning(this, windowTitle(), trouble);
    accept();
}

void dlgParameter::ArrangeBottom()
{
    RowDialog::ArrangeBottom();
    m_lblstatictime->move(m_lblstatictime->x(), m_lblBottom->y());
    m_txtStaticSecond->move(m_txtStaticSecond->x(), m_lblstatictime->y());
    m_chkMusic->move(m_chkMusic->x(), m_lblstatictime->y() + m_lblstatictime->height() + TwipsToPixels(kMusicGapTwips));
}

dlgParameter* OpenParameterDialog(QWidget* owner)
{
    auto* dialog = new dlgParameter(owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

} // namespace tarnwick
