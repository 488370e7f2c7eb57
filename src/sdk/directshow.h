#pragma once
// The COM and DirectShow declarations the module is written against: the Windows SDK's on
// Windows, the project's own stand-ins (same names, member order and sizes) elsewhere.
#ifdef _WIN32
#include <windows.h>
// clang-format off
#include <objbase.h>
#include <strmif.h>
#include <uuids.h>
#include <evcode.h>
#include <vfwmsgs.h>
#include <amvideo.h>
#include <dvdmedia.h>
#include <mmreg.h>
// clang-format on
#else
// Each declares what the next one uses.
// clang-format off
#include <orvanecam_sdk/com.h>
#include <orvanecam_sdk/strmif.h>
#include <orvanecam_sdk/amvideo.h>
#include <orvanecam_sdk/mmaudio.h>
// clang-format on
#endif
