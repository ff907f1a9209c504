// While one lives, the floating-point unit rounds to nearest and, on the x87, keeps the full
// 64-bit mantissa (some runtimes start it at 53 bits). The previous settings come back after.
#pragma once

#include <fenv.h>
#if defined(__GLIBC__) && (defined(__i386__) || defined(__x86_64__))
#include <fpu_control.h>
#define SYNTH_X87_CW 1
#endif

struct FpuExtended {
    int round;
#ifdef SYNTH_X87_CW
    fpu_control_t cw;
#endif
    FpuExtended()
    {
        round = fegetround();
        fesetround(FE_TONEAREST);
#ifdef SYNTH_X87_CW
        _FPU_GETCW(cw);
        fpu_control_t ext = cw | _FPU_EXTENDED;  // precision control bits set: 64-bit mantissa
        _FPU_SETCW(ext);
#endif
    }
    ~FpuExtended()
    {
#ifdef SYNTH_X87_CW
        _FPU_SETCW(cw);
#endif
        fesetround(round);
    }
    FpuExtended(const FpuExtended&) = delete;
    FpuExtended& operator=(const FpuExtended&) = delete;
};
