#pragma once
// The thumbnail strip of the side panel as data: its entries (picture, tag,
// visibility), the slot geometry inside the viewport, the scroll bar's
// value and range, and the blue highlight behind the shown picture's entry.
// The player fills it when a category opens; the window draws it. Entries
// once made are never removed, only hidden. Window thread only.
//
// Geometry is in viewport pixels: a slot is as large as the highlight
// (SW x SH); entry k lies at (4, k * SH + 4 - value) with size
// (SW - 8) x (SH - 8), so the highlight frames it with a 4-pixel border.

// Qt
#include <QImage>
#include <QRect>
#include <QString>

// std
#include <vector>

namespace tarnwick {

class ThumbnailStrip {
public:
    // The tags of the cover entries; a photo's entry carries its number.
    static const QString kFrontCoverTag;
    static const QString kBackCoverTag;

    struct Entry {
        QString tag;
        QImage picture;
        bool visible = false;
    };

    // Slot 111 x 85 and a viewport 441 pixels high: the panel's design
    // sizes at 15 twips a pixel.
    ThumbnailStrip();

    void setSlotSize(int width, int height);
    void setViewportHeight(int height);
    int slotWidth() const { return m_slotWidth; }
    int slotHeight() const { return m_slotHeight; }
    int viewportHeight() const { return m_viewportHeight; }

    // Entries made so far (hidden ones too); the upper bound is count() - 1.
    int count() const { return static_cast<int>(m_entries.size()); }
    const Entry& entry(int k) const { return m_entries.at(static_cast<std::size_t>(k)); }
    // False for an index outside the entries.
    bool isVisible(int k) const;
    QRect entryRect(int k) const;
    // The highest visible entry, -1 when none is.
    int lastVisible() const;
    // The entry that stands for picture `number` of the category: the
    // number itself when entry 0 is the visible front cover, else one less.
    int entryForPicture(int number) const;

    // Hides every entry and the highlight (the category is left).
    void hideAll();
    // Starts a build: hides every entry and the highlight and disables the
    // scroll bar; the value stays.
    void beginBuild();
    // Fills entry k (made when k is past the upper bound) and shows it;
    // recomputes the scroll range unless it is the front cover.
    void setEntry(int k, const QString& tag, const QImage& picture, bool updateRange = true);
    // Ends a build: large and small change from the range.
    void finishBuild();

    // The scroll bar: Min 0, Max from the entries, enabled when Max > 0.
    int value() const { return m_value; }
    int maximum() const { return m_maximum; }
    int largeChange() const { return m_largeChange; }
    int smallChange() const { return m_smallChange; }
    bool scrollEnabled() const { return m_scrollEnabled; }
    // Sets the value; one outside 0..Max is refused (returns false, nothing
    // changes).
    bool setValue(int value);

    bool highlightVisible() const { return m_highlightVisible; }
    // Top of the highlight in viewport pixels (entry top - 4).
    int highlightTop() const { return m_highlightTop; }
    void hideHighlight() { m_highlightVisible = false; }
    // Puts the highlight behind entry k and shows it.
    void highlightEntry(int k);

private:
    void updateRange(int lastEntry);

    std::vector<Entry> m_entries;
    int m_slotWidth = 111;
    int m_slotHeight = 85;
    int m_viewportHeight = 441;
    int m_value = 0;
    int m_maximum = 0;
    int m_largeChange = 1;
    int m_smallChange = 1;
    bool m_scrollEnabled = false;
    bool m_highlightVisible = false;
    int m_highlightTop = 0;
};

} // namespace tarnwick
