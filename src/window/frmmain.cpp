#include "frmmain.h"

// ours
#include "packagefiles.h"
#include "session.h"

// Qt
#include <QCloseEvent>
#include <QPalette>

namespace tarnwick {

namespace {
// The window's design client size, 9735 x 8985 twips at 15 twips a pixel.
constexpr int kDesignWidth = 649;
constexpr int kDesignHeight = 599;
} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kDesignWidth, kDesignHeight);
}

QString frmMain::CaptionFor(const QString& albumTitle)
{
    return albumTitle + QStringLiteral("--Tarnwick Album Player");
}

void frmMain::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    setWindowTitle(CaptionFor(gAlbum ? gAlbum->Title() : QString()));
}

void frmMain::closeEvent(QCloseEvent* event)
{
    CleanUpUnpackedFiles();
    event->accept();
}

} // namespace tarnwick
