// The show's music: an ambient loop synthesised from nothing but numbers, so the data archive needs no
// recordings. Every voice repeats exactly after the loop's length, so the player can wrap from the last
// sample to the first without a click.
#pragma once

#include <vector>

constexpr int musicSampleRate = 44100;

// Two planar channels of equal length, samples in [-1, 1].
struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;
};

// Synthesises `seconds` of music (the same samples on every run and platform): slow detuned pads over a
// chord progression, sparse pentatonic bells, peaking near -3 dBFS.
StereoSignal synthesizeAmbientLoop(int seconds);
