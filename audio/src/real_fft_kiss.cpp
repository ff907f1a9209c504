#include "real_fft.h"

#include <kiss_fftr.h>

#include <vector>

namespace quarvel::audio {

struct RealFft::Plan {
    kiss_fftr_cfg config = nullptr;
    std::vector<kiss_fft_cpx> output;
};

RealFft::RealFft(int size) : size_(size), plan_(nullptr) {
    if (size < 4 || (size & (size - 1)) != 0) return;
    kiss_fftr_cfg config = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    if (config == nullptr) return;
    plan_ = new Plan{config, std::vector<kiss_fft_cpx>(static_cast<size_t>(size / 2 + 1))};
}

RealFft::~RealFft() {
    if (plan_ == nullptr) return;
    kiss_fftr_free(plan_->config);
    delete plan_;
}

void RealFft::Forward(const float* input, std::complex<float>* bins) {
    if (plan_ == nullptr) return;
    kiss_fftr(plan_->config, input, plan_->output.data());
    for (size_t k = 0; k < plan_->output.size(); ++k) {
        bins[k] = {plan_->output[k].r, plan_->output[k].i};
    }
}

}  // namespace quarvel::audio
