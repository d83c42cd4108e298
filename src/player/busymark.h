#pragma once
// The busy flag every handler of the player window keeps: set for the
// length of a scope, so that a call arriving while the handler runs (from a
// nested event during a transition) returns at once. Window thread only.

namespace tarnwick {

class BusyMark {
public:
    explicit BusyMark(bool& flag) : m_flag(flag), m_entered(!flag) { m_flag = true; }
    ~BusyMark()
    {
        if (m_entered)
            m_flag = false;
    }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;
    // False when the handler was already running; the caller returns.
    bool entered() const { return m_entered; }

private:
    bool& m_flag;
    bool m_entered;
};

} // namespace tarnwick
