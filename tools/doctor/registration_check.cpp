#include "doctor/registration_check.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "devices/camera_keys.h"
#include "doctor/registry_places.h"
#include "platform/file_version.h"
#include "platform/paths.h"
#include "platform/utf16.h"
#include "sdk/guid_text.h"

namespace orvanecam::tools::doctor {
namespace {

using platform::RegistryAccess;
using platform::RegistryKey;

constexpr std::size_t kMaxValueBytes = 2 * 1040;

std::optional<RegistryKey> OpenKey(const Place& place, const std::string& path) {
    std::uint32_t error = 0;
    return RegistryKey::Open(place.classes, path, place.view, RegistryAccess::kQueryValue, error);
}

std::u16string ReadText(const Place& place, const std::string& path, const char* name) {
    std::u16string text;
    if (const auto key = OpenKey(place, path)) (void)key->QueryString(name, kMaxValueBytes, text);
    return text;
}

// One camera's keys at one place.
struct CameraKeys {
    const camera::CameraIdentity* camera = nullptr;
    bool filterServer = false;
    bool device = false;
    bool microphone = false;  // its class's server and its device key
    bool mediaSource = false;
    std::u16string server;  // the filter's DLL
    std::string name;       // as the device key lists it

    bool AnyKey() const { return filterServer || device || microphone || mediaSource; }
};

CameraKeys ReadCamera(const Place& place, const camera::CameraIdentity& camera) {
    CameraKeys keys;
    keys.camera = &camera;
    keys.filterServer = HasServerKey(place, camera.filterClass);
    keys.device = OpenKey(place, devices::CameraInstanceKeyPath(camera)).has_value();
    keys.microphone = HasServerKey(place, camera.microphoneClass) &&
                      OpenKey(place, devices::MicrophoneInstanceKeyPath(camera)).has_value();
    keys.mediaSource = HasServerKey(place, camera.mediaSourceClass);
    keys.server = ReadText(
        place, devices::ClassKeyPath(sdk::GuidOf(camera.filterClass)) + "\\InprocServer32", "");
    keys.name = platform::Utf16ToUtf8(
        ReadText(place, devices::CameraInstanceKeyPath(camera), "FriendlyName"));
    return keys;
}

std::vector<CameraKeys> CamerasAt(const Place& place) {
    std::vector<CameraKeys> found;
    for (int number = 1; number <= camera::kMaxCameras; ++number) {
        CameraKeys keys = ReadCamera(place, *camera::CameraNumbered(number));
        if (keys.AnyKey()) found.push_back(std::move(keys));
    }
    return found;
}

// Registry key names compare without regard to case; class ids are written in upper case.
std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string InParentheses(const std::string& text) {
    return text.empty() ? text : " (" + text + ")";
}

std::string CameraLabel(const CameraKeys& keys) {
    return "camera " + std::to_string(keys.camera->number);
}

// What is wrong with one camera's keys, with its mend; nothing when they are whole.
std::optional<Finding> CameraProblem(const Place& place, const CameraKeys& keys) {
    const std::string check = "registration (" + place.Name() + ")";
    const std::string path = platform::Utf16ToUtf8(keys.server);
    const camera::CameraIdentity& camera = *keys.camera;
    if (!keys.filterServer || !keys.device) {
        return Finding{
            check, Verdict::kProblem,
            CameraLabel(keys) + ": keys left by an uninstall (" +
                (keys.device ? "a device key without its class" : "no device key") + ")",
            "--fix removes them (and registers again where other cameras are)", [place, &camera] {
                const std::string failure = DeleteCameraKeys(place, camera);
                if (!failure.empty()) return failure;
                for (const platform::RegistryView view : platform::DistinctRegistryViews()) {
                    if (!devices::RegisteredCameras(view, place.classes).empty()) {
                        return Reregister(place);
                    }
                }
                return std::string();
            }};
    }
    if (keys.server.empty() || !platform::PathExists(keys.server)) {
        return Finding{check, Verdict::kProblem,
                       CameraLabel(keys) + " points at " + path + ", which is missing",
                       "--fix removes the keys and registers the DLL beside this program; or "
                       "run install.cmd again",
                       [place, &camera] {
                           const std::string failure = DeleteCameraKeys(place, camera);
                           return failure.empty() ? Reregister(place) : failure;
                       }};
    }
    const auto version = platform::FileVersion(path);
    if (version && *version != ORVANECAM_VERSION) {
        return Finding{check, Verdict::kProblem,
                       CameraLabel(keys) + " is " + path + ", version " + *version +
                           "; this doctor is version " + ORVANECAM_VERSION,
                       "--fix registers the DLL beside this program; or install one version "
                       "with install.cmd",
                       [place] { return Reregister(place); }};
    }
    // Only Windows builds, where the registry keeps two views, register the media source.
    const bool mediaSourceExpected = platform::DistinctRegistryViews().size() > 1;
    if (!keys.microphone || (mediaSourceExpected && !keys.mediaSource)) {
        return Finding{check, Verdict::kProblem,
                       CameraLabel(keys) + " lacks its " +
                           (keys.microphone ? "Media Foundation class" : "microphone's keys"),
                       "--fix registers again", [place] { return Reregister(place); }};
    }
    return std::nullopt;
}

std::string NamesOf(const std::vector<CameraKeys>& cameras) {
    std::string names;
    for (const CameraKeys& keys : cameras)
        names += (names.empty() ? "\"" : ", \"") + keys.name + "\"";
    return names;
}

constexpr int kUnread = -1;

// The findings of one place; how many cameras have keys there (kUnread: the place could not be
// read).
int CheckPlace(const Place& place, Report& report) {
    std::uint32_t error = 0;
    if (!RegistryKey::Open(place.classes, "CLSID", place.view, RegistryAccess::kQueryValue,
                           error) &&
        error != platform::kErrorFileNotFound && error != platform::kErrorPathNotFound) {
        report.Add({"registration (" + place.Name() + ")", Verdict::kUnchecked,
                    "cannot read the classes (error " + std::to_string(error) + ")"});
        return kUnread;
    }
    const std::vector<CameraKeys> cameras = CamerasAt(place);
    if (cameras.empty()) return 0;
    bool whole = true;
    for (const CameraKeys& keys : cameras) {
        if (auto problem = CameraProblem(place, keys)) {
            report.Add(std::move(*problem));
            whole = false;
        }
    }
    const int highest = cameras.back().camera->number;
    if (whole && static_cast<int>(cameras.size()) != highest) {
        report.Add({"registration (" + place.Name() + ")", Verdict::kProblem,
                    std::to_string(cameras.size()) + " cameras registered with gaps below camera " +
                        std::to_string(highest),
                    "--fix registers cameras 1 to " + std::to_string(highest),
                    [place] { return Reregister(place); }});
        whole = false;
    }
    if (whole) {
        const std::string path = platform::Utf16ToUtf8(cameras.front().server);
        const auto version = platform::FileVersion(path);
        report.Add({"registration (" + place.Name() + ")", Verdict::kOk,
                    std::to_string(cameras.size()) +
                        (cameras.size() == 1 ? " camera " : " cameras ") + NamesOf(cameras) +
                        " with microphones, " + path +
                        (version ? ", version " + *version : std::string())});
    }
    return static_cast<int>(cameras.size());
}

// Each bitness of one hive should have as many cameras as the other: apps of the one with fewer
// list fewer.
void CheckBitnessesAgree(const std::vector<std::pair<Place, int>>& counted, Report& report) {
    int most = 0;
    for (const auto& [place, count] : counted) most = std::max(most, count);
    for (const auto& [place, count] : counted) {
        if (count == most || count == kUnread) continue;
        report.Add({"registration (" + place.Name() + ")", Verdict::kProblem,
                    count == 0 ? "not registered, while the other bitness is: apps of this "
                                 "bitness list no camera"
                               : std::to_string(count) + " cameras, while the other bitness has " +
                                     std::to_string(most) + ": apps of this bitness list fewer",
                    "--fix registers the DLL of this bitness from the install beside this program",
                    [place = place] { return Reregister(place); }});
    }
}

// Device keys of one category that share a name with one of the cameras' own.
void CheckDuplicateNames(platform::RegistryView view, const GUID& category, Report& report) {
    const Place merged{platform::RegistryRoot::kClassesRoot, view};
    const std::string instances = devices::ClassKeyPath(category) + "\\Instance";
    const auto parent = OpenKey(merged, instances);
    if (!parent) return;
    std::map<std::string, std::vector<std::string>> keysByName;
    for (const std::string& subkey : parent->SubkeyNames()) {
        const std::string path = instances + "\\" + subkey;
        keysByName[platform::Utf16ToUtf8(ReadText(merged, path, "FriendlyName"))].push_back(subkey);
    }
    std::vector<std::string> ours;
    for (int number = 1; number <= camera::kMaxCameras; ++number) {
        const camera::CameraIdentity& camera = *camera::CameraNumbered(number);
        for (const auto& id : {camera.filterClass, camera.microphoneClass}) {
            ours.push_back(platform::Utf16ToUtf8(sdk::GuidText(sdk::GuidOf(id))));
        }
    }
    const auto isOurs = [&ours](const std::string& subkey) {
        return std::find(ours.begin(), ours.end(), UpperAscii(subkey)) != ours.end();
    };
    for (const auto& [name, subkeys] : keysByName) {
        std::vector<std::string> strays;
        std::string listed;
        for (const std::string& subkey : subkeys) {
            if (!isOurs(subkey)) strays.push_back(instances + "\\" + subkey);
            listed += (listed.empty() ? "" : ", ") + subkey;
        }
        // A name none of ours takes is another product's business.
        if (subkeys.size() < 2 || strays.size() == subkeys.size()) continue;
        report.Add({"device names" + InParentheses(ViewName(view)), Verdict::kProblem,
                    "\"" + name + "\" is listed " + std::to_string(subkeys.size()) + " times (" +
                        listed + "); apps show two cameras of that name",
                    "--fix removes the device keys that are not this version's", [merged, strays] {
                        for (const std::string& stray : strays) {
                            if (std::string failure = DeleteKey(merged, stray); !failure.empty()) {
                                return failure;
                            }
                        }
                        return std::string();
                    }});
    }
}

}  // namespace

void CheckRegistration(Report& report) {
    std::map<platform::RegistryRoot, std::vector<std::pair<Place, int>>> counted;
    for (const Place& place : RegistrationPlaces()) {
        counted[place.classes].emplace_back(place, CheckPlace(place, report));
    }
    const auto anyCamera = [&counted](platform::RegistryRoot classes) {
        const auto& places = counted[classes];
        return std::any_of(places.begin(), places.end(),
                           [](const auto& entry) { return entry.second > 0; });
    };
    const bool machine = anyCamera(platform::RegistryRoot::kMachineClasses);
    const bool user = anyCamera(platform::RegistryRoot::kUserClasses);
    if (!machine && !user) {
        const Place own{platform::RegistryRoot::kMachineClasses, platform::kOwnRegistryView};
        report.Add({"registration", Verdict::kProblem, "no camera is registered",
                    "run install.cmd (or install.cmd /user without administrator rights); "
                    "--fix registers the DLL beside this program",
                    [own] { return Reregister(own); }});
    }
    for (const auto& [classes, places] : counted) CheckBitnessesAgree(places, report);
    if (user) {
        report.Add({"which registration apps use", Verdict::kNote,
                    !machine
                        ? "this user's only: apps this user starts list the camera; Windows 11 "
                          "apps that use only the frame server do not (it reads the machine's)"
                        : "both: apps this user starts use this user's registration; the "
                          "Windows 11 frame server uses every user's",
                    !machine ? "install.cmd as administrator registers for every user" : ""});
    }
    for (const platform::RegistryView view : platform::DistinctRegistryViews()) {
        CheckDuplicateNames(view, CLSID_VideoInputDeviceCategory, report);
        CheckDuplicateNames(view, CLSID_AudioInputDeviceCategory, report);
    }
}

}  // namespace orvanecam::tools::doctor
