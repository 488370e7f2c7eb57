#include "support/helper_process.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/environment.h"

namespace orvanecam::testing {

platform::ChildProcess StartHelper(const std::vector<std::string>& args) {
    const std::string program =
        platform::ExecutableDirectory() + "/exchange_helper" + platform::ExecutableSuffix();
    auto child = platform::ChildProcess::Start(program, args);
    if (!child) {
        ADD_FAILURE() << "cannot start " << program;
        std::abort();
    }
    return std::move(*child);
}

}  // namespace orvanecam::testing
