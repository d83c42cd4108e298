#pragma once
// A picture box of the player window: shows a Surface's current image as it
// is, pixel for pixel, and reports the mouse and keys with its index. PM(0)
// is the display the transitions draw on; PM(1) to PM(3) are the engine's
// work surfaces, kept hidden at the display's place and size.

// Qt
#include <QWidget>

namespace tarnwick {

class Surface;

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(int index, QWidget* parent);

    int index() const { return m_index; }
    // The surface shown; not owned, may be null (nothing is drawn).
    void setSurface(const Surface* surface) { m_surface = surface; }

signals:
    void mouseMoved(int index, Qt::MouseButtons buttons, QPointF pos);
    void mousePressed(int index, Qt::MouseButtons buttons, QPointF pos);
    void keyPressed(int index, int key);
    void resized(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_index;
    const Surface* m_surface = nullptr;
};

} // namespace tarnwick
