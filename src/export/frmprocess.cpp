// ours
#include "frmprocess.h"

#include "aviwriter.h"
#include "exportplayer.h"
#include "numbertext.h"
#include "playersettings.h"
#include "session.h"
#include "twips.h"
#include "vcdframewriter.h"

// Qt
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

// std
#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

const QString kEffect = QStringLiteral("Effect");
const QString kStopTime = QStringLiteral("StopTime");
// The rows below the design's hint (the music box, the progress bar and
// its line) make the dialog this much taller.
constexpr int kExtraTwips = 900;
// A frame larger than this is previewed scaled down, so that the dialog
// stays on the screen.
const QSize kLargestPreview(640, 480);
// The preview follows the frames at most this often.
constexpr int kPreviewMs = 40;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* makeText(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

// A size field's number: the leading number of its text, 0 when none.
int fieldNumber(const QLineEdit* field)
{
    const auto n = ToInt32(LeadingNumber(field->text()));
    return n && *n >= INT16_MIN && *n <= INT16_MAX ? *n : 0;
}

} // namespace

frmProcess::frmProcess(VcdFrameWriter& writer, ExportPlayer& player, QWidget* owner)
    : QWidget(owner, Qt::Dialog), m_writer(writer), m_player(player)
{
    setObjectName(QStringLiteral("frmProcess"));
    setWindowTitle(QStringLiteral("Export Avi (VCD Source File)"));
    setFixedSize(TwipsToPixels(5490), TwipsToPixels(6135 + kExtraTwips));

    picView = makeLabel(this, QStringLiteral("picView"), QString(), twipsRect(60, 60, 5355, 4335));
    picView->setStyleSheet(QStringLiteral("background: black;"));
    picView->setAlignment(Qt::AlignCenter);

    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twipsRect(60, 4500, 5295, 1635 + kExtraTwips));
    makeLabel(Frame2, QStringLiteral("lbl_3"), QStringLiteral("VCD standard: width=352 and Height=288"),
              twipsRect(0, 1260, 4095, 255));
    makeLabel(Frame2, QStringLiteral("lbl_1"), QStringLiteral("W:"), twipsRect(60, 900, 195, 195));
    txtW = makeText(Frame2, QStringLiteral("txtW"), twipsRect(360, 840, 615, 285));
    makeLabel(Frame2, QStringLiteral("lbl_2"), QStringLiteral("H:"), twipsRect(1080, 900, 195, 195));
    txtH = makeText(Frame2, QStringLiteral("txtH"), twipsRect(1320, 840, 615, 285));
    makeLabel(Frame2, QStringLiteral("lbl_0"), QStringLiteral("Static Time(s):"), twipsRect(0, 420, 1335, 195));
    txtKeepStatic = makeText(Frame2, QStringLiteral("txtKeepStatic"), twipsRect(1380, 360, 795, 345));
    chkNeedNotMovie = new QCheckBox(QStringLiteral("Static Picture"), Frame2);
    chkNeedNotMovie->setObjectName(QStringLiteral("chkNeedNotMovie"));
    chkNeedNotMovie->setGeometry(twipsRect(2400, 420, 2835, 195));
    cmdStart = new QPushButton(QStringLiteral("Start"), Frame2);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdStart->setGeometry(twipsRect(2220, 840, 915, 375));
    cmdStop = new QPushButton(QStringLiteral("Stop"), Frame2);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setGeometry(twipsRect(3180, 840, 915, 375));
    cmdStop->setEnabled(false);
    lblTime = makeLabel(Frame2, QStringLiteral("lblTime"), QString(), twipsRect(0, 60, 3015, 255));
    // The stop question's text, kept below the visible area.
    lblStopQuestion = makeLabel(this, QStringLiteral("lbl_4"), QStringLiteral("Are you sure to stop?"),
                                twipsRect(120, 6300 + kExtraTwips, 1815, 195));
    lblStopQuestion->hide();

    chkMusic = new QCheckBox(QStringLiteral("Music in video"), Frame2);
    chkMusic->setObjectName(QStringLiteral("chkMusic"));
    chkMusic->setGeometry(twipsRect(0, 1560, 2835, 255));
    prgPictures = new QProgressBar(Frame2);
    prgPictures->setObjectName(QStringLiteral("prgPictures"));
    prgPictures->setGeometry(twipsRect(0, 1890, 5235, 255));
    prgPictures->setFormat(QStringLiteral("%v of %m pictures"));
    lblProgress = makeLabel(Frame2, QStringLiteral("lblProgress"), QString(), twipsRect(0, 2190, 5235, 255));
    setAlbumMusic({});

    connect(cmdStart, &QPushButton::clicked, this, &frmProcess::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmProcess::cmdStop_Click);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmProcess::Timer1_Timer);
    m_writer.frameWritten = [this] { showFrame(); };

    LoadWindowSettings(objectName(), m_settingsFlag);
    txtW->setText(QStringLiteral("352"));
    txtH->setText(QStringLiteral("288"));
    txtKeepStatic->setText(ReadPlayerSetting(kEffect, kStopTime, QStringLiteral("5")));
}

frmProcess::~frmProcess() { m_writer.frameWritten = nullptr; }

