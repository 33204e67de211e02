#include "tests/support/required_service.h"

#include <cstdlib>
#include <string_view>

namespace tavrik::test {

bool InContinuousIntegration() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}

}  // namespace tavrik::test
