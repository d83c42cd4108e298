#include "albumphoto.h"

// ours
#include "pathresolver.h"

namespace tarnwick {

namespace {

QString plainOrEmpty(const QString& name)
{
    const QString trimmed = name.trimmed();
    return isPlainFileName(trimmed) ? trimmed : QString();
}

} // namespace

QString AlbumPhoto::FieldValue(const QString& name) const
{
    return m_fields.value(name.trimmed().toCaseFolded());
}

void AlbumPhoto::SetFileName(const QString& name)
{
    m_fileName = plainOrEmpty(name);
}

void AlbumPhoto::SetThumbnailFileName(const QString& name)
{
    m_thumbnailFileName = plainOrEmpty(name);
}

void AlbumPhoto::SetFieldValue(const QString& name, const QString& value)
{
    m_fields.insert(name.trimmed().toCaseFolded(), value);
}

} // namespace tarnwick
