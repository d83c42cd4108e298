#pragma once
// A key filter for the dialogs' number boxes: only the digits 0 to 9 and
// backspace may be typed. Keys that type no character (arrows, Delete,
// Home, ...), the editing shortcuts held with Ctrl (except paste) and the
// keys the dialog itself answers (Return and Enter press its default
// button, Escape closes it, Tab moves the focus) pass untouched; every
// other typed character, and paste, is dropped, with a beep when the box
// asks for one.
//
// Install it on a QLineEdit with installEventFilter; it is a QObject owned
// by whoever is its parent (normally the dialog). Window thread only.

// Qt
#include <QObject>

class QKeyEvent;

namespace tarnwick {

class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    // `beep`: whether a dropped key sounds the system beep.
    DigitKeyFilter(bool beep, QObject* parent);

    // True when the key press may reach the box.
    static bool Passes(const QKeyEvent& key);

    // How many dropped keys have beeped since the filter was made.
    int Beeps() const { return m_beeps; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_beep;
    int m_beeps = 0;
};

} // namespace tarnwick
