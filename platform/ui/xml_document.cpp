#include "platform/ui/xml_document.h"

#include "platform/files/folders.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <sstream>

namespace DuiLib {

namespace {

class Parser {
public:
    Parser(const std::wstring& text, std::wstring& error) : s_(text), error_(error) {}

    std::unique_ptr<XmlNode> Parse() {
        SkipMisc();
        if (!Peek(L"<")) return Fail(L"no root element");
        auto root = Element(0);
        if (!root) return nullptr;
        SkipMisc();
        if (pos_ < s_.size()) return Fail(L"content after the root element");
        return root;
    }

private:
    std::unique_ptr<XmlNode> Fail(const wchar_t* what) {
        if (error_.empty()) error_ = std::wstring(what) + L" at line " + std::to_wstring(Line());
        return nullptr;
    }
    // Counted on from where it was last asked (the position only moves on):
    // a skin of many elements would otherwise be read over and over.
    int Line() {
        const size_t end = std::min(pos_, s_.size());
        for (; counted_ < end; ++counted_)
            if (s_[counted_] == L'\n') ++line_;
        return line_;
    }
    bool Peek(const wchar_t* t) const { return s_.compare(pos_, std::wcslen(t), t) == 0; }
    void SkipBlank() {
        while (pos_ < s_.size() && std::iswspace(static_cast<wint_t>(s_[pos_]))) ++pos_;
    }
    bool SkipUntil(const wchar_t* t) {
        size_t e = s_.find(t, pos_);
        if (e == std::wstring::npos) {
            pos_ = s_.size();
            return false;
        }
        pos_ = e + std::wcslen(t);
        return true;
    }
    // Blanks, comments, processing instructions and the doctype.
    void SkipMisc() {
        for (;;) {
            SkipBlank();
            if (Peek(L"<?")) {
                if (!SkipUntil(L"?>")) return;
            } else if (Peek(L"<!--")) {
                if (!SkipUntil(L"-->")) return;
            } else if (Peek(L"<!")) {
                if (!SkipUntil(L">")) return;
            } else
                return;
        }
    }
    static bool NameChar(wchar_t c) {
        return std::iswalnum(static_cast<wint_t>(c)) || c == L'_' || c == L'-' || c == L'.' || c == L':' || c > 127;
    }
    std::wstring Name() {
        size_t b = pos_;
        while (pos_ < s_.size() && NameChar(s_[pos_])) ++pos_;
        return s_.substr(b, pos_ - b);
    }
    bool Decode(const std::wstring& raw, std::wstring& out) {
        out.clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != L'&') {
                out += raw[i];
                continue;
            }
            size_t e = raw.find(L';', i);
            if (e == std::wstring::npos || e - i > 12) {
                out += raw[i];
                continue;
            }
            std::wstring ent = raw.substr(i + 1, e - i - 1);
            if (ent == L"amp")
                out += L'&';
            else if (ent == L"lt")
                out += L'<';
            else if (ent == L"gt")
                out += L'>';
            else if (ent == L"quot")
                out += L'"';
            else if (ent == L"apos")
                out += L'\'';
            else if (!ent.empty() && ent[0] == L'#') {
                unsigned long v = 0;
                wchar_t* end = nullptr;
                if (ent.size() > 1 && (ent[1] == L'x' || ent[1] == L'X'))
                    v = std::wcstoul(ent.c_str() + 2, &end, 16);
                else
                    v = std::wcstoul(ent.c_str() + 1, &end, 10);
                if (!end || *end || v == 0 || v > 0x10FFFF) {
                    out += raw.substr(i, e - i + 1);
                    i = e;
                    continue;
                }
                out += static_cast<wchar_t>(v);
            } else {
                out += raw.substr(i, e - i + 1);  // unknown entity: kept as written
            }
            i = e;
        }
        return true;
    }

