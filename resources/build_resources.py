#!/usr/bin/env python3
"""Draws the toolbar faces 101 to 105 as 16x16 24-bit BMP files beside this script.

Run from anywhere after changing a face:

    python3 resources/build_resources.py

The build embeds the BMP files and help/index.htm into the add-in (cmake/EmbedFiles.cmake).
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent

# One character per pixel, top row first.
PALETTE = {
    '.': (192, 192, 192),  # button face: the toolbar's background
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'b': (0, 0, 160),
    'B': (64, 128, 255),
    'r': (208, 0, 0),
    'g': (0, 160, 0),
    'G': (96, 224, 96),
    'y': (255, 224, 64),
    'd': (96, 96, 96),
}

FACES = {
    # A "Vb" logo: white letters on a blue tile.
    101: [
        "................",
        ".bbbbbbbbbbbbbb.",
        ".bBBBBBBBBBBBBb.",
        ".bwwBBBwwBwBBBb.",
        ".bwwBBBwwBwBBBb.",
        ".bBwwBwwBBwBBBb.",
        ".bBwwBwwBBwwwBb.",
        ".bBwwBwwBBwBBwb.",
        ".bBBwwwBBBwBBwb.",
        ".bBBwwwBBBwBBwb.",
        ".bBBBwBBBBwwwBb.",
        ".bBBBBBBBBBBBBb.",
        ".bBBBBBBBBBBBBb.",
        ".bbbbbbbbbbbbbb.",
        "................",
        "................",
    ],
    # A clock: white dial, hands at twelve and three.
    102: [
        "................",
        ".....kkkkkk.....",
        "...kkwwwwwwkk...",
        "..kwwwwkwwwwwk..",
        "..kwwwwkwwwwwk..",
        ".kwwwwwkwwwwwwk.",
        ".kwwwwwkwwwwwwk.",
        ".kwwwwwkkkkkwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        ".kwwwwwwwwwwwwk.",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "...kkwwwwwwkk...",
        ".....kkkkkk.....",
        "................",
    ],
    # A red cross.
    103: [
        "................",
        "................",
        "..rr........rr..",
        "..rrr......rrr..",
        "...rrr....rrr...",
        "....rrr..rrr....",
        ".....rrrrrr.....",
        "......rrrr......",
        "......rrrr......",
        ".....rrrrrr.....",
        "....rrr..rrr....",
        "...rrr....rrr...",
        "..rrr......rrr..",
        "..rr........rr..",
        "................",
        "................",
    ],
    # An empty window frame: title bar, white client area.
    104: [
        "................",
        "kkkkkkkkkkkkkkkk",
        "kbbbbbbbbbbwwbwk",
        "kbbbbbbbbbbwwbwk",
        "kkkkkkkkkkkkkkkk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwwwwwwwwwwwwwk",
        "kkkkkkkkkkkkkkkk",
        "................",
        "................",
    ],
    # The clock with a green check mark: the clock is running.
    105: [
        "................",
        ".....kkkkkk.....",
        "...kkwwwwwwkk...",
        "..kwwwwkwwwwwk..",
        "..kwwwwkwwwwwk..",
        ".kwwwwwkwwwwwwk.",
        ".kwwwwwkwwwwwgg.",
        ".kwwwwwkkkkkggG.",
        ".kwwwwwwwwwggGk.",
        ".kgwwwwwwwggGwk.",
        ".kggwwwwwggGwwk.",
        "..kggwwwggGwwk..",
        "..kwggwggGwwwk..",
        "...kkgggGwwkk...",
        ".....kggkkk.....",
        "................",
    ],
}


def bmp(rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows)
    width = height = 16
    row_bytes = width * 3  # 48: already a multiple of 4, no padding
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows run bottom-up
        for ch in row:
            r, g, b = PALETTE[ch]
            pixels += bytes((b, g, r))
    image_size = row_bytes * height
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + image_size, 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    return header + info + bytes(pixels)



def main():
    for face_id, rows in FACES.items():
        (ROOT / 'resources' / ('face_%d.bmp' % face_id)).write_bytes(bmp(rows))

if __name__ == '__main__':
    main()
