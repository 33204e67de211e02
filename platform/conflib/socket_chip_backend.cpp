#include <cstdio>
#include <sstream>

#include "platform/conflib/chip_backend.h"
#include "platform/conflib/chip_server.h"

namespace tavrik::conflib {
namespace {

class SocketChipBackend final : public ChipBackend {
public:
    explicit SocketChipBackend(const std::string& path) : client_(path) {}

    int Init() override {
        std::string answer;
        // An unreachable emulator is a failed initialisation.
        return client_.Request("init", &answer) ? std::atoi(answer.c_str()) : -1;
    }
    int DeviceCount(int flow) override {
        std::string answer;
        return client_.Request("count " + std::to_string(flow), &answer) ? std::atoi(answer.c_str()) : 0;
    }
    std::optional<ChipDevice> Device(int flow, unsigned index) override {
        std::string answer;
        if (!client_.Request("device " + std::to_string(flow) + " " + std::to_string(index), &answer))
            return std::nullopt;
        std::istringstream in(answer);
        ChipDevice d;
        if (!(in >> d.id >> d.type >> d.id2 >> d.state)) return std::nullopt;
        return d;
    }
    std::optional<std::string> Read(int32_t id, const std::string& name, int32_t channel) override {
        std::string answer;
        if (!client_.Request("read " + std::to_string(id) + " " + std::to_string(channel) + " " + name, &answer))
            return std::nullopt;
        return answer;
    }
    bool Write(int32_t id, const std::string& name, int32_t channel, double value) override {
        char text[64];
        std::snprintf(text, sizeof text, "%.9g", value);
        std::string answer;
        return client_.Request("write " + std::to_string(id) + " " + std::to_string(channel) + " " + name + " " + text,
                               &answer);
    }

private:
    ChipClient client_;
};

}  // namespace

std::unique_ptr<ChipBackend> MakeSocketChipBackend(const std::string& path) {
    return std::make_unique<SocketChipBackend>(path);
}

}  // namespace tavrik::conflib