    std::unique_ptr<XmlNode> Element(int depth) {
        if (depth > 256) return Fail(L"elements nested too deeply");
        auto node = std::make_unique<XmlNode>();
        node->line = Line();
        ++pos_;  // '<'
        node->name = Name();
        if (node->name.empty()) return Fail(L"element without a name");
        for (;;) {
            SkipBlank();
            if (pos_ >= s_.size()) return Fail(L"unterminated element");
            if (Peek(L"/>")) {
                pos_ += 2;
                return node;
            }
            if (Peek(L">")) {
                ++pos_;
                break;
            }
            std::wstring an = Name();
            if (an.empty()) return Fail(L"bad attribute");
            SkipBlank();
            if (!Peek(L"=")) return Fail(L"attribute without value");
            ++pos_;
            SkipBlank();
            if (pos_ >= s_.size() || (s_[pos_] != L'"' && s_[pos_] != L'\'')) return Fail(L"unquoted attribute");
            wchar_t q = s_[pos_++];
            size_t e = s_.find(q, pos_);
            if (e == std::wstring::npos) return Fail(L"unterminated attribute");
            std::wstring value;
            Decode(s_.substr(pos_, e - pos_), value);
            pos_ = e + 1;
            node->attributes.emplace_back(std::move(an), std::move(value));
        }
        // Content.
        for (;;) {
            if (pos_ >= s_.size()) return Fail(L"unterminated element");
            if (Peek(L"</")) {
                pos_ += 2;
                std::wstring close = Name();
                SkipBlank();
                if (close != node->name || !Peek(L">")) return Fail(L"mismatched closing tag");
                ++pos_;
                return node;
            }
            if (Peek(L"<!--")) {
                if (!SkipUntil(L"-->")) return Fail(L"unterminated comment");
                continue;
            }
            if (Peek(L"<![CDATA[")) {
                pos_ += 9;
                size_t e = s_.find(L"]]>", pos_);
                if (e == std::wstring::npos) return Fail(L"unterminated CDATA");
                node->text += s_.substr(pos_, e - pos_);
                pos_ = e + 3;
                continue;
            }
            if (Peek(L"<?")) {
                if (!SkipUntil(L"?>")) return Fail(L"unterminated instruction");
                continue;
            }
            if (Peek(L"<")) {
                auto child = Element(depth + 1);
                if (!child) return nullptr;
                node->children.push_back(std::move(child));
                continue;
            }
            size_t e = s_.find(L'<', pos_);
            if (e == std::wstring::npos) e = s_.size();
            std::wstring t;
            Decode(s_.substr(pos_, e - pos_), t);
            node->text += t;
            pos_ = e;
        }
    }

    const std::wstring& s_;
    std::wstring& error_;
    size_t pos_ = 0;
    size_t counted_ = 0;  // Line() has counted the newlines before this
    int line_ = 1;
};

}  // namespace

const wchar_t* XmlNode::Attribute(const wchar_t* attrName) const {
    for (const auto& a : attributes)
        if (a.first == attrName) return a.second.c_str();
    return nullptr;
}

bool XmlDocument::LoadFromString(const std::wstring& text) {
    error_.clear();
    Parser p(text, error_);
    root_ = p.Parse();
    if (!root_ && error_.empty()) error_ = L"parse error";
    return root_ != nullptr;
}

bool XmlDocument::LoadFromBytes(const std::string& b) {
    std::wstring text;
    if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < b.size(); i += 2) {
            unsigned c = static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8);
            if (c >= 0xD800 && c < 0xDC00 && i + 3 < b.size()) {
                unsigned lo = static_cast<unsigned char>(b[i + 2]) | (static_cast<unsigned char>(b[i + 3]) << 8);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                    i += 2;
                }
            }
            text += static_cast<wchar_t>(c);
        }
    } else {
        size_t start = (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) ? 3 : 0;
        text = win::FromUtf8(std::string_view(b).substr(start));
    }
    return LoadFromString(text);
}

bool ReadFileBytesUI(const std::wstring& path, std::string& out) {
    std::ifstream f(win::ToFsPath(path), std::ios::binary);
    if (!f) return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    out = ss.str();
    return true;
}

bool XmlDocument::LoadFromFile(const std::wstring& path) {
    std::string bytes;
    if (!ReadFileBytesUI(path, bytes)) {
        root_.reset();
        error_ = L"cannot read " + path;
        return false;
    }
    return LoadFromBytes(bytes);
}

std::string EscapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace DuiLib
