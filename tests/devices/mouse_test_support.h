#pragma once
// Shared set-up of the mouse page tests: a mouse page bound to the emulated
// mouse (cable or receiver) as the main window binds it, a clean data folder,
// and what the mouse received.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <json/json.h>

#include "devices/corvane_mouse_device.h"
#include "link/device_packet.h"
#include "link/device_tables.h"
#include "platform/files/folders.h"
#include "tests/link/sim_channel.h"
#include "tools/devsim/emulator.h"
#include "tools/devsim/mouse_model.h"
#include "tools/devsim/sim_fixture.h"

namespace mousetest {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;

// The commands the mouse took, in order: one entry per transfer (the packets
// of a paged transfer follow each other with the same command), link
// queries left out.
inline std::vector<uint8_t> Commands(const Emulator& device) {
    std::vector<uint8_t> out;
    uint32_t nextOffset = 0;
    for (const auto& r : device.Record()) {
        if (r.kind != win::HidP_Output || r.Command() == CMD_LINK_QUERY) continue;
        const bool continues = !out.empty() && out.back() == r.Command() && r.Offset() == nextOffset && r.Offset() != 0;
        if (!continues) out.push_back(r.Command());
        nextOffset = r.Offset() + r.Count();
    }
    return out;
}

inline size_t CountOf(const Emulator& device, uint8_t command) { return device.Requests(command).size(); }

inline std::filesystem::path FolderOf(CCorvaneUSBDevice& page) {
    return win::ToFsPath(page.GetUserDataFolder().GetData());
}

inline void WriteJson(const std::filesystem::path& path, const Json::Value& value) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    Json::StreamWriterBuilder builder;
    out << Json::writeString(builder, value);
}

inline const char* KindName(ProductKind kind) { return kind == ProductKind::MouseCable ? "Cable" : "Receiver"; }

// A mouse page bound to its emulated mouse, with the mouse's table row
// values and an empty data folder.
struct BoundMouse {
    explicit BoundMouse(ProductKind kind) : device(sim.Plug(kind)), page(std::make_unique<CCorvaneMouseDevice>()) {
        const auto& option = DeviceOptionTable[kDeviceKindMouse];
        const auto& model = DeviceModelTable[kDeviceKindMouse];
        page->SetDeviceName(option.kindName.c_str());
        std::filesystem::remove_all(FolderOf(*page));
        std::filesystem::create_directories(FolderOf(*page));
        page->SetProfileId(L"profile_1");
        page->SetLightListName(model.lightListName.c_str());
        page->SetDeviceIndex(option.lightNameIndex);
        page->SetKeyCount(kMouseButtonCount);
        page->SetLedCount(model.ledCount);
        page->SetShowPower(model.showPower);
        page->LoadNameLists();
        page->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    }
    ~BoundMouse() { tavrik::test::CloseCommandChannel(page->CommandChannel()); }

    std::filesystem::path Folder() { return FolderOf(*page); }

    tavrik::devsim::SimFixture sim;
    Emulator& device;
    std::unique_ptr<CCorvaneMouseDevice> page;
};

}  // namespace mousetest
