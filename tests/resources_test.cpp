// Checks the committed icon, background and PNG icons against what Windows and Qt expect of
// them, and the configured version macros against the project version.
#include "kestrand_version.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readResource(const std::string& name) {
    std::ifstream in(std::string(KESTRAND_RESOURCE_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le(const Bytes& b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + i);
    return v;
}

std::uint32_t be32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b.at(at)} << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) |
           b.at(at + 3);
}

struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// --- ICO -----------------------------------------------------------------------------------

constexpr int kIcon = 32;
constexpr std::size_t kIconImage = 6 + 16; // directory header + one entry
constexpr std::size_t kIconPalette = kIconImage + 40;
constexpr std::size_t kIconXor = kIconPalette + 256 * 4;
constexpr std::size_t kIconAnd = kIconXor + kIcon * kIcon;
constexpr std::size_t kIconMaskStride = 4; // 32 bits per row, already a multiple of 4 bytes
constexpr std::uint32_t kIconResourceBytes = 40 + 256 * 4 + kIcon * kIcon + kIcon * kIconMaskStride;

struct Field {
    const char* name;
    std::size_t offset;
    int width;
    std::uint32_t expected;
};

std::string fieldName(const testing::TestParamInfo<Field>& info) {
    return info.param.name;
}

// Keeps test listings readable instead of dumping the struct's bytes.
void PrintTo(const Field& f, std::ostream* os) {
    *os << f.width << " bytes at " << f.offset << " == " << f.expected;
}

class IcoField : public testing::TestWithParam<Field> {};

TEST_P(IcoField, HasExpectedValue) {
    const Bytes ico = readResource("kestrand.ico");
    ASSERT_GE(ico.size(), kIconImage + 40);
    EXPECT_EQ(le(ico, GetParam().offset, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Directory, IcoField,
    testing::Values(Field{"Reserved", 0, 2, 0}, Field{"TypeIsIcon", 2, 2, 1},
                    Field{"OneImage", 4, 2, 1}, Field{"Width32", 6, 1, 32},
                    Field{"Height32", 7, 1, 32}, Field{"ColourCountZeroMeans256", 8, 1, 0},
                    Field{"EntryReserved", 9, 1, 0}, Field{"OnePlane", 10, 2, 1},
                    Field{"EightBitsPerPixel", 12, 2, 8},
                    Field{"ByteCountCoversDibPaletteXorAndMask", 14, 4, kIconResourceBytes},
                    Field{"ImageFollowsDirectory", 18, 4, kIconImage}),
    fieldName);

INSTANTIATE_TEST_SUITE_P(Dib, IcoField,
                         testing::Values(Field{"HeaderIsBitmapInfoHeader", kIconImage, 4, 40},
                                         Field{"Width32", kIconImage + 4, 4, 32},
                                         // Colour bitmap and mask stacked: twice the icon height.
                                         Field{"HeightCoversXorAndMask", kIconImage + 8, 4, 64},
                                         Field{"OnePlane", kIconImage + 12, 2, 1},
                                         Field{"EightBitsPerPixel", kIconImage + 14, 2, 8},
                                         Field{"Uncompressed", kIconImage + 16, 4, 0}),
                         fieldName);

// ClrUsed 0 means "all 256" for 8 bpp; anything else must still be a full palette.
TEST(Ico, PaletteHas256Entries) {
    const Bytes ico = readResource("kestrand.ico");
    const std::uint32_t used = le(ico, kIconImage + 32, 4);
    EXPECT_EQ(used == 0 ? 256u : used, 256u);
}

TEST(Ico, ImageEndsExactlyAtEndOfFile) {
    const Bytes ico = readResource("kestrand.ico");
    EXPECT_EQ(std::size_t{le(ico, 18, 4)} + le(ico, 14, 4), ico.size());
    EXPECT_EQ(kIconAnd + kIcon * kIconMaskStride, ico.size());
}

// Rows are bottom-up; a set mask bit means "show the background".
bool transparent(const Bytes& ico, int x, int y) {
    const std::size_t row = kIconAnd + (kIcon - 1 - y) * kIconMaskStride;
    return (ico.at(row + x / 8) & (0x80 >> (x % 8))) != 0;
}

Rgba iconPixel(const Bytes& ico, int x, int y) {
    const std::size_t index = ico.at(kIconXor + (kIcon - 1 - y) * kIcon + x);
    const std::size_t entry = kIconPalette + 4 * index;
    return {ico.at(entry + 2), ico.at(entry + 1), ico.at(entry),
            static_cast<std::uint8_t>(transparent(ico, x, y) ? 0 : 255)};
}

TEST(Ico, MaskShowsRoundBadgeOnly) {
    const Bytes ico = readResource("kestrand.ico");
    ASSERT_EQ(ico.size(), kIconAnd + kIcon * kIconMaskStride);
    for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {3, 3}, {28, 28}})
        EXPECT_TRUE(transparent(ico, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{15, 15}, {16, 16}, {16, 1}, {1, 16}, {16, 30}, {30, 16}})
        EXPECT_FALSE(transparent(ico, x, y)) << x << "," << y;
    int opaque = 0;
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < kIcon; ++x)
            opaque += transparent(ico, x, y) ? 0 : 1;
    // A disc of radius 15.5 covers about 755 pixels.
    EXPECT_NEAR(opaque, 755, 30);
}

