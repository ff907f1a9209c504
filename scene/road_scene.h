// The first half of the presentation: a car on a road in front of scrolling line-art
// pylons, billboards, a guard rail and a fence, through the VHS pass.
#pragma once

// The colour of all 3D line art: packed 0x00130839 (A, R, G, B), each byte over 255.
extern const float lineColour[4];

// Draws the road scene at musicTimeSec into the chain's target 0 and ends with the VHS
// pass, leaving the opaque blend state set.
void DrawRoadScene();
