#include "albummaker_support.h"

// Qt
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageWriter>
#include <QProcess>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick::test {

QString binFolder()
{
    return QStringLiteral(TARNWICK_BIN_DIR);
}

MakerRun runMaker(const QStringList& arguments)
{
    QProcess process;
    process.start(binFolder() + QStringLiteral("/tarnwick-album-maker"), arguments);
    MakerRun run;
    // A guard against a hung tool, not a timing check.
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("album-maker did not finish");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void writePicture(const QString& path, QSize size, QColor color)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "gif") {
        writeBytes(path, QByteArray::fromHex("47494638396101000100800000ff0000000000"
                                             "2c0000000001000100000002024401003b"));
        setModified(path, fixedTime());
        return;
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    writePicture(path, image);
}

void writePicture(const QString& path, const QImage& image)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, QImageWriter::supportedImageFormats().contains(suffix) ? nullptr : "png"))
        ADD_FAILURE() << "cannot write test picture " << path.toStdString();
    setModified(path, fixedTime());
}

QDateTime fixedTime()
{
    return QDateTime(QDate(2020, 1, 1), QTime(12, 0));
}

void setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(time, QFileDevice::FileModificationTime))
        ADD_FAILURE() << "cannot set the time of " << path.toStdString();
}

QByteArray tiffBlock(bool bigEndian, const QVector<TiffEntry>& ifd0, const QVector<TiffEntry>& exifIfd)
{
    auto number = [&](QByteArray& out, quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            out += char(value >> (8 * (bigEndian ? size - 1 - i : i)));
    };
    QVector<TiffEntry> first = ifd0;
    if (!exifIfd.isEmpty())
        first.append({0x8769, {}, 0});
    const quint32 exifAt = 8 + 2 + 12 * quint32(first.size()) + 4;
    const quint32 dataAt = exifAt + (exifIfd.isEmpty() ? 0 : 2 + 12 * quint32(exifIfd.size()) + 4);
    QByteArray head = bigEndian ? "MM" : "II";
    number(head, 42, 2);
    number(head, 8, 4);
    QByteArray data;
    auto writeIfd = [&](const QVector<TiffEntry>& entries) {
        number(head, entries.size(), 2);
        for (const TiffEntry& e : entries) {
            number(head, e.tag, 2);
            if (e.tag == 0x8769) {
                number(head, 4, 2), number(head, 1, 4), number(head, exifAt, 4);
            } else if (e.text.isEmpty()) {
                number(head, 3, 2), number(head, 1, 4), number(head, e.number, 2), number(head, 0, 2);
            } else {
                const QByteArray text = e.text + '\0';
                number(head, 2, 2), number(head, text.size(), 4);
                if (text.size() <= 4) {
                    head += text.leftJustified(4, '\0');
                } else {
                    number(head, dataAt + data.size(), 4);
                    data += text;
                }
            }
        }
        number(head, 0, 4);
    };
    writeIfd(first);
    if (!exifIfd.isEmpty())
        writeIfd(exifIfd);
    return head + data;
}

QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2;
    return jpeg.left(2) + "\xff\xe1" + char(length >> 8) + char(length & 0xff) + payload + jpeg.mid(2);
}

void addExif(const QString& path, const QByteArray& tiff)
{
    writeBytes(path, withExif(readBytes(path), tiff));
    setModified(path, fixedTime());
}

QString keyValue(const QString& text, const QString& key)
{
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1);
    }
    return {};
}

QList<std::pair<QString, QByteArray>> treeBytes(const QString& folder)
{
    QList<std::pair<QString, QByteArray>> files;
    for (const QString& name : listTree(folder)) {
        if (QFileInfo(QDir(folder).filePath(name)).isFile())
            files.append({name, readBytes(QDir(folder).filePath(name))});
    }
    return files;
}

QStringList listTree(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(folder).relativeFilePath(it.next()));
    names.sort();
    return names;
}

} // namespace tarnwick::test