// Windows draws AND then XOR: a non-black colour under a transparent bit tints the desktop.
TEST(Ico, TransparentPixelsAreBlackInColourBitmap) {
    const Bytes ico = readResource("kestrand.ico");
    ASSERT_EQ(ico.size(), kIconAnd + kIcon * kIconMaskStride);
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < kIcon; ++x)
            if (transparent(ico, x, y)) {
                EXPECT_EQ(iconPixel(ico, x, y), (Rgba{0, 0, 0, 0})) << x << "," << y;
            }
}

TEST(Ico, UsesManyPaletteEntries) {
    const Bytes ico = readResource("kestrand.ico");
    ASSERT_EQ(ico.size(), kIconAnd + kIcon * kIconMaskStride);
    const std::set<std::uint8_t> used(ico.begin() + kIconXor, ico.begin() + kIconAnd);
    EXPECT_GT(used.size(), 16u);
}

// --- BMP -----------------------------------------------------------------------------------

constexpr int kBgWidth = 580;
constexpr int kBgHeight = 276;
constexpr std::size_t kBgStride = (kBgWidth + 3) / 4 * 4;
constexpr std::size_t kBgBits = 14 + 40 + 256 * 4;
constexpr std::uint32_t kBgImageBytes = kBgStride * kBgHeight;

class BmpField : public testing::TestWithParam<Field> {};

