#include "serial/read_interrupt.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

CReadInterrupt::CReadInterrupt() : m_hEvent(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CReadInterrupt::~CReadInterrupt() {
    if (m_hEvent >= 0) {
        ::close(m_hEvent);
    }
}

void CReadInterrupt::Raise() {
    const std::uint64_t one = 1;
    // Fails only with the counter at its maximum, which is raised as well.
    [[maybe_unused]] const ssize_t written = ::write(m_hEvent, &one, sizeof one);
}

void CReadInterrupt::Lower() {
    std::uint64_t count = 0;
    // One read takes the whole counter; EAGAIN means it was not raised.
    [[maybe_unused]] const ssize_t got = ::read(m_hEvent, &count, sizeof count);
}

bool CReadInterrupt::IsRaised() const {
    pollfd raised{m_hEvent, POLLIN, 0};
    return m_hEvent >= 0 && ::poll(&raised, 1, 0) == 1;
}
