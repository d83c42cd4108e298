#include "desktopactions.h"

// Qt
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace tarnwick {

DesktopActions RealDesktopActions()
{
    DesktopActions actions;
    actions.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    actions.startProgram = [](const QString& program) {
        return !program.isEmpty() && QProcess::startDetached(program, {});
    };
    actions.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, parent);
        box.exec();
    };
    actions.findExecutable = [](const QString& name) {
        return QStandardPaths::findExecutable(name);
    };
    return actions;
}

DesktopActions& Desktop()
{
    static DesktopActions actions = RealDesktopActions();
    return actions;
}

} // namespace tarnwick
