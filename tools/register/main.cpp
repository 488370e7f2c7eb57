// Registers or unregisters the camera module, as an installer does with regsvr32 on Windows.
//   orvanecam-register [--cameras N | --unregister] [--user] [--module PATH] [--quiet]
// --cameras registers cameras 1..N (removing any above), as regsvr32 /i:"cameras=N" does; without
// it the cameras registered stay as they are (one on a first registration). --user registers (or
// unregisters) for the current user only, which needs no administrator, as regsvr32 /n /i:user
// does. The module is the one beside this program unless --module names another. --quiet prints
// nothing on success.
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/command_line.h"
#include "platform/environment.h"
#include "platform/shared_library.h"
#include "platform/utf16.h"
#include "sdk/directshow.h"

namespace {

using namespace orvanecam;

constexpr char kUsage[] =
    "usage: orvanecam-register [--cameras N | --unregister] [--user] [--module PATH] [--quiet]\n";

using RegisterEntry = HRESULT(STDAPICALLTYPE*)();
using InstallEntry = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

bool g_quiet = false;

// The entry's result, or a failure to find it, as the exit status.
int Report(const char* entry, bool found, HRESULT result, const std::string& path) {
    if (!found) {
        std::fprintf(stderr, "orvanecam-register: cannot load %s from %s\n", entry, path.c_str());
        return 1;
    }
    if (!g_quiet || FAILED(result)) {
        std::printf("%s: 0x%08lX\n", entry,
                    static_cast<unsigned long>(static_cast<std::uint32_t>(result)));
    }
    return FAILED(result) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (tools::AnswersVersion(argc, argv, "orvanecam-register")) return 0;
    tools::CommandLine options;
    if (!options.Parse(argc, argv, {"--module", "--cameras"},
                       {"--unregister", "--user", "--quiet"}) ||
        (options.Has("--cameras") && options.Has("--unregister"))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    g_quiet = options.Has("--quiet");
    const std::string path =
        options.Text("--module", platform::ExecutableDirectory() + "/" + ORVANECAM_MODULE_FILE);
    const auto module = platform::SharedLibrary::Load(path);
    if (options.Has("--cameras") || options.Has("--user")) {
        // The module checks the count: a bad one is refused there, with nothing changed.
        std::u16string commandLine = options.Has("--user") ? u"user" : u"";
        if (options.Has("--cameras")) {
            commandLine += u" cameras=" + platform::Utf8ToUtf16(options.Text("--cameras", ""));
        }
        const auto install =
            module ? reinterpret_cast<InstallEntry>(module->Symbol("DllInstall")) : nullptr;
        static_assert(sizeof(WCHAR) == sizeof(char16_t));
        const BOOL registering = options.Has("--unregister") ? FALSE : TRUE;
        const HRESULT result =
            install != nullptr
                ? install(registering, reinterpret_cast<LPCWSTR>(commandLine.c_str()))
                : E_FAIL;
        return Report("DllInstall", install != nullptr, result, path);
    }
    const char* entry = options.Has("--unregister") ? "DllUnregisterServer" : "DllRegisterServer";
    const auto function = module ? reinterpret_cast<RegisterEntry>(module->Symbol(entry)) : nullptr;
    return Report(entry, function != nullptr, function != nullptr ? function() : E_FAIL, path);
}
