#include "platform/os/profile_ini.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files/damaged_file.h"
#include "platform/files/folders.h"
#include "platform/os/handle.h"

namespace win {
namespace {

std::string Fold(std::string text) {
    for (auto& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Trim(const std::string& text) {
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) {
        return {};
    }
    size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}

// A section's name and its lines (kept as written, comments included).
struct Section {
    std::string name;  // empty for lines before the first section
    std::vector<std::string> lines;
};

bool KeyOf(const std::string& line, std::string* key);

// `damaged` (optional): set when a line is none of a section, a key, a
// comment or blank, or holds a zero byte; such lines are left out, and the
// writer sets the file aside before it writes the rest again.
std::vector<Section> Load(const std::filesystem::path& path, bool* damaged = nullptr) {
    std::vector<Section> sections(1);
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string t = Trim(line);
        std::string key;
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            sections.push_back(Section{Trim(t.substr(1, t.size() - 2)), {}});
        } else if (damaged != nullptr && (line.find('\0') != std::string::npos ||
                                          (!t.empty() && t[0] != ';' && t[0] != '#' && !KeyOf(line, &key)))) {
            *damaged = true;
        } else {
            sections.back().lines.push_back(line);
        }
    }
    if (damaged != nullptr && in.bad()) {
        *damaged = true;
    }
    return sections;
}

bool KeyOf(const std::string& line, std::string* key) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') {
        return false;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) {
        return false;
    }
    *key = Trim(t.substr(0, eq));
    return true;
}

bool FindValue(const std::vector<Section>& sections, const std::string& section, const std::string& key,
               std::string* value) {
    for (const auto& s : sections) {
        if (s.name.empty() && !section.empty()) {
            continue;
        }
        if (Fold(s.name) != Fold(section)) {
            continue;
        }
        for (const auto& line : s.lines) {
            std::string k;
            if (KeyOf(line, &k) && Fold(k) == Fold(key)) {
                *value = Trim(line.substr(line.find('=') + 1));
                if (value->size() >= 2 && value->front() == '"' && value->back() == '"') {
                    *value = value->substr(1, value->size() - 2);
                }
                return true;
            }
        }
    }
    return false;
}

bool HasNewline(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
    if (section == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto path = ToFsPath(fileName);
    std::string sectionName = ToUtf8(section);
    std::string keyName = key != nullptr ? ToUtf8(key) : std::string();
    std::string valueText = value != nullptr ? ToUtf8(value) : std::string();
    // A line break would let a value forge further keys or sections.
    if (HasNewline(sectionName) || HasNewline(keyName) || HasNewline(valueText) ||
        sectionName.find(']') != std::string::npos || keyName.find('=') != std::string::npos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool damaged = false;
    auto sections = Load(path, &damaged);
    Section* target = nullptr;
    for (size_t i = 1; i < sections.size(); ++i) {
        if (Fold(sections[i].name) == Fold(sectionName)) {
            target = &sections[i];
            break;
        }
    }
    if (key == nullptr) {
        if (target != nullptr) {
            sections.erase(sections.begin() + (target - sections.data()));
        }
    } else {
        if (target == nullptr) {
            if (value == nullptr) {
                return TRUE;  // nothing to remove
            }
            sections.push_back(Section{sectionName, {}});
            target = &sections.back();
        }
        bool done = false;
        for (auto it = target->lines.begin(); it != target->lines.end(); ++it) {
            std::string k;
            if (KeyOf(*it, &k) && Fold(k) == Fold(keyName)) {
                if (value == nullptr) {
                    target->lines.erase(it);
                } else {
                    *it = k + "=" + valueText;
                }
                done = true;
                break;
            }
        }
        if (!done && value != nullptr) {
            // After the last non-empty line of the section.
            auto pos = target->lines.end();
            while (pos != target->lines.begin() && Trim(*(pos - 1)).empty()) {
                --pos;
            }
            target->lines.insert(pos, keyName + "=" + valueText);
        }
    }
    std::ostringstream out;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (i > 0) {
            out << '[' << sections[i].name << "]\n";
        }
        for (const auto& line : sections[i].lines) {
            out << line << '\n';
        }
    }
    // A damaged file is kept as "<name>.bad" before its readable lines are
    // written again; a link to a readable file is followed.
    const std::filesystem::path written = PrepareDocumentSave(path, !damaged);
    if (written.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::string temp = written.string() + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        file << out.str();
        if (!file) {
            return FALSE;
        }
    }
    if (std::rename(temp.c_str(), written.c_str()) != 0) {
        std::remove(temp.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR def, LPWSTR buffer, DWORD size, LPCWSTR fileName) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    std::wstring result = def != nullptr ? def : L"";
    if (section != nullptr && key != nullptr && fileName != nullptr) {
        std::string value;
        if (FindValue(Load(ToFsPath(fileName)), ToUtf8(section), ToUtf8(key), &value)) {
            result = FromUtf8(value);
        }
    }
    size_t n = std::min<size_t>(result.size(), size - 1);
    result.copy(buffer, n);
    buffer[n] = L'\0';
    return static_cast<DWORD>(n);
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, int def, LPCWSTR fileName) {
    if (section == nullptr || key == nullptr || fileName == nullptr) {
        return static_cast<UINT>(def);
    }
    std::string value;
    if (!FindValue(Load(ToFsPath(fileName)), ToUtf8(section), ToUtf8(key), &value)) {
        return static_cast<UINT>(def);
    }
    return static_cast<UINT>(std::strtol(value.c_str(), nullptr, 10));
}

}  // namespace win
