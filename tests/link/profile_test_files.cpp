#include "tests/link/profile_test_files.h"

#include <atomic>
#include <random>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <json/json.h>

namespace profile_test {

DuiLib::CDuiString Dui(const std::filesystem::path& path) { return DuiLib::CDuiString(path.wstring()); }

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

std::optional<std::string> ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::Value Parse(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << errors << "\n" << text;
    return value;
}

Json::Value ReadJson(const std::filesystem::path& path) {
    const auto text = ReadText(path);
    if (!text) {
        return Json::Value();
    }
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text->data(), text->data() + text->size(), &value, &errors)) {
        return Json::Value();
    }
    return value;
}

void WriteJson(const std::filesystem::path& path, const Json::Value& value) {
    WriteText(path, Json::writeString(Json::StreamWriterBuilder(), value));
}

ScopedFile::ScopedFile(std::filesystem::path path, const std::string& text) : path_(std::move(path)) {
    std::filesystem::create_directories(path_.parent_path());
    WriteText(path_, text);
}

ScopedFile::~ScopedFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

std::string UniqueGuid() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const unsigned long long high = (static_cast<unsigned long long>(random()) << 32) | random();
    char text[64];
    std::snprintf(text, sizeof text, "%08llX-%04X-%04X-A1B2-%012llX", high >> 32, counter++ & 0xFFFFu,
                  static_cast<unsigned>(random() & 0xFFFFu), high & 0xFFFFFFFFFFFFull);
    return text;
}

}  // namespace profile_test
