#pragma once
// Registration tests start and end with the camera unregistered; off Windows each test has a
// registry store of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/environment.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "support/module_under_test.h"

namespace orvanecam::testing {

using RegisterExport = HRESULT(STDAPICALLTYPE*)();
using InstallExport = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

// Cameras 1, 2 and 3's filter classes, as installs know them.
inline const std::string kCameraClasses[] = {
    "{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}",
    "{D55F76F9-E930-4109-A96D-789F36DEA381}",
    "{D8D5B879-95DC-4366-AC0D-C1AD50ED349E}",
};
inline std::string ClassKeyOf(int camera) {
    return "CLSID\\" + kCameraClasses[camera - 1];
}
inline std::string InstanceKeyOf(int camera) {
    return "CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\" + kCameraClasses[camera - 1];
}
// Their microphones' classes, and the microphones' device keys in the audio input category.
inline const std::string kMicrophoneClasses[] = {
    "{63870AF0-68B7-4520-87CF-31DA48B9EC92}",
    "{2663DCB3-A45D-4E05-8DA8-5A1A5982DC0C}",
    "{F922BC2C-228B-44CA-86EF-25C7DFEE9E3D}",
};
inline std::string MicrophoneInstanceKeyOf(int camera) {
    return "CLSID\\{33D9A762-90C8-11D0-BD43-00A0C911CE86}\\Instance\\" +
           kMicrophoneClasses[camera - 1];
}
inline const std::string kClassKey = ClassKeyOf(1);
inline const std::string kInstanceKey = InstanceKeyOf(1);

class RegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_store = std::filesystem::temp_directory_path() /
                  ("orvanecam-registration-" + std::to_string(platform::CurrentProcessId()));
        platform::SetEnvironmentValue(platform::kRegistryRootVariable, m_store.string());
        m_register = ModuleExport<RegisterExport>("DllRegisterServer");
        m_unregister = ModuleExport<RegisterExport>("DllUnregisterServer");
        m_install = ModuleExport<InstallExport>("DllInstall");
        ASSERT_NE(m_register, nullptr);
        ASSERT_NE(m_unregister, nullptr);
        ASSERT_NE(m_install, nullptr);
    }
    void TearDown() override {
        (void)m_unregister();
        std::filesystem::remove_all(m_store);
        platform::SetEnvironmentValue(platform::kRegistryRootVariable, std::nullopt);
    }

    static bool KeyExists(const std::string& path) {
        std::uint32_t error = 0;
        return platform::RegistryKey::Open(platform::RegistryRoot::kClassesRoot, path,
                                           platform::kOwnRegistryView,
                                           platform::RegistryAccess::kQueryValue, error)
            .has_value();
    }
    // The string value in view, or "<missing>" when the key or value cannot be read.
    static std::u16string Value(const std::string& path, const std::string& name,
                                platform::RegistryView view = platform::kOwnRegistryView) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Open(platform::RegistryRoot::kClassesRoot, path, view,
                                               platform::RegistryAccess::kQueryValue, error);
        std::u16string value;
        if (!key || key->QueryString(name, 2048, value) != 0) return u"<missing>";
        return value;
    }

    std::filesystem::path m_store;
    RegisterExport m_register = nullptr;
    RegisterExport m_unregister = nullptr;
    InstallExport m_install = nullptr;
};

}  // namespace orvanecam::testing
