#include "draw/camera.h"

XMMATRIX viewMatrix = XMMatrixIdentity();
XMMATRIX projectionMatrix = XMMatrixIdentity();
