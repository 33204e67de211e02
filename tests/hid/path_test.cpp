#include "platform/hid/hid_backend.h"
#include "tests/hid/hid_test_util.h"
#include "tools/devsim/sim_fixture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tavrik::hid {
namespace {

using devsim::ProductKind;

const std::wstring kGuid = L"{4d1e55b2-f16f-11cf-88cb-001111000030}";

TEST(HidPath, WindowsCollectionForms) {
    NodeInfo usb;
    usb.vendorId = 0x1A2B;
    usb.productId = 0x00C4;
    usb.interfaceNumber = 1;
    usb.instance = "7&ABC&0&0001";
    EXPECT_EQ(FormatInterfacePath(usb, 4, true), L"\\\\?\\hid#vid_1a2b&pid_00c4&mi_01&col04#7&abc&0&0001#" + kGuid);
    EXPECT_EQ(FormatInterfacePath(usb, 1, false), L"\\\\?\\hid#vid_1a2b&pid_00c4&mi_01#7&abc&0&0001#" + kGuid);

    NodeInfo single = usb;
    single.interfaceNumber = -1;
    EXPECT_EQ(FormatInterfacePath(single, 2, true), L"\\\\?\\hid#vid_1a2b&pid_00c4&col02#7&abc&0&0001#" + kGuid);

    NodeInfo bt = usb;
    bt.bluetooth = true;
    const std::wstring p = FormatInterfacePath(bt, 3, true);
    EXPECT_EQ(p.find(L"vid_"), std::wstring::npos);
    EXPECT_EQ(p.find(L"pid_"), std::wstring::npos);
    EXPECT_EQ(p.find(L"&mi_"), std::wstring::npos);
    EXPECT_NE(p.find(L"&col03#"), std::wstring::npos);

    NodeInfo odd = usb;
    odd.instance = "a#b\\c";  // separators never leak into the instance part
    EXPECT_EQ(FormatInterfacePath(odd, 1, false), L"\\\\?\\hid#vid_1a2b&pid_00c4&mi_01#a_b_c#" + kGuid);
}

// Enumerates with the device-installation calls the way the program does.
std::vector<std::wstring> Enumerate(bool* ok = nullptr) {
    std::vector<std::wstring> out;
    win::GUID guid;
    win::HidD_GetHidGuid(&guid);
    win::HDEVINFO set =
        win::SetupDiGetClassDevsW(&guid, nullptr, nullptr, win::DIGCF_PRESENT | win::DIGCF_DEVICEINTERFACE);
    if (ok) *ok = set != win::INVALID_HANDLE_VALUE;
    if (set == win::INVALID_HANDLE_VALUE) return out;
    for (win::DWORD i = 0;; ++i) {
        win::SP_DEVICE_INTERFACE_DATA data;
        if (!win::SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data)) {
            EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_ITEMS);
            break;
        }
        win::DWORD size = 0;
        EXPECT_FALSE(win::SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr));
        std::vector<unsigned char> buffer(size);
        auto* detail = reinterpret_cast<win::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        EXPECT_TRUE(win::SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr));
        out.emplace_back(reinterpret_cast<const wchar_t*>(
            buffer.data() + offsetof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)));
    }
    EXPECT_TRUE(win::SetupDiDestroyDeviceInfoList(set));
    return out;
}

TEST(HidEnumeration, EmptyBusGivesAnEmptyListAndAFailingBackendFails) {
    devsim::SimFixture sim;
    bool ok = false;
    EXPECT_TRUE(Enumerate(&ok).empty());
    EXPECT_TRUE(ok);
    sim.Bus().SetListFailure(true);
    Enumerate(&ok);
    EXPECT_FALSE(ok);
}

TEST(HidEnumeration, CompositeDevicesInStableOrder) {
    devsim::SimFixture sim;
    auto& kb = sim.Plug(ProductKind::KeyboardCable);
    auto& mouse = sim.Plug(ProductKind::MouseReceiver);
    auto& pad = sim.Plug(ProductKind::MousePad);
    auto paths = Enumerate();
    ASSERT_EQ(paths.size(), 15u);  // per device: interface 0, then collections 01..04 of interface 1
    EXPECT_EQ(paths, Enumerate());
    EXPECT_EQ(paths[3], kb.InterfacePath(3));
    EXPECT_EQ(paths[4], kb.InterfacePath(4));
    EXPECT_EQ(paths[9], mouse.InterfacePath(4));
    EXPECT_EQ(paths[14], pad.InterfacePath(4));
    EXPECT_NE(paths[0].find(L"vid_3151&pid_4010&mi_00#"), std::wstring::npos);
    EXPECT_NE(paths[4].find(L"&mi_01&col04#"), std::wstring::npos);
    EXPECT_NE(paths[8].find(L"pid_5011&mi_01&col03#"), std::wstring::npos);

    // An unplugged device leaves the list; others keep their order.
    mouse.Unplug();
    auto after = Enumerate();
    ASSERT_EQ(after.size(), 10u);
    EXPECT_EQ(after[4], paths[4]);
    EXPECT_EQ(after[9], paths[14]);
    // A replugged device comes back under a new path, so a claimed old path
    // fails the presence check even when the replug was quick.
    mouse.Replug();
    EXPECT_NE(mouse.InterfacePath(4), paths[9]);
}

TEST(HidEnumeration, DetailSizeChecks) {
    devsim::SimFixture sim;
    sim.Plug(ProductKind::KeyboardCable);
    win::GUID guid;
    win::HidD_GetHidGuid(&guid);
    win::HDEVINFO set =
        win::SetupDiGetClassDevsW(&guid, nullptr, nullptr, win::DIGCF_PRESENT | win::DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set, win::INVALID_HANDLE_VALUE);
    win::SP_DEVICE_INTERFACE_DATA data;
    ASSERT_TRUE(win::SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
    win::DWORD size = 0;
    win::SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
    std::vector<unsigned char> buffer(size);
    auto* detail = reinterpret_cast<win::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(win::SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    EXPECT_FALSE(win::SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size - 1, nullptr, nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
    detail->cbSize = 0;
    EXPECT_FALSE(win::SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr));
    EXPECT_TRUE(win::SetupDiDestroyDeviceInfoList(set));
    EXPECT_FALSE(win::SetupDiDestroyDeviceInfoList(set));
    EXPECT_FALSE(win::SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
}

}  // namespace
}  // namespace tavrik::hid
