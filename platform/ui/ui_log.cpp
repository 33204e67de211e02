#include "platform/ui/ui_log.h"

#include "platform/files/folders.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace DuiLib {

namespace {
std::mutex g_lock;
std::vector<CDuiString> g_problems;
}  // namespace

void ReportUIProblem(const CDuiString& text) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_problems.size() < 1000) g_problems.push_back(text);
    if (std::getenv("TAVRIK_UI_DEBUG")) std::fprintf(stderr, "ui: %s\n", win::ToUtf8(text.str()).c_str());
}

std::vector<CDuiString> TakeUIProblems() {
    std::lock_guard<std::mutex> guard(g_lock);
    std::vector<CDuiString> out;
    out.swap(g_problems);
    return out;
}

}  // namespace DuiLib
