// ours
#include "frmmain.h"

#include "busymark.h"
#include "picturebox.h"
#include "playersettings.h"
#include "session.h"
#include "sidepanel.h"
#include "stripview.h"

// Qt
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>

namespace tarnwick {

namespace {

// The window's design client size, 9735 x 8985 twips at 15 twips a pixel.
constexpr int kDesignWidth = 649;
constexpr int kDesignHeight = 599;
// The pointer this close to the picture's top brings the panel up.
constexpr double kPanelEdge = 50;
// The preview shows at most one frame in this many milliseconds.
constexpr std::int32_t kPreviewFrameIntervalMs = 40;

// Twips per pixel of the screen: 15 at the usual 96 dots an inch.
int twipsPerPixel(const QWidget& widget)
{
    const int dpi = widget.logicalDpiX();
    return dpi > 0 ? std::max(1, (1440 + dpi / 2) / dpi) : 15;
}

// Places the display in the window's client area for the album's picture
// size (the export keeps the place it sets itself).
void placeDisplay(const QWidget& window, QWidget& display)
{
    if (StartMode == ModeExport)
        return;
    const int aw = gAlbum ? gAlbum->PictureWidth() : window.width();
    const int ah = gAlbum ? gAlbum->PictureHeight() : window.height();
    display.setGeometry(PlayerCore::PictureArea(window.width(), window.height(), aw, ah).toRect());
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kDesignWidth, kDesignHeight);

    m_host.setSettingReader(ReadPlayerSetting);
    m_host.setRefreshHandler([this](const Surface&) { refreshDisplay(); });
    m_host.setFailureHandler([this](const QString& description) { showFailure(description); });
    m_core = std::make_unique<PlayerCore>(static_cast<PlayerView&>(*this), m_host, ReadPlayerSetting);

    for (int i = 0; i < 4; ++i) {
        m_pm[i] = new PictureBox(i, this);
        m_pm[i]->setSurface(&m_core->run().PM(i));
        // Only the display shows; the work surfaces keep its place hidden.
        m_pm[i]->setVisible(i == 0);
        connect(m_pm[i], &PictureBox::resized, this, &frmMain::pictureResized);
        connect(m_pm[i], &PictureBox::mouseMoved, this, &frmMain::pictureMouseMoved);
        connect(m_pm[i], &PictureBox::mousePressed, this, &frmMain::pictureMousePressed);
        connect(m_pm[i], &PictureBox::keyPressed, this, &frmMain::pictureKeyPressed);
    }
    m_pm[0]->setGeometry(128, 12, 261, 213);

    // The caption over the display: a yellow frame and a yellow bold label.
    m_captionFrame = new QFrame(m_pm[0]);
    m_captionFrame->setObjectName(QStringLiteral("S_1"));
    m_captionFrame->setStyleSheet(QStringLiteral("QFrame#S_1 { border: 1px solid yellow; }"));
    m_caption = new QLabel(m_pm[0]);
    m_caption->setObjectName(QStringLiteral("lbl_1"));
    m_caption->setStyleSheet(QStringLiteral("color: yellow; font-weight: bold;"));
    m_caption->installEventFilter(this);
    m_captionFrame->hide();
    m_caption->hide();

    m_panel = new SidePanel(m_core->strip(), twipsPerPixel(*this), this);
    m_panel->raise();
    // The strip's slots are as large as the highlight label's design size.
    m_core->setStripGeometry(m_panel->twips(1665), m_panel->twips(1275), m_panel->twips(6615));
    connect(m_panel, &SidePanel::categoryClicked, m_core.get(), &PlayerCore::cboCategoryClick);
    connect(m_panel, &SidePanel::scrollChanged, m_core.get(), &PlayerCore::scrollChanged);
    connect(&m_panel->stripView(), &StripView::thumbnailClicked, m_core.get(), &PlayerCore::thumbnailClick);
    connect(m_panel, &SidePanel::checkClicked, this, &frmMain::checkClicked);
    connect(m_panel, &SidePanel::commandClicked, this, &frmMain::commandClicked);
}

frmMain::~frmMain() = default;

QString frmMain::CaptionFor(const QString& albumTitle)
{
    return albumTitle + QStringLiteral("--Tarnwick Album Player");
}

void frmMain::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    setWindowTitle(CaptionFor(gAlbum ? gAlbum->Title() : QString()));
    // The load puts the album's background on the display, which must have
    // its place by then: a window not shown yet gets its resize events only
    // when it shows, and the background would stay cut to the design size.
    placeDisplay(*this, *m_pm[0]);
    if (StartMode != ModeExport)
        m_core->displayResized(m_pm[0]->width(), m_pm[0]->height());
    else
        m_host.setPaced(false); // the export counts its frames, it does not time them
    // A preview the size of a thumbnail looks no smoother at a hundred
    // frames a second than at twenty-five, and putting each one on screen
    // was most of what the preview cost while it sat in a settings dialog.
    if (StartMode == ModeSaverPreview)
        m_host.setFrameInterval(kPreviewFrameIntervalMs);
    m_core->Load();
}

// ---- layout --------------------------------------------------------------

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeDisplay(*this, *m_pm[0]);
}

