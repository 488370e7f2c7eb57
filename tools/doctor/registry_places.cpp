#include "doctor/registry_places.h"

#include <filesystem>

#include "devices/camera_keys.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/utf16.h"
#include "sdk/guid_text.h"

namespace orvanecam::tools::doctor {
namespace {

using platform::RegistryView;

const char* FolderOf(RegistryView view) {
    return view == RegistryView::k64Bit ? "x64" : "x86";
}

}  // namespace

std::string Place::Name() const {
    const std::string whose = ForUser() ? "this user" : "every user";
    const std::string bits = ViewName(view);
    return bits.empty() ? whose : bits + ", " + whose;
}

std::string ViewName(RegistryView view) {
    if (platform::DistinctRegistryViews().size() < 2) return {};
    return view == RegistryView::k64Bit ? "64-bit" : "32-bit";
}

std::vector<Place> RegistrationPlaces() {
    std::vector<Place> places;
    for (const auto classes :
         {platform::RegistryRoot::kMachineClasses, platform::RegistryRoot::kUserClasses}) {
        for (const RegistryView view : platform::DistinctRegistryViews())
            places.push_back({classes, view});
    }
    return places;
}

std::optional<std::string> ToolFolderFor(RegistryView view) {
    const std::string own = platform::ExecutableDirectory();
    if (view == platform::kOwnRegistryView) return own;
    const auto sibling = std::filesystem::path(own).parent_path() / FolderOf(view);
    std::error_code error;
    if (!std::filesystem::is_directory(sibling, error)) return std::nullopt;
    return sibling.string();
}

bool HasServerKey(const Place& place, const camera::ClassId& id) {
    std::uint32_t error = 0;
    return platform::RegistryKey::Open(place.classes,
                                       devices::ClassKeyPath(sdk::GuidOf(id)) + "\\InprocServer32",
                                       place.view, platform::RegistryAccess::kQueryValue, error)
        .has_value();
}

std::string DeleteKey(const Place& place, const std::string& path) {
    const std::uint32_t error =
        platform::RegistryKey::DeleteTreeAt(place.classes, path, place.view);
    return error == 0 ? std::string()
                      : "cannot delete " + path + " (error " + std::to_string(error) + ")";
}

std::string DeleteCameraKeys(const Place& place, const camera::CameraIdentity& camera) {
    for (const std::string& key : {
             devices::CameraInstanceKeyPath(camera),
             devices::MicrophoneInstanceKeyPath(camera),
             devices::ClassKeyPath(sdk::GuidOf(camera.filterClass)),
             devices::ClassKeyPath(sdk::GuidOf(camera.microphoneClass)),
             devices::ClassKeyPath(sdk::GuidOf(camera.mediaSourceClass)),
         }) {
        if (std::string failure = DeleteKey(place, key); !failure.empty()) return failure;
    }
    return {};
}

std::string Reregister(const Place& place) {
    const auto folder = ToolFolderFor(place.view);
    if (!folder) return std::string("no ") + FolderOf(place.view) + " folder beside this program";
    const std::string tool = *folder + "/orvanecam-register" + platform::ExecutableSuffix();
    std::vector<std::string> arguments{"--quiet"};
    if (place.ForUser()) arguments.push_back("--user");
    auto child = platform::ChildProcess::Start(tool, arguments);
    if (!child) return "cannot start " + tool;
    const auto status = child->WaitForExit(60000);
    if (!status) return tool + " did not finish";
    if (*status != 0) {
        return tool + " failed" +
               (place.ForUser() ? std::string()
                                : " (registering for every user needs an "
                                  "administrator)");
    }
    return {};
}

}  // namespace orvanecam::tools::doctor
