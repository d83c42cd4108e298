// ours
#include "thumbnailstrip.h"

// std
#include <algorithm>

namespace tarnwick {

const QString ThumbnailStrip::kFrontCoverTag = QStringLiteral("Front Cover");
const QString ThumbnailStrip::kBackCoverTag = QStringLiteral("Back Cover");

ThumbnailStrip::ThumbnailStrip() = default;

void ThumbnailStrip::setSlotSize(int width, int height)
{
    m_slotWidth = std::max(width, 9);
    m_slotHeight = std::max(height, 9);
}

void ThumbnailStrip::setViewportHeight(int height)
{
    m_viewportHeight = std::max(height, 0);
}

bool ThumbnailStrip::isVisible(int k) const
{
    return k >= 0 && k < count() && m_entries[static_cast<std::size_t>(k)].visible;
}

QRect ThumbnailStrip::entryRect(int k) const
{
    return QRect(4, k * m_slotHeight + 4 - m_value, m_slotWidth - 8, m_slotHeight - 8);
}

int ThumbnailStrip::lastVisible() const
{
    for (int k = count() - 1; k >= 0; --k) {
        if (m_entries[static_cast<std::size_t>(k)].visible)
            return k;
    }
    return -1;
}

int ThumbnailStrip::entryForPicture(int number) const
{
    const bool frontCover = isVisible(0) && m_entries.front().tag == kFrontCoverTag;
    return frontCover ? number : number - 1;
}

void ThumbnailStrip::hideAll()
{
    for (Entry& e : m_entries)
        e.visible = false;
    m_highlightVisible = false;
}

void ThumbnailStrip::beginBuild()
{
    hideAll();
    m_scrollEnabled = false;
}

void ThumbnailStrip::setEntry(int k, const QString& tag, const QImage& picture, bool updateRange)
{
    if (k < 0)
        return;
    if (k >= count())
        m_entries.resize(static_cast<std::size_t>(k) + 1);
    Entry& e = m_entries[static_cast<std::size_t>(k)];
    e.tag = tag;
    e.picture = picture;
    e.visible = true;
    if (updateRange)
        this->updateRange(k);
}

void ThumbnailStrip::updateRange(int lastEntry)
{
    // From the slot tops: (last top - 4 + SH) - (first top - 4) - viewport.
    const int extent = (entryRect(lastEntry).top() - 4 + m_slotHeight) - (entryRect(0).top() - 4);
    m_maximum = std::max(extent - m_viewportHeight, 0);
    m_scrollEnabled = m_maximum != 0;
    if (m_value > m_maximum)
        m_value = m_maximum;
}

void ThumbnailStrip::finishBuild()
{
    if (!m_scrollEnabled)
        return;
    m_largeChange = std::max(std::min(m_viewportHeight, m_maximum), 1);
    m_smallChange = std::max(std::min(m_slotHeight, m_maximum), 1);
}

bool ThumbnailStrip::setValue(int value)
{
    if (value < 0 || value > m_maximum)
        return false;
    m_value = value;
    return true;
}

void ThumbnailStrip::highlightEntry(int k)
{
    m_highlightTop = entryRect(k).top() - 4;
    m_highlightVisible = true;
}

} // namespace tarnwick
