#include "frmabout.h"

// ours
#include "desktopactions.h"
#include "playersettings.h"
#include "session.h"
#include "sysinfo.h"

// Qt
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// std
#include <charconv>

namespace tarnwick {

namespace {

constexpr int kIconSize = 32;
constexpr int kTextBoxHeight = 64;
constexpr int kContentWidth = 300;

QString ShortestText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// The box shows album texts exactly as written, never as markup.
QLabel* PlainLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

QString PictureSizeText(float width, float height)
{
    return QStringLiteral("(") + ShortestText(width) + QStringLiteral(" x ") + ShortestText(height)
           + QStringLiteral(")");
}

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    BuildControls();
    Form_Load();
}

void frmAbout::BuildControls()
{
    static const char* const kCaptions[] = {"Album Name:", "Album Author:", "Web:",
                                            "EMail:",      "Album Description:", "Other Info:"};
    for (int i = 0; i < 6; ++i)
        m_lbl[i] = PlainLabel(QStringLiteral("lbl_%1").arg(i), QString::fromLatin1(kCaptions[i]), this);
    for (int i = 0; i < 5; ++i) {
        m_lblContent[i] = PlainLabel(QStringLiteral("lblContent_%1").arg(i), QString(), this);
        m_lblContent[i]->setMinimumWidth(kContentWidth);
    }
    for (int i = 2; i <= 3; ++i) {
        QPalette pal = m_lblContent[i]->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        m_lblContent[i]->setPalette(pal);
        m_lblContent[i]->installEventFilter(this);
    }
    m_lblContent[3]->setCursor(Qt::PointingHandCursor);
    for (int i = 0; i < 2; ++i) {
        m_txt[i] = new QPlainTextEdit(this);
        m_txt[i]->setObjectName(QStringLiteral("txt_%1").arg(i));
        m_txt[i]->setReadOnly(true);
        m_txt[i]->setFixedHeight(kTextBoxHeight);
    }
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFixedSize(kIconSize, kIconSize);
    m_label1 = PlainLabel(QStringLiteral("Label1"),
                          QStringLiteral("Should an error occur, please visit www.tarnwick.example "
                                         "for help and updates."),
                          this);
    m_label1->setWordWrap(true);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    m_cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    m_cmdSysInfo->setAutoDefault(false);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* fields = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        fields->addWidget(m_lbl[i], i, 0);
        fields->addWidget(m_lblContent[i], i, 1);
    }
    fields->addWidget(m_lblContent[4], 4, 0, 1, 2);
    fields->addWidget(m_lbl[4], 5, 0, 1, 2);
    fields->addWidget(m_txt[0], 6, 0, 1, 2);
    fields->addWidget(m_lbl[5], 7, 0, 1, 2);
    fields->addWidget(m_txt[1], 8, 0, 1, 2);

    auto* top = new QHBoxLayout;
    top->addWidget(m_image1, 0, Qt::AlignTop);
    top->addLayout(fields, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdSysInfo);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_label1, 1);
    bottom->addLayout(buttons);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(rule);
    outer->addLayout(bottom);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::Form_Load()
{
    LoadWindowSettings(objectName(), m_settingsFlag);
    const QWidget* owner = parentWidget();
    const QIcon icon = owner ? owner->windowIcon() : QApplication::windowIcon();
    setWindowIcon(icon);
    m_image1->setPixmap(icon.pixmap(kIconSize, kIconSize));
    setWindowTitle(QStringLiteral("About ") + (gAlbum ? gAlbum->Title() : QString()));
    m_lblContent[2]->setCursor(m_lblContent[3]->cursor());
    if (!gAlbum)
        return;
    const Album& album = *gAlbum;
    if (!album.Web().trimmed().isEmpty())
        m_lblContent[2]->setText(album.Web());
    if (!album.EMail().trimmed().isEmpty())
        m_lblContent[3]->setText(album.EMail());
    m_lblContent[0]->setText(album.Title());
    m_lblContent[1]->setText(album.Author());
    m_lblContent[4]->setText(album.InfoLine() + QStringLiteral("  ")
                             + PictureSizeText(static_cast<float>(album.PictureWidth()),
                                               static_cast<float>(album.PictureHeight())));
    m_txt[0]->setPlainText(album.Description());
    m_txt[1]->setPlainText(album.OtherInfo());
}

void frmAbout::lblContent_Click(int index)
{
    if (m_inContentClick || !gAlbum)
        return;
    m_inContentClick = true;
    Album& album = *gAlbum;
    if (index == 3 && !album.EMail().trimmed().isEmpty()) {
        Desktop().openUrl(QUrl(QStringLiteral("mailto:") + album.EMail().trimmed()));
    } else if (index == 2 && !album.Web().trimmed().isEmpty()) {
        // A bare address gets "http://"; one that already names a secure
        // address keeps it rather than becoming "http://https://...".
        const QString web = album.Web().trimmed();
        if (!web.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
            && !web.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
            album.SetWeb(QStringLiteral("http://") + album.Web());
        Desktop().openUrl(QUrl(album.Web().trimmed(), QUrl::TolerantMode));
    }
    m_inContentClick = false;
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    if (m_inSysInfoClick)
        return;
    m_inSysInfoClick = true;
    StartSysInfo(this);
    m_inSysInfoClick = false;
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (int i = 2; i <= 3; ++i) {
            if (watched == m_lblContent[i] && mouse->button() == Qt::LeftButton
                && m_lblContent[i]->rect().contains(mouse->position().toPoint()))
                lblContent_Click(i);
        }
    }
    return QDialog::eventFilter(watched, event);
}

frmAbout* ShowAboutBox(QWidget* owner)
{
    auto* box = new frmAbout(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    return box;
}

} // namespace tarnwick
