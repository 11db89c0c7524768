// The growing byte buffer the window collects received chunks in. The data
// is always followed by a zero byte.
#pragma once

#include <cstdint>
#include <memory>

class ReceiveBuffer {
public:
    // The received bytes and a zero byte behind them; null when empty.
    std::unique_ptr<std::uint8_t[]> m_pData;
    std::int32_t m_nLength = 0;
    // The bytes held for data, without the zero byte: always m_nLength.
    std::int32_t m_nSize = 0;

    // Adds count bytes at the end; false, nothing added, when the buffer
    // would outgrow its 32-bit length.
    bool AppendBytes(const std::uint8_t* bytes, std::int32_t count);
    void FreeBuffer();
    // Removes the first count bytes (all of them when count is larger); what
    // stays moves to the front, still followed by a zero byte.
    void DropFront(std::int32_t count);

private:
    // Room behind the data grows by doubling, so that a long transmission
    // costs linear time rather than one copy of everything per chunk.
    std::int32_t m_nCapacity = 0;
};
