#include "initext.h"

namespace tarnwick {

namespace {

QString foldedName(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

bool isHeaderLine(const QString& line)
{
    for (QChar c : line) {
        if (!c.isSpace())
            return c == u'[';
    }
    return false;
}

bool isCommentLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// The trimmed name of a header line, or a null string when the line has no
// closing "]" (it still ends the section before it).
QString headerName(const QString& line)
{
    const qsizetype open = line.indexOf(u'[');
    const qsizetype close = line.indexOf(u']', open + 1);
    if (close < 0)
        return QString();
    return line.mid(open + 1, close - open - 1).trimmed();
}

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

IniText::IniText(const QString& text)
{
    m_lines = text.split(u'\n');
    // A final line end does not start another line.
    if (!m_lines.isEmpty() && m_lines.back().isEmpty())
        m_lines.removeLast();
    for (QString& line : m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    reindex();
}

void IniText::reindex()
{
    m_entries.clear();
    m_headers.clear();
    QHash<QString, qsizetype>* section = nullptr;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (isHeaderLine(line)) {
            const QString name = headerName(line);
            section = nullptr;
            if (name.isNull())
                continue;
            const QString folded = name.toCaseFolded();
            if (!m_headers.contains(folded))
                m_headers.insert(folded, i);
            section = &m_entries[folded];
            continue;
        }
        if (!section || isCommentLine(line))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = foldedName(line.left(eq));
        if (!key.isEmpty() && !section->contains(key))
            section->insert(key, i);
    }
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const
{
    const auto entries = m_entries.constFind(foldedName(section));
    if (entries == m_entries.cend())
        return std::nullopt;
    const auto line = entries->constFind(foldedName(key));
    if (line == entries->cend())
        return std::nullopt;
    const QString& text = m_lines.at(*line);
    return text.mid(text.indexOf(u'=') + 1).trimmed();
}

bool IniText::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty() || sectionName.contains(u']')
        || keyName.contains(u'=') || keyName.startsWith(u'[') || keyName.startsWith(u';')
        || keyName.startsWith(u'#') || hasLineBreak(section) || hasLineBreak(key)
        || hasLineBreak(value))
        return false;

    const QString folded = sectionName.toCaseFolded();
    const auto entries = m_entries.constFind(folded);
    if (entries != m_entries.cend()) {
        const auto found = entries->constFind(keyName.toCaseFolded());
        if (found != entries->cend()) {
            QString& line = m_lines[*found];
            line = line.left(line.indexOf(u'=') + 1) + value;
            return true;
        }
    }

    const QString entry = keyName + u'=' + value;
    const auto header = m_headers.constFind(folded);
    if (header == m_headers.cend()) {
        m_lines << u'[' + sectionName + u']' << entry;
    } else {
        qsizetype insertAt = *header + 1;
        for (qsizetype i = *header + 1; i < m_lines.size() && !isHeaderLine(m_lines.at(i)); ++i) {
            if (!m_lines.at(i).trimmed().isEmpty())
                insertAt = i + 1;
        }
        m_lines.insert(insertAt, entry);
    }
    reindex();
    return true;
}

QString IniText::toText() const
{
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace tarnwick
