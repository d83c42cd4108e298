#pragma once
// Which refreshed frames the renderer writes: all, none, or a list of
// 1-based refresh numbers ("3,10,42").

// Qt
#include <QString>

// std
#include <optional>
#include <set>

namespace tarnwick {

class FrameSelection {
public:
    // Every frame (the default).
    FrameSelection() = default;

    // Reads "all", "none" or a comma-separated list of frame numbers from 1
    // up (blanks around the numbers are allowed, repeats are harmless);
    // nullopt for anything else, an empty list included.
    static std::optional<FrameSelection> parse(const QString& text);

    // True when the frame with this 1-based refresh number is to be written.
    bool contains(int frame) const;

private:
    enum class Kind { All, None, List };
    Kind m_kind = Kind::All;
    std::set<int> m_frames;
};

} // namespace tarnwick
