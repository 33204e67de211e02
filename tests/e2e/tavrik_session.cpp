#include "tests/e2e/tavrik_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <thread>

namespace tavrik::test {

using namespace std::chrono_literals;

namespace {

// How long a click on the strip may take to show another page: the first
// showing of a page decodes its pictures and paints the whole window, which
// takes seconds on a loaded machine (scaled). Only a click that shows no
// other page waits it out, at the strip's ends.
constexpr std::chrono::milliseconds kPageSwitchBound = 10s;

}  // namespace

void TavrikSession::SetUp() {
    TAVRIK_REQUIRE_X_DISPLAY();
    driver_ = std::make_unique<XDriver>();
    ASSERT_TRUE(driver_->ok());
    // A parameterised test's name holds a '/': the folder must stay one
    // level, or removing it leaves its parent behind.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    folder_ =
        std::filesystem::temp_directory_path() / ("tavrik-e2e-session-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    // The emulator serves only from a folder that is the user's alone.
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
    socket_ = (folder_ / "devsim.sock").string();
    commands_ = (folder_ / "devsim.in").string();
    answers_ = (folder_ / "devsim.out").string();
    ASSERT_EQ(::mkfifo(commands_.c_str(), 0600), 0);
}

void TavrikSession::TearDown() {
    if (tavrik_) tavrik_->Stop();
    tavrik_.reset();
    input_.close();
    if (devsim_) devsim_->Stop();
    devsim_.reset();
    driver_.reset();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

void TavrikSession::StartEmulator(const std::vector<std::string>& products, const std::string& program) {
    std::vector<std::string> args{"--socket", socket_};
    args.insert(args.end(), products.begin(), products.end());
    devsim_ = std::make_unique<ChildProcess>(program, args, std::map<std::string, std::string>{},
                                             (folder_ / "devsim.log").string(), commands_, answers_);
    ASSERT_TRUE(devsim_->Started());
    input_.open(commands_);
    ASSERT_TRUE(input_.is_open());
    ASSERT_TRUE(Poll([&] { return std::filesystem::exists(socket_); }, 10s)) << "the emulator did not start";
}

std::unique_ptr<ChildProcess> TavrikSession::StartTavrik(const std::string& logName,
                                                         const std::map<std::string, std::string>& environment,
                                                         const std::string& program, const std::string& workingFolder) {
    std::map<std::string, std::string> variables{{"TAVRIK_HID_BACKEND", "sim"},
                                                 {"TAVRIK_DEVSIM_SOCKET", socket_},
                                                 {"TAVRIK_DEBUG", "1"},
                                                 {"TAVRIK_UI_PROBE", "1"}};
    for (const auto& [name, value] : environment) variables[name] = value;
    return std::make_unique<ChildProcess>(program, std::vector<std::string>{}, variables, (folder_ / logName).string(),
                                          "/dev/null", "/dev/null", workingFolder);
}

std::vector<std::string> TavrikSession::EmulatorCommand(const std::string& line, const std::string& lastLinePrefix) {
    // The answers so far end with a line of their own; this command's
    // answer is what follows.
    const size_t before = ReadTextFile(answers_).size();
    input_ << line << std::endl;
    std::vector<std::string> lines;
    const bool answered = Poll(
        [&] {
            lines.clear();
            std::istringstream text(ReadTextFile(answers_).substr(before));
            for (std::string l; std::getline(text, l);) {
                lines.push_back(l);
                if (l.rfind(lastLinePrefix, 0) == 0 || l.rfind("error:", 0) == 0) return true;
            }
            return false;
        },
        10s);
    return answered ? lines : std::vector<std::string>{};
}

Window TavrikSession::FindMainWindow() {
    Display* d = driver_->display();
    Window root = DefaultRootWindow(d);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            if (driver_->Utf8Property(children[i], "_NET_WM_NAME") == kMainWindowTitle) found = children[i];
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

Window TavrikSession::WaitForShownWindow(std::chrono::milliseconds timeout) {
    Window window = 0;
    Poll(
        [&] {
            window = FindMainWindow();
            return window != 0 && driver_->Viewable(window);
        },
        timeout);
    return window != 0 && driver_->Viewable(window) ? window : 0;
}

std::optional<ProbeControl> TavrikSession::WaitForControl(const std::string& name,
                                                          const std::function<bool(const ProbeControl&)>& accept,
                                                          std::chrono::milliseconds timeout) {
    return WaitForProbeControl(*driver_, name, timeout, accept);
}

bool TavrikSession::Click(const std::string& name) { return ClickProbeControl(*driver_, name, 30s); }

std::vector<ProbeControl> TavrikSession::Probe() {
    const Window main = FindMainWindow();
    return main ? ReadUiProbe(*driver_, main) : std::vector<ProbeControl>{};
}

std::string TavrikSession::ShownDevicePage() {
    const std::vector<ProbeControl> controls = Probe();
    for (const std::string& page : kDevicePages)
        for (const ProbeControl& c : controls)
            if (c.name == page) return page;
    return {};
}

bool TavrikSession::ShowDevicePage(const std::string& page) {
    if (ShownDevicePage() == page) return true;
    // The entries the strip shows first; a click on another device's entry
    // shows its page.
    std::vector<ProbeControl> entries;
    for (const ProbeControl& c : Probe())
        if (c.name == "device_select" && c.right - c.left >= 8) entries.push_back(c);
    for (const ProbeControl& entry : entries) {
        const std::string before = ShownDevicePage();
        driver_->Click(entry.CenterX(), entry.CenterY());
        Poll(
            [&] {
                const std::string now = ShownDevicePage();
                return now == page || now != before;
            },
            kPageSwitchBound);
        if (ShownDevicePage() == page) return true;
    }
    // Then through the devices with the strip's arrows, the strip following:
    // forwards to the last device, then back to the first.
    for (const char* arrow : {"device_select_next", "device_select_prev"}) {
        for (int step = 0; step < 8; ++step) {
            const std::string before = ShownDevicePage();
            if (!Click(arrow)) return false;
            // No other page: the arrow stands at the end of the strip.
            if (!Poll([&] { return ShownDevicePage() != before; }, kPageSwitchBound)) break;
            if (ShownDevicePage() == page) return true;
        }
    }
    return false;
}

bool TavrikSession::Poll(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                         const std::function<void()>& pump) {
    return PumpUntil(pump, done, timeout);
}

bool TavrikSession::WaitForLogMatch(const std::string& name, const std::string& pattern,
                                    std::chrono::milliseconds timeout) {
    const std::regex wanted(pattern);
    return Poll(
        [&] {
            const std::string log = Log(name);
            return std::regex_search(log, wanted);
        },
        timeout);
}

void TavrikSession::Screenshot(const std::string& name) {
    std::filesystem::create_directories(TAVRIK_E2E_SHOTS);
    SaveScreenshot(std::string(TAVRIK_E2E_SHOTS) + "/" + name + ".png");
}

}  // namespace tavrik::test
