#pragma once
// The export dialog "Export Avi (VCD Source File)": the frame size, the
// still time and "Static Picture" before the run; during it the preview of
// the frame being written, the elapsed time, the pictures done and Stop.
// A thin view: the hidden player window plays the album (ExportPlayer) and
// the frame writer writes the file; the dialog shows them.
//
// Window thread only. Its own close box is refused; the run's end closes
// it with the program.

// Qt
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// std
#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class ExportPlayer;
class VcdFrameWriter;

class frmProcess : public QWidget {
    Q_OBJECT
public:
    // `writer` and `player` are not owned and must outlive the dialog.
    frmProcess(VcdFrameWriter& writer, ExportPlayer& player, QWidget* owner = nullptr);
    ~frmProcess() override;

    // The video file to write; empty asks for one at Start.
    QString AviFile;

    // The album's music files; the "Music in video" box is on and usable
    // only when there are some.
    void setAlbumMusic(const QStringList& files);
    // How many pictures the run will show, for the progress bar.
    void setPicturesToShow(int count);

    // "h:m:s" of a run's elapsed milliseconds, each without leading zeros
    // (65 seconds: "0:1:5").
    static QString ElapsedText(std::int64_t ms);

    // The buttons' handlers (also what a test clicks).
    void cmdStart_Click();
    void cmdStop_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1_Timer();
    void showFrame();
    bool chooseFile();
    void setFieldsEnabled(bool enabled);

    VcdFrameWriter& m_writer;
    ExportPlayer& m_player;
    QStringList m_music;
    int m_pictures = 0;
    bool m_settingsFlag = false;
    QElapsedTimer m_runClock;
    QElapsedTimer m_previewClock;
    QTimer Timer1;

    QLabel* picView = nullptr;
    QFrame* Frame2 = nullptr;
    QLineEdit* txtW = nullptr;
    QLineEdit* txtH = nullptr;
    QLineEdit* txtKeepStatic = nullptr;
    QCheckBox* chkNeedNotMovie = nullptr;
    QCheckBox* chkMusic = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblStopQuestion = nullptr;
    QProgressBar* prgPictures = nullptr;
    QLabel* lblProgress = nullptr;
};

} // namespace tarnwick
