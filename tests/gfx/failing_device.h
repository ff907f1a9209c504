// Failure injection for start-up tests: a device that forwards every call to the real one
// and fails the N-th object creation, as a driver out of memory would.
#pragma once

#include <d3d11.h>

namespace gfx_test {

// Wraps `real` (takes over its reference). Creation calls are counted from 1; call
// number `failAt` returns E_OUTOFMEMORY with a null result (0 never fails).
ID3D11Device* WrapDevice(ID3D11Device* real, int failAt);

// How many creation calls the last wrapped device has seen.
int CreationCalls();

}  // namespace gfx_test
