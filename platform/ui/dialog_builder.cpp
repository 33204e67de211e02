#include "platform/ui/dialog_builder.h"

#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/ui_log.h"
#include "platform/ui/window.h"
#include "platform/ui/xml_document.h"

namespace DuiLib {

namespace {

thread_local int g_includeDepth = 0;
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxElementDepth = 200;

bool Is(const std::wstring& a, const wchar_t* b) { return DuiCompareNoCase(a.c_str(), b) == 0; }

}  // namespace

CControlFactory* CControlFactory::GetInstance() {
    static CControlFactory factory;
    return &factory;
}

void CControlFactory::RegistControl(CDuiString name, CreateClass fn) {
    if (fn) m_mapControl[name] = fn;
}

CControlUI* CControlFactory::CreateControl(CDuiString name) {
    auto it = m_mapControl.find(name);
    return it == m_mapControl.end() ? nullptr : it->second();
}

CDialogBuilder::CDialogBuilder() = default;
CDialogBuilder::~CDialogBuilder() = default;

CControlUI* CDialogBuilder::CreateBuiltin(LPCTSTR cls) {
    struct Entry {
        const wchar_t* name;
        CControlUI* (*make)();
    };
    static const Entry kBuiltins[] = {
        {L"Control", [] { return new CControlUI; }},
        {L"Container", [] { return static_cast<CControlUI*>(new CContainerUI); }},
        {L"VerticalLayout", [] { return static_cast<CControlUI*>(new CVerticalLayoutUI); }},
        {L"HorizontalLayout", [] { return static_cast<CControlUI*>(new CHorizontalLayoutUI); }},
        {L"TabLayout", [] { return static_cast<CControlUI*>(new CTabLayoutUI); }},
        {L"Label", [] { return static_cast<CControlUI*>(new CLabelUI); }},
        {L"Text", [] { return static_cast<CControlUI*>(new CTextUI); }},
        {L"Button", [] { return static_cast<CControlUI*>(new CButtonUI); }},
        {L"Option", [] { return static_cast<CControlUI*>(new COptionUI); }},
        {L"CheckBox", [] { return static_cast<CControlUI*>(new CCheckBoxUI); }},
        {L"Edit", [] { return static_cast<CControlUI*>(new CEditUI); }},
        {L"RichEdit", [] { return static_cast<CControlUI*>(new CRichEditUI); }},
        {L"Progress", [] { return static_cast<CControlUI*>(new CProgressUI); }},
        {L"Slider", [] { return static_cast<CControlUI*>(new CSliderUI); }},
        {L"Combo", [] { return static_cast<CControlUI*>(new CComboUI); }},
        {L"List", [] { return static_cast<CControlUI*>(new CListUI); }},
        {L"ListLabelElement", [] { return static_cast<CControlUI*>(new CListLabelElementUI); }},
        {L"ListTextElement", [] { return static_cast<CControlUI*>(new CListTextElementUI); }},
        {L"ListContainerElement", [] { return static_cast<CControlUI*>(new CListContainerElementUI); }},
        {L"ColorPalette", [] { return static_cast<CControlUI*>(new CColorPaletteUI); }},
        {L"ScrollBar", [] { return static_cast<CControlUI*>(new CScrollBarUI); }},
    };
    for (const auto& e : kBuiltins)
        if (DuiCompareNoCase(cls, e.name) == 0) return e.make();
    return nullptr;
}

CControlUI* CDialogBuilder::CreateByName(const CDuiString& name) {
    if (CControlUI* c = CreateBuiltin(name)) return c;
    if (m_pCallback)
        if (CControlUI* c = m_pCallback->CreateControl(name)) return c;
    CControlFactory* f = CControlFactory::GetInstance();
    if (CControlUI* c = f->CreateControl(name)) return c;
    return f->CreateControl(L"C" + name + L"UI");
}

CControlUI* CDialogBuilder::Create(LPCTSTR xml, LPCTSTR, IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager,
                                   CControlUI* pParent) {
    m_sError.Empty();
    m_doc = std::make_unique<XmlDocument>();
    CDuiString src(xml);
    CDuiString trimmed = src;
    trimmed.TrimLeft();
    bool ok = false;
    if (trimmed.GetAt(0) == L'<') {
        ok = m_doc->LoadFromString(trimmed.str());
    } else if (!src.IsEmpty()) {
        LPCTSTR mapped = CResourceManager::GetInstance()->GetXmlPath(src);
        ok = m_doc->LoadFromFile(ResolveSkinPathUI(mapped ? mapped : src.GetData()).str());
    }
    if (!ok) {
        m_sError = CDuiString(L"skin ") + src.Left(80) + L": " + m_doc->Error();
        ReportUIProblem(m_sError);
        m_doc.reset();
        return nullptr;
    }
    return Create(pCallback, pManager, pParent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager, CControlUI* pParent) {
    if (!m_doc || !m_doc->Root()) return nullptr;
    m_pCallback = pCallback;
    return Parse(m_doc->Root(), pParent, pManager);
}

void CDialogBuilder::ApplyWindow(const XmlNode* node, CPaintManagerUI* pm) {
    for (const auto& a : node->attributes) {
        const std::wstring& n = a.first;
        LPCTSTR v = a.second.c_str();
        if (Is(n, L"size")) {
            SIZE s = ParseSizeUI(v);
            pm->SetInitSize(s.cx, s.cy);
        } else if (Is(n, L"caption"))
            pm->SetCaptionRect(ParseRectUI(v));
        else if (Is(n, L"sizebox"))
            pm->SetSizeBox(ParseRectUI(v));
        else if (Is(n, L"mininfo")) {
            SIZE s = ParseSizeUI(v);
            pm->SetMinInfo(s.cx, s.cy);
        } else if (Is(n, L"maxinfo")) {
            SIZE s = ParseSizeUI(v);
            pm->SetMaxInfo(s.cx, s.cy);
        } else if (Is(n, L"roundcorner")) {
            SIZE s = ParseSizeUI(v);
            pm->SetRoundCorner(s.cx, s.cy);
            if (pm->GetWindow()) pm->GetWindow()->SetRoundCorner(s.cx, s.cy);
        } else if (Is(n, L"showdirty") || Is(n, L"bktrans") || Is(n, L"layered") || Is(n, L"opacity") ||
                   Is(n, L"alpha") || Is(n, L"disabledfontcolor") || Is(n, L"defaultfontcolor") ||
                   Is(n, L"selectedcolor") || Is(n, L"linkfontcolor") || Is(n, L"linkhoverfontcolor")) {
            // Accepted; they change nothing here.
        } else {
            ReportUIProblem(CDuiString(L"unknown Window attribute ") + n);
        }
    }
    for (const auto& child : node->children) {
        const XmlNode* c = child.get();
        if (Is(c->name, L"Font")) {
            const wchar_t* id = c->Attribute(L"id");
            const wchar_t* name = c->Attribute(L"name");
            int size = ParseIntUI(c->Attribute(L"size"));
            bool bold = ParseBoolUI(c->Attribute(L"bold"));
            bool underline = ParseBoolUI(c->Attribute(L"underline"));
            bool italic = ParseBoolUI(c->Attribute(L"italic"));
            bool shared = ParseBoolUI(c->Attribute(L"shared"));
            if (ParseBoolUI(c->Attribute(L"default"))) pm->SetDefaultFont(name, size, bold, underline, italic, shared);
            if (id) pm->AddFont(ParseIntUI(id), name, size, bold, underline, italic, shared);
        } else if (Is(c->name, L"Default")) {
            const wchar_t* name = c->Attribute(L"name");
            const wchar_t* value = c->Attribute(L"value");
            if (name && value) pm->AddDefaultAttributeList(name, value, ParseBoolUI(c->Attribute(L"shared")));
        } else if (Is(c->name, L"Style")) {
            const wchar_t* name = c->Attribute(L"name");
            const wchar_t* value = c->Attribute(L"value");
            if (name && value) pm->AddStyle(name, value, ParseBoolUI(c->Attribute(L"shared")));
        } else if (Is(c->name, L"Image")) {
            const wchar_t* name = c->Attribute(L"name");
            if (name) pm->AddImage(name, c->Attribute(L"restype"), ParseColorUI(c->Attribute(L"mask")));
        }
    }
}

CControlUI* CDialogBuilder::Parse(const XmlNode* root, CControlUI* pParent, CPaintManagerUI* pm) {
    if (Is(root->name, L"Window")) {
        if (pm) ApplyWindow(root, pm);
        return ParseChildren(root, pParent, pm, 0);
    }
    // A skin whose root is a control: the root itself is the tree.
    XmlNode holder;
    holder.name = L"#root";
    // Borrow the root without copying: wrap it for the child loop.
    struct Borrow {
        XmlNode& h;
        ~Borrow() {
            for (auto& c : h.children) c.release();
        }
    } borrow{holder};
    holder.children.emplace_back(const_cast<XmlNode*>(root));
    return ParseChildren(&holder, pParent, pm, 0);
}

CControlUI* CDialogBuilder::ParseChildren(const XmlNode* node, CControlUI* pParent, CPaintManagerUI* pm, int depth) {
    CControlUI* first = nullptr;
    if (depth > kMaxElementDepth) {
        ReportUIProblem(L"skin nested too deeply");
        return nullptr;
    }
    for (const auto& childPtr : node->children) {
        const XmlNode* c = childPtr.get();
        if (Is(c->name, L"Font") || Is(c->name, L"Default") || Is(c->name, L"Image") || Is(c->name, L"Style")) continue;
        if (Is(c->name, L"Include")) {
            const wchar_t* source = c->Attribute(L"source");
            int count = c->Attribute(L"count") ? ParseIntUI(c->Attribute(L"count")) : 1;
            if (!source || g_includeDepth >= kMaxIncludeDepth) {
                ReportUIProblem(L"Include without source or nested too deeply");
                continue;
            }
            for (int i = 0; i < count && i < 1000; ++i) {
                ++g_includeDepth;
                CDialogBuilder sub;
                CControlUI* made = sub.Create(source, nullptr, m_pCallback, pm, pParent);
                --g_includeDepth;
                if (!first) first = made;
                if (!made) break;
            }
            continue;
        }
        CControlUI* control = CreateByName(c->name);
        if (!control) {
            ReportUIProblem(CDuiString(L"unknown element ") + c->name + L" (line " + std::to_wstring(c->line) + L")");
            continue;
        }
        if (!c->children.empty()) ParseChildren(c, control, pm, depth + 1);
        if (pm) control->SetManager(pm, nullptr, false);
        if (pm) {
            LPCTSTR defaults = pm->GetDefaultAttributeList(c->name.c_str());
            if (defaults) control->ApplyAttributeList(defaults);
        }
        for (const auto& a : c->attributes) control->SetAttribute(a.first.c_str(), a.second.c_str());
        if (pParent) {
            auto* container = static_cast<IContainerUI*>(pParent->GetInterface(L"IContainer"));
            if (!container || !container->Add(control)) {
                ReportUIProblem(CDuiString(L"element ") + c->name + L" cannot be placed in " + pParent->GetClass());
                delete control;
                continue;
            }
        } else if (first) {
            // A second top-level control with nowhere to go.
            ReportUIProblem(CDuiString(L"extra top-level element ") + c->name + L" ignored");
            delete control;
            continue;
        }
        if (!first) first = control;
    }
    return first;
}

}  // namespace DuiLib
