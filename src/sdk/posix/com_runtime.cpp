// The COM runtime pieces the module calls, for non-Windows builds.
#include <orvanecam_sdk/com.h>
#include <orvanecam_sdk/strmif.h>

#include <cstdlib>

#include "sdk/posix/filter_mapper.h"
#include "sdk/posix/memory_allocator.h"

void* CoTaskMemAlloc(std::size_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* CoTaskMemRealloc(void* block, std::size_t bytes) {
    return std::realloc(block, bytes == 0 ? 1 : bytes);
}

void CoTaskMemFree(void* block) {
    std::free(block);
}

int StringFromGUID2(REFGUID guid, LPOLESTR text, int max) {
    constexpr int kChars = 39;  // braces, 32 digits, 4 dashes, terminator
    if (text == nullptr || max < kChars) return 0;
    constexpr char kDigits[] = "0123456789ABCDEF";
    int at = 0;
    const auto put = [&](std::uint64_t value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            text[at++] = static_cast<OLECHAR>(kDigits[(value >> shift) & 0xF]);
        }
    };
    text[at++] = u'{';
    put(guid.Data1, 8);
    text[at++] = u'-';
    put(guid.Data2, 4);
    text[at++] = u'-';
    put(guid.Data3, 4);
    text[at++] = u'-';
    put(guid.Data4[0], 2);
    put(guid.Data4[1], 2);
    text[at++] = u'-';
    for (int i = 2; i < 8; ++i) put(guid.Data4[i], 2);
    text[at++] = u'}';
    text[at++] = u'\0';
    return at;
}

HRESULT CLSIDFromString(const OLECHAR* text, CLSID* classId) {
    if (text == nullptr || classId == nullptr) return E_INVALIDARG;
    // Hex digit positions after the opening brace, hyphens at 9, 14, 19 and 24.
    std::uint8_t bytes[16] = {};
    int digits = 0;
    int at = 0;
    if (text[at++] != u'{') return CO_E_CLASSSTRING;
    for (; digits < 32; ++at) {
        const OLECHAR c = text[at];
        if (at == 9 || at == 14 || at == 19 || at == 24) {
            if (c != u'-') return CO_E_CLASSSTRING;
            continue;
        }
        const int value = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'a' && c <= u'f' ? c - u'a' + 10
                          : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                   : -1;
        if (value < 0) return CO_E_CLASSSTRING;
        bytes[digits / 2] = static_cast<std::uint8_t>(bytes[digits / 2] << 4 | value);
        ++digits;
    }
    if (text[at] != u'}' || text[at + 1] != 0) return CO_E_CLASSSTRING;
    classId->Data1 =
        static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    classId->Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    classId->Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) classId->Data4[i] = bytes[8 + i];
    return S_OK;
}

// One apartment model is as good as another here: nothing is marshalled.
HRESULT CoInitializeEx(void*, DWORD) {
    return S_OK;
}

HRESULT CoInitialize(void*) {
    return S_OK;
}

void CoUninitialize() {}

// Modules stay loaded for the life of the process here.
void CoFreeUnusedLibraries() {}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (classId != CLSID_MemoryAllocator && classId != CLSID_FilterMapper2) {
        return REGDB_E_CLASSNOTREG;
    }
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return classId == CLSID_MemoryAllocator ? orvanecam::sdk::CreateMemoryAllocator(iid, object)
                                            : orvanecam::sdk::CreateFilterMapper(iid, object);
}
