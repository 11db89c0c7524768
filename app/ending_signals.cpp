#include "app/ending_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

// The handler may only do async-signal-safe work: it writes the signal's
// number into a socket the window's thread watches.
std::atomic<int> g_nWriteEnd{-1};

void ForwardSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    const int writeEnd = g_nWriteEnd.load();
    if (writeEnd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

void Handle(int signalNumber, struct sigaction& old) {
    struct sigaction action {};
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, &old);
}

}  // namespace

CEndingSignals::CEndingSignals() {
    int ends[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) {
        return;  // the signals keep ending the process as before
    }
    m_nReadEnd = ends[0];
    g_nWriteEnd = ends[1];
    m_pNotifier = std::make_unique<QSocketNotifier>(m_nReadEnd, QSocketNotifier::Read);
    connect(m_pNotifier.get(), &QSocketNotifier::activated, this, [this] { Drain(); });
    Handle(SIGTERM, m_oldTerm);
    Handle(SIGHUP, m_oldHangUp);
}

CEndingSignals::~CEndingSignals() {
    if (m_nReadEnd < 0) {
        return;
    }
    sigaction(SIGTERM, &m_oldTerm, nullptr);
    sigaction(SIGHUP, &m_oldHangUp, nullptr);
    m_pNotifier.reset();
    ::close(g_nWriteEnd.exchange(-1));
    ::close(m_nReadEnd);
}

void CEndingSignals::Drain() {
    unsigned char byte = 0;
    while (::read(m_nReadEnd, &byte, 1) == 1) {
        emit received(byte);
    }
}
