#pragma once
// A progress line on stderr, "pictures 37/200", rewritten in place, shown
// only when stderr is a terminal. It is wiped when the object goes, so a
// message printed afterwards starts on a clean line.

// Qt
#include <QString>

namespace tarnwick {

class ProgressLine {
public:
    ProgressLine(const QString& what, int total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(int done);

private:
    void print(const QByteArray& text);

    const QString m_what;
    const int m_total;
    const bool m_enabled;
    qsizetype m_width = 0;
};

} // namespace tarnwick
