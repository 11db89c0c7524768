#include "serial/receive_buffer.h"

#include <algorithm>
#include <limits>

bool ReceiveBuffer::AppendBytes(const std::uint8_t* bytes, std::int32_t count) {
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max() - 1;
    const std::int64_t length = std::int64_t{m_nLength} + count;
    if (count < 0 || length > kLargest) {
        return false;
    }
    if (length > m_nCapacity) {
        const auto capacity = static_cast<std::int32_t>(
            std::min(kLargest, std::max(length, 2 * std::int64_t{m_nCapacity})));
        // Zero-filled: the byte behind the data is always a zero.
        auto grown = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity) + 1);
        std::copy_n(m_pData.get(), m_nLength, grown.get());
        m_pData = std::move(grown);
        m_nCapacity = capacity;
    }
    std::copy_n(bytes, count, m_pData.get() + m_nLength);
    m_nLength = static_cast<std::int32_t>(length);
    m_nSize = m_nLength;
    return true;
}

void ReceiveBuffer::FreeBuffer() {
    m_pData.reset();
    m_nLength = 0;
    m_nSize = 0;
    m_nCapacity = 0;
}

void ReceiveBuffer::DropFront(std::int32_t count) {
    if (count >= m_nLength) {
        FreeBuffer();
        return;
    }
    if (count <= 0) {
        return;
    }
    const std::int32_t kept = m_nLength - count;
    std::copy_n(m_pData.get() + count, kept, m_pData.get());
    std::fill_n(m_pData.get() + kept, count, std::uint8_t{0});
    m_nLength = kept;
    m_nSize = kept;
}
