#include "app/exit_rules.h"

#include <initializer_list>

namespace {
constexpr float pointerScale = 0.3f;
}

void ExitRules::pointerMoved(int dxFromCentre, int dyFromCentre) {
    deltaX_ = static_cast<float>(dxFromCentre) * pointerScale;
    deltaY_ = static_cast<float>(dyFromCentre) * pointerScale;
}

bool ExitRules::takePointerMove() {
    bool moved = false;
    for (float* delta : {&deltaX_, &deltaY_})
        if (*delta != 0) {
            travel_ += *delta;
            *delta = 0;
            moved = true;
        }
    return moved;
}
