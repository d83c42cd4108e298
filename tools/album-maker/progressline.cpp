#include "progressline.h"

// std
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace tarnwick {

ProgressLine::ProgressLine(const QString& what, int total)
    : m_what(what)
    , m_total(total)
    , m_enabled(isatty(STDERR_FILENO) == 1)
{
}

ProgressLine::~ProgressLine()
{
    if (m_width > 0) {
        print(QByteArray(m_width, ' '));
        std::fputc('\r', stderr);
    }
}

void ProgressLine::show(int done)
{
    if (m_enabled)
        print(QStringLiteral("%1 %2/%3").arg(m_what).arg(done).arg(m_total).toUtf8());
}

void ProgressLine::print(const QByteArray& text)
{
    m_width = std::max(m_width, text.size());
    std::fprintf(stderr, "\r%s", text.leftJustified(m_width, ' ').constData());
    std::fflush(stderr);
}

} // namespace tarnwick
