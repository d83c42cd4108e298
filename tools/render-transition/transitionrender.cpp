#include "transitionrender.h"

// ours
#include "clsmovie.h"
#include "inifile.h"
#include "surface.h"
#include "vbrandom.h"
#include "virtualhost.h"

// Qt
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace tarnwick {

namespace {

// Reads a picture as 32-bit RGB at `size` (its own size when invalid).
QImage loadPicture(const QString& path, const QSize& size, QString* message)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        *message = QStringLiteral("cannot read picture '%1': %2").arg(path, reader.errorString());
        return image;
    }
    if (size.isValid() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QString RenderSummary::line() const
{
    return QStringLiteral("frames=%1 hooks=%2 virtual_ms=%3").arg(frames).arg(hooks).arg(virtualMs);
}

TransitionRender::TransitionRender(RenderOptions options) : m_options(std::move(options)) {}

QString TransitionRender::settingsPath() const
{
    if (!m_options.settings.isEmpty())
        return m_options.settings;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/playerprofile.ini");
}

bool TransitionRender::prepare(QString* message)
{
    m_a = loadPicture(m_options.from, m_options.size, message);
    if (m_a.isNull())
        return false;
    const QSize size = m_a.size();
    m_b = loadPicture(m_options.to, size, message);
    if (m_b.isNull())
        return false;
    if (!m_options.background.isEmpty()) {
        m_background = loadPicture(m_options.background, size, message);
        if (m_background.isNull())
            return false;
    }
    // The shipped defaults may be missing (every key then takes the
    // effect's default); a file named on the command line must be there.
    if (!m_options.settings.isEmpty() && !QFileInfo(m_options.settings).isFile()) {
        *message = QStringLiteral("cannot read settings file '%1'").arg(m_options.settings);
        return false;
    }
    if (!QDir().mkpath(m_options.outDir)) {
        *message = QStringLiteral("cannot make output folder '%1'").arg(m_options.outDir);
        return false;
    }
    return true;
}

bool TransitionRender::knowsEffect() const
{
    return clsMovie::findEffect(QStringLiteral("Effect_") + m_options.effect) != nullptr;
}

QString TransitionRender::framePath(int refresh) const
{
    return QDir(m_options.outDir).filePath(QStringLiteral("frame_%1.png").arg(refresh, 4, 10, QLatin1Char('0')));
}

RenderSummary TransitionRender::run()
{
    RenderSummary summary;
    const int w = m_a.width();
    const int h = m_a.height();
    Surface objScr(w, h), objTmp(w, h), objTmp2(w, h), objDest(w, h);
    objTmp2.setPicture(m_a);
    objDest.setPicture(m_a);
    objScr.setPicture(m_b);

    VirtualHost host;
    const QString settingsFile = settingsPath();
    host.setSettingReader([&settingsFile](const QString& section, const QString& key, const QString& def) {
        return IniFile().ReadValue(section, key, def, settingsFile);
    });
    host.setRefreshHandler([&](const Surface& surface) {
        if (&surface != &objDest)
            return;
        ++summary.frames;
        if (!summary.writeError.isEmpty() || !m_options.frames.contains(summary.frames))
            return;
        const QString path = framePath(summary.frames);
        if (!surface.image().convertToFormat(QImage::Format_RGB888).save(path, "PNG"))
            summary.writeError = QStringLiteral("cannot write frame '%1'").arg(path);
    });

    clsMovie movie(host);
    movie.isVCD = m_options.exportMode;
    movie.BackgroundPicture = m_background;
    movie.setForcedVariant(m_options.variant);
    movie.setForcedStagger(m_options.stagger);

    seedRandom(m_options.seed);
    // The player's effect choice draws one number before the effect draws
    // its own; drawing it here keeps the variants and orders the same.
    Rnd();
    movie.callByName(QStringLiteral("Effect_") + m_options.effect, objScr, objTmp, objTmp2, objDest);

    summary.hooks = movie.hookCalls();
    summary.virtualMs = host.now();
    summary.failure = movie.lastFailure();
    return summary;
}

} // namespace tarnwick
