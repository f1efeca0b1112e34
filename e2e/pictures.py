"""Pictures for the end-to-end suite: BMP files made for the test folder, and screenshots read
from PPM and kept as PNG, with only the standard library."""

import struct
import zlib


def bmp(width, height, colour_at):
    """A 24-bit Windows bitmap; colour_at(x, y) gives (r, g, b) with y = 0 the top row."""
    row_size = (width * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in range(height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(width):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        rows += row + bytes(row_size - len(row))
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(rows), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 3780, 3780,
                              0, 0)
    return file_header + info_header + bytes(rows)


def quadrants(width, height, colours):
    """A bitmap of four coloured quadrants: top left, top right, bottom left, bottom right."""
    top_left, top_right, bottom_left, bottom_right = colours

    def colour_at(x, y):
        if y < height // 2:
            return top_left if x < width // 2 else top_right
        return bottom_left if x < width // 2 else bottom_right

    return bmp(width, height, colour_at)


class Shot:
    """A screenshot: its size and RGB pixels."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    @staticmethod
    def from_ppm(data):
        # P6, width, height, 255, one blank, then the pixels; comments do not occur in import's
        # output.
        fields = data.split(maxsplit=4)
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not a binary PPM of 8-bit samples")
        width, height = int(fields[1]), int(fields[2])
        pixels = fields[4][: width * height * 3]
        if len(pixels) != width * height * 3:
            raise ValueError("PPM shorter than its size")
        return Shot(width, height, pixels)

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])

    def bounds_of(self, colour, area=None):
        """The smallest rectangle (left, top, right, bottom; right and bottom exclusive) holding
        every pixel of the colour inside the area, or None."""
        left0, top0, right0, bottom0 = area or (0, 0, self.width, self.height)
        wanted = bytes(colour)
        found = None
        for y in range(max(top0, 0), min(bottom0, self.height)):
            start = (y * self.width + max(left0, 0)) * 3
            row = self.pixels[start : (y * self.width + min(right0, self.width)) * 3]
            first = _find_pixel(row, wanted, 0)
            if first < 0:
                continue
            last = first
            while True:
                nxt = _find_pixel(row, wanted, last + 1)
                if nxt < 0:
                    break
                last = nxt
            x0 = max(left0, 0) + first
            x1 = max(left0, 0) + last + 1
            if found is None:
                found = [x0, y, x1, y + 1]
            else:
                found = [min(found[0], x0), found[1], max(found[2], x1), y + 1]
        return tuple(found) if found else None

    def crop(self, area):
        """The pixels of the area (left, top, right, bottom), row after row."""
        left, top, right, bottom = area
        return b"".join(self.pixels[(y * self.width + left) * 3 : (y * self.width + right) * 3]
                        for y in range(top, bottom))

    def png(self):
        raw = b"".join(b"\x00" + self.pixels[y * self.width * 3 : (y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def _find_pixel(row, wanted, from_pixel):
    """Index of the first pixel equal to wanted at or after from_pixel, -1 if none."""
    i = row.find(wanted, from_pixel * 3)
    while i >= 0 and i % 3:
        i = row.find(wanted, i + 1)
    return -1 if i < 0 else i // 3
