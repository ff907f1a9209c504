#include "scene/road_motion.h"

#include <math.h>

static float Clamp(float value, float low, float high) { return value < low ? low : value > high ? high : value; }

float RoadSpeedFactor(float t) { return (1.0f - 0.05f * t) * 1.5f + 0.05f * t * 4.0f; }

float RoadTravel(float t) {
    // The scroll rate ramps from 1.5 to 4 over the first 15 s and brakes to 0 from 16 s
    // to 19 s; written as a distance, so it never jumps.
    const float e = Clamp(t * 0.06666667f, 0.0f, 1.0f);
    const float brake = t <= 16.0f ? 0.0f : -2.0f * Clamp((t - 16.0f) * 0.33333334f, 0.0f, 1.0f);
    return (t - 16.0f) * brake + ((1.0f - e) * 1.5f + e * 4.0f) * t;
}

float CarOffset(float t) {
    const float a = Clamp(t - 2.0f, 0.0f, 4.0f) * 0.392699f;
    float offset = (1.0f - sinf(a)) * 960.0f;
    if (t > 14.0f) {
        const float b = Clamp(t - 14.0f, 0.0f, 3.0f) * 1.0471973f + 1.570796f;
        offset = (1.0f - sinf(b)) * -960.0f;
    }
    return offset;
}

float WheelAngle(float t) { return RoadSpeedFactor(t) * t * 2.0f; }

RoadMotion ComputeRoadMotion(float t) {
    RoadMotion motion;
    motion.speedFactor = RoadSpeedFactor(t);
    motion.travel = RoadTravel(t);
    motion.phase15 = fmodf(motion.travel, 15.0f);
    motion.phase8 = fmodf(motion.travel, 8.0f);
    motion.phase2 = fmodf(motion.travel, 2.0f);
    motion.phase1 = fmodf(motion.travel, 1.0f);
    motion.carOffset = CarOffset(t);
    motion.wheelAngle = motion.speedFactor * t * 2.0f;
    return motion;
}

float MergeWeight(uint32_t musicMs) {
    // Signed, so times before 17 s clamp to 0 instead of wrapping round.
    int32_t m = (int32_t)musicMs - 17000;
    if (m < 0) m = 0;
    if (m > 2000) m = 2000;
    return (float)m * 0.0005f;
}
