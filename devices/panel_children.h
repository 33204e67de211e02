#pragma once
// Child controls of a passive panel, looked up by name inside the panel on
// first use and kept; a missing control stays missing (null) for good.

#include <map>
#include <string>

#include "platform/ui/container.h"

class PanelChildren {
public:
    explicit PanelChildren(DuiLib::CContainerUI& panel) : panel_(panel) {}

    template <class T>
    T* Find(const std::wstring& name, const wchar_t* interfaceName) {
        auto found = cache_.find(name);
        if (found == cache_.end()) {
            DuiLib::CControlUI* c = panel_.FindSubControl(name.c_str());
            found = cache_.emplace(name, c ? c->GetInterface(interfaceName) : nullptr).first;
        }
        return static_cast<T*>(found->second);
    }

private:
    DuiLib::CContainerUI& panel_;
    std::map<std::wstring, void*> cache_;
};
