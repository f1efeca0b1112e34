"""What the suite looks for on the screen: a picture of four coloured quadrants drawn exactly into
a rectangle, the client area of the main window, and the test folder's pictures."""

import os
import time

import geometry
import pictures
from desktop import WAIT_SECONDS, POLL_SECONDS, Failure

WHITE = (255, 255, 255)
# The quadrants every test picture shares besides its own top-left colour.
TOP_RIGHT = (250, 40, 200)
BOTTOM_LEFT = (30, 180, 60)
BOTTOM_RIGHT = (20, 40, 230)


class TestPicture:
    def __init__(self, name, size, top_left):
        self.name = name
        self.size = size
        self.colours = (top_left, TOP_RIGHT, BOTTOM_LEFT, BOTTOM_RIGHT)

    def bytes(self):
        return pictures.quadrants(*self.size, self.colours)

    def write(self, folder):
        with open(os.path.join(folder, self.name), "wb") as file:
            file.write(self.bytes())


def test_pictures(count):
    """count pictures named p00.bmp and on, each with a top-left colour of its own and sizes
    that vary; the last is four times as wide as tall."""
    result = []
    for i in range(count):
        size = (160, 40) if i == count - 1 else (40 + 8 * (i % 5), 30 + 6 * (i % 4))
        result.append(TestPicture(f"p{i:02}.bmp", size, (40 + 10 * i, 200 - 7 * i, 90 + 5 * i)))
    return result


def pixel(shot, x, y):
    """The colour at (x, y), or None off the screen."""
    return shot.at(x, y) if 0 <= x < shot.width and 0 <= y < shot.height else None


def picture_problems(shot, rect, colours):
    """Why the picture with these quadrant colours is not drawn exactly into rect (left, top,
    right, bottom, on the screen): the pixels at its corners must have their quadrant's colour,
    the pixels just outside them must not, and so for the middle of each quadrant."""
    left, top, right, bottom = rect
    top_left, top_right, bottom_left, bottom_right = colours
    mid_x, mid_y = (left + right) // 2, (top + bottom) // 2
    inside = [((left, top), top_left), ((right - 1, top), top_right),
              ((left, bottom - 1), bottom_left), ((right - 1, bottom - 1), bottom_right),
              (((left + mid_x) // 2, (top + mid_y) // 2), top_left),
              (((mid_x + right) // 2, (top + mid_y) // 2), top_right),
              (((left + mid_x) // 2, (mid_y + bottom) // 2), bottom_left),
              (((mid_x + right) // 2, (mid_y + bottom) // 2), bottom_right)]
    outside = [((left - 1, top), top_left), ((left, top - 1), top_left),
               ((right, top), top_right), ((right - 1, top - 1), top_right),
               ((left - 1, bottom - 1), bottom_left), ((left, bottom), bottom_left),
               ((right, bottom - 1), bottom_right), ((right - 1, bottom), bottom_right)]
    problems = [f"({x}, {y}) is {pixel(shot, x, y) or 'off screen'}, not {colour}"
                for (x, y), colour in inside if pixel(shot, x, y) != colour]
    problems += [f"({x}, {y}) outside it has its colour {colour}"
                 for (x, y), colour in outside if pixel(shot, x, y) == colour]
    return problems


def wait_clean(desktop, problems_of, what, timeout=WAIT_SECONDS):
    """Waits for a screenshot in which problems_of(shot) finds nothing wrong, and returns it;
    what the last screenshot showed wrong is the failure's message."""
    deadline = time.monotonic() + timeout
    while True:
        shot = desktop.shot()
        problems = problems_of(shot)
        if not problems:
            return shot
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout} s for {what}: " + "; ".join(problems[:4]))
        time.sleep(POLL_SECONDS)


def placement_problems(shot, rect, colours, what):
    """picture_problems, told with the picture's name and where its top-left colour lies."""
    problems = picture_problems(shot, rect, colours)
    if not problems:
        return []
    return [f"{what} is not drawn at {rect} (its top-left colour spans "
            f"{shot.bounds_of(colours[0])}): " + "; ".join(problems[:4])]


def wait_picture(desktop, rect, colours, what, timeout=WAIT_SECONDS):
    """Waits until the picture is drawn exactly into rect; returns that screenshot."""
    return wait_clean(desktop, lambda shot: placement_problems(shot, rect, colours, what), what,
                      timeout)


def file_list_top(klass):
    """The top of the file list in the main window's client area, in pixels."""
    return geometry.pixels({1: 2340, 2: 3420, 3: 4560}[klass])


def client_origin(shot, window, klass):
    """The top-left pixel of the main window's client area (under its menu bar), found from the
    screenshot: the file list is the tallest white column of the left side, and its frame's top
    edge lies one pixel above its white inside."""
    left, top, width, height = window
    x = left + 100
    best = (0, None)
    run_start = None
    for y in range(top, top + height + 1):
        white = y < top + height and shot.at(x, y) == WHITE
        if white and run_start is None:
            run_start = y
        elif not white and run_start is not None:
            best = max(best, (y - run_start, run_start))
            run_start = None
    if best[1] is None:
        raise Failure("the file list cannot be found on the screen")
    return left, best[1] - 1 - file_list_top(klass)


def on_screen(origin, twips_rect):
    """A rectangle given in twips in the client area, as (left, top, right, bottom) on the
    screen."""
    left, top, right, bottom = geometry.pixel_rect(*twips_rect)
    return (origin[0] + left, origin[1] + top, origin[0] + right, origin[1] + bottom)
