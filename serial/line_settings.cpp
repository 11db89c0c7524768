// The kernel's termios2 interface, which takes any baud rate. Its header and
// the C library's <termios.h> define the same names, so this file uses the
// kernel's alone.
#include "serial/line_settings.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <array>

namespace {

std::optional<std::uint32_t> DataBitsFlag(std::uint8_t size) {
    static constexpr std::array<std::uint32_t, 4> kSizes{CS5, CS6, CS7, CS8};
    if (size < 5 || size > 8) {
        return std::nullopt;
    }
    return kSizes[static_cast<std::size_t>(size - 5)];
}

std::optional<std::uint32_t> ParityFlags(std::uint8_t parity) {
    switch (parity) {
        case 0:
            return 0u;
        case 1:
            return PARENB | PARODD;
        case 2:
            return PARENB;
        case 3:  // the parity bit always 1
            return PARENB | CMSPAR | PARODD;
        case 4:  // the parity bit always 0
            return PARENB | CMSPAR;
        default:
            return std::nullopt;
    }
}

// One and a half stop bits exist only with 5 data bits, where the hardware
// sends them for the two-stop-bit setting.
std::optional<std::uint32_t> StopBitsFlag(std::uint8_t stopBits, std::uint8_t size) {
    switch (stopBits) {
        case 0:
            return 0u;
        case 1:
            return size == 5 ? std::optional<std::uint32_t>(CSTOPB) : std::nullopt;
        case 2:
            return CSTOPB;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<STLineFlags> MakeRawLineFlags(const STLineSettings& settings,
                                            const STLineFlags& current) {
    const auto size = DataBitsFlag(settings.m_ucSize);
    const auto parity = ParityFlags(settings.m_ucParity);
    const auto stopBits = StopBitsFlag(settings.m_ucStopBits, settings.m_ucSize);
    if (!size || !parity || !stopBits || settings.m_ulBaudRate == 0) {
        return std::nullopt;
    }
    STLineFlags flags = current;
    flags.m_ulInput &= ~static_cast<std::uint32_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR |
                                                   IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    flags.m_ulOutput &= ~static_cast<std::uint32_t>(OPOST);
    flags.m_ulLocal &= ~static_cast<std::uint32_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    flags.m_ulControl &= ~static_cast<std::uint32_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB |
                                                     CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    flags.m_ulControl |=
        *size | *parity | *stopBits | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    flags.m_ulSpeed = settings.m_ulBaudRate;
    return flags;
}

bool GetLineFlags(int fd, STLineFlags& flags) {
    termios2 line{};
    if (ioctl(fd, TCGETS2, &line) != 0) {
        return false;
    }
    flags.m_ulInput = line.c_iflag;
    flags.m_ulOutput = line.c_oflag;
    flags.m_ulControl = line.c_cflag;
    flags.m_ulLocal = line.c_lflag;
    flags.m_ulSpeed = line.c_ospeed;
    return true;
}

bool SetLineFlags(int fd, const STLineFlags& flags) {
    termios2 line{};
    if (ioctl(fd, TCGETS2, &line) != 0) {
        return false;
    }
    line.c_iflag = flags.m_ulInput;
    line.c_oflag = flags.m_ulOutput;
    line.c_cflag = flags.m_ulControl;
    line.c_lflag = flags.m_ulLocal;
    line.c_ispeed = flags.m_ulSpeed;
    line.c_ospeed = flags.m_ulSpeed;
    // Reads are timed by the port itself, never by the terminal driver.
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &line) == 0;
}

bool PurgeLine(int fd) {
    return ioctl(fd, TCFLSH, TCIOFLUSH) == 0;
}

bool LineFlagsTaken(const STLineFlags& wanted, const STLineFlags& actual) {
    constexpr std::uint32_t kFraming =
        CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CREAD | CLOCAL | CRTSCTS;
    constexpr std::uint32_t kRawInput = IXON | IXOFF | ICRNL | INLCR | IGNCR | PARMRK | ISTRIP;
    constexpr std::uint32_t kRawLocal = ECHO | ICANON | ISIG | IEXTEN;
    const auto same = [](std::uint32_t a, std::uint32_t b, std::uint32_t mask) {
        return (a & mask) == (b & mask);
    };
    const double rateError =
        static_cast<double>(actual.m_ulSpeed) - static_cast<double>(wanted.m_ulSpeed);
    return same(wanted.m_ulControl, actual.m_ulControl, kFraming) &&
           same(wanted.m_ulInput, actual.m_ulInput, kRawInput) &&
           same(wanted.m_ulLocal, actual.m_ulLocal, kRawLocal) &&
           same(wanted.m_ulOutput, actual.m_ulOutput, OPOST) &&
           rateError * rateError <= 0.0025 * static_cast<double>(wanted.m_ulSpeed) *
                                        static_cast<double>(wanted.m_ulSpeed);
}
