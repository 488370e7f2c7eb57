#pragma once
// A file the layering check must refuse: the exchange may not use the picture layer.
#include "picture/render.h"
