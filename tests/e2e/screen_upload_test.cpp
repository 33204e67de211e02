// End to end, a drawn frame reaches the keyboard's screen: in the real Tavrik
// the user opens the screen tab, draws a stroke on the editor's canvas (XTest
// on the place the UI probe names), switches to the upload page and uploads
// the frame. The emulated keyboard's frame 0 then holds the stroke in RGB565,
// and the frame's document and bitmap are in the keyboard's data folder, the
// document's cells agreeing with what the keyboard received.

#include "tests/e2e/tavrik_session.h"
#include "tests/e2e/user_files.h"

#include <json/json.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files/folders.h"
#include "platform/files/utf8.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kColumns = 240;
constexpr int kRows = 135;
// The stroke: row 20, from column 10 to column 49.
constexpr int kStrokeRow = 20;
constexpr int kFirstColumn = 10;
constexpr int kLastColumn = 49;

uint16_t Rgb565(int red, int green, int blue) {
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// What "peek keyboard frame 0" tells.
struct EmulatedFrame {
    bool padFilled = false;
    std::vector<uint16_t> pixels;  // row by row, empty while the frame is missing
};

std::optional<EmulatedFrame> ParseFrame(const std::string& line) {
    std::istringstream words(line);
    EmulatedFrame frame;
    std::string word, pad, hex;
    while (words >> word) {
        if (word == "pad" && words >> pad) frame.padFilled = pad == "ff";
        if (word == "pixels") words >> hex;
    }
    if (hex.size() % 4 != 0) return std::nullopt;
    for (size_t i = 0; i + 4 <= hex.size(); i += 4)
        frame.pixels.push_back(static_cast<uint16_t>(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return frame;
}

// The little-endian 32-bit value at `offset` of the file's first bytes.
int32_t HeaderValue(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= uint32_t(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
    return static_cast<int32_t>(v);
}

bool Overlap(const ProbeControl& a, int left, int top, int right, int bottom) {
    return a.left < right && left < a.right && a.top < bottom && top < a.bottom;
}

class ScreenUploadTest : public TavrikSession {
protected:
    // The editor's window: the top-level window titled as the editor.
    Window EditorWindow() {
        const std::vector<Window> editors = driver_->ViewableTopLevel("ScreenWnd");
        return editors.empty() ? 0 : editors.back();
    }

    // Clicks a control of the main window; an editor lying over it is moved
    // aside first (the editor floats beside the main window, over part of it).
    bool ClickInMainWindow(const std::string& name) {
        std::optional<ProbeControl> target;
        const bool listed = Poll(
            [&] {
                if (const Window main = FindMainWindow())
                    for (const ProbeControl& c : ReadUiProbe(*driver_, main))
                        if (c.name == name && c.right > c.left && c.bottom > c.top) target = c;
                return target.has_value();
            },
            30s);
        if (!listed) return false;
        if (const Window editor = EditorWindow()) {
            int x = 0, y = 0, width = 0, height = 0;
            if (driver_->Geometry(editor, x, y, width, height) && Overlap(*target, x, y, x + width, y + height)) {
                const int screenHeight = DisplayHeight(driver_->display(), DefaultScreen(driver_->display()));
                const int below = std::max(target->bottom + 10, screenHeight - height);
                XMoveWindow(driver_->display(), editor, x, below);
                XSync(driver_->display(), False);
                Poll(
                    [&] {
                        int nx = 0, ny = 0, nw = 0, nh = 0;
                        return driver_->Geometry(editor, nx, ny, nw, nh) && !Overlap(*target, nx, ny, nx + nw, ny + nh);
                    },
                    5s);
            }
        }
        driver_->Click(target->CenterX(), target->CenterY());
        return true;
    }
};

TEST_F(ScreenUploadTest, ADrawnStrokeReachesTheKeyboardsScreenAndIsSaved) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("light_combo_modeSelect", [](const ProbeControl& c) { return !c.text.empty(); }))
        << Log("tavrik.log");
    // No frames from an earlier run: the screen tab starts from one blank frame.
    std::error_code ignored;
    fs::remove(KeyboardFolder() / "ScreenFrame.json", ignored);
    fs::remove_all(KeyboardFolder() / "ScreenFamres", ignored);

    // 1. The screen tab opens the editor with its 480 x 270 canvas.
    ASSERT_TRUE(Click("screen_Op_tab"));
    const std::optional<ProbeControl> canvas =
        WaitForControl("screen_canvas", [](const ProbeControl& c) { return c.right - c.left == 2 * kColumns; });
    ASSERT_TRUE(canvas) << Log("tavrik.log");
    ASSERT_EQ(canvas->bottom - canvas->top, 2 * kRows);

    // 2. A stroke along one row, two pixels per cell, in the new frame's
    //    white pen.
    const int y = canvas->top + 2 * kStrokeRow + 1;
    driver_->MoveTo(canvas->left + 2 * kFirstColumn + 1, y);
    std::this_thread::sleep_for(100ms);
    driver_->Press(1);
    for (int x = canvas->left + 2 * kFirstColumn + 1; x <= canvas->left + 2 * kLastColumn + 1; ++x) {
        driver_->MoveTo(x, y);
        std::this_thread::sleep_for(2ms);
    }
    std::this_thread::sleep_for(100ms);
    // The stroke's start enables the undo button of the page.
    ASSERT_TRUE(WaitForControl("screen_undo_btn", [](const ProbeControl& c) { return c.right > c.left; }));

    // 3. The upload page, and the current frame's upload. The user lets go
    //    of the stroke and clicks the upload page's option while the program
    //    is busy (stopped here): the editor still holds the pointer for its
    //    stroke when the click is given, and the one click reaches the option.
    ASSERT_EQ(kill(tavrik_->Pid(), SIGSTOP), 0);
    driver_->Release(1);
    const bool clicked = ClickInMainWindow("uploading_option");
    ASSERT_EQ(kill(tavrik_->Pid(), SIGCONT), 0);
    ASSERT_TRUE(clicked) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("uploading_frame_btn", [](const ProbeControl& c) { return c.right > c.left; }))
        << Log("tavrik.log");
    ASSERT_TRUE(ClickInMainWindow("uploading_frame_btn")) << Log("tavrik.log");

    // 4. The keyboard's frame 0: the whole frame and its pad arrived.
    EmulatedFrame frame;
    ASSERT_TRUE(Poll(
        [&] {
            const std::vector<std::string> answer = EmulatorCommand("peek keyboard frame 0", "frame 0");
            if (answer.empty()) return false;
            const auto parsed = ParseFrame(answer.back());
            if (!parsed) return false;
            frame = *parsed;
            return frame.padFilled && frame.pixels.size() == size_t(kColumns * kRows);
        },
        120s))
        << Log("tavrik.log");
    Screenshot("screen_upload");
    const uint16_t white = Rgb565(255, 255, 255);
    EXPECT_EQ(frame.pixels[kStrokeRow * kColumns + kFirstColumn], white);
    EXPECT_EQ(frame.pixels[kStrokeRow * kColumns + kLastColumn], white);
    int drawn = 0;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const uint16_t p = frame.pixels[size_t(r * kColumns + c)];
            const bool onStroke = r == kStrokeRow && c >= kFirstColumn && c <= kLastColumn;
            if (onStroke && p == white) ++drawn;
            if (!onStroke || p != white) {
                ASSERT_EQ(p, 0) << "column " << c << " row " << r;
            }
        }
    }
    EXPECT_GE(drawn, 2);

    // 5. The frame was saved: the document's cells are what the keyboard
    //    got, and its bitmap is a 240 x 135 BMP.
    Json::Value document;
    ASSERT_TRUE(Poll(
        [&] {
            const auto read = ReadJsonFile(KeyboardFolder() / "ScreenFrame.json");
            if (!read) return false;
            document = *read;
            return document["Frame"].isArray() && document["Frame"].size() == 1 &&
                   document["Frame"][0]["Pixel"].size() == Json::ArrayIndex(kColumns * kRows);
        },
        30s))
        << Log("tavrik.log");
    const Json::Value& pixels = document["Frame"][0]["Pixel"];
    for (Json::ArrayIndex i = 0; i < pixels.size(); ++i) {
        const Json::Value& p = pixels[i];
        ASSERT_EQ(Rgb565(p["Red"].asInt(), p["Green"].asInt(), p["Blue"].asInt()), frame.pixels[i]) << i;
        ASSERT_EQ(p["Flag"].asInt(), frame.pixels[i] == white ? 1 : 0) << i;
    }
    EXPECT_EQ(document["Frame"][0]["SaveFameDir"].asString(), "ScreenFamres\\0.bmp");
    std::ifstream in(KeyboardFolder() / "ScreenFamres" / "0.bmp", std::ios::binary);
    ASSERT_TRUE(in);
    std::string header(26, '\0');
    ASSERT_TRUE(in.read(header.data(), std::streamsize(header.size())));
    EXPECT_EQ(header.substr(0, 2), "BM");
    EXPECT_EQ(HeaderValue(header, 18), kColumns);
    EXPECT_EQ(std::abs(HeaderValue(header, 22)), kRows);
}

}  // namespace
}  // namespace tavrik::test
