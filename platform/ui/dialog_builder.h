#pragma once

// CDialogBuilder turns a skin (XML file, resource-index entry or XML text)
// into a control tree; CControlFactory creates controls by class name for
// elements the built-in set does not know. The dialect is described in
// skin/README.md.

#include "platform/ui/control.h"

#include <functional>
#include <map>
#include <memory>

namespace DuiLib {

struct XmlNode;
class XmlDocument;

using CreateClass = CControlUI* (*)();

class CControlFactory {
public:
    static CControlFactory* GetInstance();
    // Registers a create function under an exact class name.
    void RegistControl(CDuiString strClassName, CreateClass pFunc);
    // Creates by the exact registered name; null when unknown.
    CControlUI* CreateControl(CDuiString strClassName);

private:
    std::map<CDuiString, CreateClass> m_mapControl;
};

class CDialogBuilder {
public:
    CDialogBuilder();
    ~CDialogBuilder();

    // xml: an entry of the resource index, a file of the resource path, an
    // absolute file or XML text starting with '<'. Returns the root control
    // (owned by the caller or attached by the caller), or null when the skin
    // cannot be read or parsed or has no control.
    CControlUI* Create(LPCTSTR xml, LPCTSTR type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Builds again from the skin loaded by the last Create.
    CControlUI* Create(IDialogBuilderCallback* pCallback = nullptr, CPaintManagerUI* pManager = nullptr,
                       CControlUI* pParent = nullptr);
    const CDuiString& GetLastError() const { return m_sError; }

    // A built-in control by its element name, or null.
    static CControlUI* CreateBuiltin(LPCTSTR pstrClass);

private:
    CControlUI* Parse(const XmlNode* root, CControlUI* pParent, CPaintManagerUI* pManager);
    CControlUI* ParseChildren(const XmlNode* node, CControlUI* pParent, CPaintManagerUI* pManager, int depth);
    CControlUI* CreateByName(const CDuiString& name);
    void ApplyWindow(const XmlNode* node, CPaintManagerUI* pManager);

    std::unique_ptr<XmlDocument> m_doc;
    IDialogBuilderCallback* m_pCallback = nullptr;
    CDuiString m_sError;
};

}  // namespace DuiLib
