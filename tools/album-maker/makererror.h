#pragma once
// The one kind of failure the album maker reports: a sentence for the user,
// printed as "album-maker: <what>" on stderr, after which the run ends with
// a non-zero status and no album is left behind.

// Qt
#include <QString>

// std
#include <stdexcept>

namespace tarnwick {

struct MakerError : std::runtime_error {
    explicit MakerError(const QString& what)
        : std::runtime_error(what.toStdString())
    {
    }
};

} // namespace tarnwick
