// Turns the camera on and off for Windows 11 apps built on Media Foundation (the Camera app,
// MediaCapture, a growing share of video-call apps), which list cameras the frame server offers
// and never DirectShow filters.
//   orvanecam-mfcamera --enable NAME [--all-users]    the camera appears under NAME
//   orvanecam-mfcamera --disable                       removes an --all-users camera
// Without --all-users the camera lasts while this program runs (until Enter or end of input);
// with it, the camera is registered for every user until --disable (administrators only).
#include <cstdio>
#include <string>

#include "common/command_line.h"
#include "mfsource/source_class_id.h"
#include "platform/shared_library.h"
#include "platform/utf16.h"
#include "sdk/com_ptr.h"
#include "sdk/guid_text.h"
#include "sdk/virtual_camera.h"

namespace {

using namespace orvanecam;

constexpr char kUsage[] = "usage: orvanecam-mfcamera --enable NAME [--all-users] | --disable\n";
constexpr int kUnsupportedExit = 3;

int Fail(const char* what, HRESULT result) {
    std::fprintf(stderr, "orvanecam-mfcamera: %s failed with 0x%08lX%s\n", what,
                 static_cast<unsigned long>(result),
                 result == E_ACCESSDENIED ? " (run as administrator for --all-users)" : "");
    return 1;
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Media Foundation started for the program's life, in a multithreaded apartment.
class MediaFoundationSession {
  public:
    MediaFoundationSession()
        : m_com(CoInitializeEx(nullptr, COINIT_MULTITHREADED)),
          m_started(MFStartup(MF_VERSION, MFSTARTUP_LITE)) {}
    ~MediaFoundationSession() {
        if (SUCCEEDED(m_started)) MFShutdown();
        if (SUCCEEDED(m_com)) CoUninitialize();
    }
    HRESULT Result() const { return FAILED(m_com) ? m_com : m_started; }

  private:
    HRESULT m_com;
    HRESULT m_started;
};

int Run(sdk::MFCreateVirtualCameraFunction create, const tools::CommandLine& options) {
    const bool allUsers = options.Has("--all-users") || options.Has("--disable");
    const auto lifetime =
        allUsers ? sdk::MFVirtualCameraLifetime_System : sdk::MFVirtualCameraLifetime_Session;
    const auto access =
        allUsers ? sdk::MFVirtualCameraAccess_AllUsers : sdk::MFVirtualCameraAccess_CurrentUser;
    const std::u16string name = platform::Utf8ToUtf16(options.Text("--enable", "OrvaneCam"));
    const std::u16string sourceId = sdk::GuidText(mfsource::kMediaSourceClassId);

    MediaFoundationSession session;
    if (FAILED(session.Result())) return Fail("starting Media Foundation", session.Result());
    sdk::ComPtr<sdk::IMFVirtualCamera> camera;
    HRESULT result = create(sdk::MFVirtualCameraType_SoftwareCameraSource, lifetime, access,
                            Wide(name), Wide(sourceId), nullptr, 0, camera.Put());
    if (FAILED(result)) return Fail("MFCreateVirtualCamera", result);
    if (options.Has("--disable")) {
        result = camera->Remove();
        if (FAILED(result)) return Fail("removing the camera", result);
        std::puts("the camera is removed");
        return 0;
    }
    result = camera->Start(nullptr);
    if (FAILED(result)) return Fail("starting the camera", result);
    if (allUsers) {
        std::puts("the camera is registered for every user until --disable");
        (void)camera->Shutdown();
        return 0;
    }
    std::puts("the camera is on for Windows apps; press Enter to turn it off");
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
    (void)camera->Remove();
    (void)camera->Shutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tools::CommandLine options;
    if (!options.Parse(argc, argv, {"--enable"}, {"--disable", "--all-users"}) ||
        options.Has("--enable") == options.Has("--disable")) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // From Windows 11 (build 22000) on; earlier systems, and Wine, have no such library.
    const auto library = platform::SharedLibrary::Load("mfsensorgroup.dll");
    const auto create = library ? reinterpret_cast<sdk::MFCreateVirtualCameraFunction>(
                                      library->Symbol("MFCreateVirtualCamera"))
                                : nullptr;
    if (create == nullptr) {
        std::fputs(
            "orvanecam-mfcamera: this system has no Media Foundation virtual camera "
            "support (Windows 11, build 22000 or later, is needed); DirectShow apps "
            "still see the camera\n",
            stderr);
        return kUnsupportedExit;
    }
    return Run(create, options);
}
