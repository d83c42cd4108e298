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
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(path, QImageWriter::supportedImageFormats().contains(suffix) ? nullptr : "png"))
        ADD_FAILURE() << "cannot write test picture " << path.toStdString();
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
