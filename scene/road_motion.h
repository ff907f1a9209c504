// The road scene's motion as pure functions of the music time in seconds: how far the
// world has scrolled, the repeat phases of the rows of things that scroll with it, where
// the car layer is and how far its wheels have turned.
#pragma once

#include <stdint.h>

struct RoadMotion {
    float speedFactor;  // wheel spin rate factor
    float travel;       // scroll distance in world units
    float phase15;      // travel modulo the pylon spacing
    float phase8;       // ... the road-post spacing
    float phase2;       // ... the fence-post spacing
    float phase1;       // ... the fence-rail length
    float carOffset;    // horizontal offset of the car layer in virtual pixels
    float wheelAngle;   // radians
};

float RoadSpeedFactor(float t);
float RoadTravel(float t);
// 960 (off to the right) until 2 s, easing to 0 at 6 s; from 14 s easing out to -1920.
float CarOffset(float t);
float WheelAngle(float t);
RoadMotion ComputeRoadMotion(float t);

// The cross-fade weight from the road scene (0) to the sea view (1) at a music time.
float MergeWeight(uint32_t musicMs);
