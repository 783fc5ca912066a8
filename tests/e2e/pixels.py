#!/usr/bin/python3
# Reads pixels of a window from an X window dump (xwd), for checks in shell
# scripts. Usage: pixels.py DUMP.ppm x y            -> "r g b"
#                 pixels.py DUMP.ppm x y w h darkest -> "r g b" of the darkest pixel
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6", "not a binary PPM"
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    return width, height, maxval, data[pos + 1:]


def pixel(img, x, y):
    width, _, maxval, raster = img
    step = 2 if maxval > 255 else 1
    at = (y * width + x) * 3 * step
    values = [raster[at + i * step] for i in range(3)]
    return values


img = read_ppm(sys.argv[1])
x, y = int(sys.argv[2]), int(sys.argv[3])
if len(sys.argv) > 6 and sys.argv[6] == "darkest":
    w, h = int(sys.argv[4]), int(sys.argv[5])
    best = min((pixel(img, x + i, y + j) for j in range(h) for i in range(w)), key=sum)
    print(*best)
else:
    print(*pixel(img, x, y))
