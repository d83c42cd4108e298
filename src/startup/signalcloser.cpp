// ours
#include "signalcloser.h"

// Qt
#include <QApplication>
#include <QSocketNotifier>

// std
#include <csignal>

// POSIX
#include <sys/socket.h>
#include <unistd.h>

namespace tarnwick {

namespace {

int gSignalPipe[2] = {-1, -1};

void writeSignalByte(int)
{
    // Only what is safe in a signal handler: one write.
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

} // namespace

SignalCloser::SignalCloser(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::closeWindows);
    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &action, nullptr);
}

SignalCloser::~SignalCloser()
{
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        std::signal(sig, SIG_DFL);
    for (int& fd : gSignalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalCloser::closeWindows()
{
    char byte = 0;
    [[maybe_unused]] const auto got = ::read(gSignalPipe[1], &byte, 1);
    // The player's window ends the program from its close (after a running
    // transition); a dialog run ends when its dialog is gone.
    if (onSignal)
        onSignal();
    else
        QApplication::closeAllWindows();
}

} // namespace tarnwick
