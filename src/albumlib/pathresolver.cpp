#include "pathresolver.h"

// Qt
#include <QFile>
#include <QStringList>

// std
#include <cstring>

// POSIX
#include <dirent.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

bool exists(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

// The entry of `folder` that `component` names: the exact name when it
// exists, else the first case-insensitive match in name order (as QDir
// sorts by name), else an empty string. Read straight from the folder: a
// miss is the common case (a file about to be written) and a listing sorted
// by QDir costs a hundred times more than the one stat of a hit.
QString findEntry(const QString& folder, const QString& component)
{
    QString exact = folder;
    if (!exact.isEmpty() && !exact.endsWith(u'/'))
        exact += u'/';
    exact += component;
    if (exists(exact))
        return component;
    DIR* dir = ::opendir(folder.isEmpty() ? "." : QFile::encodeName(folder).constData());
    if (!dir)
        return QString();
    QString found;
    while (const dirent* entry = ::readdir(dir)) {
        if (!std::strcmp(entry->d_name, ".") || !std::strcmp(entry->d_name, ".."))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (name.compare(component, Qt::CaseInsensitive) == 0 && (found.isNull() || name < found))
            found = name;
    }
    ::closedir(dir);
    return found;
}

} // namespace

QString resolvePath(const QString& systemPath)
{
    if (systemPath.isEmpty())
        return QString();
    const bool absolute = isSeparator(systemPath.front());
    const bool trailing = isSeparator(systemPath.back());

    QStringList components;
    QString current;
    for (QChar c : systemPath) {
        if (isSeparator(c)) {
            if (!current.isEmpty())
                components << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        components << current;

    QString result = absolute ? QStringLiteral("/") : QString();
    // A path that exists as written resolves to itself, component by
    // component: one stat instead of one for each.
    if (!components.isEmpty()) {
        QString written = result + components.join(u'/');
        if (exists(written))
            return trailing ? written + u'/' : written;
    }
    bool resolving = true;
    for (qsizetype i = 0; i < components.size(); ++i) {
        QString part = components.at(i);
        if (resolving && part != u"." && part != u"..") {
            // The folder to list: what was resolved so far, without the
            // separator that ends it (except for the root itself).
            QString folder = result;
            if (folder.size() > 1 && folder.endsWith(u'/'))
                folder.chop(1);
            const QString entry = findEntry(folder, part);
            if (entry.isEmpty())
                resolving = false;
            else
                part = entry;
        }
        result += part;
        if (i + 1 < components.size())
            result += u'/';
    }
    if (trailing && !components.isEmpty())
        result += u'/';
    return result;
}

QString systemFileName(const QString& systemPath)
{
    for (qsizetype i = systemPath.size() - 1; i >= 0; --i) {
        if (isSeparator(systemPath.at(i)))
            return systemPath.mid(i + 1);
    }
    return systemPath;
}

QString toSystemFolder(const QString& folder)
{
    if (folder.isEmpty() || isSeparator(folder.back()))
        return folder;
    return folder + u'\\';
}

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (QChar c : name) {
        if (isSeparator(c) || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace tarnwick
