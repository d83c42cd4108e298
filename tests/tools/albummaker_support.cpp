#include "albummaker_support.h"

// Qt
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace tarnwick::test {

QStringList MakerRun::errLines() const
{
    return err.split(u'\n', Qt::SkipEmptyParts);
}

QString binFolder()
{
    return QStringLiteral(TARNWICK_BIN_DIR);
}

MakerRun runMaker(const QStringList& arguments)
{
    QProcess process;
    process.start(binFolder() + QStringLiteral("/album-maker"), arguments);
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
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(path))
        ADD_FAILURE() << "cannot write test picture " << path.toStdString();
}

QByteArray tinyRedGif()
{
    // Qt reads GIF but cannot write it: a 1x1 picture, one red pixel.
    return QByteArray::fromHex("474946383961"
                               "01000100800000"
                               "ff0000000000"
                               "2c00000000010001000000"
                               "0202440100"
                               "3b");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QMap<QString, QPair<qint64, qint64>> indexEntries(const QString& text, const QString& section)
{
    QMap<QString, QPair<qint64, qint64>> entries;
    bool inSection = false;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inSection = line == u'[' + section + u']';
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inSection || eq < 0)
            continue;
        const QStringList numbers = line.mid(eq + 1).split(u',');
        entries.insert(line.left(eq), {numbers.value(0).toLongLong(), numbers.value(1).toLongLong()});
    }
    return entries;
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
