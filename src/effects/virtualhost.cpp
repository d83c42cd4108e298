#include "virtualhost.h"

namespace tarnwick {

QString VirtualHost::readSetting(const QString& section, const QString& key, const QString& def)
{
    return m_reader ? m_reader(section, key, def) : def;
}

void VirtualHost::pause(std::int32_t ms)
{
    ++m_pauses;
    if (ms > 0)
        m_now += ms;
}

void VirtualHost::refresh(const Surface& surface)
{
    ++m_refreshes;
    if (m_onRefresh)
        m_onRefresh(surface);
}

} // namespace tarnwick
