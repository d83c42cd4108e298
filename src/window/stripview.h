#pragma once
// The viewport PT of the thumbnail strip: shows the entries of a
// ThumbnailStrip model as image controls imgThumbnail(k) over the blue
// highlight lblBack, and reports clicks on a shown entry. Entries once made
// stay, hidden when the category does not need them.

// ours
#include "thumbnailstrip.h"

// Qt
#include <QLabel>
#include <QWidget>

// std
#include <vector>

namespace tarnwick {

class StripView : public QWidget {
    Q_OBJECT
public:
    // `model` is not owned and must outlive the view.
    StripView(const ThumbnailStrip& model, QWidget* parent);

    // Entry k of the model was filled or shown.
    void entryChanged(int k);
    // Everything may have moved: entries, visibility and the highlight.
    void sync();

    QLabel* thumbnail(int k) const;
    QLabel* highlight() const { return m_back; }

signals:
    // A shown entry was clicked.
    void thumbnailClicked(int k);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void place(int k);

    const ThumbnailStrip& m_model;
    QLabel* m_back;
    std::vector<QLabel*> m_entries;
};

} // namespace tarnwick
