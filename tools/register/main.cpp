// Registers or unregisters the camera module, as an installer does with regsvr32 on Windows.
//   orvanecam-register [--unregister] [--module PATH]
// The module is the one beside this program unless --module names another.
#include <cstdint>
#include <cstdio>

#include "common/command_line.h"
#include "platform/environment.h"
#include "platform/shared_library.h"

int main(int argc, char** argv) {
    using namespace orvanecam;
    if (tools::AnswersVersion(argc, argv, "orvanecam-register")) return 0;
    tools::CommandLine options;
    if (!options.Parse(argc, argv, {"--module"}, {"--unregister"})) {
        std::fputs("usage: orvanecam-register [--unregister] [--module PATH]\n", stderr);
        return 2;
    }
    const std::string path =
        options.Text("--module", platform::ExecutableDirectory() + "/" + ORVANECAM_MODULE_FILE);
    const auto module = platform::SharedLibrary::Load(path);
    const char* entry = options.Has("--unregister") ? "DllUnregisterServer" : "DllRegisterServer";
    using Entry = std::int32_t (*)();
    const auto function = module ? reinterpret_cast<Entry>(module->Symbol(entry)) : nullptr;
    if (function == nullptr) {
        std::fprintf(stderr, "orvanecam-register: cannot load %s from %s\n", entry, path.c_str());
        return 1;
    }
    const std::int32_t result = function();
    std::printf("%s: 0x%08lX\n", entry,
                static_cast<unsigned long>(static_cast<std::uint32_t>(result)));
    return result < 0 ? 1 : 0;
}
