// The camera of the current frame. The road scene sets both matrices every frame before it
// draws; the 3D primitives read them.
#pragma once

#include "draw/xmath.h"

extern XMMATRIX viewMatrix;
extern XMMATRIX projectionMatrix;
