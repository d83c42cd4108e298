#pragma once
// A packed album's container file and the files unpacked from it. One
// object names the container to read (FileName); a second names the file a
// copy writes (OutputFile). Objects hold only the two names; any thread may
// use its own objects. Paths go through resolvePath.

// Qt
#include <QString>

// std
#include <optional>

namespace tarnwick {

class PackedFile {
public:
    // A container the album maker writes begins with a header: these 8
    // bytes, then the offset of the picture data (32 bits, little endian).
    static constexpr char kMagic[] = "TWKALBUM";
    static constexpr int kMagicBytes = 8;

    // The picture data offset the header of the container at `path` gives;
    // nothing for a file that has no header (or is no regular file).
    static std::optional<qint64> HeaderOffset(const QString& path);

    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& path) { m_fileName = path; }
    QString OutputFile() const { return m_outputFile; }
    void SetOutputFile(const QString& path) { m_outputFile = path; }

    // Copies `length` bytes of this object's container, from the 1-based
    // byte position `start` on, byte for byte into target.OutputFile(),
    // which is created or replaced. The bytes stream through in chunks into
    // a new temporary file in the output's folder that is then renamed over
    // the output name, so a cut-off copy never stands under that name and a
    // symbolic link there is replaced by the file, never written through.
    // Length 0 writes an empty file. `mode` is 1 (binary copy), the only
    // kind there is.
    // Returns false, writing nothing, when start < 1, length < 0, the range
    // runs past the container's end, the container is missing, the output's
    // file name is "." or ".." (or empty), the output name is taken by
    // anything but a file or a symbolic link (a folder, FIFO, device or
    // socket is never opened), or the output cannot be written.
    bool CopyTo(qint64 start, PackedFile& target, int mode, qint64 length) const;

private:
    QString m_fileName;
    QString m_outputFile;
};

} // namespace tarnwick
