#pragma once
// The player window: shows one album. Created by the start-up routine,
// lives until the user closes it; on close it releases the album's
// unpacked files and the single-instance claim.

// Qt
#include <QWidget>

namespace tarnwick {

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // Runs the window's load handler once: caption and set-up by start mode.
    // The start-up routine calls it before showing or to load it hidden.
    void Load();
    bool IsLoaded() const { return m_loaded; }

    // The caption the window carries for the album.
    static QString CaptionFor(const QString& albumTitle);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_loaded = false;
};

} // namespace tarnwick
