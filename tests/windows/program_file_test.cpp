// What the Windows program file carries: as its first icon the window's
// own 32 x 32 image, and the version record of the project's version in
// US English.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved, type, count;
};
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK take_first(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR first) {
    *reinterpret_cast<std::wstring*>(first) =
        IS_INTRESOURCE(name) ? L"#" + std::to_wstring(ULONG_PTR(name)) : name;
    return FALSE;
}

std::vector<BYTE> resource(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return {data, data + SizeofResource(module, found)};
}

// The image bytes of the first entry of an .ico file.
std::vector<BYTE> first_icon_image(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<BYTE> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.size() < 22) return {};
    auto dword = [&](std::size_t at) {
        return DWORD(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24);
    };
    const DWORD size = dword(6 + 8), offset = dword(6 + 12);
    if (offset + size > file.size()) return {};
    return {file.begin() + offset, file.begin() + offset + size};
}

class ProgramFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module_, nullptr) << TORVA_INOUT_EXE; }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = LoadLibraryExA(TORVA_INOUT_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
};

TEST_F(ProgramFile, FirstIconIsTheWindowsImage) {
    std::wstring first;
    EnumResourceNamesW(module_, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, take_first,
                       reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, L"TORVA.ICO");  // the window's icon, "torva.ico" in the layout
    const std::vector<BYTE> group = resource(module_, first.c_str(), MAKEINTRESOURCEW(14));
    ASSERT_GE(group.size(), sizeof(IconGroupHeader) + sizeof(IconGroupEntry));
    const auto* entry = reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader));
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    EXPECT_EQ(entry->bits, 8);
    EXPECT_EQ(resource(module_, MAKEINTRESOURCEW(entry->id), MAKEINTRESOURCEW(3) /* RT_ICON */),
              first_icon_image(TORVA_ICON));
}

// Beside the window's own 32 x 32, an image for each size a DPI or
// Explorer asks for, 256 stored as PNG: none is resampled from another.
TEST_F(ProgramFile, TheIconHasAnImageForEachSize) {
    const std::vector<BYTE> group = resource(module_, L"TORVA.ICO", MAKEINTRESOURCEW(14));
    ASSERT_GE(group.size(), sizeof(IconGroupHeader));
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
    ASSERT_GE(group.size(), sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < header->count; ++i) {
        const auto* entry =
            reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader)) + i;
        sizes.emplace_back(entry->width ? entry->width : 256, entry->bits);
    }
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{32, 8}, {16, 32}, {24, 32}, {48, 32}, {256, 32}}));
}

// Both program files carry it.
void expect_version_record(const std::wstring& path) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    std::vector<BYTE> record(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
    auto query = [&](const wchar_t* what) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(record.data(), what, &value, &length) ? std::make_pair(value, length)
                                                                    : std::make_pair(nullptr, 0u);
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\").first);
    ASSERT_NE(fixed, nullptr);
    const DWORD parts[] = {TORVA_VERSION_PARTS};
    for (auto [ms, ls] : {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
                          std::pair{fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
        EXPECT_EQ(ms, parts[0] << 16 | parts[1]);
        EXPECT_EQ(ls, parts[2] << 16 | parts[3]);
    }
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation").first);
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0409);  // US English
    // The name it was built under, which Windows shows when a copy has been renamed.
    const std::wstring name = path.substr(path.find_last_of(L"/\\") + 1);
    for (auto [entry, wanted] : {std::pair<const wchar_t*, std::wstring>{L"FileVersion", TORVA_VERSION_TEXT},
                                 {L"ProductVersion", TORVA_VERSION_TEXT},
                                 {L"CompanyName", TORVA_PUBLISHER},
                                 {L"OriginalFilename", name}}) {
        const auto* text = static_cast<const wchar_t*>(
            query((std::wstring(L"\\StringFileInfo\\040904B0\\") + entry).c_str()).first);
        EXPECT_EQ(std::wstring(text ? text : L""), wanted) << entry;
    }
}

TEST(ProgramFiles, CarryTheVersionRecordInUsEnglish) {
    for (const std::wstring path : {TORVA_INOUT_EXE_W, TORVA_PORT_EXE_W}) expect_version_record(path);
}

}  // namespace
