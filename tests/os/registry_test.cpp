#include "platform/os/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/folders.h"
#include "platform/os/handle.h"
#include "tests/support/temp_home.h"

namespace {

using namespace win;

const wchar_t kProductKey[] = L"SOFTWARE\\Halvord  Q580-RGB-PRO";

DWORD ReadDword(HKEY key, const wchar_t* name, LSTATUS* status) {
    DWORD value = 0, type = 0, size = sizeof value;
    *status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (*status == ERROR_SUCCESS) {
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(size, 4u);
    }
    return value;
}

TEST(Registry, MissingKeyCannotBeOpened) {
    tavrik::test::TempHome home;
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    // Nothing was created by looking.
    EXPECT_FALSE(std::filesystem::exists(home.ConfigHome() / "tavrik" / "registry"));
}

TEST(Registry, DwordAndStringRoundTripThroughTheFile) {
    tavrik::test::TempHome home;
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    DWORD language = 3;
    ASSERT_EQ(RegSetValueExW(key, L"LANGUAGE", 0, REG_DWORD, reinterpret_cast<BYTE*>(&language), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvord  Q580-RGB-PRO";
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, uninstall.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::wstring version = L"1.0.4 \"beta\"\\x";
    ASSERT_EQ(RegSetValueExW(key, L"DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                             static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Open existing, other spelling of the case.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\halvord  q580-rgb-pro", 0, KEY_READ, &key), ERROR_SUCCESS);
    LSTATUS status;
    EXPECT_EQ(ReadDword(key, L"language", &status), 3u);
    EXPECT_EQ(status, ERROR_SUCCESS);
    ReadDword(key, L"missing", &status);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
    // Overwrite keeps one value.
    language = 0xFFFFFFFF;
    ASSERT_EQ(RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<BYTE*>(&language), 4), ERROR_SUCCESS);
    EXPECT_EQ(ReadDword(key, L"LANGUAGE", &status), 0xFFFFFFFFu);
    RegCloseKey(key);

    wchar_t buffer[260];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, uninstall.c_str(), L"DisplayVersion", RRF_RT_ANY, &type, buffer, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::wstring(buffer), version);
    EXPECT_EQ(size, (version.size() + 1) * sizeof(wchar_t));

    // A buffer too small is reported with the size needed, nothing written past it.
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    wchar_t guard = L'G';
    size = 2 * sizeof(wchar_t);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, uninstall.c_str(), L"DisplayVersion", RRF_RT_ANY, nullptr, small, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, (version.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(small[2], L'x');
    EXPECT_EQ(guard, L'G');

    // The store is a file under the config folder; another reader sees it.
    std::ifstream file(home.ConfigHome() / "tavrik" / "registry");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[SOFTWARE\\Halvord  Q580-RGB-PRO]"), std::string::npos);
    EXPECT_NE(text.find("\"LANGUAGE\"=dword:ffffffff"), std::string::npos);
}

TEST(Registry, BadInputIsRefused) {
    tavrik::test::TempHome home;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\T", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD v = 1;
    EXPECT_EQ(RegSetValueExW(key, L"x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, L"x", 0, REG_DWORD, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(reinterpret_cast<HKEY>(&v), L"x", nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    // A value name with a line break and quotes stays one value.
    const std::wstring text = L"a\nb";
    ASSERT_EQ(RegSetValueExW(key, L"we\"ird\nname", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(key, L"WE\"IRD\nNAME", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    std::vector<wchar_t> out(size / sizeof(wchar_t));
    ASSERT_EQ(RegQueryValueExW(key, L"we\"ird\nname", nullptr, nullptr, reinterpret_cast<BYTE*>(out.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(out.data()), text);
    EXPECT_EQ(RegDeleteValueW(key, L"we\"ird\nname"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, L"we\"ird\nname"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST(Registry, ConcurrentWritersLoseNothing) {
    tavrik::test::TempHome home;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\T", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([key, t] {
            for (DWORD i = 0; i < 10; ++i) {
                std::wstring name = L"v" + std::to_wstring(t) + L"_" + std::to_wstring(i);
                EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&i), 4),
                          ERROR_SUCCESS);
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    for (int t = 0; t < 4; ++t) {
        for (DWORD i = 0; i < 10; ++i) {
            std::wstring name = L"v" + std::to_wstring(t) + L"_" + std::to_wstring(i);
            LSTATUS status;
            EXPECT_EQ(ReadDword(key, name.c_str(), &status), i);
            EXPECT_EQ(status, ERROR_SUCCESS) << ToUtf8(name);
        }
    }
    RegCloseKey(key);
}

}  // namespace
