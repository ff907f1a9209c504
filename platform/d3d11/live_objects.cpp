#include "live_objects.h"

#include <cxxabi.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

namespace quarvel::d3d11 {
namespace {
std::atomic<size_t> liveObjects{0};

// Keyed by the typeid name's text: the same type may hand out different pointers in
// different object files.
struct Kinds {
    std::mutex lock;
    std::map<std::string, size_t> alive, held;
};
Kinds& TheKinds() {
    static Kinds* kinds = new Kinds;  // outlives every static destructor that may release
    return *kinds;
}

std::string Readable(const std::string& mangled) {
    int status = 0;
    char* name = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    std::string text = status == 0 && name ? name : mangled;
    std::free(name);
    return text;
}

std::string Summary(std::map<std::string, size_t> Kinds::*counts) {
    Kinds& kinds = TheKinds();
    std::map<std::string, size_t> named;
    {
        std::lock_guard<std::mutex> hold(kinds.lock);
        for (const auto& [kind, count] : kinds.*counts)
            if (count) named[Readable(kind)] += count;
    }
    std::string text;
    for (const auto& [name, count] : named) text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    return text.empty() ? "none" : text;
}

void Count(std::map<std::string, size_t> Kinds::*counts, const char* kind, int change) {
    Kinds& kinds = TheKinds();
    std::lock_guard<std::mutex> hold(kinds.lock);
    (kinds.*counts)[kind] += change;
}
}  // namespace

size_t LiveObjectCount() { return liveObjects.load(); }
std::string LiveObjectSummary() { return Summary(&Kinds::alive); }
std::string HeldObjectSummary() { return Summary(&Kinds::held); }

void ObjectCreated(const char* kind) {
    ++liveObjects;
    Count(&Kinds::alive, kind, 1);
    Count(&Kinds::held, kind, 1);
}

void ObjectReleased(const char* kind) { Count(&Kinds::held, kind, -1); }
void ObjectRetained(const char* kind) { Count(&Kinds::held, kind, 1); }

void ObjectDestroyed(const char* kind, bool stillHeld) {
    --liveObjects;
    Count(&Kinds::alive, kind, -1);
    if (stillHeld) Count(&Kinds::held, kind, -1);
}

}  // namespace quarvel::d3d11
