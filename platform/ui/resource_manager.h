#pragma once

// CResourceManager: the skin's resource index ("res.xml": entry name ->
// file) and the language texts. Process-wide; UI thread only.

#include "platform/ui/ui_types.h"

#include <map>

namespace DuiLib {

class CResourceManager {
public:
    static CResourceManager* GetInstance();
    void Release();

    // Loads a resource index; `xml` is a file of the resource path or XML
    // text (starting with '<'). Returns false when it cannot be read.
    bool LoadResource(LPCTSTR pstrXml, LPCTSTR pstrType = nullptr);
    // The file that an entry names, or null.
    LPCTSTR GetImagePath(LPCTSTR lpstrId);
    LPCTSTR GetXmlPath(LPCTSTR lpstrId);
    void ResetResourceMap();

    // Language texts.
    void SetLanguage(LPCTSTR pstrLanguage) { m_sLanguage = pstrLanguage; }
    LPCTSTR GetLanguage() const { return m_sLanguage; }
    // Replaces the text table with the file's (a file of the resource path,
    // an absolute file or XML text). False when it cannot be read.
    bool LoadLanguage(LPCTSTR pstrXml);
    // Re-applies the texts to every window (after a language change).
    void ReloadText();
    void ResetTextMap();
    // Query interface first, then the language table; an unknown key gives
    // the key itself.
    CDuiString GetText(LPCTSTR lpstrId, LPCTSTR lpstrType = nullptr);
    void SetTextQueryInterface(IQueryControlText* pInterface) { m_pQuerypInterface = pInterface; }

private:
    CResourceManager() = default;
    std::map<CDuiString, CDuiString> m_mImageHashMap;
    std::map<CDuiString, CDuiString> m_mXmlHashMap;
    std::map<CDuiString, CDuiString> m_mTextResourceHashMap;
    CDuiString m_sLanguage;
    IQueryControlText* m_pQuerypInterface = nullptr;
};

// A path of the skin: absolute paths stay, others are joined to the
// resource path.
CDuiString ResolveSkinPathUI(LPCTSTR pstrFile);

}  // namespace DuiLib
