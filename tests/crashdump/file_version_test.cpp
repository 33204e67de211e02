// Version numbers of a file, from its ".version" sidecar.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "crashdump/keyboard_api_version.h"
#include "platform/files/file_version.h"
#include "platform/files/folders.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;

namespace {

struct Versions {
    win::DWORD fileMS, fileLS, productMS, productLS;
};

std::optional<Versions> Query(const fs::path& file) {
    std::wstring path = win::FromUtf8(file.string());
    win::DWORD handle = 7;
    win::DWORD size = win::GetFileVersionInfoSizeW(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    EXPECT_FALSE(win::GetFileVersionInfoW(path.c_str(), 0, size - 1, block.data()));
    EXPECT_TRUE(win::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    void* fixed = nullptr;
    win::UINT length = 0;
    EXPECT_FALSE(win::VerQueryValueW(block.data(), L"\\StringFileInfo", &fixed, &length));
    EXPECT_TRUE(win::VerQueryValueW(block.data(), L"\\", &fixed, &length));
    EXPECT_EQ(length, sizeof(win::VS_FIXEDFILEINFO));
    const auto* info = static_cast<const win::VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwSignature, win::kFixedFileInfoSignature);
    return Versions{info->dwFileVersionMS, info->dwFileVersionLS, info->dwProductVersionMS, info->dwProductVersionLS};
}

TEST(FileVersion, ReadsTheSidecarBesideTheFile) {
    struct Case {
        const char* sidecar;
        std::optional<Versions> expected;
    };
    const Case cases[] = {
        {"FileVersion=1.2.3.4\nProductVersion=1.2.3.45\n", Versions{0x10002, 0x30004, 0x10002, 0x3002D}},
        {"# shipped\r\n  ProductVersion = 2.0 \r\n", Versions{0, 0, 0x20000, 0}},
        {"ProductVersion=65535.0.0.65535", Versions{0, 0, 0xFFFF0000, 0xFFFF}},
        {"ProductVersion=1.2.3.65536\n", std::nullopt},
        {"ProductVersion=1.2.3.4.5\n", std::nullopt},
        {"ProductVersion=1..3\nFileVersion=\n", std::nullopt},
        {"productversion=1.2.3.4\n", std::nullopt},
        {"Version 1.2.3.4\n", std::nullopt},
        {"", std::nullopt},
    };
    tavrik::test::TempDir dir;
    fs::path file = dir.Path() / "CorvaneKeyboardAPI.dll";
    std::ofstream(file) << "library";
    for (const auto& c : cases) {
        std::ofstream(fs::path(file.string() + ".version"), std::ios::trunc) << c.sidecar;
        auto got = Query(file);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.sidecar;
        if (got) {
            EXPECT_EQ(got->fileMS, c.expected->fileMS) << c.sidecar;
            EXPECT_EQ(got->fileLS, c.expected->fileLS) << c.sidecar;
            EXPECT_EQ(got->productMS, c.expected->productMS) << c.sidecar;
            EXPECT_EQ(got->productLS, c.expected->productLS) << c.sidecar;
        }
    }
}

TEST(FileVersion, NeedsBothTheFileAndItsSidecar) {
    tavrik::test::TempDir dir;
    fs::path file = dir.Path() / "CorvaneKeyboardAPI.dll";
    std::ofstream(fs::path(file.string() + ".version")) << "ProductVersion=1.2.3.45\n";
    EXPECT_FALSE(Query(file).has_value());  // no file
    std::ofstream(file) << "library";
    EXPECT_TRUE(Query(file).has_value());
    fs::remove(fs::path(file.string() + ".version"));
    EXPECT_FALSE(Query(file).has_value());  // no sidecar
    EXPECT_EQ(win::GetFileVersionInfoSizeW(nullptr, nullptr), 0u);
    EXPECT_FALSE(win::VerQueryValueW(nullptr, L"\\", nullptr, nullptr));
}

TEST(FileVersion, TheDumpTagIsTheFourthProductNumber) {
    tavrik::test::TempDir dir;
    fs::path file = dir.Path() / "CorvaneKeyboardAPI.dll";
    std::ofstream(file) << "library";
    std::wstring path = win::FromUtf8(file.string());
    EXPECT_EQ(corvane::ReadFourthProductVersion(path), L"");
    std::ofstream(fs::path(file.string() + ".version")) << "FileVersion=9.9.9.9\nProductVersion=1.2.3.45\n";
    EXPECT_EQ(corvane::ReadFourthProductVersion(path), L"45");
}

}  // namespace
