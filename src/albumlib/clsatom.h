#pragma once
// The single-instance guard: a lock named after the program folder and the
// executable, held by the first object that takes it for as long as it
// lives. A second guard of the same program, in this or another process,
// finds it taken. The lock file lives in $XDG_RUNTIME_DIR (the temporary
// folder when that is unset); a lock left behind by a crashed run is stale
// and taken over.

// Qt
#include <QString>

// std
#include <memory>

class QLockFile;

namespace tarnwick {

class clsAtom {
public:
    clsAtom();
    ~clsAtom();
    clsAtom(const clsAtom&) = delete;
    clsAtom& operator=(const clsAtom&) = delete;

    // True exactly when this object took the lock.
    bool IsFirstThread() const;

    // The lock file's path for this program.
    static QString LockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tarnwick
