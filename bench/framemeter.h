#pragma once
// The benchmark's application object, which also times how long the window
// takes to put a frame on screen. Every event of the program passes through
// QApplication::notify; while recording, this one times
//   - each update request of a top-level window: the whole repaint of the
//     dirty region into the backing store plus its flush to the X server
//     (what PM(0)'s repaint() costs the engine per frame), and
//   - each paint event inside it, split into the display PM_0 and the other
//     widgets (the side panel floats over the display and is repainted
//     where it overlaps).
// Window thread only; made once in main() in place of QApplication.

// Qt
#include <QApplication>
#include <QElapsedTimer>

// std
#include <cstdint>
#include <vector>

namespace tarnwick::bench {

class FrameMeter : public QApplication {
public:
    // One repaint of a window, times in microseconds of the meter's clock.
    struct Repaint {
        std::int64_t start = 0;
        std::int64_t end = 0;
        std::int64_t displayPaint = 0; // spent painting PM_0
        std::int64_t otherPaint = 0;   // spent painting every other widget
        bool display = false;          // PM_0 was painted in it
    };

    FrameMeter(int& argc, char** argv);

    // Microseconds since the meter was made.
    std::int64_t now() const { return m_clock.nsecsElapsed() / 1000; }

    // Forgets what was recorded and starts recording.
    void start();
    void stop() { m_recording = false; }
    const std::vector<Repaint>& repaints() const { return m_repaints; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QElapsedTimer m_clock;
    bool m_recording = false;
    bool m_inRepaint = false;
    std::vector<Repaint> m_repaints;
};

} // namespace tarnwick::bench
