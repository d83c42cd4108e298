#pragma once
// The player window: shows one album as a slideshow in the picture area
// PM(0), with the side panel fra(0) floating over it. A thin view over
// PlayerCore, which it feeds with the window's events and which it shows.
// Created by the start-up routine, lives until the user closes it; the close
// plays the album's back cover and ends the program.

// ours
#include "playercore.h"
#include "playerview.h"
#include "realhost.h"

// Qt
#include <QWidget>

// std
#include <array>
#include <functional>
#include <memory>

class QFrame;
class QLabel;

namespace tarnwick {

class PictureBox;
class SidePanel;

class frmMain : public QWidget, private PlayerView {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs the window's load handler once: caption and set-up by start mode.
    // The start-up routine calls it before showing or to load it hidden.
    void Load();
    bool IsLoaded() const { return m_loaded; }

    // The caption the window carries for the album.
    static QString CaptionFor(const QString& albumTitle);

    // What "About" and "Parameter" open; set by the start-up routine, which
    // knows the dialogs. Unset, the buttons do nothing.
    std::function<void(QWidget* owner)> openAbout;
    std::function<void(QWidget* owner)> openParameter;
    // The full-screen saver's stop, asked first when the window closes in
    // a full-screen saver run: false keeps the window (and the run) going.
    // Unset, the close goes on.
    std::function<bool()> stopScreenSaver;
    // Whether a key or a left click ends a full-screen saver run; off when
    // the saver draws into a window of a saver program that watches the
    // input itself.
    bool saverEndsOnInput = true;

    // Ends the program now, quietly: the transition being drawn stops, no
    // back cover, no pause (a saver told to go, its window gone).
    void EndNow();

    PlayerCore& core() { return *m_core; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The full-screen saver holds the keyboard for the whole window; its
    // keys count as keys on the picture.
    void keyPressEvent(QKeyEvent* event) override;
    // A click beside the picture counts as one on it (the saver ends on a
    // left click anywhere).
    void mousePressEvent(QMouseEvent* event) override;

private:
    // PlayerView.
    void hideThumbnails() override {}
    void loadThumbnails(AlbumCategory&) override {}
    void keepThumbnailInView(int) override {}
    void hideCaption() override;
    void placeCaption(const QString& text) override;
    void setCaptionShown(bool shown) override;
    void processEvents() override;
    void refreshDisplay() override;
    void stripEntryChanged(int k) override;
    void stripChanged() override;
    void categoryListChanged(const QStringList& names) override;
    void categoryListIndexChanged(int index) override;
    void setPanelVisible(bool visible) override;
    void checkBoxChanged(int index, bool checked) override;
    void closeWindow() override;
    QSize screenSize() const override;
    QImage captureDesktop() override;
    void showFailure(const QString& description) override;

    void pictureResized(int index);
    void pictureMouseMoved(int index, Qt::MouseButtons buttons, QPointF pos);
    void pictureMousePressed(int index, Qt::MouseButtons buttons, QPointF pos);
    void pictureKeyPressed(int index, int key);
    void commandClicked(int index);
    void checkClicked(int index, bool checked);
    bool eventFilter(QObject* watched, QEvent* event) override;

    RealHost m_host;
    std::unique_ptr<PlayerCore> m_core;
    std::array<PictureBox*, 4> m_pm{};
    SidePanel* m_panel = nullptr;
    QFrame* m_captionFrame = nullptr;
    QLabel* m_caption = nullptr;
    bool m_loaded = false;
    bool m_endingNow = false;
    bool m_inKeyPress = false;
    bool m_inMousePress = false;
};

} // namespace tarnwick
