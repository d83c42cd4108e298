#pragma once
// A Host with a virtual clock, for tests and tools: pause advances the clock
// without sleeping, nothing else takes time, and every refresh is counted
// and may be handed to a callback (to write the frame, or check it).

// ours
#include "host.h"

// Qt
#include <QStringList>

// std
#include <functional>

namespace tarnwick {

class VirtualHost : public Host {
public:
    using SettingReader = std::function<QString(const QString&, const QString&, const QString&)>;
    using RefreshHandler = std::function<void(const Surface&)>;

    // Without a reader every setting reads as its default.
    void setSettingReader(SettingReader reader) { m_reader = std::move(reader); }
    void setRefreshHandler(RefreshHandler handler) { m_onRefresh = std::move(handler); }

    QString readSetting(const QString& section, const QString& key, const QString& def) override;
    std::int32_t tickCount() override { return static_cast<std::int32_t>(m_now); }
    void pause(std::int32_t ms) override;
    void doEvents() override { ++m_events; }
    void refresh(const Surface& surface) override;
    void showFailure(const QString& description) override { m_failures << description; }

    // Virtual milliseconds since the host was made (sum of the pauses).
    std::int64_t now() const { return m_now; }
    void advance(std::int64_t ms) { m_now += ms; }
    int refreshes() const { return m_refreshes; }
    int events() const { return m_events; }
    int pauses() const { return m_pauses; }
    const QStringList& failures() const { return m_failures; }

private:
    SettingReader m_reader;
    RefreshHandler m_onRefresh;
    std::int64_t m_now = 0;
    int m_refreshes = 0;
    int m_events = 0;
    int m_pauses = 0;
    QStringList m_failures;
};

} // namespace tarnwick
