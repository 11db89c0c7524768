#include "serial/receive_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Content(const ReceiveBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.m_pData.get()),
                       static_cast<std::size_t>(buffer.m_nLength));
}

const std::uint8_t* Bytes(const char* text) {
    return reinterpret_cast<const std::uint8_t*>(text);
}

}  // namespace

TEST(ReceiveBuffer, AppendsKeepLengthSizeAndTheZeroBehind) {
    ReceiveBuffer buffer;
    EXPECT_EQ(buffer.m_pData, nullptr);
    EXPECT_TRUE(buffer.AppendBytes(Bytes("abc"), 3));
    EXPECT_TRUE(buffer.AppendBytes(Bytes("defg"), 4));
    EXPECT_EQ(buffer.m_nLength, 7);
    EXPECT_EQ(buffer.m_nSize, 7);
    EXPECT_EQ(Content(buffer), "abcdefg");
    EXPECT_EQ(buffer.m_pData[7], 0);
    buffer.FreeBuffer();
    EXPECT_EQ(buffer.m_pData, nullptr);
    EXPECT_EQ(buffer.m_nLength + buffer.m_nSize, 0);
    EXPECT_FALSE(buffer.AppendBytes(Bytes("x"), -1));
}

TEST(ReceiveBuffer, AMegabyteInChunksArrivesWhole) {
    ReceiveBuffer buffer;
    std::string sent;
    for (int chunk = 0; chunk < 4096; ++chunk) {
        const std::string bytes(256, static_cast<char>('a' + chunk % 26));
        ASSERT_TRUE(buffer.AppendBytes(Bytes(bytes.c_str()), 256));
        sent += bytes;
        ASSERT_EQ(buffer.m_pData.get()[buffer.m_nLength], 0);
    }
    EXPECT_EQ(Content(buffer), sent);
    EXPECT_EQ(buffer.m_nSize, 1 << 20);
}

TEST(ReceiveBuffer, DroppingTheFrontKeepsTheRestAndTheZeroBehind) {
    ReceiveBuffer buffer;
    buffer.AppendBytes(Bytes("abcdefg"), 7);
    buffer.DropFront(0);
    EXPECT_EQ(Content(buffer), "abcdefg");
    buffer.DropFront(4);
    EXPECT_EQ(Content(buffer), "efg");
    EXPECT_EQ(buffer.m_nSize, 3);
    EXPECT_EQ(buffer.m_pData[3], 0);
    buffer.AppendBytes(Bytes("hi"), 2);
    EXPECT_EQ(Content(buffer), "efghi");
    buffer.DropFront(99);
    EXPECT_EQ(buffer.m_nLength, 0);
    EXPECT_EQ(buffer.m_pData, nullptr);
}
