#include "road_view.h"

#include "scene/road_camera.h"

namespace art {

static double RowOf(XMVECTOR point) {
    const XMVECTOR clip = XMVector4Transform(XMVector4Transform(point, RoadViewMatrix()), RoadProjectionMatrix());
    const double ndcY = (double)XMVectorGetY(clip) / (double)XMVectorGetW(clip);
    return (1.0 - ndcY) * 0.5 * kBackgroundHeight;
}

double BackgroundRow(float x, float y, float z) { return RowOf(XMVectorSet(x, y, z, 1.0f)); }

double HorizonRow() { return RowOf(XMVectorSet(0.0f, 0.0f, 1.0f, 0.0f)); }

}  // namespace art
