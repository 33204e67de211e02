// Every document the program reads, damaged every way a user or a crash can
// damage it, run through the program's own loading and saving code on real
// files in a temporary home: what could not be read is kept byte for byte as
// "<name>.bad" before defaults take its place, and a link to a file that is
// not the document is set aside as the link itself, the file it points to
// left as it was.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "link/basic_profiledata.h"
#include "link/json_file_util.h"
#include "pages/device_profile_ui.h"
#include "platform/files/utf8.h"
#include "platform/os/profile_ini.h"
#include "platform/os/registry.h"
#include "shell/main/audio_file.h"
#include "shell/main/set_wnd.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using DuiLib::CDuiString;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

CDuiString Dui(const fs::path& path) { return CDuiString(win::FromUtf8(path.string()).c_str()); }

enum class Format { kJson, kRegistry, kIni };

// One document: where it lives in the home, its format, and what the program
// does with it (load it, and save what takes its place).
struct Document {
    const char* name;
    Format format;
    std::function<fs::path(const tavrik::test::TempHome&)> path;
    std::function<void(const fs::path&, const fs::path& folder)> loadAndSave;
};

void SaveDefaults(const fs::path& path, const char* json) {
    Json::Value value;
    Json::Reader().parse(json, value);
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), value));
}

const std::vector<Document>& Documents() {
    static const std::vector<Document> documents = {
        {"ProfileList.ini", Format::kJson, [](const auto& home) { return home.DataHome() / "kb" / "ProfileList.ini"; },
         [](const fs::path& path, const fs::path&) {
             EXPECT_TRUE(LoadProfileIndex(Dui(path)).isNull());
             SaveDefaults(path, R"({"profilelist": [{"profilename": "profile1"}], "profileselect": 0})");
         }},
        {"ScreenFrame.json", Format::kJson,
         [](const auto& home) { return home.DataHome() / "kb" / "ScreenFrame.json"; },
         [](const fs::path& path, const fs::path&) {
             EXPECT_TRUE(LoadScreenFrameDocument(Dui(path)).isNull());
             SaveDefaults(path, R"({"Frame": []})");
         }},
        {"ScreenFrame.json (all frames cleared)", Format::kJson,
         [](const auto& home) { return home.DataHome() / "kb" / "ScreenFrame.json"; },
         [](const fs::path& path, const fs::path&) { EXPECT_TRUE(ClearScreenFrameDocument(Dui(path))); }},
        {"updatetime.config", Format::kJson, [](const auto& home) { return home.DataHome() / "updatetime.config"; },
         [](const fs::path& path, const fs::path&) {
             EXPECT_TRUE(LoadUpdateTimeDocument(Dui(path)).isNull());
             SaveDefaults(path, R"({"updatelasttime": {"value": "2026-1-1"}})");
         }},
        {"AudioFile.json", Format::kJson, [](const auto& home) { return home.DataHome() / "AudioFile.json"; },
         [](const fs::path& path, const fs::path& folder) {
             const fs::path defaults = folder / "defaults" / "AudioFile.json";
             WriteBytes(defaults, R"({"Device": {"AudioLightInfo": {"nStyleR0": 7}}})");
             EXPECT_EQ(LoadAudioFileDevice(Dui(path), Dui(defaults))["AudioLightInfo"]["nStyleR0"], 7);
         }},
        {"profile (.Json)", Format::kJson,
         [](const auto& home) { return home.DataHome() / "kb" / "2024_01_02_03_04_05_006.Json"; },
         [](const fs::path& path, const fs::path& folder) {
             const fs::path defaults = folder / "defaults" / "MousePad.Json";
             WriteBytes(defaults, R"({"Device": [{"LightInfo": {"SelectItem": 3}}]})");
             CBasicProfiledata profile;
             profile.SetDefaultProfilePath(Dui(defaults));
             profile.SetDeviceIndex(0);
             profile.SetProfilePath(Dui(path));
             profile.LoadProfile(profile.GetProfilePath());
             EXPECT_TRUE(profile.SaveProfile());
         }},
        {"registry", Format::kRegistry, [](const auto& home) { return home.ConfigHome() / "tavrik" / "registry"; },
         [](const fs::path&, const fs::path&) {
             win::HKEY key = nullptr;
             ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_CURRENT_USER, L"Software\\Tavrik", 0, nullptr, 0,
                                            win::KEY_ALL_ACCESS, nullptr, &key, nullptr),
                       win::ERROR_SUCCESS);
             const win::DWORD value = 1033;
             EXPECT_EQ(win::RegSetValueExW(key, L"LANGUAGE", 0, win::REG_DWORD,
                                           reinterpret_cast<const win::BYTE*>(&value), sizeof value),
                       win::ERROR_SUCCESS);
             win::RegCloseKey(key);
         }},
        {"main.ini", Format::kIni, [](const auto& home) { return home.DataHome() / "main.ini"; },
         [](const fs::path& path, const fs::path&) {
             EXPECT_TRUE(
                 win::WritePrivateProfileStringW(L"Skin", L"SkinIndex", L"2", win::FromUtf8(path.string()).c_str()));
         }},
    };
    return documents;
}