void frmProcess::setAlbumMusic(const QStringList& files)
{
    m_music = files;
    chkMusic->setChecked(!files.isEmpty());
    chkMusic->setEnabled(!files.isEmpty());
}

void frmProcess::setPicturesToShow(int count)
{
    m_pictures = count;
    prgPictures->setRange(0, std::max(count, 1));
    prgPictures->setValue(0);
}

QString frmProcess::ElapsedText(std::int64_t ms)
{
    const std::int64_t t = std::max<std::int64_t>(ms, 0) / 1000;
    const std::int64_t h = t / 3600;
    const std::int64_t m = (t - 3600 * h) / 60;
    const std::int64_t s = t - 3600 * h - 60 * m;
    return QStringLiteral("%1:%2:%3").arg(h).arg(m).arg(s);
}

bool frmProcess::chooseFile()
{
    if (!AviFile.trimmed().isEmpty())
        return true;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    // The album's title names the video, without what a file name cannot hold.
    QString name = gAlbum ? gAlbum->Title().simplified().remove(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")))
                          : QString();
    if (name.isEmpty())
        name = QStringLiteral("album");
    AviFile = QFileDialog::getSaveFileName(this, windowTitle(), QDir(folder).filePath(name + QStringLiteral(".avi")),
                                           QStringLiteral("Videos (*.avi *.mpg *.mp4 *.mkv)"));
    return !AviFile.isEmpty();
}

void frmProcess::cmdStart_Click()
{
    const int w = fieldNumber(txtW);
    const int h = fieldNumber(txtH);
    if (!chooseFile())
        return;
    // Refused before anything starts rather than leaving a broken file.
    const QString problem = AviWriter::Check(AviFile, w, h);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }

    // The preview takes the frame's size (scaled down when that would not
    // fit the screen) and the dialog grows with it.
    const QSize shown = QSize(w, h).boundedTo(kLargestPreview) == QSize(w, h)
        ? QSize(w, h)
        : QSize(w, h).scaled(kLargestPreview, Qt::KeepAspectRatio);
    const int dW = shown.width() - picView->width();
    const int dH = shown.height() - picView->height();
    picView->resize(shown);
    setFixedSize(width() + dW, height() + dH);
    Frame2->move(Frame2->x(), Frame2->y() + dH);

    WritePlayerSetting(kEffect, kStopTime, txtKeepStatic->text());
    m_runClock.start();
    Timer1.start();
    setFieldsEnabled(false);
    cmdStop->setEnabled(true);

    m_writer.AviFile = AviFile;
    m_writer.frameSize = QSize(w, h);
    m_writer.soundtrack = chkMusic->isChecked() ? m_music : QStringList();
    m_player.startExport(QSize(w, h), chkNeedNotMovie->isChecked());
}

void frmProcess::cmdStop_Click()
{
    QMessageBox question(QMessageBox::Question, QApplication::applicationDisplayName(), lblStopQuestion->text(),
                         QMessageBox::Ok | QMessageBox::Cancel, this);
    question.setDefaultButton(QMessageBox::Cancel);
    if (question.exec() != QMessageBox::Ok)
        return;
    setFieldsEnabled(true);
    cmdStart->setEnabled(false);
    cmdStop->setEnabled(false);
    m_writer.stop();
    m_player.stopExport();
}

void frmProcess::setFieldsEnabled(bool enabled)
{
    for (QWidget* field : {static_cast<QWidget*>(txtKeepStatic), static_cast<QWidget*>(txtH),
                           static_cast<QWidget*>(txtW), static_cast<QWidget*>(chkNeedNotMovie),
                           static_cast<QWidget*>(chkMusic), static_cast<QWidget*>(cmdStart)})
        field->setEnabled(enabled);
    if (enabled)
        chkMusic->setEnabled(!m_music.isEmpty());
}

void frmProcess::Timer1_Timer()
{
    const std::int64_t elapsed = m_runClock.elapsed();
    lblTime->setText(ElapsedText(elapsed));
    const int done = m_player.picturesDone();
    prgPictures->setValue(std::min(done, prgPictures->maximum()));
    QString line = QStringLiteral("%1 frames written").arg(m_writer.framesWritten());
    if (done > 0 && m_pictures > done) {
        const double left = double(elapsed) * (m_pictures - done) / done;
        line += QStringLiteral(", about %1 left").arg(ElapsedText(static_cast<std::int64_t>(left)));
    }
    lblProgress->setText(line);
}

void frmProcess::showFrame()
{
    if (m_previewClock.isValid() && m_previewClock.elapsed() < kPreviewMs)
        return;
    m_previewClock.start();
    const QImage frame = m_writer.picView();
    picView->setPixmap(QPixmap::fromImage(
        frame.size() == picView->size() ? frame
                                        : frame.scaled(picView->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void frmProcess::closeEvent(QCloseEvent* event)
{
    // The close box is refused; Stop ends a run, the run's end closes the
    // dialog with the program. A close by the program (the session ending)
    // ends the run too, so the hidden player window does not stay behind.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    m_writer.stop();
    m_player.stopExport();
    event->accept();
}

} // namespace tarnwick