TEST_P(BmpField, HasExpectedValue) {
    const Bytes bmp = readResource("background.bmp");
    ASSERT_GE(bmp.size(), kBgBits);
    EXPECT_EQ(le(bmp, GetParam().offset, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpField,
    testing::Values(Field{"SignatureBM", 0, 2, 'B' | ('M' << 8)}, Field{"Reserved", 6, 4, 0},
                    Field{"BitsAfterHeadersAndPalette", 10, 4, kBgBits},
                    Field{"HeaderIsBitmapInfoHeader", 14, 4, 40},
                    Field{"Width580", 18, 4, kBgWidth},
                    // Positive height: bottom-up rows.
                    Field{"Height276BottomUp", 22, 4, kBgHeight}, Field{"OnePlane", 26, 2, 1},
                    Field{"EightBitsPerPixel", 28, 2, 8}, Field{"Uncompressed", 30, 4, 0},
                    Field{"ImageSizeWithPaddedRows", 34, 4, kBgImageBytes},
                    Field{"PaletteOf256", 46, 4, 256}),
    fieldName);

TEST(Bmp, FileSizeFieldMatchesFile) {
    const Bytes bmp = readResource("background.bmp");
    ASSERT_GE(bmp.size(), kBgBits);
    EXPECT_EQ(le(bmp, 2, 4), bmp.size());
    EXPECT_EQ(kBgBits + kBgStride * kBgHeight, bmp.size());
}

std::uint8_t bgIndex(const Bytes& bmp, int x, int yFromTop) {
    return bmp.at(kBgBits + (kBgHeight - 1 - yFromTop) * kBgStride + x);
}

// Only the upper half stays visible above the window's controls, so that is where the
// palette has to be put to use, not just somewhere in the file.
TEST(Bmp, VisibleUpperHalfUsesManyPaletteEntries) {
    const Bytes bmp = readResource("background.bmp");
    ASSERT_EQ(bmp.size(), kBgBits + kBgStride * kBgHeight);
    std::set<std::uint8_t> used;
    for (int y = 0; y <= 136; ++y)
        for (int x = 0; x < kBgWidth; ++x)
            used.insert(bgIndex(bmp, x, y));
    EXPECT_GT(used.size(), 16u);
}

// Sky on top, ground below: catches rows written in the wrong order.
TEST(Bmp, SkyIsAtTheTop) {
    const Bytes bmp = readResource("background.bmp");
    ASSERT_EQ(bmp.size(), kBgBits + kBgStride * kBgHeight);
    auto blueMinusRed = [&](int y) {
        long sum = 0;
        for (int x = 0; x < kBgWidth; ++x) {
            const std::size_t entry = 14 + 40 + 4 * bgIndex(bmp, x, y);
            sum += long{bmp.at(entry)} - long{bmp.at(entry + 2)};
        }
        return sum / kBgWidth;
    };
    EXPECT_GT(blueMinusRed(0), 20);
    EXPECT_LT(blueMinusRed(kBgHeight - 1), 0);
}

// --- PNG -----------------------------------------------------------------------------------

struct Png {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    std::vector<Rgba> pixels;
};

int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Enough of a decoder for 8-bit RGBA, non-interlaced; nullopt on anything malformed.
std::optional<Png> decodePng(const Bytes& file) {
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (file.size() < 8 || !std::equal(std::begin(signature), std::end(signature), file.begin()))
        return std::nullopt;
    Png png;
    Bytes compressed;
    bool ended = false;
    for (std::size_t at = 8; at + 12 <= file.size() && !ended;) {
        const std::uint32_t length = be32(file, at);
        if (at + 12 + length > file.size())
            return std::nullopt;
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const auto* data = file.data() + at + 8;
        if (crc32(0, file.data() + at + 4, length + 4) != be32(file, at + 8 + length))
            return std::nullopt;
        if (type == "IHDR" && length == 13) {
            png.width = be32(file, at + 8);
            png.height = be32(file, at + 12);
            png.depth = data[8];
            png.colourType = data[9];
            png.interlace = data[12];
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended || png.depth != 8 || png.colourType != 6 || png.interlace != 0)
        return std::nullopt;

    const std::size_t stride = 4 * std::size_t{png.width};
    Bytes raw((stride + 1) * png.height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()) != Z_OK ||
        rawSize != raw.size())
        return std::nullopt;
    Bytes prev(stride, 0), row(stride);
    for (std::uint32_t y = 0; y < png.height; ++y) {
        const std::uint8_t* line = raw.data() + y * (stride + 1);
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= 4 ? row[i - 4] : 0, b = prev[i], c = i >= 4 ? prev[i - 4] : 0;
            const int x = line[1 + i];
            switch (line[0]) {
            case 0:
                row[i] = x;
                break;
            case 1:
                row[i] = x + a;
                break;
            case 2:
                row[i] = x + b;
                break;
            case 3:
                row[i] = x + (a + b) / 2;
                break;
            case 4:
                row[i] = x + paeth(a, b, c);
                break;
            default:
                return std::nullopt;
            }
        }
        for (std::size_t i = 0; i < stride; i += 4)
            png.pixels.push_back({row[i], row[i + 1], row[i + 2], row[i + 3]});
        prev = row;
    }
    return png;
}

class PngIcon : public testing::TestWithParam<int> {};

// Each size is a nearest-neighbour enlargement of the ICO, transparency included, so the
// icons stay crisp and identical to what Windows shows.
TEST_P(PngIcon, IsNearestNeighbourCopyOfIco) {
    const int size = GetParam();
    const Bytes ico = readResource("kestrand.ico");
    ASSERT_EQ(ico.size(), kIconAnd + kIcon * kIconMaskStride);
    const auto png = decodePng(readResource("icons/kestrand-" + std::to_string(size) + ".png"));
    ASSERT_TRUE(png.has_value());
    ASSERT_EQ(png->width, std::uint32_t(size));
    ASSERT_EQ(png->height, std::uint32_t(size));
    int mismatches = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Rgba want = iconPixel(ico, x * kIcon / size, y * kIcon / size);
            const Rgba got = png->pixels[std::size_t(y) * size + x];
            // Colour under a fully transparent pixel does not matter.
            if (want.a == 0 ? got.a != 0 : got != want)
                ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngIcon, testing::Values(32, 48, 64, 128),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Px" + std::to_string(info.param);
                         });

// --- version -------------------------------------------------------------------------------

TEST(Version, NumbersComeFromProjectVersion) {
    const std::string expected =
        std::to_string(KESTRAND_VERSION_MAJOR) + "." + std::to_string(KESTRAND_VERSION_MINOR) +
        "." + std::to_string(KESTRAND_VERSION_PATCH) + "." + std::to_string(KESTRAND_VERSION_TWEAK);
    // The project may give fewer than four numbers; missing ones are zero.
    std::string project = KESTRAND_PROJECT_VERSION;
    for (int dots = int(std::count(project.begin(), project.end(), '.')); dots < 3; ++dots)
        project += ".0";
    EXPECT_EQ(expected, project);
}

TEST(Version, TextIsMajorDotTwoDigitMinor) {
    const std::string minor = std::to_string(KESTRAND_VERSION_MINOR);
    const std::string expected =
        std::to_string(KESTRAND_VERSION_MAJOR) + "." + (minor.size() < 2 ? "0" + minor : minor);
    EXPECT_EQ(std::string(KESTRAND_VERSION_TEXT), expected);
    EXPECT_EQ(std::wstring(KESTRAND_VERSION_TEXT_W),
              std::wstring(expected.begin(), expected.end()));
}

} // namespace
