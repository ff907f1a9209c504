// A real transform of N samples as one complex transform of N / 2 points (even samples in
// the real part, odd ones in the imaginary part) followed by the split step that separates
// the two halves' spectra again. The arithmetic is in double precision, so the result is at
// least as close to the exact transform as kissfft's single-precision one.
#include "real_fft.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace quarvel::audio {

struct RealFft::Plan {
    int half = 0;                                // N / 2, the complex transform's size
    std::vector<int> reversed;                   // bit-reversed index for each of the half points
    std::vector<std::complex<double>> rotation;  // e^(-2 pi i j / half), j < half / 2
    std::vector<std::complex<double>> split;     // e^(-2 pi i k / N), k <= half
    std::vector<std::complex<double>> work;
};

RealFft::RealFft(int size) : size_(size), plan_(nullptr) {
    if (size < 4 || (size & (size - 1)) != 0) return;
    auto* plan = new Plan;
    int half = size / 2;
    plan->half = half;
    int bits = 0;
    while ((1 << bits) < half) ++bits;
    plan->reversed.resize(static_cast<size_t>(half));
    for (int i = 0; i < half; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
        plan->reversed[static_cast<size_t>(i)] = r;
    }
    for (int j = 0; j < half / 2; ++j) {
        plan->rotation.push_back(std::polar(1.0, -2.0 * std::numbers::pi * j / half));
    }
    for (int k = 0; k <= half; ++k) {
        plan->split.push_back(std::polar(1.0, -2.0 * std::numbers::pi * k / size));
    }
    plan->work.resize(static_cast<size_t>(half));
    plan_ = plan;
}

RealFft::~RealFft() { delete plan_; }

void RealFft::Forward(const float* input, std::complex<float>* bins) {
    if (plan_ == nullptr) return;
    const int half = plan_->half;
    std::vector<std::complex<double>>& z = plan_->work;
    for (int m = 0; m < half; ++m) {
        z[static_cast<size_t>(plan_->reversed[static_cast<size_t>(m)])] = {input[2 * m], input[2 * m + 1]};
    }
    // Iterative decimation in time over the bit-reversed order.
    for (int span = 1; span < half; span *= 2) {
        int stride = half / (2 * span);
        for (int start = 0; start < half; start += 2 * span) {
            for (int j = 0; j < span; ++j) {
                std::complex<double>& a = z[static_cast<size_t>(start + j)];
                std::complex<double>& b = z[static_cast<size_t>(start + j + span)];
                std::complex<double> t = plan_->rotation[static_cast<size_t>(j * stride)] * b;
                b = a - t;
                a += t;
            }
        }
    }
    // Z[k] = E[k] + i O[k], with E and O the transforms of the even and odd samples; Z[half-k]
    // conjugated gives E[k] - i O[k], which separates them.
    for (int k = 0; k <= half; ++k) {
        std::complex<double> zk = z[static_cast<size_t>(k % half)];
        std::complex<double> zc = std::conj(z[static_cast<size_t>((half - k) % half)]);
        std::complex<double> even = 0.5 * (zk + zc);
        std::complex<double> odd = std::complex<double>(0.0, -0.5) * (zk - zc);
        std::complex<double> x = even + plan_->split[static_cast<size_t>(k)] * odd;
        bins[k] = {static_cast<float>(x.real()), static_cast<float>(x.imag())};
    }
}

}  // namespace quarvel::audio
