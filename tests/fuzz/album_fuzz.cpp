// Album information text: any text loads, and what the player then reads
// back stays within the limits the album model promises.

// ours
#include "fuzzcheck.h"
#include "album.h"
#include "pathresolver.h"

// std
#include <cstdint>
#include <cstdlib>

namespace {

using namespace tarnwick;

using fuzz::check;

bool plainOrEmpty(const QString& name)
{
    return name.isEmpty() || isPlainFileName(name);
}

void touch(const AlbumPhoto& photo, const QStringList& fields)
{
    check(plainOrEmpty(photo.FileName()) && plainOrEmpty(photo.ThumbnailFileName()));
    for (const QString& field : fields)
        (void)photo.FieldValue(field).size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Album album;
    album.LoadText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QStringList fields = album.FieldNames();
    check(fields.size() <= 64);
    for (const QString& field : fields)
        (void)album.FieldVisible(field);
    const qint64 width = album.PictureWidth(), height = album.PictureHeight();
    check(width >= 1 && height >= 1 && width <= 16384 && height <= 16384);
    check(width * height <= 64LL * 1024 * 1024);
    (void)(album.Title() + album.Author() + album.EMail() + album.Web() + album.Description()
           + album.OtherInfo() + album.InfoLine());
    touch(album.FrontCover(), fields);
    touch(album.BackCover(), fields);
    for (int i = 1; i <= album.Musics().Count(); ++i)
        check(plainOrEmpty(album.Musics().Item(i).FileName()));
    for (int c = 1; c <= album.CategoryCount(); ++c) {
        const AlbumCategory& category = album.Categories().Item(c);
        (void)category.Name().size();
        touch(category.FrontCover(), fields);
        touch(category.BackCover(), fields);
        for (int p = 1; p <= category.PhotoCount(); ++p)
            touch(category.Photos().Item(p), fields);
    }
    return 0;
}
