#pragma once

// A small XML reader for skins, the resource index and language files:
// elements, attributes in document order, text, comments, CDATA, the five
// named entities and numeric character references. Input is UTF-8 (with or
// without BOM) or UTF-16 with BOM. Malformed input gives an error, never a
// crash.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace DuiLib {

struct XmlNode {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::wstring text;
    int line = 0;

    // Value of an attribute (exact name), or null.
    const wchar_t* Attribute(const wchar_t* attrName) const;
};

class XmlDocument {
public:
    bool LoadFromBytes(const std::string& bytes);
    bool LoadFromString(const std::wstring& text);
    bool LoadFromFile(const std::wstring& path);
    const XmlNode* Root() const { return root_.get(); }
    const std::wstring& Error() const { return error_; }

private:
    std::unique_ptr<XmlNode> root_;
    std::wstring error_;
};

// UTF-8 text with the characters that XML and Pango markup reserve written
// as entities (&, <, >, ").
std::string EscapeXmlText(std::string_view text);

// Reads a whole file; false when it cannot be read.
bool ReadFileBytesUI(const std::wstring& path, std::string& out);

}  // namespace DuiLib
