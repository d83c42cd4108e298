// A packed album's picture index and container, as "index text\0container
// bytes". The index becomes MainFile.ini; every key in it is unpacked into
// the folder of its section (another section's name is passed as the folder
// itself). Nothing may appear outside the program folder, and the unpacked
// folders may hold only files asked for, no larger than the container.

// ours
#include "fuzzcheck.h"
#include "initext.h"
#include "numbertext.h"
#include "packagefiles.h"
#include "pathresolver.h"
#include "programfolder.h"
#include "session.h"

// Qt
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// std
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;

using fuzz::check;

std::set<std::string> entries(const std::string& folder) // cheaper than QDir
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// root holds album.pak, player/ (the program folder) and an empty sentinel/.
std::string root, program;
std::set<std::string> currentFolder; // what "." held at the start

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    // One folder for the whole run (tmpfs when there is one), removed at exit.
    static QTemporaryDir dir(fs::is_directory("/dev/shm") ? "/dev/shm/tarnwick-packed-XXXXXX" : QString());
    root = dir.path().toStdString(), program = root + "/player";
    check(fs::create_directories(program) && fs::create_directories(root + "/sentinel"));
    currentFolder = entries(".");
    SetProgramFolder(QString::fromStdString(program));
    StartMode = ModePackedAlbum;
    gAlbum = std::make_unique<Album>();
    gAlbum->SetPath(QString::fromStdString(program + '/'));
    gPackReader = std::make_unique<PackedFile>();
    gPackReader->SetFileName(QString::fromStdString(root + "/album.pak"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray index = input.left(input.indexOf('\0')), container = input.mid(index.size() + 1);
    const QString text = QString::fromUtf8(index);
    writeFile(QString::fromStdString(program + "/MainFile.ini"), index);
    writeFile(QString::fromStdString(root + "/album.pak"), container);
    gPackOffset = TextToInt32(IniText(text).value("Pack", "Offset").value_or("0")).value_or(0);

    QHash<QString, QStringList> asked; // folder -> names asked for
    QString folder;
    for (const QString& line : text.split('\n').mid(0, 16)) {
        if (line.trimmed().startsWith('[')) {
            folder = line.trimmed().mid(1).section(']', 0, 0).trimmed();
            folder = folder == "PicResultFile" ? kResultPicture : folder == "PicThumbnailFile" ? kMainAlbum : folder;
        } else if (line.contains('=')) {
            ExtractPicture(line.section('=', 0, 0).trimmed(), folder);
            asked[folder] << line.section('=', 0, 0).trimmed();
        }
    }

    check(entries(root) == std::set<std::string>{"album.pak", "player", "sentinel"});
    check(entries(root + "/sentinel").empty());
    // The current folder may be shared: only plain names this input gave count.
    for (auto it = asked.cbegin(); it != asked.cend(); ++it) {
        for (const QString& name : it.value() + QStringList{it.key(), kResultPicture, kMainAlbum}) {
            // Not QFileInfo: it takes ":" and ":/..." for Qt's built-in resources.
            const std::string plain = name.toStdString();
            std::error_code error; // a name too long is one that names nothing
            check(!isPlainFileName(name) || !fs::exists(fs::symlink_status(plain, error))
                  || currentFolder.count(plain));
        }
    }
    for (const std::string& sub : entries(program)) {
        if (sub == "MainFile.ini")
            continue;
        check(sub == kResultPicture || sub == kMainAlbum);
        for (const std::string& name : entries(program + '/' + sub)) {
            const fs::path file = program + '/' + sub + '/' + name;
            check(fs::is_regular_file(fs::symlink_status(file)) && asked[sub.c_str()].contains(name.c_str()));
            check(qsizetype(fs::file_size(file)) <= container.size() && fs::remove(file));
        }
    }
    return 0;
}
