#include "platform/hooks/input_source.h"

#include <mutex>

#include "platform/hooks/xrecord_input_source.h"

namespace tavrik::hooks {
namespace {

std::mutex& FactoryMutex() {
    static std::mutex m;
    return m;
}

InputSourceFactory& Factory() {
    static InputSourceFactory factory;
    return factory;
}

}  // namespace

void SetInputSourceFactory(InputSourceFactory factory) {
    std::lock_guard lock(FactoryMutex());
    Factory() = std::move(factory);
}

std::unique_ptr<InputSource> CreateInputSource() {
    InputSourceFactory factory;
    {
        std::lock_guard lock(FactoryMutex());
        factory = Factory();
    }
    if (factory) return factory();
    return std::make_unique<XRecordInputSource>();
}

}  // namespace tavrik::hooks
