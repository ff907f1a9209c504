// The loaders reach the device through the one graphics object. The fuzz targets link the
// loaders alone, not the code that creates and releases that object, so they hold it here.
#include "gfx/graphics_context.h"

GraphicsContext graphics;
