// Turns the camera on and off for Windows 11 apps built on Media Foundation (the Camera app,
// MediaCapture, a growing share of video-call apps), which list cameras the frame server offers
// and never DirectShow filters.
//   orvanecam-mfcamera [--camera N] --enable NAME [--all-users]   camera N appears under NAME
//   orvanecam-mfcamera --disable NAME                  removes the --all-users camera NAME
// N is 1 unless given; each camera is a media source class of its own.
// Without --all-users the camera lasts while this program runs (until Enter or end of input);
// with it, the camera is registered for every user until --disable (administrators only).
// Before enabling, it checks what the frame server needs and cannot say itself: the media source
// registered in the machine hive, and a DLL its account (LOCAL SERVICE) may read.
#include <cstdio>
#include <string>

#include "camera/identity.h"
#include "common/command_line.h"
#include "mfcamera/service_access.h"
#include "platform/file_security.h"
#include "platform/registry.h"
#include "platform/utf16.h"
#include "sdk/com_ptr.h"
#include "sdk/guid_text.h"
#include "sdk/virtual_camera.h"

namespace {

using namespace orvanecam;

constexpr char kUsage[] =
    "usage: orvanecam-mfcamera [--camera N] --enable NAME [--all-users] | --disable NAME\n";
constexpr int kUnsupportedExit = 3;
constexpr std::size_t kMaxPathBytes = 2 * 32768;

int Fail(const char* what, HRESULT result) {
    std::fprintf(stderr, "orvanecam-mfcamera: %s failed with 0x%08lX\n", what,
                 static_cast<unsigned long>(result));
    return 1;
}

// What commonly stands behind a refused Start, most likely first.
void ExplainStartFailure(HRESULT result, bool allUsers) {
    if (result != E_ACCESSDENIED) return;
    std::fputs(
        "  access was denied; the known causes:\n"
        "  - camera access is off: Settings > Privacy & security > Camera, turn on \"Camera "
        "access\" and \"Let desktop apps access your camera\"\n",
        stderr);
    if (allUsers) {
        std::fputs("  - --all-users needs a prompt started with \"Run as administrator\"\n",
                   stderr);
    }
    std::fputs(
        "  - the frame server's account cannot read OrvaneCam.dll: install it with install.cmd "
        "(into Program Files)\n",
        stderr);
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The DLL the frame server would load: the media source class's server in the machine hive, in
// the system's native view (the frame server's own); nothing when it is not registered there.
std::optional<std::u16string> MachineRegisteredDll(const std::u16string& sourceId) {
    const std::string key = "CLSID\\" + platform::Utf16ToUtf8(sourceId) + "\\InprocServer32";
    std::uint32_t error = 0;
    const auto server = platform::RegistryKey::Open(platform::RegistryRoot::kMachineClasses, key,
                                                    platform::RegistryView::k64Bit,
                                                    platform::RegistryAccess::kQueryValue, error);
    std::u16string path;
    if (!server || server->QueryString("", kMaxPathBytes, path) != 0 || path.empty()) {
        return std::nullopt;
    }
    return path;
}

// False, having said why, when the frame server could not load the registered DLL.
bool FrameServerCanLoad(const std::u16string& sourceId) {
    const std::optional<std::u16string> dll = MachineRegisteredDll(sourceId);
    if (!dll) {
        std::fputs(
            "orvanecam-mfcamera: the camera's media source is not registered for the whole "
            "machine in its native bitness, the only place the frame server looks: run "
            "install.cmd (or regsvr32 on the 64-bit OrvaneCam.dll) as administrator, with "
            "/cameras:N for a camera above 1\n",
            stderr);
        return false;
    }
    const std::u16string folder = dll->substr(0, dll->find_last_of(u"\\/"));
    for (const std::u16string& path : {folder, *dll}) {
        const std::string shown = platform::Utf16ToUtf8(path);
        const std::optional<std::string> list = platform::AccessListText(path);
        const tools::ServiceAccess access =
            list ? tools::LocalServiceAccess(*list) : tools::ServiceAccess::kUnreadable;
        if (access == tools::ServiceAccess::kDenied) {
            std::fprintf(stderr,
                         "orvanecam-mfcamera: %s cannot be read by LOCAL SERVICE, the frame "
                         "server's account, so no app would see the camera: install with "
                         "install.cmd (into Program Files) or let Users read and run it\n",
                         shown.c_str());
            return false;
        }
        if (access == tools::ServiceAccess::kUnreadable) {
            std::fprintf(stderr, "orvanecam-mfcamera: could not judge who may read %s\n",
                         shown.c_str());
        }
    }
    return true;
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

int Run(sdk::MFCreateVirtualCameraFunction create, const tools::CommandLine& options,
        const camera::CameraIdentity& served) {
    const bool disable = options.Has("--disable");
    const bool allUsers = options.Has("--all-users") || disable;
    const auto lifetime =
        allUsers ? sdk::MFVirtualCameraLifetime_System : sdk::MFVirtualCameraLifetime_Session;
    const auto access =
        allUsers ? sdk::MFVirtualCameraAccess_AllUsers : sdk::MFVirtualCameraAccess_CurrentUser;
    const std::u16string name =
        platform::Utf8ToUtf16(options.Text(disable ? "--disable" : "--enable", ""));
    const std::u16string sourceId = sdk::GuidText(sdk::GuidOf(served.mediaSourceClass));
    if (!disable && !FrameServerCanLoad(sourceId)) return 1;

    MediaFoundationSession session;
    if (FAILED(session.Result())) return Fail("starting Media Foundation", session.Result());
    sdk::ComPtr<sdk::IMFVirtualCamera> camera;
    // Published for Media Foundation apps only: DirectShow apps already list the filter.
    HRESULT result =
        create(sdk::MFVirtualCameraType_SoftwareCameraSource, lifetime, access, Wide(name),
               Wide(sourceId), &sdk::kVideoCameraCategory, 1, camera.Put());
    if (FAILED(result)) return Fail("MFCreateVirtualCamera", result);
    if (disable) {
        result = camera->Remove();
        if (FAILED(result)) return Fail("removing the camera", result);
        std::printf("the camera \"%s\" is removed\n", platform::Utf16ToUtf8(name).c_str());
        return 0;
    }
    result = camera->Start(nullptr);
    if (FAILED(result)) {
        Fail("starting the camera", result);
        ExplainStartFailure(result, allUsers);
        return 1;
    }
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
    if (tools::AnswersVersion(argc, argv, "orvanecam-mfcamera")) return 0;
    tools::CommandLine options;
    const bool parsed =
        options.Parse(argc, argv, {"--camera", "--enable", "--disable"}, {"--all-users"});
    const auto number = parsed && options.Has("--camera")
                            ? options.Number("--camera", 1, camera::kMaxCameras)
                            : std::optional<int>(1);
    if (!parsed || !number || options.Has("--enable") == options.Has("--disable")) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto api = sdk::LoadVirtualCameraApi();
    if (!api) {
        std::fputs(
            "orvanecam-mfcamera: this system has no Media Foundation virtual camera "
            "support (Windows 11, build 22000 or later, is needed); DirectShow apps "
            "still see the camera\n",
            stderr);
        return kUnsupportedExit;
    }
    return Run(api->create, options, *camera::CameraNumbered(*number));
}
