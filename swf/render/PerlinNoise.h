#pragma once

#include <QPointF>

#include <vector>

namespace swf {

class BitmapSurface;

// What BitmapData.perlinNoise asks for.
struct PerlinOptions {
    double baseX = 0; // the size of the largest features, in pixels
    double baseY = 0;
    int octaves = 1; // each one half the size and half the weight of the one before
    int seed = 0;
    bool stitch = false; // makes the picture tile seamlessly
    bool fractal = true; // false: turbulence (the absolute values, sharper ridges)
    int channels = 7; // 1 red, 2 green, 4 blue, 8 alpha
    bool grey = false;
    std::vector<QPointF> offsets; // per octave, where each layer starts
};

// Fills the bitmap with Ken Perlin's gradient noise. The work is bounded: past some tens
// of millions of samples the finest octaves are left out (a fraction of a second).
void perlinNoise(BitmapSurface& bitmap, const PerlinOptions& options);

} // namespace swf
