"""Where things must be on the screen, from the layout rules in twips (1/1440 inch): the thumbnail
grid of a screen class and the zoom view. Pixels are twips / 15 at 96 dpi, each edge rounded to
the nearest pixel."""

import math
import struct

TWIPS_PER_PIXEL = 15  # the suite's displays run at 96 dpi

# Per screen class: the grid area's right and bottom limits and the widest zoom view.
CLASS_LIMITS = {1: (8865, 6475, 7450), 2: (11815, 8275, 9500), 3: (15565, 10960, 13000)}
GRID_LEFT = 2400
COLUMN_SHIFT = 300
GRID_TOP = 75


def pixels(twips):
    return int(math.floor(twips / TWIPS_PER_PIXEL + 0.5))


def pixel_rect(left, top, width, height):
    """(left, top, right, bottom) in pixels, right and bottom exclusive."""
    return (pixels(left), pixels(top), pixels(left + width), pixels(top + height))


def screen_class(width, height):
    return {(640, 480): 1, (1024, 768): 3}.get((width, height), 2)


class Thumbs:
    """Thumbnail sizes and gaps of the settings, in twips."""

    def __init__(self, height=500, width=500, spacing_h=420, spacing_v=380):
        self.height = height
        self.width = width
        self.spacing_h = spacing_h
        self.spacing_v = spacing_v


def grid_cells(thumbs, klass):
    """The image rectangles of the cells in twips (left, top, width, height), row by row."""
    right, bottom, _ = CLASS_LIMITS[klass]
    columns = math.floor((right - GRID_LEFT) / (thumbs.width + thumbs.spacing_h))
    rows = math.floor((bottom - GRID_TOP) / (thumbs.height + thumbs.spacing_v))
    return [(GRID_LEFT + c * (thumbs.width + thumbs.spacing_h) + COLUMN_SHIFT,
             GRID_TOP + r * (thumbs.height + thumbs.spacing_v), thumbs.width, thumbs.height)
            for r in range(rows) for c in range(columns)]


def zoom_view(picture_size, zoom_divisor, klass, screen_pixels):
    """The zoom view's rectangle in twips for a picture of the given natural size."""
    screen_w = screen_pixels[0] * TWIPS_PER_PIXEL
    screen_h = screen_pixels[1] * TWIPS_PER_PIXEL
    max_width = CLASS_LIMITS[klass][2]
    zoom_height = screen_w / zoom_divisor
    # The ratio in single precision.
    ratio = struct.unpack("f", struct.pack("f", picture_size[0] / picture_size[1]))[0]
    width, height = ratio * zoom_height, zoom_height
    if width > max_width:
        k = max_width * zoom_height / width
        width, height = ratio * k, k
    return ((screen_w - width) / 2 + 1025, (screen_h - height) / 2.8, width, height)
