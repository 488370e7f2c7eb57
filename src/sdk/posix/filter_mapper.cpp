#include "sdk/posix/filter_mapper.h"

#include <orvanecam_sdk/strmif.h>

#include <string>

#include "platform/registry.h"
#include "platform/utf16.h"
#include "platform/win32_errors.h"
#include "sdk/com_object.h"
#include "sdk/guid_text.h"

namespace orvanecam::sdk {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

HRESULT FromError(std::uint32_t error) {
    return static_cast<HRESULT>(platform::HresultFromWin32(error));
}

// CLSID\{category}\Instance\{instance name, or the filter's class id without one}
std::string InstanceKeyPath(const CLSID& category, LPCOLESTR instance, REFCLSID filter) {
    const std::u16string name =
        instance != nullptr && instance[0] != 0 ? instance : sdk::GuidText(filter);
    return "CLSID\\" + platform::Utf16ToUtf8(sdk::GuidText(category)) + "\\Instance\\" +
           platform::Utf16ToUtf8(name);
}

class FilterMapper final : public ComObject<IFilterMapper2> {
  public:
    FilterMapper() : ComObject(IID_IFilterMapper2) {}

    HRESULT STDMETHODCALLTYPE CreateCategory(REFCLSID, DWORD, LPCWSTR) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE UnregisterFilter(const CLSID* category, LPCOLESTR instance,
                                               REFCLSID filter) override {
        if (category == nullptr) return E_NOTIMPL;
        std::uint32_t error = 0;
        auto root = RegistryKey::Open(RegistryRoot::kClassesRoot, "", RegistryView::k64Bit,
                                      platform::RegistryAccess::kFull, error);
        if (!root) return FromError(error);
        error = root->DeleteTree(InstanceKeyPath(*category, instance, filter));
        // Nothing registered is nothing to undo.
        return error == platform::kErrorFileNotFound ? S_OK : FromError(error);
    }

    HRESULT STDMETHODCALLTYPE RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker,
                                             const CLSID* category, LPCOLESTR instance,
                                             const REGFILTER2* description) override {
        if (moniker != nullptr) *moniker = nullptr;
        if (name == nullptr || description == nullptr) return E_POINTER;
        if (category == nullptr) return E_NOTIMPL;
        std::uint32_t error = 0;
        auto key = RegistryKey::Create(
            RegistryRoot::kClassesRoot, InstanceKeyPath(*category, instance, filter),
            RegistryView::k64Bit, platform::RegistryAccess::kSetValue, error);
        if (!key) return FromError(error);
        error = key->SetString("FriendlyName", name);
        if (error == 0) error = key->SetString("CLSID", sdk::GuidText(filter));
        return FromError(error);
    }

    HRESULT STDMETHODCALLTYPE EnumMatchingFilters(IEnumMoniker**, DWORD, BOOL, DWORD, BOOL, DWORD,
                                                  const GUID*, const REGPINMEDIUM*, const CLSID*,
                                                  BOOL, BOOL, DWORD, const GUID*,
                                                  const REGPINMEDIUM*, const CLSID*) override {
        return E_NOTIMPL;
    }
};

}  // namespace

HRESULT CreateFilterMapper(REFIID iid, void** object) {
    return CreateComObject<FilterMapper>(iid, object);
}

}  // namespace orvanecam::sdk
