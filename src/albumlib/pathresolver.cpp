#include "pathresolver.h"

// Qt
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tarnwick {

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

// The entry of `folder` that `component` names: the exact name when it
// exists, else the first case-insensitive match, else an empty string.
QString findEntry(const QString& folder, const QString& component)
{
    const QString lookIn = folder.isEmpty() ? QStringLiteral(".") : folder;
    QString exact = folder;
    if (!exact.isEmpty() && !exact.endsWith(u'/'))
        exact += u'/';
    exact += component;
    if (QFileInfo::exists(exact))
        return component;
    const QStringList entries = QDir(lookIn).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
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
