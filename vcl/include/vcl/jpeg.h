// The JPEG image (TJPEGImage) lives with the other graphics.
#pragma once

#include "vcl/graphics.h"
