#include "report/picture_png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "read_back.h"
#include "support/temp_folder.h"

namespace {

struct STBitmapShape {
    std::int32_t m_nWidth = 3;
    std::int32_t m_nHeight = 2;
    bool m_bTopDown = false;
    std::uint16_t m_nBits = 24;
    std::uint32_t m_nCompression = 0;
    std::uint32_t m_nInfoBytes = 40;
};

void PutLe(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

// Headers, then rows of blue, green, red padded to four bytes; every pixel
// differs from its neighbours.
std::string BitmapFile(const STBitmapShape& shape) {
    const auto width = static_cast<std::size_t>(shape.m_nWidth);
    const auto height = static_cast<std::size_t>(shape.m_nHeight);
    const std::size_t pixelBytes = shape.m_nBits / 8u;
    const std::size_t offset = 14 + shape.m_nInfoBytes;
    const std::size_t stride = (width * pixelBytes + 3) / 4 * 4;
    std::string bytes(offset + stride * height, '\0');
    bytes[0] = 'B', bytes[1] = 'M';
    PutLe(bytes, 10, static_cast<std::uint32_t>(offset), 4);
    PutLe(bytes, 14, shape.m_nInfoBytes, 4);
    PutLe(bytes, 18, static_cast<std::uint32_t>(shape.m_nWidth), 4);
    PutLe(bytes, 22,
          static_cast<std::uint32_t>(shape.m_bTopDown ? -shape.m_nHeight : shape.m_nHeight), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, shape.m_nBits, 2);
    PutLe(bytes, 30, shape.m_nCompression, 4);
    for (std::size_t row = 0; row < height; ++row) {
        for (std::size_t x = 0; x < width; ++x) {
            char* pixel = bytes.data() + offset + stride * row + x * pixelBytes;
            pixel[0] = static_cast<char>((x ^ row) * 30);
            pixel[1] = static_cast<char>(row * 50 + 7);
            pixel[2] = static_cast<char>(x * 40 + row);
        }
    }
    return bytes;
}

class PictureFromBitmap : public TempFolder {
protected:
    std::optional<STPngPicture> Convert(const std::string& bitmap) {
        WriteBytes("in.bmp", bitmap);
        return ReadBitmapAsPng(PathOf("in.bmp"));
    }
};

}  // namespace

TEST_F(PictureFromBitmap, KeepsEveryPixelWhateverTheRowPaddingAndOrder) {
    const STBitmapShape shapes[] = {
        {3, 4}, {5, 3}, {4, 2}, {1, 1}, {3, 4, true}, {5, 3, true}, {611, 234, false, 24, 0, 108}};
    std::string arguments;
    std::string expected;
    for (std::size_t i = 0; i < std::size(shapes); ++i) {
        const std::string name = std::to_string(i);
        WriteBytes(name + ".bmp", BitmapFile(shapes[i]));
        const auto picture = ReadBitmapAsPng(PathOf(name + ".bmp"));
        ASSERT_TRUE(picture) << i;
        EXPECT_EQ(picture->m_nWidth, shapes[i].m_nWidth);
        EXPECT_EQ(picture->m_nHeight, shapes[i].m_nHeight);
        WriteBytes(name + ".png", std::string(picture->m_bytes.begin(), picture->m_bytes.end()));
        arguments += " " + PathOf(name + ".bmp") + " " + PathOf(name + ".png");
        expected += "PNG RGB [] True\n";
    }
    // Pillow, the system interpreter's, reads both files independently; no
    // chunk beyond the pixels (a resolution, say) may show up.
    WriteBytes(
        "compare.py",
        "import sys\nfrom PIL import Image\n"
        "for bmp, png in zip(sys.argv[1::2], sys.argv[2::2]):\n"
        "    b, p = Image.open(bmp), Image.open(png)\n"
        "    print(p.format, p.mode, sorted(p.info), b.convert('RGB').tobytes() == p.tobytes())\n");
    EXPECT_EQ(CommandOutput("/usr/bin/python3 " + PathOf("compare.py") + arguments), expected);
}

TEST_F(PictureFromBitmap, RefusesWhatIsNotAWholeUncompressed24BitBitmap) {
    const std::string good = BitmapFile({5, 3});
    const auto with = [&good](std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        PutLe(bytes, at, value, 4);
        return bytes;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"pixels cut short", good.substr(0, good.size() - 1)},
        {"headers cut short", good.substr(0, 40)},
        {"32 bits", BitmapFile({5, 3, false, 32})},
        {"run-length compressed", BitmapFile({5, 3, false, 24, 1})},
        {"not BM", with(0, 0x4D58)},
        {"zero width", BitmapFile({0, 3})},
        {"zero height", BitmapFile({5, 0})},
        {"absurd width", with(18, 40000)},
        {"lowest height", with(22, 0x80000000u)},
        {"pixels before the headers' end", with(10, 20)},
        {"empty", ""},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_FALSE(Convert(bytes)) << name;
    }
    std::string huge = with(18, 30000);
    PutLe(huge, 22, 30000, 4);
    EXPECT_FALSE(Convert(huge));
    EXPECT_FALSE(ReadBitmapAsPng(PathOf("missing.bmp")));
    EXPECT_FALSE(ReadBitmapAsPng(m_root.string()));
}
