#pragma once
// What the album maker has decided about the album it is writing: the
// texts of the information file and the generated file names of every
// picture. The builder fills it while it writes the pictures; the
// information writer and the packer only read it.

// Qt
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarnwick {

// One picture of the album: the full picture in ResultPicture and its
// thumbnail in MainAlbum, both named by the maker (never the user's names).
struct DraftPicture {
    QString fileName;
    QString thumbnailFileName;
    // The caption fields; photos only.
    QString title;
    QString date;   // when it was taken, "2024-05-17 14:03"
    QString camera;
};

struct DraftCategory {
    QString name;
    DraftPicture frontCover;
    DraftPicture backCover;
    QVector<DraftPicture> photos;
};

struct AlbumDraft {
    QString title;
    QString author;
    QString email;
    QString web;
    QString description;
    QString otherInfo;
    QString infoLine;
    QSize pictureSize;
    DraftPicture frontCover;
    DraftPicture backCover;
    QVector<DraftCategory> categories;
    QStringList musicFiles; // file names in MainAlbum

    // Every picture in show order: the album's front cover, each category's
    // front cover, photos and back cover, then the album's back cover.
    QVector<const DraftPicture*> pictures() const
    {
        QVector<const DraftPicture*> all{&frontCover};
        for (const DraftCategory& category : categories) {
            all.append(&category.frontCover);
            for (const DraftPicture& photo : category.photos)
                all.append(&photo);
            all.append(&category.backCover);
        }
        all.append(&backCover);
        return all;
    }

    int photoCount() const
    {
        int count = 0;
        for (const DraftCategory& category : categories)
            count += category.photos.size();
        return count;
    }
};

} // namespace tarnwick
