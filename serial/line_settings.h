// The four line parameters of a port, in the codes the settings keep, and the
// raw 8-bit terminal mode they become.
#pragma once

#include <cstdint>
#include <optional>

struct STLineSettings {
    std::uint32_t m_ulBaudRate = 115200;
    // Data bits, 5 to 8.
    std::uint8_t m_ucSize = 8;
    // 0 none, 1 odd, 2 even, 3 mark, 4 space.
    std::uint8_t m_ucParity = 0;
    // 0 one, 1 one and a half (5 data bits only), 2 two.
    std::uint8_t m_ucStopBits = 0;
};

// The terminal flags of a line in raw 8-bit mode: no echo, no line editing,
// no CR/LF or parity-mark translation, no flow control, receiver on, modem
// lines ignored. The flag values are the kernel's.
struct STLineFlags {
    std::uint32_t m_ulInput = 0;
    std::uint32_t m_ulOutput = 0;
    std::uint32_t m_ulControl = 0;
    std::uint32_t m_ulLocal = 0;
    std::uint32_t m_ulSpeed = 0;
};

// The flags for settings, keeping of current what raw mode and the settings
// leave alone; nullopt when the settings name no line the hardware can run.
std::optional<STLineFlags> MakeRawLineFlags(const STLineSettings& settings,
                                            const STLineFlags& current);

// Reads and writes a terminal's flags with any baud rate (termios2); false
// when the driver refuses.
bool GetLineFlags(int fd, STLineFlags& flags);
bool SetLineFlags(int fd, const STLineFlags& flags);

// Discards what the input and output queues hold.
bool PurgeLine(int fd);

// Whether the driver took the line as asked: the same framing and raw mode,
// and a baud rate within the 5 % a UART's divider may round it by.
bool LineFlagsTaken(const STLineFlags& wanted, const STLineFlags& actual);
