// ours
#include "stripview.h"

// Qt
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>

namespace tarnwick {

StripView::StripView(const ThumbnailStrip& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_back(new QLabel(this))
{
    setObjectName(QStringLiteral("PT"));
    m_back->setObjectName(QStringLiteral("lblBack"));
    m_back->setAutoFillBackground(true);
    QPalette pal = m_back->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    m_back->setPalette(pal);
    m_back->hide();
    // Clicks go to the viewport, which knows which entry lies under them.
    m_back->setAttribute(Qt::WA_TransparentForMouseEvents);
    entryChanged(0);
    m_entries[0]->hide();
}

QLabel* StripView::thumbnail(int k) const
{
    return k >= 0 && k < static_cast<int>(m_entries.size()) ? m_entries[static_cast<std::size_t>(k)] : nullptr;
}

void StripView::place(int k)
{
    QLabel* label = m_entries[static_cast<std::size_t>(k)];
    label->setGeometry(m_model.entryRect(k));
    label->setVisible(m_model.isVisible(k));
}

void StripView::entryChanged(int k)
{
    while (static_cast<int>(m_entries.size()) <= k) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("imgThumbnail_%1").arg(m_entries.size()));
        label->setScaledContents(true);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->hide();
        m_entries.push_back(label);
    }
    if (k >= m_model.count())
        return;
    QLabel* label = m_entries[static_cast<std::size_t>(k)];
    const ThumbnailStrip::Entry& entry = m_model.entry(k);
    label->setPixmap(QPixmap::fromImage(entry.picture));
    label->setToolTip(entry.tag);
    label->setProperty("Tag", entry.tag);
    place(k);
    label->raise();
}

void StripView::sync()
{
    for (int k = 0; k < static_cast<int>(m_entries.size()) && k < m_model.count(); ++k)
        place(k);
    for (int k = m_model.count(); k < static_cast<int>(m_entries.size()); ++k)
        m_entries[static_cast<std::size_t>(k)]->hide();
    m_back->setGeometry(0, m_model.highlightTop(), m_model.slotWidth(), m_model.slotHeight());
    m_back->setVisible(m_model.highlightVisible());
    m_back->lower();
}

void StripView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    // The topmost shown entry under the pointer.
    for (int k = static_cast<int>(m_entries.size()) - 1; k >= 0; --k) {
        const QLabel* label = m_entries[static_cast<std::size_t>(k)];
        if (label->isVisible() && label->geometry().contains(at)) {
            emit thumbnailClicked(k);
            return;
        }
    }
}

} // namespace tarnwick
