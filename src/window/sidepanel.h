#pragma once
// The side panel fra(0) of the player window: the heading "Category" that
// drags the panel, the category list, the thumbnail strip with its scroll
// bar (of which only the two arrow ends show, above and below the strip)
// and the tool row fra(1) with "Auto Play", "Music", "About", "Exit" and
// "Parameter". It floats over the picture; the window shows and hides it.
// A thin view: it reports what the user does and shows what it is told.

// Qt
#include <QFrame>
#include <QPoint>
#include <QStringList>

class QComboBox;
class QScrollBar;

namespace tarnwick {

class StripView;
class ThumbnailStrip;

class SidePanel : public QFrame {
    Q_OBJECT
public:
    // `strip` is not owned and must outlive the panel. `twipsPerPixel`
    // converts the panel's design lengths.
    SidePanel(const ThumbnailStrip& strip, int twipsPerPixel, QWidget* parent);

    StripView& stripView() const { return *m_strip; }
    // A design length in twips as whole pixels of this screen.
    int twips(int length) const;
    // Shows the model's scroll range, value and enabled state.
    void syncScrollBar(const ThumbnailStrip& strip);
    void setCategories(const QStringList& names);
    void setCategoryIndex(int index);
    void setChecked(int index, bool checked);
    bool isChecked(int index) const;

signals:
    void categoryClicked(int listIndex);
    void scrollChanged(int value);
    void checkClicked(int index, bool checked);
    void commandClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:

    int m_twipsPerPixel;
    StripView* m_strip;
    QWidget* m_heading;
    // Kept at hand: the strip's build updates the scroll bar once an entry.
    QComboBox* m_list;
    QScrollBar* m_bar;
    bool m_dragging = false;
    QPoint m_anchor;
};

} // namespace tarnwick
