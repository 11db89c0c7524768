// The BMP writer byte by byte against the file layout, then read back by
// Qt's reader and by ImageMagick.
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>

#include "chart/bitmap_file.h"
#include "support/temp_folder.h"

namespace {

// Little-endian unsigned field of the file.
std::uint32_t Field(const std::string& bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    }
    return value;
}

std::string Identify(const std::string& path) {
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen(("identify -format '%w %h %[bit-depth] %m' '" + path + "' 2>&1").c_str(), "r"),
        pclose);
    std::string text;
    for (int c = 0; pipe && (c = std::fgetc(pipe.get())) != EOF;) {
        text += static_cast<char>(c);
    }
    return text;
}

// Freed memory of the image's size, full of a pattern: bytes that the image
// never sets then show up in the file instead of happening to be zero.
void LeaveGarbageOnTheHeap(int width, int height) {
    QImage garbage(width, height, QImage::Format_BGR888);
    std::memset(garbage.bits(), 0xA5, static_cast<std::size_t>(garbage.sizeInBytes()));
}

class BitmapFile : public TempFolder, public testing::WithParamInterface<std::pair<int, int>> {};
class FailedBitmapWrite : public TempFolder {};

}  // namespace

TEST_P(BitmapFile, WritesBottomUpPaddedRowsThatOtherReadersAgreeWith) {
    const auto [width, height] = GetParam();
    LeaveGarbageOnTheHeap(width, height);
    STDibImage image;
    ASSERT_TRUE(image.Create(width, height));
    // Corners and the middle; the rest stays as created, zero.
    std::map<std::pair<int, int>, QRgb> known;
    known[{0, 0}] = qRgb(0x12, 0x34, 0x56);
    known[{width - 1, 0}] = qRgb(0xFE, 0x01, 0x80);
    known[{width / 2, height / 2}] = qRgb(0x00, 0xA0, 0x0F);
    known[{width - 1, height - 1}] = qRgb(0x9A, 0xBC, 0xDE);
    for (const auto& [at, colour] : known) {
        image.m_image.setPixel(at.first, at.second, colour);
    }
    ASSERT_TRUE(WriteBitmapFile(PathOf("out.bmp"), image));

    const auto stride = static_cast<std::uint32_t>(((24 * width + 7) / 8 + 3) / 4 * 4);
    const auto size = stride * static_cast<std::uint32_t>(height);
    const std::string bytes = ReadBytes("out.bmp");
    ASSERT_EQ(bytes.size(), 54 + size);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Field(bytes, 2, 4), 54 + size);
    EXPECT_EQ(Field(bytes, 6, 4), 0u);  // both reserved words
    EXPECT_EQ(Field(bytes, 10, 4), 54u);
    EXPECT_EQ(Field(bytes, 14, 4), 40u);
    EXPECT_EQ(Field(bytes, 18, 4), static_cast<std::uint32_t>(width));
    EXPECT_EQ(Field(bytes, 22, 4), static_cast<std::uint32_t>(height));
    EXPECT_EQ(Field(bytes, 26, 2), 1u);
    EXPECT_EQ(Field(bytes, 28, 2), 24u);
    EXPECT_EQ(Field(bytes, 30, 4), 0u);
    EXPECT_EQ(Field(bytes, 34, 4), size);
    EXPECT_EQ(bytes.substr(38, 16), std::string(16, '\0'));

    // Rows bottom-up, blue, green, red for each pixel, then zeros up to the stride.
    std::string expected;
    std::string pixels;
    std::string padding;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const auto found = known.find({x, y});
            const QRgb colour = found == known.end() ? qRgb(0, 0, 0) : found->second;
            expected += {static_cast<char>(qBlue(colour)), static_cast<char>(qGreen(colour)),
                         static_cast<char>(qRed(colour))};
        }
        const std::size_t row = 54 + stride * static_cast<std::uint32_t>(height - 1 - y);
        const std::size_t used = 3 * static_cast<std::size_t>(width);
        pixels.append(bytes, row, used);
        padding.append(bytes, row + used, stride - used);
    }
    const auto differ = std::mismatch(expected.begin(), expected.end(), pixels.begin());
    EXPECT_TRUE(differ.first == expected.end())
        << "pixel byte " << differ.first - expected.begin() << " differs";
    EXPECT_EQ(padding, std::string(padding.size(), '\0'));

    QImageReader reader(QString::fromStdString(PathOf("out.bmp")));
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.size(), QSize(width, height));
    EXPECT_TRUE(reader.read().convertToFormat(QImage::Format_BGR888) == image.m_image);

    if (std::system("command -v identify > /dev/null") != 0) {
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    }
    // 8 bits in each of the three channels; BMP3 is the BMP with a 40-byte header.
    EXPECT_EQ(Identify(PathOf("out.bmp")),
              std::to_string(width) + " " + std::to_string(height) + " 8 BMP3");
}

INSTANTIATE_TEST_SUITE_P(OddAndEvenWidths, BitmapFile,
                         testing::Values(std::pair(1, 1), std::pair(3, 2), std::pair(2, 5),
                                         std::pair(611, 234)));

TEST_F(FailedBitmapWrite, LeavesNoFileBehind) {
    STDibImage image;
    ASSERT_TRUE(image.Create(3, 2));
    EXPECT_FALSE(WriteBitmapFile(PathOf("missing/out.bmp"), image));
    EXPECT_FALSE(WriteBitmapFile(PathOf("null.bmp"), STDibImage{}));
    // Nor does it touch a file that is already there.
    WriteBytes("kept.bmp", "old");
    EXPECT_FALSE(WriteBitmapFile(PathOf("kept.bmp"), STDibImage{}));
    EXPECT_EQ(ReadBytes("kept.bmp"), "old");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_root)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"kept.bmp"});
}

TEST_F(FailedBitmapWrite, ANameThatIsNotUtf8IsWrittenAsItsBytes) {
    STDibImage image;
    ASSERT_TRUE(image.Create(3, 2));
    ASSERT_TRUE(WriteBitmapFile(PathOf("c\xFFx.bmp"), image));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_root)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"c\xFFx.bmp"});
    EXPECT_EQ(ReadBytes("c\xFFx.bmp"), BitmapFileBytes(image));
}
