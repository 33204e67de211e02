#include "platform/ui/resource_manager.h"

#include "platform/files/folders.h"
#include "platform/ui/control.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/xml_document.h"

namespace DuiLib {

namespace {

bool IsAbsolute(const CDuiString& s) {
    return s.GetAt(0) == L'/' || s.GetAt(0) == L'\\' || (s.GetLength() > 1 && s.GetAt(1) == L':');
}

bool LoadXml(LPCTSTR src, XmlDocument& doc) {
    CDuiString s(src);
    s.TrimLeft();
    if (s.GetAt(0) == L'<') return doc.LoadFromString(s.str());
    return doc.LoadFromFile(ResolveSkinPathUI(src).str());
}

}  // namespace

CDuiString ResolveSkinPathUI(LPCTSTR pstrFile) {
    CDuiString f(pstrFile);
    if (IsAbsolute(f)) return CDuiString(win::NativePath(f.str()));
    return CDuiString(win::JoinPath(CPaintManagerUI::GetResourcePath().str(), f.str()));
}

CResourceManager* CResourceManager::GetInstance() {
    static CResourceManager instance;
    return &instance;
}

void CResourceManager::Release() {
    ResetResourceMap();
    ResetTextMap();
    m_pQuerypInterface = nullptr;
}

bool CResourceManager::LoadResource(LPCTSTR pstrXml, LPCTSTR) {
    XmlDocument doc;
    if (!pstrXml || !LoadXml(pstrXml, doc)) return false;
    for (const auto& child : doc.Root()->children) {
        const wchar_t* name = child->Attribute(L"name");
        const wchar_t* file = child->Attribute(L"file");
        if (!name || !file) continue;
        if (DuiCompareNoCase(child->name.c_str(), L"Image") == 0)
            m_mImageHashMap[name] = file;
        else
            m_mXmlHashMap[name] = file;
    }
    return true;
}

LPCTSTR CResourceManager::GetImagePath(LPCTSTR id) {
    auto it = m_mImageHashMap.find(id ? id : L"");
    return it == m_mImageHashMap.end() ? nullptr : it->second.GetData();
}

LPCTSTR CResourceManager::GetXmlPath(LPCTSTR id) {
    auto it = m_mXmlHashMap.find(id ? id : L"");
    return it == m_mXmlHashMap.end() ? nullptr : it->second.GetData();
}

void CResourceManager::ResetResourceMap() {
    m_mImageHashMap.clear();
    m_mXmlHashMap.clear();
}

bool CResourceManager::LoadLanguage(LPCTSTR pstrXml) {
    XmlDocument doc;
    if (!pstrXml || !*pstrXml || !LoadXml(pstrXml, doc)) return false;
    m_mTextResourceHashMap.clear();
    for (const auto& child : doc.Root()->children) {
        const wchar_t* key = child->Attribute(L"id");
        if (!key) key = child->Attribute(L"key");
        if (!key) key = child->Attribute(L"name");
        const wchar_t* value = child->Attribute(L"value");
        if (!value) value = child->Attribute(L"text");
        if (!key) continue;
        m_mTextResourceHashMap[key] = value ? CDuiString(value) : CDuiString(child->text);
    }
    return true;
}

void CResourceManager::ResetTextMap() { m_mTextResourceHashMap.clear(); }

CDuiString CResourceManager::GetText(LPCTSTR id, LPCTSTR type) {
    if (!id) return {};
    if (m_pQuerypInterface) {
        LPCTSTR t = m_pQuerypInterface->QueryControlText(id, type);
        if (t) return CDuiString(t);
    }
    auto it = m_mTextResourceHashMap.find(id);
    if (it != m_mTextResourceHashMap.end()) return it->second;
    return CDuiString(id);
}

void CResourceManager::ReloadText() {
    // Texts are resolved when drawn; repaint every window with the new table.
    for (CPaintManagerUI* pm : CPaintManagerUI::GetPaintManagers()) {
        pm->NeedUpdate();
        pm->Invalidate();
    }
}

}  // namespace DuiLib
