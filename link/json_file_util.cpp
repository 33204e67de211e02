#include "link/json_file_util.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <sstream>
#include <system_error>

#include "link/text_encoding.h"
#include "link/time_id.h"
#include "platform/os/file_sync.h"
#include "platform/files/damaged_file.h"
#include "platform/files/folders.h"
#include "platform/os/owned_temp_file.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const fs::path& path, const char* mode) { return File(std::fopen(path.c_str(), mode)); }

// The styled writer's text with every line end written as CR LF, whatever line
// ends the comments of a loaded document carried.
std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the '\n' that follows writes the pair
        }
        if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string CJsonFileUtil::MakeTimeId() { return NextTimeId(); }

std::string CJsonFileUtil::ReadFileText(const DuiLib::CDuiString& path) {
    const fs::path fsPath = win::ToFsPath(path.str());
    File file = Open(fsPath, "rb");
    if (!file) {
        return std::string();
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        return std::string();
    }
    const long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return std::string();
    }
    // Read in pieces rather than trusting the size for one allocation: what is
    // not a regular file can report any size.
    std::string text;
    try {
        char chunk[65536];
        while (text.size() < static_cast<unsigned long>(size)) {
            const std::size_t want = std::min(sizeof chunk, static_cast<std::size_t>(size) - text.size());
            const std::size_t got = std::fread(chunk, 1, want, file.get());
            text.append(chunk, got);
            if (got < want) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        return std::string();
    }
    if (text.size() < static_cast<unsigned long>(size)) {
        return std::string();
    }
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        text.resize(zero);
    }
    return text;
}

Json::Value CJsonFileUtil::LoadJson(const DuiLib::CDuiString& path) {
    std::string text = ReadFileText(path);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    if (text.empty()) {
        return Json::Value();
    }
    Json::CharReaderBuilder builder;  // defaults: comments allowed and kept, any root
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            return Json::Value();
        }
    } catch (const std::exception&) {
        return Json::Value();
    }
    return root;
}

bool CJsonFileUtil::SaveJson(const DuiLib::CDuiString& path, const Json::Value& value) {
    std::string content;
    try {
        // Styled: one member per line, indented by three blanks, comments kept,
        // text written as UTF-8 rather than \u escapes.
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "   ";
        builder["commentStyle"] = "All";
        builder["emitUTF8"] = true;
        content = ToCrLf(Json::writeString(builder, value) + "\n\n");
    } catch (const std::exception&) {
        return false;
    }

    std::error_code ec;
    const fs::path named = win::ToFsPath(path.str());
    if (fs::is_directory(named, ec)) {
        return false;
    }
    // What is there and cannot be read as JSON is somebody's data, not an
    // older copy of this document: it is set aside (a link as the link
    // itself), never written into. A link to a JSON document is followed.
    const bool readable = !fs::exists(fs::symlink_status(named, ec)) || !LoadJson(path).isNull();
    const fs::path target = win::PrepareDocumentSave(named, readable);
    if (target.empty()) {
        return false;
    }
    if (fs::is_directory(target, ec)) {
        return false;
    }
    if (fs::exists(target, ec) && !Open(target, "ab")) {
        return false;  // an existing file that we may not write stays as it is
    }

    // Copies that saves killed mid-way left behind go first (a running
    // save's copy is never taken).
    win::RemoveStaleTempFiles(target);
    win::OwnedTempFile temp(target);
    if (!temp.File()) {
        return false;
    }
    const fs::path& tempPath = temp.Path();
    const fs::file_status old = fs::status(target, ec);
    if (fs::exists(old)) {
        fs::permissions(tempPath, old.permissions(), ec);  // the document keeps its access rights
    }
    // On disk before the rename, so the name never points at a file whose data
    // a power loss could still take.
    const bool written = std::fwrite(content.data(), 1, content.size(), temp.File()) == content.size() &&
                         win::FlushFileBuffers(temp.File());
    const bool closed = temp.CloseFile();
    if (!written || !closed) {
        fs::remove(tempPath, ec);
        return false;
    }
    fs::rename(tempPath, target, ec);
    if (ec) {
        fs::remove(tempPath, ec);
        return false;
    }
    return true;
}

DuiLib::CDuiString CJsonFileUtil::GetFileTitle(const DuiLib::CDuiString& path) {
    const std::wstring& s = path.str();
    const std::size_t slash = s.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? s : s.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    return DuiLib::CDuiString(name);
}
