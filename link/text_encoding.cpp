#include "link/text_encoding.h"

#include <cstring>

#include "platform/files/utf8.h"

std::wstring Utf8ToWideString(const char* utf8) {
    if (utf8 == nullptr) {
        return {};
    }
    return win::FromUtf8(std::string_view(utf8));  // up to the first zero byte
}

DuiLib::CDuiString Utf8ToDuiString(const std::string& utf8) {
    return DuiLib::CDuiString(Utf8ToWideString(utf8.c_str()));
}

std::string WideToUtf8(const wchar_t* wide) {
    if (wide == nullptr) {
        return {};
    }
    return win::ToUtf8(std::wstring_view(wide));
}

char* WideToAnsi(const wchar_t* wide) {
    if (wide == nullptr) {
        return nullptr;
    }
    const std::string narrow = WideToUtf8(wide);
    char* buffer = new char[narrow.size() + 2]();
    std::memcpy(buffer, narrow.data(), narrow.size());
    return buffer;
}
