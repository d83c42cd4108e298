#include "albumtext.h"

namespace tarnwick {

namespace {

constexpr int kMaxCount = 32767;

QString unescape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(i + 1);
            if (next == u'n' || next == u'N') {
                out += u'\n';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString withoutComment(const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u';' && (i == 0 || value.at(i - 1).isSpace()))
            return value.left(i).trimmed();
    }
    return value;
}

} // namespace

QString AlbumText::text(const QString& section, const QString& key) const
{
    return unescape(m_ini.value(section, key).value_or(QString()));
}

QString AlbumText::plain(const QString& section, const QString& key) const
{
    return withoutComment(m_ini.value(section, key).value_or(QString()));
}

int AlbumText::count(const QString& section, const QString& key) const
{
    bool ok = false;
    const qlonglong value = plain(section, key).toLongLong(&ok);
    if (!ok || value < 0)
        return 0;
    return value > kMaxCount ? kMaxCount : static_cast<int>(value);
}

QStringList AlbumText::list(const QString& section, const QString& key) const
{
    QStringList items;
    const QStringList parts = plain(section, key).split(u'|');
    for (const QString& part : parts) {
        const QString item = part.trimmed();
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

} // namespace tarnwick
