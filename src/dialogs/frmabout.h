#pragma once
// The about box: the album's own credits (name, author, web and e-mail
// links, picture size, description, other information) read from gAlbum,
// and a "System Info..." button. The player window's "About" button opens
// a new box on every click through ShowAboutBox. Window thread only.
//
// Controls carry their design names as objectName; members of a control
// array get "_" and their index: "lbl_0" .. "lbl_5", "lblContent_0" ..
// "lblContent_4", "txt_0", "txt_1", then "Image1", "Label1", "cmdOK",
// "cmdSysInfo".

// Qt
#include <QDialog>

// std
#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and fills them from gAlbum (empty when there is
    // no album); the icon is `owner`'s (or the application's).
    explicit frmAbout(QWidget* owner = nullptr);

    // A click on lblContent(index): 2 opens the web address, first putting
    // "http://" in front of gAlbum's address when it does not start with it
    // (in any letter case), so it stays prefixed for the rest of the run;
    // 3 opens "mailto:" + the e-mail address; blank addresses and other
    // indices do nothing. Links go through Desktop().openUrl.
    void lblContent_Click(int index);
    // Closes the box.
    void cmdOK_Click();
    // Runs StartSysInfo over the box.
    void cmdSysInfo_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();

    std::array<QLabel*, 6> m_lbl{};
    std::array<QLabel*, 5> m_lblContent{};
    std::array<QPlainTextEdit*, 2> m_txt{};
    QLabel* m_image1 = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
    // Cleared by the window's settings read on load.
    bool m_settingsFlag = false;
    // Re-entry marks: a message box or link handler may let clicks through.
    bool m_inContentClick = false;
    bool m_inSysInfoClick = false;
};

// Called by the player window's "About" button: creates a new box owned by
// `owner`, shows it without blocking and returns it; the box deletes itself
// when closed.
frmAbout* ShowAboutBox(QWidget* owner);

// The picture size of the info line, "(640 x 480)": each number in the
// shortest text of a single-precision number.
QString PictureSizeText(float width, float height);

} // namespace tarnwick
