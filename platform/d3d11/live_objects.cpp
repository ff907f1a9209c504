#include "live_objects.h"

#include <atomic>

namespace quarvel::d3d11 {
namespace {
std::atomic<size_t> liveObjects{0};
}

size_t LiveObjectCount() { return liveObjects.load(); }
void ObjectCreated() { ++liveObjects; }
void ObjectDestroyed() { --liveObjects; }

}  // namespace quarvel::d3d11
