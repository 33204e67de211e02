// How long a device picture takes to repaint and to find its keys by name:
// the device pages recolour about a hundred key overlays every frame.

#include "platform/ui/UIlib.h"
#include "platform/ui/headless_backend.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace DuiLib;

class BenchWindow : public WindowImplBase {
public:
    explicit BenchWindow(std::wstring skin) : skin_(std::move(skin)) {}
    CDuiString GetSkinFile() override { return skin_; }
    LPCTSTR GetWindowClassName() const override { return L"BenchWindow"; }
    CPaintManagerUI& pm() { return m_pm; }

private:
    std::wstring skin_;
};

std::wstring KeyboardSkin() {
    std::wstring keys;
    for (int i = 0; i < 104; ++i) {
        int x = (i % 20) * 38, y = (i / 20) * 38;
        keys += L"<Button name='key_" + std::to_wstring(i) + L"' float='true' pos='" + std::to_wstring(x) + L"," +
                std::to_wstring(y) + L"," + std::to_wstring(x + 36) + L"," + std::to_wstring(y + 36) +
                L"' bkcolor='#FF303030' text='K'/>";
    }
    return L"<Window size='800,300'><VerticalLayout bkcolor='#FF101010'>" + keys + L"</VerticalLayout></Window>";
}

void Drain() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
}

void BM_RecolourAndPaintKeyboard(benchmark::State& state) {
    SetDisplayBackend(std::make_unique<HeadlessBackend>());
    BenchWindow w(KeyboardSkin());
    w.Create(nullptr, L"bench", 0x80000000 | 0x10000000, 0, 0, 0, 0, 0);
    Drain();
    DWORD c = 0;
    for (auto _ : state) {
        ++c;
        for (int i = 0; i < 104; ++i) {
            CControlUI* key = w.pm().FindControl((L"key_" + std::to_wstring(i)).c_str());
            key->SetBkColor(0xFF000000 | ((c * 2654435761u + i) & 0xFFFFFF));
        }
        w.pm().Paint();
    }
    win::DestroyWindow(w.GetHWND());
    Drain();
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_RecolourAndPaintKeyboard)->Unit(benchmark::kMillisecond);

void BM_FindControlByName(benchmark::State& state) {
    SetDisplayBackend(std::make_unique<HeadlessBackend>());
    BenchWindow w(KeyboardSkin());
    w.Create(nullptr, L"bench", 0x80000000 | 0x10000000, 0, 0, 0, 0, 0);
    Drain();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(w.pm().FindControl(L"key_77"));
        ++i;
    }
    win::DestroyWindow(w.GetHWND());
    Drain();
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_FindControlByName);

}  // namespace
