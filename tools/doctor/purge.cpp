#include "doctor/purge.h"

#include <filesystem>

#include "devices/camera_keys.h"
#include "doctor/registry_places.h"
#include "platform/environment.h"
#include "platform/utf16.h"
#include "settings/user_settings.h"

namespace orvanecam::tools::doctor {
namespace {

void Record(Report& report, const std::string& what, const std::string& failure) {
    report.Add({"purge", failure.empty() ? Verdict::kOk : Verdict::kProblem,
                failure.empty() ? "removed " + what : failure,
                failure.empty() ? ""
                                : "run the doctor as administrator, or close the apps "
                                  "using the camera, and purge again"});
}

void PurgeKeys(const Place& place, Report& report) {
    std::string failure;
    for (int number = 1; number <= camera::kMaxCameras && failure.empty(); ++number) {
        failure = DeleteCameraKeys(place, *camera::CameraNumbered(number));
    }
    if (failure.empty()) devices::DeleteEmptyParentKeys(place.classes, place.view);
    Record(report, "the cameras' keys (" + place.Name() + ")", failure);
}

void PurgeSettings(platform::RegistryView view, Report& report) {
    const Place user{platform::RegistryRoot::kCurrentUser, view};
    std::string failure = DeleteKey(user, settings::kSettingsKey);
    const std::string settingsKey = settings::kSettingsKey;
    const std::string maker = settingsKey.substr(0, settingsKey.rfind('\\'));
    if (failure.empty()) {
        const std::uint32_t error = platform::RegistryKey::DeleteIfEmpty(user.classes, maker, view);
        if (error != 0)
            failure = "cannot delete " + maker + " (error " + std::to_string(error) + ")";
    }
    const std::string bits = ViewName(view);
    Record(report, "the user's settings" + (bits.empty() ? "" : " (" + bits + ")"), failure);
}

// The folders installs copy files to: every user's and this user's.
std::vector<std::string> InstallFolders() {
    std::vector<std::string> folders;
    for (const char* variable :
         {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)", "LOCALAPPDATA"}) {
        if (const auto base = platform::GetEnvironmentValue(variable)) {
            folders.push_back(*base + "\\OrvaneCam");
        }
    }
    return folders;
}

void PurgeFolder(const std::string& folder, Report& report) {
    const std::filesystem::path path(platform::Utf8ToUtf16(folder));
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return;
    std::filesystem::remove_all(path, error);
    Record(report, folder,
           error ? folder + " cannot be removed yet (" + error.message() + ")" : std::string());
}

}  // namespace

void Purge(Report& report) {
    for (const Place& place : RegistrationPlaces()) PurgeKeys(place, report);
    for (const platform::RegistryView view : platform::DistinctRegistryViews())
        PurgeSettings(view, report);
    for (const std::string& folder : InstallFolders()) PurgeFolder(folder, report);
}

}  // namespace orvanecam::tools::doctor