// The damage, written as each format would carry it. `damaged`: whether the
// bytes cannot be read as the document (an empty store or ini file is an
// empty document).
struct Damage {
    const char* name;
    std::function<std::string(Format)> bytes;
    bool emptyIsDocument = false;
    bool link = false;
    // Whether the damage applies to a document of the format (an ini file's
    // sections may hold any text, so a JSON array there is a section).
    std::function<bool(Format)> appliesTo = [](Format) { return true; };
};

const std::string kFiftyMegabytes(50u << 20, 'x');

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages = {
        {"empty", [](Format) { return std::string(); }, true},
        {"truncated",
         [](Format f) {
             return f == Format::kJson       ? std::string(R"({"Frame": [{"PenColor": {"Red": 1)")
                    : f == Format::kRegistry ? std::string("[Software\\Tavrik]\n\"LANGUAGE\"=\"unterminat")
                                             : std::string("[Skin]\nSkinIndex");
         }},
        {"garbage", [](Format) { return std::string("\x01\x02 not a document \xff\xfe\n"); }},
        {"wrong types",
         [](Format f) {
             return f == Format::kJson       ? std::string(R"({"profilelist": "x", "Frame": 5, "updatelasttime": 3,)"
                                                                 R"( "Device": [1]})")
                    : f == Format::kRegistry ? std::string("[Software\\Tavrik]\n\"LANGUAGE\"=dword:zzzz\n")
                                             : std::string("[Skin]\nSkinIndex: 2\n");
         }},
        {"very deep nesting",
         [](Format f) {
             // A store holding nested JSON reads as bracketed lines, as keys do.
             return f == Format::kIni ? std::string(100000, '[') : std::string(100000, '[') + std::string(100000, ']');
         }},
        {"JSON of the wrong types", [](Format) { return std::string(R"([1, "x", {"Device": 5}])"); }, false, false,
         [](Format f) { return f != Format::kIni; }},
        {"50 MB", [](Format f) { return f == Format::kJson ? "[\"" + kFiftyMegabytes + "\"]" : kFiftyMegabytes; }},
        {"a link to a file that is not the document", [](Format) { return std::string("the user's notes\n"); }, false,
         true},
    };
    return damages;
}

// One table, every document x every damage; one test per document, so that
// the 50 MB cases of all of them do not add up in one test's time.
class DamagedDocument : public ::testing::TestWithParam<size_t> {};

