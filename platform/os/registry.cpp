#include "platform/os/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/damaged_file.h"
#include "platform/files/folders.h"
#include "platform/os/handle.h"

namespace win {
namespace {

struct Value {
    std::string name;  // as written (UTF-8)
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;  // DWORD: 4 bytes; string: UTF-8 without terminator
};

struct Key {
    std::string path;  // as written (UTF-8)
    std::vector<Value> values;
};

std::string Fold(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Normalises a key path: '/' and '\' both separate, empty parts go.
std::string NormalisePath(std::wstring_view path) {
    std::string out;
    std::string part;
    auto flush = [&] {
        if (!part.empty()) {
            if (!out.empty()) {
                out.push_back('\\');
            }
            out += part;
            part.clear();
        }
    };
    for (char c : ToUtf8(path)) {
        if (c == '\\' || c == '/') {
            flush();
        } else {
            part.push_back(c);
        }
    }
    flush();
    return out;
}

std::string StorePath() { return ToUtf8(JoinPath(GetConfigFolder(), L"tavrik/registry")); }

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after it.
bool Unquote(const std::string& text, size_t& pos, std::string* out) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    ++pos;
    out->clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"') {
            return true;
        }
        if (c == '\\' && pos < text.size()) {
            char e = text[pos++];
            switch (e) {
                case 'n':
                    out->push_back('\n');
                    break;
                case 'r':
                    out->push_back('\r');
                    break;
                case '0':
                    out->push_back('\0');
                    break;
                default:
                    out->push_back(e);
            }
        } else {
            out->push_back(c);
        }
    }
    return false;
}

// Whether `path`, the text between a key line's brackets, names a key: not
// empty, and free of what no key the program keeps holds (brackets, braces,
// quotes and control characters).
bool PlausibleKeyPath(std::string_view path) {
    if (path.empty()) return false;
    for (unsigned char c : path) {
        if (c < 0x20 || c == 0x7f || c == '[' || c == ']' || c == '{' || c == '}' || c == '"') return false;
    }
    return true;
}

// `damaged`: set when a line is none of a key, a value of a key, a comment
// (';') or blank; such lines are not kept, so the store is set aside before it
// is written again.
std::vector<Key> Parse(const std::string& content, bool* damaged) {
    std::vector<Key> keys;
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // A bracketed line is a key only when its path could be one:
            // JSON arrays ("[1]", "[[[...]]]") are bracketed lines too, and
            // taking them as keys would write the file over without a copy.
            if (!PlausibleKeyPath(std::string_view(line).substr(1, line.size() - 2))) {
                *damaged = true;
                continue;
            }
            Key key;
            key.path = NormalisePath(FromUtf8(line.substr(1, line.size() - 2)));
            keys.push_back(std::move(key));
            continue;
        }
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (keys.empty() || line[0] != '"') {
            *damaged = true;
            continue;
        }
        size_t pos = 0;
        Value value;
        if (!Unquote(line, pos, &value.name) || pos >= line.size() || line[pos] != '=') {
            *damaged = true;
            continue;
        }
        ++pos;
        std::string rest = line.substr(pos);
        if (rest.rfind("dword:", 0) == 0) {
            std::string digits = rest.substr(6);
            char* end = nullptr;
            unsigned long v = std::strtoul(digits.c_str(), &end, 16);
            if (digits.empty() || digits.size() > 8 || *end != '\0') {
                *damaged = true;
                continue;
            }
            DWORD d = static_cast<DWORD>(v);
            value.type = REG_DWORD;
            value.bytes.resize(4);
            std::memcpy(value.bytes.data(), &d, 4);
        } else if (rest.rfind("hex:", 0) == 0) {
            value.type = REG_BINARY;
            std::string digits = rest.substr(4);
            bool ok = true;
            for (size_t i = 0; i < digits.size();) {
                if (i + 2 > digits.size() || !std::isxdigit(static_cast<unsigned char>(digits[i])) ||
                    !std::isxdigit(static_cast<unsigned char>(digits[i + 1]))) {
                    ok = false;
                    break;
                }
                value.bytes.push_back(static_cast<BYTE>(std::stoul(digits.substr(i, 2), nullptr, 16)));
                i += 2;
                if (i < digits.size() && digits[i] == ',') {
                    ++i;
                }
            }
            if (!ok) {
                *damaged = true;
                continue;
            }
        } else {
            size_t p = 0;
            std::string text;
            if (!Unquote(rest, p, &text) || p != rest.size()) {
                *damaged = true;
                continue;
            }
            value.type = REG_SZ;
            value.bytes.assign(text.begin(), text.end());
        }
        keys.back().values.push_back(std::move(value));
    }
    return keys;
}

