#pragma once
#include <QImage>
#include <cstddef>
// Reads a Windows bitmap file (starting with its 14-byte file header) held in memory.
QImage ReadBmp(const unsigned char* data, std::size_t size);