TEST_P(DamagedDocument, IsKeptAsBadBeforeDefaultsTakeItsPlaceAndALinkedFileStaysUntouched) {
    const Document& document = Documents()[GetParam()];
    {
        for (const Damage& damage : Damages()) {
            if (!damage.appliesTo(document.format)) continue;
            SCOPED_TRACE(std::string(document.name) + " / " + damage.name);
            tavrik::test::TempHome home;
            const fs::path path = document.path(home);
            const fs::path bad = fs::path(path) += ".bad";
            const std::string bytes = damage.bytes(document.format);
            const fs::path linked = home.Root() / "elsewhere" / "notes.txt";
            if (damage.link) {
                WriteBytes(linked, bytes);
                fs::create_directories(path.parent_path());
                fs::create_symlink(linked, path);
            } else {
                WriteBytes(path, bytes);
            }

            document.loadAndSave(path, home.Root());

            const bool kept = !(bytes.empty() && damage.emptyIsDocument && document.format != Format::kJson);
            if (damage.link) {
                ASSERT_TRUE(fs::is_symlink(bad)) << "the link itself is set aside";
                EXPECT_EQ(fs::read_symlink(bad), linked);
                EXPECT_EQ(ReadBytes(linked), bytes) << "the linked file is never written into";
            } else if (kept) {
                ASSERT_TRUE(fs::exists(bad));
                EXPECT_TRUE(ReadBytes(bad) == bytes) << "kept byte for byte (" << fs::file_size(bad) << " bytes)";
            } else {
                EXPECT_FALSE(fs::exists(bad)) << "an empty store is an empty document";
            }
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path))) << "a new document in its place";
            EXPECT_FALSE(fs::exists(fs::path(path) += ".bad.1"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDocument, DamagedDocument, ::testing::Range<size_t>(0, Documents().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name;
                             for (char c : std::string(Documents()[info.param].name))
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

// A link to a real document keeps working: loads read through it and saves
// write through it.
TEST(DamagedDocuments, ALinkToARealDocumentIsFollowed) {
    tavrik::test::TempHome home;
    const fs::path real = home.Root() / "elsewhere" / "ScreenFrame.json";
    WriteBytes(real, R"({"Frame": [{"SaveFameDir": "a"}]})");
    const fs::path path = home.DataHome() / "kb" / "ScreenFrame.json";
    fs::create_directories(path.parent_path());
    fs::create_symlink(real, path);
    Json::Value document = LoadScreenFrameDocument(Dui(path));
    ASSERT_EQ(document["Frame"].size(), 1u);
    document["Frame"].append(Json::Value(Json::objectValue));
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Dui(path), document));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_FALSE(fs::exists(fs::path(path) += ".bad"));
    EXPECT_EQ(LoadScreenFrameDocument(Dui(real))["Frame"].size(), 2u);

    const fs::path store = home.ConfigHome() / "tavrik" / "registry";
    const fs::path realStore = home.Root() / "elsewhere" / "registry";
    WriteBytes(realStore, "[Software\\Tavrik]\n\"Skin\"=\"blue\"\n");
    fs::create_directories(store.parent_path());
    fs::create_symlink(realStore, store);
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_CURRENT_USER, L"Software\\Tavrik", 0, nullptr, 0, win::KEY_ALL_ACCESS,
                                   nullptr, &key, nullptr),
              win::ERROR_SUCCESS);
    const win::DWORD value = 2052;
    EXPECT_EQ(win::RegSetValueExW(key, L"LANGUAGE", 0, win::REG_DWORD, reinterpret_cast<const win::BYTE*>(&value),
                                  sizeof value),
              win::ERROR_SUCCESS);
    win::RegCloseKey(key);
    EXPECT_TRUE(fs::is_symlink(store));
    const std::string written = ReadBytes(realStore);
    EXPECT_NE(written.find("\"Skin\"=\"blue\""), std::string::npos) << written;
    EXPECT_NE(written.find("LANGUAGE"), std::string::npos) << written;
}

// Nothing set aside is overwritten by a later failure.
TEST(DamagedDocuments, ALaterFailureNeverOverwritesAnEarlierCopy) {
    tavrik::test::TempHome home;
    const fs::path path = home.DataHome() / "updatetime.config";
    WriteBytes(path, "first");
    EXPECT_TRUE(LoadUpdateTimeDocument(Dui(path)).isNull());
    WriteBytes(path, "second");
    EXPECT_TRUE(LoadUpdateTimeDocument(Dui(path)).isNull());
    EXPECT_EQ(ReadBytes(fs::path(path) += ".bad"), "first");
    EXPECT_EQ(ReadBytes(fs::path(path) += ".bad.1"), "second");
}

}  // namespace
