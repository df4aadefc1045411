#pragma once

#include "tools/texgen/picture.h"

#include <initializer_list>
#include <vector>

// A colour gradient through stops at rising positions; positions before the first stop or after the last
// take that stop's colour.
class ColourRamp {
public:
    struct Stop {
        float position;
        Colour colour;
    };

    ColourRamp(std::initializer_list<Stop> stops);
    Colour at(float position) const;

private:
    std::vector<Stop> stops;
};