void frmMain::pictureResized(int index)
{
    if (index != 0)
        return;
    for (int i = 1; i <= 3; ++i)
        m_pm[i]->setGeometry(m_pm[0]->geometry());
    m_core->displayResized(m_pm[0]->width(), m_pm[0]->height());
    m_pm[0]->update();
}

// ---- the display and the caption -----------------------------------------

void frmMain::refreshDisplay()
{
    // At once, not at the next paint: the frame must be on screen before the
    // effect pauses.
    if (m_pm[0]->isVisible())
        m_pm[0]->repaint();
}

void frmMain::hideCaption()
{
    m_caption->hide();
    m_captionFrame->hide();
}

void frmMain::placeCaption(const QString& text)
{
    m_caption->setText(text);
    m_caption->adjustSize();
    m_caption->move(m_pm[0]->width() - m_caption->width() - 8, m_pm[0]->height() - m_caption->height() - 8);
    m_captionFrame->setGeometry(m_caption->geometry().adjusted(-5, -5, 5, 5));
}

void frmMain::setCaptionShown(bool shown)
{
    m_caption->setVisible(shown);
    m_captionFrame->setVisible(shown);
}

void frmMain::processEvents()
{
    QCoreApplication::processEvents();
}

// ---- the side panel ------------------------------------------------------

void frmMain::stripEntryChanged(int k)
{
    m_panel->stripView().entryChanged(k);
    m_panel->syncScrollBar(m_core->strip());
}

void frmMain::stripChanged()
{
    m_panel->stripView().sync();
    m_panel->syncScrollBar(m_core->strip());
}

void frmMain::categoryListChanged(const QStringList& names)
{
    m_panel->setCategories(names);
}

void frmMain::categoryListIndexChanged(int index)
{
    m_panel->setCategoryIndex(index);
}

void frmMain::setPanelVisible(bool visible)
{
    m_panel->setVisible(visible);
}

void frmMain::checkBoxChanged(int index, bool checked)
{
    m_panel->setChecked(index, checked);
}

void frmMain::checkClicked(int index, bool checked)
{
    if (index == 0)
        m_core->setAutoPlay(checked);
    else if (index == 1)
        m_core->musicSwitched(checked);
}

void frmMain::commandClicked(int index)
{
    switch (index) {
    case 0:
        if (openAbout)
            openAbout(this);
        break;
    case 1:
        m_core->exitCommand();
        break;
    case 2:
        if (openParameter)
            openParameter(this);
        break;
    default:
        break;
    }
}

void frmMain::pictureMouseMoved(int index, Qt::MouseButtons, QPointF pos)
{
    if (index != 0 || (StartMode != ModeAlbumFolder && StartMode != ModePackedAlbum))
        return;
    if (pos.y() < kPanelEdge && !m_panel->isVisible()) {
        m_panel->show();
        m_core->hideCaptionDecoration();
    }
}

void frmMain::pictureMousePressed(int, Qt::MouseButtons buttons, QPointF)
{
    BusyMark busy(m_inMousePress);
    if (!busy.entered() || StartMode == ModeSaverPreview)
        return;
    if (buttons & Qt::RightButton) {
        m_panel->setVisible(!m_panel->isVisible());
        if (m_panel->isVisible())
            m_core->hideCaptionDecoration();
    } else if ((buttons & Qt::LeftButton) && StartMode == ModeSaver && saverEndsOnInput) {
        m_core->exitCommand();
    }
}

void frmMain::pictureKeyPressed(int, int)
{
    BusyMark busy(m_inKeyPress);
    if (busy.entered() && StartMode == ModeSaver && saverEndsOnInput)
        m_core->exitCommand();
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    pictureKeyPressed(0, event->key());
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (StartMode == ModeSaver)
        pictureMousePressed(0, event->buttons(), event->position());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // A press on the caption takes the caption away.
    if (watched == m_caption && event->type() == QEvent::MouseButtonPress) {
        hideCaption();
        m_core->state().setCaptionVisible(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- closing -------------------------------------------------------------

void frmMain::closeWindow()
{
    close();
}

void frmMain::EndNow()
{
    m_endingNow = true;
    m_core->endNow();
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // A close during a transition waits for the transition's end; a
    // full-screen saver first asks the saver whether it may end.
    if (m_core->deferCloseDuringTransition()
        || (StartMode == ModeSaver && stopScreenSaver && !m_endingNow && !m_core->closed() && !stopScreenSaver())
        || !m_core->unload()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program's other windows go with it, then the program ends.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w != this && w->isVisible())
            w->close();
    }
    QCoreApplication::quit();
}

QImage frmMain::captureDesktop()
{
    QScreen* s = screen();
    if (!s)
        return QImage();
    const QRect desktop = s->virtualGeometry();
    return s->grabWindow(0, desktop.x(), desktop.y(), desktop.width(), desktop.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QSize frmMain::screenSize() const
{
    const QScreen* s = screen();
    return s ? s->size() : QSize(kDesignWidth, kDesignHeight);
}

void frmMain::showFailure(const QString& description)
{
    QMessageBox::critical(this, QApplication::applicationDisplayName(), description);
}

} // namespace tarnwick
