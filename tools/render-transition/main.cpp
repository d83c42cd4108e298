// render-transition: renders one transition effect between two pictures on
// a virtual clock and writes its frames; see --help.

// ours
#include "clsmovie.h"
#include "renderoptions.h"
#include "transitionrender.h"

// Qt
#include <QCoreApplication>
#include <QStringList>

// std
#include <cstdio>

using namespace tarnwick;

namespace {

void printLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

int fail(const QString& message)
{
    printLine(stderr, QStringLiteral("tarnwick-render-transition: ") + message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = parseRenderOptions(app.arguments().mid(1));
    switch (parsed.outcome) {
    case ParsedOptions::Outcome::Help:
        std::fputs(parsed.text.toLocal8Bit().constData(), stdout);
        return 0;
    case ParsedOptions::Outcome::Error:
        return fail(parsed.text);
    case ParsedOptions::Outcome::Run:
        break;
    }

    TransitionRender render(parsed.options);
    QString message;
    if (!render.prepare(&message))
        return fail(message);
    if (!render.knowsEffect()) {
        // As in the player, a name that matches no effect plays nothing; for
        // a tool that is almost always a typing error, so it is one.
        const int status = fail(QStringLiteral("no effect is named '%1' (one of %2)")
                                    .arg(parsed.options.effect, clsMovie::effectNames().join(QStringLiteral(", "))));
        printLine(stdout, RenderSummary().line());
        return status;
    }

    const RenderSummary summary = render.run();
    if (!summary.writeError.isEmpty())
        printLine(stderr, QStringLiteral("tarnwick-render-transition: ") + summary.writeError);
    if (!summary.failure.isEmpty())
        printLine(stdout, QStringLiteral("error: ") + summary.failure);
    printLine(stdout, summary.line());
    if (!summary.failure.isEmpty())
        return 2;
    return summary.writeError.isEmpty() ? 0 : 1;
}
