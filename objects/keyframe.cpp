#include "objects/keyframe.h"

#include "math/interpolation.h"

namespace {

// A third of the way along an arc; the controls of a segment sit at its thirds, as in a Catmull-Rom spline.
constexpr float oneThird = 0.33333334f;

} // namespace

void deriveFirstKey(Keyframe& first, const Keyframe& next) {
    first.outControl = slerp(first.orientation, next.orientation, oneThird);
    first.gradient = next.position - first.position;
}

void deriveMiddleKey(Keyframe& key, const Keyframe& previous, const Keyframe& next) {
    const Vec3 arriving = key.position - previous.position;
    const Vec3 leaving = next.position - key.position;
    key.gradient = arriving + 0.5f * (leaving - arriving);

    // Step a third back towards the previous orientation, extrapolated past the key, and a third on towards
    // the next one; the key's controls lie on the arc through their midpoint, one on either side of the key.
    const Quat behind = slerp(key.orientation, previous.orientation, -oneThird);
    const Quat ahead = slerp(key.orientation, next.orientation, oneThird);
    const Quat midway = slerp(behind, ahead, 0.5f);
    key.inControl = slerp(key.orientation, midway, -1);
    key.outControl = slerp(key.orientation, midway, 1);
}

void deriveLastKey(Keyframe& last, const Keyframe& previous) {
    last.inControl = slerp(last.orientation, previous.orientation, oneThird);
    last.gradient = last.position - previous.position;
}

Vec3 segmentPosition(const Keyframe& from, const Keyframe& to, float u) {
    return hermite(from.position, to.position, from.gradient, to.gradient, u);
}

Quat segmentOrientation(const Keyframe& from, const Keyframe& to, float u) {
    return quatBezier(from.orientation, from.outControl, to.inControl, to.orientation, u);
}
