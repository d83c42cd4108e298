// ours
#include "sidepanel.h"

#include "stripview.h"
#include "thumbnailstrip.h"

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

namespace tarnwick {

namespace {

struct ToolButton {
    const char* name;
    int index;
    int left;
    int top;
    const char* tip;
    QStyle::StandardPixmap icon;
    bool checkable;
};

// The tool row's buttons, design positions in twips inside fra(1).
constexpr ToolButton kTools[] = {
    {"chk", 0, 0, 0, "Auto Play", QStyle::SP_MediaPlay, true},
    {"chk", 1, 420, 0, "Music", QStyle::SP_MediaVolume, true},
    {"cmd", 0, 0, 480, "About", QStyle::SP_MessageBoxInformation, false},
    {"cmd", 1, 420, 480, "Exit", QStyle::SP_DialogCloseButton, false},
    {"cmd", 2, 1260, 0, "Parameter", QStyle::SP_FileDialogDetailedView, false},
};
constexpr int kToolSize = 435;

} // namespace

SidePanel::SidePanel(const ThumbnailStrip& strip, int twipsPerPixel, QWidget* parent)
    : QFrame(parent), m_twipsPerPixel(twipsPerPixel > 0 ? twipsPerPixel : 15)
{
    setObjectName(QStringLiteral("fra_0"));
    setGeometry(0, 0, twips(1815), twips(8895));
    setAutoFillBackground(true);

    // The panel's border shape, sized to the whole panel.
    auto* border = new QFrame(this);
    border->setObjectName(QStringLiteral("S_0"));
    border->setFrameShape(QFrame::Box);
    border->setGeometry(rect());
    border->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* heading = new QLabel(QStringLiteral("Category"), this);
    heading->setObjectName(QStringLiteral("lbl_0"));
    heading->setGeometry(twips(60), twips(60), twips(1695), twips(255));
    heading->setCursor(Qt::SizeAllCursor);
    heading->installEventFilter(this);
    m_heading = heading;

    auto* list = m_list = new QComboBox(this);
    list->setObjectName(QStringLiteral("cboCategory"));
    list->setGeometry(twips(60), twips(300), twips(1695), list->sizeHint().height());
    connect(list, &QComboBox::activated, this, &SidePanel::categoryClicked);

    // The scroll bar lies behind the viewport and reaches 240 twips above
    // and below it: only its arrow ends show.
    auto* bar = m_bar = new QScrollBar(Qt::Vertical, this);
    bar->setObjectName(QStringLiteral("V"));
    bar->setGeometry(twips(60), twips(660), twips(1695), twips(7095));
    bar->setEnabled(false);
    connect(bar, &QScrollBar::valueChanged, this, &SidePanel::scrollChanged);

    m_strip = new StripView(strip, this);
    m_strip->setGeometry(twips(60), twips(900), twips(1695), twips(6615));
    m_strip->setAutoFillBackground(true);

    auto* tools = new QWidget(this);
    tools->setObjectName(QStringLiteral("fra_1"));
    tools->setGeometry(twips(60), twips(7860), twips(1695), twips(915));
    for (const ToolButton& t : kTools) {
        auto* button = new QToolButton(tools);
        button->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(t.name)).arg(t.index));
        button->setGeometry(twips(t.left), twips(t.top), twips(kToolSize), twips(kToolSize));
        button->setToolTip(QLatin1String(t.tip));
        button->setIcon(style()->standardIcon(t.icon));
        button->setIconSize(QSize(16, 16));
        button->setCheckable(t.checkable);
        button->setChecked(t.checkable);
        const int index = t.index;
        if (t.checkable)
            connect(button, &QToolButton::clicked, this, [this, index](bool on) { emit checkClicked(index, on); });
        else
            connect(button, &QToolButton::clicked, this, [this, index] { emit commandClicked(index); });
    }
}

int SidePanel::twips(int length) const
{
    return (length + m_twipsPerPixel / 2) / m_twipsPerPixel;
}

void SidePanel::syncScrollBar(const ThumbnailStrip& strip)
{
    const QSignalBlocker block(m_bar);
    m_bar->setRange(0, strip.maximum());
    m_bar->setPageStep(strip.largeChange());
    m_bar->setSingleStep(strip.smallChange());
    m_bar->setValue(strip.value());
    m_bar->setEnabled(strip.scrollEnabled());
}

void SidePanel::setCategories(const QStringList& names)
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_list->addItems(names);
    m_list->setCurrentIndex(-1);
}

void SidePanel::setCategoryIndex(int index)
{
    const QSignalBlocker block(m_list);
    m_list->setCurrentIndex(index);
}

void SidePanel::setChecked(int index, bool checked)
{
    if (auto* box = findChild<QAbstractButton*>(QStringLiteral("chk_%1").arg(index))) {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
}

bool SidePanel::isChecked(int index) const
{
    const auto* box = findChild<QAbstractButton*>(QStringLiteral("chk_%1").arg(index));
    return box && box->isChecked();
}

bool SidePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_heading)
        return QFrame::eventFilter(watched, event);
    // Dragging by the heading: the grabbed point follows the pointer.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_dragging = true;
        m_anchor = static_cast<QMouseEvent*>(event)->position().toPoint();
        return true;
    case QEvent::MouseMove:
        if (m_dragging)
            move(pos() + static_cast<QMouseEvent*>(event)->position().toPoint() - m_anchor);
        return m_dragging;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    default:
        return false;
    }
}

} // namespace tarnwick
