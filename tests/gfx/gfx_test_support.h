// What the device tests share: a main window of a given client size (read-back is the
// support library's), and the calls the tests intercept (linker --wrap) to see
// what the system shows and compiles and to make device creation fail.
#pragma once

#include <d3d11.h>
#include <d3dcompiler.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "readback.h"

namespace gfx_test {

// Creates a visible windowed main window with exactly this client area and stores it in
// mainWindow; the previous test window is destroyed first.
HWND CreateMainWindow(int width, int height);
void DestroyMainWindow();

struct MessageBoxCall {
    std::string text;
    std::string caption;
    HWND owner;
    UINT type;
};
struct CompileCall {
    std::string text;  // exactly the bytes handed to the compiler
    std::string sourceName;
    std::string entry;
    std::string target;
    UINT flags1, flags2;
    bool defines, include;
};

struct Intercepts {
    std::vector<MessageBoxCall> messageBoxes;
    std::string debugOutput;
    std::vector<CompileCall> compiles;
    // When set, replaces the compiler for the next calls.
    std::function<HRESULT(const CompileCall& call, ID3DBlob** code, ID3DBlob** errors)> fakeCompiler;
    // Driver types whose device creation fails, and the creation call of the device that
    // fails (0: none).
    std::vector<D3D_DRIVER_TYPE> failingDrivers;
    std::vector<D3D_DRIVER_TYPE> triedDrivers;
    int failCreationAt = 0;
    // How many of the next calloc calls (of the system's code and ours) fail.
    int failingCallocs = 0;
};
Intercepts& Intercepted();
void ResetIntercepts();

// The real compiler on a recorded call.
HRESULT RealCompile(const CompileCall& call, ID3DBlob** code, ID3DBlob** errors);

// An error blob holding `text` (as the compiler makes them).
ID3DBlob* TextBlob(const std::string& text);

}  // namespace gfx_test
