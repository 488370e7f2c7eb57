#pragma once
// What a DirectShow client program needs beyond the filter's declarations: the filter graph
// manager, the capture graph builder and the sample grabber (Windows builds only).
#ifndef _WIN32
#error "the DirectShow client declarations exist for Windows builds only"
#endif
#include <dshow.h>
// After dshow.h, whose declarations it uses.
// clang-format off
#include <qedit.h>
// clang-format on
