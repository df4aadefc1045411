#include "tools/texgen/colour_ramp.h"

ColourRamp::ColourRamp(std::initializer_list<Stop> stops) : stops(stops) {}

Colour ColourRamp::at(float position) const {
    if (position <= stops.front().position)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (position < stops[i].position) {
            const Stop& low = stops[i - 1];
            const Stop& high = stops[i];
            return mix(low.colour, high.colour, (position - low.position) / (high.position - low.position));
        }
    return stops.back().colour;
}
