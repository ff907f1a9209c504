// The road scene's draws in plain GL: the baseline of the stand-in's cost per draw. Drawn on
// the baselines' own context (PlainGlScope), into an RGBA8 target with a depth-stencil
// buffer of its own, from the build tree's top where Data/ is.
#pragma once

#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

namespace quarvel::bench {

class PlainRoadScene {
public:
    PlainRoadScene(int width, int height);
    ~PlainRoadScene();
    bool ok() const { return ok_; }
    const std::string& why() const { return why_; }

    // Everything DrawRoadScene draws at music time t, before the post-processing passes:
    // the background, the pylon field, billboards, guard rail and fence, and the car.
    void Draw(float t);
    // Waits until the driver has finished drawing.
    void Finish();
    // The target's pixels, row 0 at the top.
    std::vector<uint8_t> Pixels();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    bool ok_ = false;
    std::string why_;
};

}  // namespace quarvel::bench
