#pragma once
// The frame shared by the settings dialogs that list one row of controls
// per entry of the settings file (dlgParameter, dlgDetail): the hidden
// label lblHeight whose height is the row pitch, the separator lines
// Line1_0, Line1_1, ..., the label lblBottom that marks the bottom of the
// list area, and the default button OKButton (Return presses it, Escape
// closes the dialog without it).
//
// Controls are found by objectName: single controls carry their own name
// ("lblBottom", "OKButton"), elements of a row control array carry the
// array's name, "_" and the 0-based element index ("sldAdjust_0",
// "Line1_3"). The dialog keeps a fixed size: it changes only when the list
// grows, and every change re-runs ArrangeBottom, which puts lblBottom and
// OKButton at the bottom and centres the dialog on its screen.
//
// Window thread only. Every control is a child of the dialog.

// Qt
#include <QDialog>
#include <QList>
#include <QRect>

class QFrame;
class QLabel;
class QPushButton;

namespace tarnwick {

// The objectName of element `index` of a control array.
QString ElementName(const QString& control, int index);

// A rectangle of a design, given in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);

// A row dialog's design, in twips.
struct RowDialogDesign {
    int innerWidth;
    int innerHeight;
    int pitch;   // lblHeight's height
    QRect line;  // Line1_0: left end, height of the line, width to the right end
    QRect bottom; // lblBottom
    QRect ok;    // OKButton (its top is set by ArrangeBottom)
};

class RowDialog : public QDialog {
    Q_OBJECT
public:
    // The row pitch in pixels.
    int Pitch() const;

protected:
    // `owner` becomes the dialog's parent (a dialog window of its own that
    // stays over the owner) and lends it its icon; none for a stand-alone
    // dialog, which takes the application's icon.
    RowDialog(const RowDialogDesign& design, QWidget* owner);

    // Puts `created` one pitch below `previous` at the same size and shows it.
    void PlaceBelow(QWidget* created, const QWidget* previous) const;

    // Adds the next separator line one pitch below the last one; the dialog
    // grows by one pitch when the new line lies below lblBottom's top.
    void AddLine();

    // The bottom of the dialog after a size change: lblBottom to the bottom
    // edge, OKButton above it, the dialog centred on the screen. Dialogs
    // place their own bottom controls after calling this one.
    virtual void ArrangeBottom();

    void resizeEvent(QResizeEvent* event) override;

    QLabel* m_lblHeight;
    QLabel* m_lblBottom;
    QPushButton* m_okButton;
    QList<QFrame*> m_lines;
};

} // namespace tarnwick
