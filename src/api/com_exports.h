#pragma once
// The module's COM entry points. Windows declares them in its SDK; other builds declare them here,
// with the same names, so that the Linux module exports the same entry points.
#include "sdk/directshow.h"

#ifndef _WIN32
extern "C" {
__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID classId, REFIID iid,
                                                                 void** object);
__attribute__((visibility("default"))) HRESULT DllCanUnloadNow();
__attribute__((visibility("default"))) HRESULT DllRegisterServer();
__attribute__((visibility("default"))) HRESULT DllUnregisterServer();
__attribute__((visibility("default"))) HRESULT DllInstall(BOOL install, LPCWSTR commandLine);
}
#endif
