// The forward transform behind the spectrum: `size` real samples in, size / 2 + 1 complex
// bins out, unscaled (bin k is the sum of x[n] e^(-2 pi i k n / size)). On Linux it is
// kissfft's; on Windows, where there is no kissfft to link, our own radix-2 transform.
#pragma once

#include <complex>

namespace quarvel::audio {

class RealFft {
public:
    // `size`: a power of two, at least 4 (anything else gives an invalid transform).
    explicit RealFft(int size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    bool Valid() const { return plan_ != nullptr; }
    int Size() const { return size_; }
    // `input`: Size() samples; `bins`: Size() / 2 + 1 values. Not reentrant.
    void Forward(const float* input, std::complex<float>* bins);

private:
    struct Plan;
    int size_;
    Plan* plan_;
};

}  // namespace quarvel::audio
