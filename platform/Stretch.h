#pragma once

#include <QImage>

#include <vector>

// Stretches or shrinks a picture to width x height by repeating or dropping
// whole rows and columns, without smoothing: target pixel (x, y) takes the
// source pixel whose row and column centres are nearest, so the choice is
// the same whatever the target's origin on the screen.
QImage StretchNearest(const QImage& source, int width, int height);

// The source index that target index i of n takes from a source of m.
inline int NearestSourceIndex(int i, int n, int m)
{
    return static_cast<int>((2LL * i + 1) * m / (2LL * n));
}

// The source index of every target index 0..n-1, in order; never decreasing.
std::vector<int> NearestSourceIndices(int n, int m);
