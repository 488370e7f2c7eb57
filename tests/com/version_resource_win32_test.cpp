// The module's version resource, as Explorer and support scripts read it: the project's version
// as file and product version, and the product's name.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/module_under_test.h"

namespace orvanecam::testing {
namespace {

TEST(VersionResourceTest, TheModuleCarriesTheProjectsVersion) {
    const std::u16string path = platform::Utf8ToUtf16(ModulePath());
    const auto* file = reinterpret_cast<const wchar_t*>(path.c_str());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(file, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, ORVANECAM_VERSION);
    const auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length)) {
            return std::string();
        }
        return platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(value));
    };
    EXPECT_EQ(text(L"FileVersion"), ORVANECAM_VERSION);
    EXPECT_EQ(text(L"ProductVersion"), ORVANECAM_VERSION);
    EXPECT_EQ(text(L"ProductName"), "OrvaneCam");
    EXPECT_EQ(text(L"OriginalFilename"), "OrvaneCam.dll");
}

}  // namespace
}  // namespace orvanecam::testing
