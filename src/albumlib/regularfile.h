#pragma once
// Opening a file of the album for reading without ever blocking: a name
// that is a FIFO, a device or a socket (a hostile album can hold any) would
// block the window thread in open() for as long as no writer comes, so only
// regular files are opened, and the open itself never waits. Any thread.

// Qt
#include <QFile>
#include <QString>

namespace tarnwick {

// Opens `realPath` (a real Linux path, already resolved) read-only into
// `file` when it is a regular file (a link to one is followed); false,
// leaving `file` closed, for anything else or a file that cannot be read.
bool OpenRegularFile(QFile& file, const QString& realPath);

} // namespace tarnwick
