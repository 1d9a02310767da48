// What kestrand.exe carries, read back from the file the build made: the
// version block as Explorer's Details tab reads it, the icon and the picture.
#include "resource_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring gExe;

std::vector<BYTE> versionBlock() {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(gExe.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(gExe.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

std::wstring stringValue(const std::vector<BYTE>& block, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) {
        return L"<missing>";
    }
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(Version, NumbersAreOneThree) {
    const std::vector<BYTE> block = versionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDU);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0U);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0U);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(Version, StringsAreUsEnglishUnicode) {
    const std::vector<BYTE> block = versionBlock();
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(stringValue(block, L"FileDescription"), L"WUNA Kestrand");
    EXPECT_EQ(stringValue(block, L"ProductName"), L"WUNA Kestrand");
    EXPECT_EQ(stringValue(block, L"FileVersion"), L"1.03");
    EXPECT_EQ(stringValue(block, L"ProductVersion"), L"1.03");
    EXPECT_EQ(stringValue(block, L"OriginalFilename"), L"kestrand.exe");

    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4U);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

class Image : public testing::Test {
protected:
    Image()
        : module_(LoadLibraryExW(gExe.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Image() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    const BYTE* resource(int id, LPCWSTR type, DWORD* size) const {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) {
            return nullptr;
        }
        *size = SizeofResource(module_, found);
        return static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
    }
    HMODULE module_;
};

// The group header and its entries as the resource compiler lays them out.
#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved, type, count;
};
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(Image, HasOneThirtyTwoPixelIcon) {
    ASSERT_NE(module_, nullptr);
    DWORD size = 0;
    const BYTE* group = resource(IDI_KESTRAND, RT_GROUP_ICON, &size);
    ASSERT_NE(group, nullptr);
    ASSERT_GE(size, sizeof(IconGroupHeader) + sizeof(IconGroupEntry));
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group);
    EXPECT_EQ(header->type, 1);
    ASSERT_EQ(header->count, 1);
    const auto* entry = reinterpret_cast<const IconGroupEntry*>(group + sizeof *header);
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    DWORD imageSize = 0;
    EXPECT_NE(resource(entry->id, RT_ICON, &imageSize), nullptr);
    EXPECT_EQ(imageSize, entry->bytes);
}

TEST_F(Image, HasTheBackgroundAtItsOwnSize) {
    ASSERT_NE(module_, nullptr);
    DWORD size = 0;
    const BYTE* bitmap = resource(IDB_BACKGROUND, RT_BITMAP, &size);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap);
    EXPECT_EQ(info->biWidth, 580);
    EXPECT_EQ(std::abs(info->biHeight), 276);
}

// Windows reads resource 1 of type 24 when it starts the process.
TEST_F(Image, HasTheManifestWindowsStartsItWith) {
    ASSERT_NE(module_, nullptr);
    DWORD size = 0;
    const BYTE* manifest = resource(1, RT_MANIFEST, &size);
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    for (const char* entry : {
             // visual styles
             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
             // per-monitor density, with the form older Windows reads
             R"(>PerMonitorV2, PerMonitor</dpiAwareness>)",
             R"(>true/pm</dpiAware>)",
             R"(level="asInvoker")",
             // Windows 7, 8, 8.1, and 10 and 11
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
             R"(version="1.3.0.0")",
         }) {
        EXPECT_NE(text.find(entry), std::string::npos) << entry;
    }
}

} // namespace

// kestrand.exe's path is the one argument, in the ANSI code page.
int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fputs("usage: exe_resources_test PATH-TO-KESTRAND.EXE\n", stderr);
        return 2;
    }
    gExe.resize(MAX_PATH);
    gExe.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, argv[1], -1, gExe.data(), MAX_PATH) - 1));
    return RUN_ALL_TESTS();
}
