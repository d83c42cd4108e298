#include "albuminfowriter.h"

// Qt
#include <QStringList>

namespace tarnwick {

namespace {

class IniText {
public:
    void section(const QString& name) { m_text += (m_text.isEmpty() ? QString() : eol()) + "[" + name + "]" + eol(); }
    void entry(const QString& key, const QString& value)
    {
        m_text += key + "=" + AlbumInfoWriter::value(value) + eol();
    }
    void entry(const QString& key, int value) { m_text += key + "=" + QString::number(value) + eol(); }
    void picture(const QString& key, const DraftPicture& p) { entry(key, p.fileName + "|" + p.thumbnailFileName); }
    QString text() const { return m_text; }

private:
    static QString eol() { return QString::fromLatin1(AlbumInfoWriter::LineEnd); }
    QString m_text;
};

// The caption fields of every photo, in the order the player shows them.
struct CaptionField {
    const char* name;
    QString DraftPicture::*value;
};
constexpr CaptionField CaptionFields[] = {
    {"Title", &DraftPicture::title},
    {"Date", &DraftPicture::date},
    {"Camera", &DraftPicture::camera},
};

bool hasValue(const AlbumDraft& draft, QString DraftPicture::*value)
{
    for (const DraftCategory& category : draft.categories) {
        for (const DraftPicture& photo : category.photos) {
            if (!(photo.*value).isEmpty())
                return true;
        }
    }
    return false;
}

} // namespace

QString AlbumInfoWriter::value(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            // CR LF and a lone CR are both one line break.
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\\') {
            // Keeps "C:\new" from reading back as a line break.
            out += QStringLiteral("\\\\");
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator) {
            out += u' ';
        } else {
            out += c;
        }
    }
    return out.trimmed();
}

QString AlbumInfoWriter::text(const AlbumDraft& draft)
{
    IniText ini;
    ini.section("Album");
    ini.entry("Title", draft.title);
    ini.entry("Author", draft.author);
    ini.entry("EMail", draft.email);
    ini.entry("Web", draft.web);
    ini.entry("Description", draft.description);
    ini.entry("OtherInfo", draft.otherInfo);
    ini.entry("InfoLine", draft.infoLine);
    ini.entry("PictureWidth", draft.pictureSize.width());
    ini.entry("PictureHeight", draft.pictureSize.height());
    QStringList fields;
    QStringList hidden;
    for (const CaptionField& field : CaptionFields) {
        fields.append(QString::fromLatin1(field.name));
        // A field no photo has a value for would only show an empty line.
        if (!hasValue(draft, field.value))
            hidden.append(QString::fromLatin1(field.name));
    }
    ini.entry("Fields", fields.join(u'|'));
    ini.entry("HiddenFields", hidden.join(u'|'));
    ini.picture("FrontCover", draft.frontCover);
    ini.picture("BackCover", draft.backCover);
    ini.entry("Categories", int(draft.categories.size()));
    ini.entry("Musics", int(draft.musicFiles.size()));

    for (qsizetype m = 0; m < draft.musicFiles.size(); ++m) {
        ini.section(QStringLiteral("Music%1").arg(m + 1));
        ini.entry("File", draft.musicFiles[m]);
    }
    for (qsizetype c = 0; c < draft.categories.size(); ++c) {
        const DraftCategory& category = draft.categories[c];
        ini.section(QStringLiteral("Category%1").arg(c + 1));
        ini.entry("Name", category.name);
        ini.picture("FrontCover", category.frontCover);
        ini.picture("BackCover", category.backCover);
        ini.entry("Photos", int(category.photos.size()));
        for (qsizetype p = 0; p < category.photos.size(); ++p) {
            const QString key = QStringLiteral("Photo%1").arg(p + 1);
            ini.picture(key, category.photos[p]);
            for (const CaptionField& field : CaptionFields)
                ini.entry(key + u'.' + QString::fromLatin1(field.name), category.photos[p].*field.value);
        }
    }
    return ini.text();
}

} // namespace tarnwick
