#include "support/isolated_names.h"

#include <atomic>

#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace orvanecam::testing {

std::string UseFreshObjectNames() {
    static std::atomic<int> counter{0};
    const std::string suffix = "-test" + std::to_string(platform::CurrentProcessId()) + "-" +
                               std::to_string(counter.fetch_add(1));
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable, suffix);
    return suffix;
}

}  // namespace orvanecam::testing
