#include "renderoptions.h"

// Qt
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

namespace tarnwick {

namespace {

const char* const kHelp = R"(Usage: tarnwick-render-transition --effect NAME --from A.png --to B.png [options]

Renders one transition effect from picture A (outgoing) to picture B
(incoming) on a virtual clock, writes the refreshed frames of the display as
8-bit RGB PNG files DIR/frame_NNNN.png (NNNN is the refresh number, from
0001) and prints as its last line

  frames=N hooks=H virtual_ms=T

(refreshes of the display, frame-hook calls with 0, virtual duration).

Options:
  --effect NAME        Blend, Drag, Wipe, Mask, Shutter, Matrix, RndSquare or
                       LineTransform (any letter case)
  --from A.png         outgoing picture; its size is the render size
  --to B.png           incoming picture, scaled to the render size
  --background BG.png  album background that Drag shows, scaled likewise
  --size WxH           render size; A is scaled to it too
  --variant K          use variant K (Shutter: the kind) instead of the drawn
                       one; a K the effect does not have is ignored
  --stagger 0|1        Shutter: use this stagger instead of the drawn one
  --seed S             seed of the random generator (default 0); after it
                       one number is drawn for the effect choice, as the
                       player does, then the effect draws its own
  --settings FILE      player settings file (default: playerprofile.ini
                       beside this program; keys missing there take the
                       effect's defaults)
  --export             render as the video export does (export frame counts)
  --out DIR            folder for the frames (default: the current folder;
                       made when missing)
  --frames SEL         all (default), none, or refresh numbers N,M,...
  --help               this text

Exit status: 0 when the effect ran through; 1 for bad options, a picture or
settings file that cannot be read, a frame that cannot be written, or an
effect name that matches no effect (nothing is drawn and frames=0 is
printed); 2 when the effect failed: "error: <description>" is printed, the
message the player would show, then the summary of what was drawn.
)";

std::optional<QSize> parseSize(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    if (size.width() < 1 || size.height() < 1 || size.width() > 16384 || size.height() > 16384)
        return std::nullopt;
    return size;
}

ParsedOptions error(const QString& message)
{
    ParsedOptions parsed;
    parsed.outcome = ParsedOptions::Outcome::Error;
    parsed.text = message;
    return parsed;
}

} // namespace

ParsedOptions parseRenderOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption effect(QStringLiteral("effect"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("A"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("B"));
    const QCommandLineOption background(QStringLiteral("background"), QString(), QStringLiteral("BG"));
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("WxH"));
    const QCommandLineOption variant(QStringLiteral("variant"), QString(), QStringLiteral("K"));
    const QCommandLineOption stagger(QStringLiteral("stagger"), QString(), QStringLiteral("S"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("S"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption exportMode(QStringLiteral("export"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption frames(QStringLiteral("frames"), QString(), QStringLiteral("SEL"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    parser.addOptions({effect, from, to, background, size, variant, stagger, seed, settings, exportMode,
                       out, frames, help});

    // QCommandLineParser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("tarnwick-render-transition")} + arguments))
        return error(parser.errorText());
    if (parser.isSet(help)) {
        ParsedOptions parsed;
        parsed.outcome = ParsedOptions::Outcome::Help;
        parsed.text = QString::fromUtf8(kHelp);
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* required : {&effect, &from, &to}) {
        if (!parser.isSet(*required) || parser.value(*required).isEmpty())
            return error(QStringLiteral("--%1 is required (see --help)").arg(required->names().first()));
    }

    RenderOptions o;
    o.effect = parser.value(effect);
    o.from = parser.value(from);
    o.to = parser.value(to);
    o.background = parser.value(background);
    o.settings = parser.value(settings);
    o.exportMode = parser.isSet(exportMode);
    if (parser.isSet(out))
        o.outDir = parser.value(out);
    if (parser.isSet(size)) {
        const std::optional<QSize> s = parseSize(parser.value(size));
        if (!s)
            return error(QStringLiteral("--size wants WxH with sides from 1 to 16384, not '%1'")
                             .arg(parser.value(size)));
        o.size = *s;
    }
    bool ok = true;
    if (parser.isSet(variant)) {
        o.variant = parser.value(variant).toInt(&ok);
        if (!ok || o.variant < 0)
            return error(QStringLiteral("--variant wants a whole number from 0, not '%1'").arg(parser.value(variant)));
    }
    if (parser.isSet(stagger)) {
        const QString v = parser.value(stagger).trimmed();
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            return error(QStringLiteral("--stagger wants 0 or 1, not '%1'").arg(parser.value(stagger)));
        o.stagger = v.toInt();
    }
    if (parser.isSet(seed)) {
        o.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return error(QStringLiteral("--seed wants a whole number from 0 to 4294967295, not '%1'")
                             .arg(parser.value(seed)));
    }
    if (parser.isSet(frames)) {
        const std::optional<FrameSelection> selection = FrameSelection::parse(parser.value(frames));
        if (!selection)
            return error(QStringLiteral("--frames wants all, none or frame numbers N,M,... from 1, not '%1'")
                             .arg(parser.value(frames)));
        o.frames = *selection;
    }

    ParsedOptions parsed;
    parsed.outcome = ParsedOptions::Outcome::Run;
    parsed.options = o;
    return parsed;
}

} // namespace tarnwick
