// ours
#include "picturebox.h"

#include "surface.h"

// Qt
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace tarnwick {

PictureBox::PictureBox(int index, QWidget* parent) : QWidget(parent), m_index(index)
{
    setObjectName(QStringLiteral("PM_%1").arg(index));
    // Every pixel comes from the surface: no background fill before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_surface || m_surface->image().isNull()) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    painter.drawImage(event->rect().topLeft(), m_surface->image(), event->rect());
    // Beyond the surface (while a resize is on its way) stays black.
    const QRegion outside = QRegion(event->rect()) - QRegion(QRect(QPoint(0, 0), m_surface->image().size()));
    for (const QRect& r : outside)
        painter.fillRect(r, Qt::black);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(m_index, event->buttons(), event->position());
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(m_index, event->buttons(), event->position());
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(m_index, event->key());
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized(m_index);
}

} // namespace tarnwick