std::string Serialise(const std::vector<Key>& keys) {
    std::ostringstream out;
    for (const auto& key : keys) {
        out << '[' << key.path << "]\n";
        for (const auto& value : key.values) {
            out << '"' << Escape(value.name) << "\"=";
            if (value.type == REG_DWORD) {
                DWORD d = 0;
                std::memcpy(&d, value.bytes.data(), 4);
                char digits[16];
                std::snprintf(digits, sizeof digits, "dword:%08x", d);
                out << digits;
            } else if (value.type == REG_BINARY) {
                out << "hex:";
                for (size_t i = 0; i < value.bytes.size(); ++i) {
                    char digits[4];
                    std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ",%02x", value.bytes[i]);
                    out << digits;
                }
            } else {
                out << '"' << Escape(std::string(value.bytes.begin(), value.bytes.end())) << '"';
            }
            out << '\n';
        }
        out << '\n';
    }
    return out.str();
}

// The store, locked for the life of the object.
class Store {
public:
    explicit Store(bool forWriting) : path_(StorePath()) {
        std::string folder = path_.substr(0, path_.rfind('/'));
        if (forWriting) {
            CreateDirectoryTree(FromUtf8(folder));
        }
        lockFd_ = ::open((folder + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd_ >= 0) {
            ::flock(lockFd_, forWriting ? LOCK_EX : LOCK_SH);
        }
        std::ifstream in(path_, std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        keys_ = Parse(content, &damaged_);
        // Present but unreadable (a link to a folder, a file we may not
        // read): not a store either. An empty file is an empty store.
        std::error_code ec;
        const bool present = std::filesystem::exists(std::filesystem::symlink_status(path_, ec));
        if (present && !in.good() && !in.eof()) damaged_ = true;
    }
    ~Store() {
        if (lockFd_ >= 0) {
            ::close(lockFd_);
        }
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    bool KeyExists(const std::string& path) const {
        std::string folded = Fold(path);
        for (const auto& key : keys_) {
            std::string k = Fold(key.path);
            if (k == folded ||
                (k.size() > folded.size() && k.compare(0, folded.size(), folded) == 0 && k[folded.size()] == '\\')) {
                return true;
            }
        }
        return false;
    }

    Key* FindKey(const std::string& path) {
        std::string folded = Fold(path);
        for (auto& key : keys_) {
            if (Fold(key.path) == folded) {
                return &key;
            }
        }
        return nullptr;
    }

    Key& AddKey(const std::string& path) {
        if (Key* key = FindKey(path)) {
            return *key;
        }
        keys_.push_back(Key{path, {}});
        return keys_.back();
    }

    bool Save() {
        // A damaged store is kept as "registry.bad" before this one replaces
        // it; a link to a readable store is followed.
        const std::string target = win::PrepareDocumentSave(path_, !damaged_).string();
        if (target.empty()) {
            return false;
        }
        std::string temp = target + ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << Serialise(keys_);
            if (!out) {
                return false;
            }
        }
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            return false;
        }
        damaged_ = false;
        return true;
    }

private:
    std::string path_;
    bool damaged_ = false;
    int lockFd_ = -1;
    std::vector<Key> keys_;
};

struct OpenKey {
    std::string path;
};

std::mutex& KeysMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::set<OpenKey*>& OpenKeys() {
    static auto* keys = new std::set<OpenKey*>;
    return *keys;
}

// The full path of root + subKey; false for roots other than the current
// user or an unknown handle.
bool ResolvePath(HKEY root, LPCWSTR subKey, std::string* path) {
    std::string base;
    if (root == HKEY_CURRENT_USER) {
        base.clear();
    } else {
        std::lock_guard lock(KeysMutex());
        auto* key = reinterpret_cast<OpenKey*>(root);
        if (OpenKeys().count(key) == 0) {
            return false;
        }
        base = key->path;
    }
    std::string sub = subKey != nullptr ? NormalisePath(subKey) : std::string();
    if (base.empty()) {
        *path = sub;
    } else if (sub.empty()) {
        *path = base;
    } else {
        *path = base + "\\" + sub;
    }
    return true;
}

bool IsKnownRoot(HKEY root) {
    if (root == HKEY_CURRENT_USER) {
        return true;
    }
    std::lock_guard lock(KeysMutex());
    return OpenKeys().count(reinterpret_cast<OpenKey*>(root)) != 0;
}

HKEY NewHandle(const std::string& path) {
    auto* key = new OpenKey{path};
    std::lock_guard lock(KeysMutex());
    OpenKeys().insert(key);
    return reinterpret_cast<HKEY>(key);
}

Value* FindValue(Key* key, LPCWSTR valueName) {
    if (key == nullptr) {
        return nullptr;
    }
    std::string folded = Fold(valueName != nullptr ? ToUtf8(valueName) : std::string());
    for (auto& value : key->values) {
        if (Fold(value.name) == folded) {
            return &value;
        }
    }
    return nullptr;
}

// Copies a stored value out in the caller's representation.
LSTATUS CopyOut(const Value& value, DWORD* type, BYTE* data, DWORD* size) {
    std::vector<BYTE> out;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        std::wstring text = FromUtf8(std::string(value.bytes.begin(), value.bytes.end()));
        out.resize((text.size() + 1) * sizeof(wchar_t));
        std::memcpy(out.data(), text.c_str(), out.size());
    } else {
        out = value.bytes;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    if (size == nullptr) {
        return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    if (data == nullptr) {
        *size = static_cast<DWORD>(out.size());
        return ERROR_SUCCESS;
    }
    if (*size < out.size()) {
        *size = static_cast<DWORD>(out.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, out.data(), out.size());
    *size = static_cast<DWORD>(out.size());
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::string path;
    if (!ResolvePath(root, subKey, &path)) {
        return IsKnownRoot(root) ? ERROR_FILE_NOT_FOUND
                                 : (root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT ? ERROR_FILE_NOT_FOUND
                                                                                            : ERROR_INVALID_HANDLE);
    }
    if (!path.empty()) {
        Store store(false);
        if (!store.KeyExists(path)) {
            return ERROR_FILE_NOT_FOUND;
        }
    }
    *result = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, HKEY* result,
                        DWORD* disposition) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::string path;
    if (!ResolvePath(root, subKey, &path)) {
        return (root == HKEY_LOCAL_MACHINE || root == HKEY_CLASSES_ROOT) ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
    }
    if (!path.empty()) {
        Store store(true);
        bool existed = store.KeyExists(path);
        if (!existed) {
            store.AddKey(path);
            if (!store.Save()) {
                return ERROR_ACCESS_DENIED;
            }
        }
        if (disposition != nullptr) {
            *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
        }
    } else if (disposition != nullptr) {
        *disposition = REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT) {
        return ERROR_SUCCESS;
    }
    auto* open = reinterpret_cast<OpenKey*>(key);
    {
        std::lock_guard lock(KeysMutex());
        if (OpenKeys().erase(open) == 0) {
            return ERROR_INVALID_HANDLE;
        }
    }
    delete open;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    std::string path;
    if (!ResolvePath(key, nullptr, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    Store store(false);
    Value* value = FindValue(store.FindKey(path), valueName);
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    return CopyOut(*value, type, data, size);
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
    std::string path;
    if (!ResolvePath(key, nullptr, &path) || path.empty()) {
        return ERROR_INVALID_HANDLE;
    }
    if (size > 0 && data == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    Value value;
    value.name = valueName != nullptr ? ToUtf8(valueName) : std::string();
    value.type = type;
    switch (type) {
        case REG_DWORD:
            if (size != 4) {
                return ERROR_INVALID_PARAMETER;
            }
            value.bytes.assign(data, data + 4);
            break;
        case REG_SZ:
        case REG_EXPAND_SZ: {
            // Wide characters; the terminator may or may not be counted.
            size_t count = size / sizeof(wchar_t);
            std::wstring text(reinterpret_cast<const wchar_t*>(data), count);
            while (!text.empty() && text.back() == L'\0') {
                text.pop_back();
            }
            std::string utf8 = ToUtf8(text);
            value.bytes.assign(utf8.begin(), utf8.end());
            break;
        }
        case REG_BINARY:
        case REG_NONE:
            value.type = REG_BINARY;
            value.bytes.assign(data, data + size);
            break;
        default:
            return ERROR_INVALID_PARAMETER;
    }
    Store store(true);
    if (!store.KeyExists(path)) {
        return ERROR_FILE_NOT_FOUND;  // the key was deleted meanwhile
    }
    Key& stored = store.AddKey(path);
    if (Value* existing = FindValue(&stored, valueName)) {
        std::string name = existing->name;
        *existing = std::move(value);
        existing->name = name;
    } else {
        stored.values.push_back(std::move(value));
    }
    return store.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS RegGetValueW(HKEY key, LPCWSTR subKey, LPCWSTR valueName, DWORD flags, DWORD* type, void* data, DWORD* size) {
    std::string path;
    if (!ResolvePath(key, subKey, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    Store store(false);
    Value* value = FindValue(store.FindKey(path), valueName);
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    DWORD allowed = flags & RRF_RT_ANY;
    bool typeOk = allowed == RRF_RT_ANY || allowed == 0 || ((allowed & RRF_RT_REG_SZ) != 0 && value->type == REG_SZ) ||
                  ((allowed & RRF_RT_REG_DWORD) != 0 && value->type == REG_DWORD) ||
                  ((allowed & RRF_RT_REG_BINARY) != 0 && value->type == REG_BINARY);
    if (!typeOk) {
        return ERROR_INVALID_PARAMETER;  // unsupported type for the request
    }
    return CopyOut(*value, type, static_cast<BYTE*>(data), size);
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    std::string path;
    if (!ResolvePath(key, nullptr, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    Store store(true);
    Key* stored = store.FindKey(path);
    Value* value = FindValue(stored, valueName);
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    stored->values.erase(stored->values.begin() + (value - stored->values.data()));
    return store.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

}  // namespace win
