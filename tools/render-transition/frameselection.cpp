#include "frameselection.h"

// Qt
#include <QStringList>

namespace tarnwick {

std::optional<FrameSelection> FrameSelection::parse(const QString& text)
{
    FrameSelection selection;
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
        return selection;
    if (trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        selection.m_kind = Kind::None;
        return selection;
    }
    selection.m_kind = Kind::List;
    for (const QString& part : trimmed.split(QLatin1Char(','))) {
        bool ok = false;
        const int frame = part.trimmed().toInt(&ok);
        if (!ok || frame < 1)
            return std::nullopt;
        selection.m_frames.insert(frame);
    }
    return selection;
}

bool FrameSelection::contains(int frame) const
{
    switch (m_kind) {
    case Kind::All:
        return true;
    case Kind::None:
        return false;
    case Kind::List:
        return m_frames.count(frame) > 0;
    }
    return false;
}

} // namespace tarnwick
