#!/usr/bin/env python3
"""The end-to-end suite: starts the real viewer and screen saver on an X display of their own with
a window manager, and drives them as a person would, with keys and the mouse, along the road a
person takes: first start, navigation, a page of thumbnails at 640 x 480, 800 x 600 and
1024 x 768 (there opened on a picture named on the command line), preview and zoom, full screen
and the slide keys, copy and rename, file properties, the about box, Close, the screen saver ended
through its password prompt, and the preferences opened through it. Every step keeps a
screenshot in the shots folder. Places on the screen are checked against the layout in twips.

road.py --viewer PROGRAM --saver PROGRAM --out FOLDER [--first-display N] [--keep]
Exits 0 when every step passed, 1 at the first step that failed (its screenshot is kept as
failed-<step>.png), 77 when a tool it needs is missing."""

import argparse
import os
import re
import shutil
import sys
import tempfile
import time
import traceback

import checks
import geometry
import settings_files
from checks import on_screen, wait_picture
from desktop import Desktop, Failure, stays, tools_missing, wait_for

VIEWER = "lumivart"
SAVER = "lumivart-saver"
PICTURE_COUNT = 20
SUBFOLDER = "Viaje"  # holds the project's sample pictures, one of every format
SAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "samples")
PASSWORD = "clave"
PROMPT = r"Ingrese Contrase.a\.\.\."
PREFERENCES = "Preferencias"
ALL_PICTURES = "*.ico;*.bmp;*.wmf;*.rle;*.dib;*.jpg;*.dlb;*.jpeg;*.gif;*.emf;*.cur;*.dps"
# "Formato Medio", one place below the small format that the default sizes show, and its
# thumbnail height, width, caption width, horizontal and vertical spacing.
MEDIUM_FORMAT = 1
MEDIUM = (1430, 1338, 1299, 254, 688)
# The fill of the copy dialog's success badge (status icon 104).
SUCCESS_BADGE = (40, 150, 60)


def natural_order(name):
    """The file list's order: letter case ignored, runs of digits by their value."""
    return [int(part) if part.isdigit() else part.lower() for part in re.split(r"(\d+)", name)]


def title(text):
    """The regular expression of a main-window title with this text in brackets."""
    return r"Lumi Vart \[" + text.replace(".", r"\.") + r"\]"


class Road:
    def __init__(self, args):
        self.viewer = os.path.abspath(args.viewer)
        self.saver = os.path.abspath(args.saver)
        self.first_display = args.first_display
        self.shots = os.path.join(args.out, "shots")
        self.logs = os.path.join(args.out, "logs")
        for folder in (self.shots, self.logs):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        # Pictures and settings live in a short path of their own, so the folder list shows
        # every level without a vertical scroll bar.
        self.data = tempfile.mkdtemp(prefix="lumivart-e2e-")
        self.home = os.path.join(self.data, "home")
        self.fotos = os.path.join(self.data, "Fotos")
        os.makedirs(os.path.join(self.fotos, SUBFOLDER))
        os.makedirs(self.home)
        self.pictures = checks.test_pictures(PICTURE_COUNT)
        for picture in self.pictures:
            picture.write(self.fotos)
        self.wide = self.pictures[-1]
        self.samples = sorted(os.listdir(SAMPLES), key=natural_order)
        for name in self.samples:
            shutil.copy(os.path.join(SAMPLES, name), os.path.join(self.fotos, SUBFOLDER))
        with open(os.path.join(self.fotos, "notas.txt"), "w") as file:
            file.write("not a picture\n")
        self.desktop = None
        self.program = None
        self.menu_bar = None
        self.shot_number = 0

    # ----- helpers -----

    def listed(self):
        """The pictures of the folder in the file list's order (letter case ignored, numbers by
        value), each known by its content, under its present name."""
        by_content = {picture.bytes(): picture for picture in self.pictures}
        found = []
        for name in os.listdir(self.fotos):
            path = os.path.join(self.fotos, name)
            if name.lower().endswith(".bmp") and os.path.isfile(path):
                with open(path, "rb") as file:
                    known = by_content.get(file.read())
                if known:
                    found.append(checks.TestPicture(name, known.size, known.colours[0]))
        return sorted(found, key=lambda picture: natural_order(picture.name))

    def keep(self, name):
        self.shot_number += 1
        return self.desktop.shot(f"{self.shot_number:02}-{name}")

    def open_desktop(self, size):
        self.close_desktop()
        self.desktop = Desktop(size, self.first_display, self.home, self.shots, self.logs)
        self.klass = geometry.screen_class(*size)

    def close_desktop(self):
        if self.desktop:
            self.desktop.close()
        self.desktop = None

    def start_viewer(self, expected_title, arguments=()):
        """Starts the viewer in the pictures folder and waits for its main window. The client
        area's place is found from the first screenshot with nothing selected; the menu bar
        above it keeps its height on every screen."""
        self.program = self.desktop.start([self.viewer, *arguments], self.fotos, VIEWER)
        self.window = self.desktop.wait_window(VIEWER, expected_title)

        def maximised():
            place = self.desktop.geometry(self.window)
            return place if place[2] == self.desktop.size[0] else None

        place = wait_for("the main window maximised", maximised)
        if self.menu_bar is None:
            origin = checks.client_origin(self.desktop.shot(), place, self.klass)
            self.menu_bar = origin[1] - place[1]
        self.origin = (place[0], place[1] + self.menu_bar)

    def on_screen(self, twips_rect):
        return on_screen(self.origin, twips_rect)

    def cell(self, index, thumbs=None):
        return self.on_screen(geometry.grid_cells(thumbs or geometry.Thumbs(), self.klass)[index])

    def centre(self, rect):
        return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)

    def select_first_file(self, name=None):
        list_top = self.origin[1] + checks.file_list_top(self.klass)
        self.desktop.click(self.origin[0] + 30, list_top + 9)
        self.desktop.wait_window(VIEWER, title(name or self.listed()[0].name))

    def check_page(self, thumbs=None, first=0):
        """The listed pictures from the first one on fill the cells in order, each drawn exactly
        in its cell, and the cells after them that lie on the screen show no picture. A page may
        be filled cell by cell after the window shows it, so this waits for the whole of it."""
        cells = [self.on_screen(cell)
                 for cell in geometry.grid_cells(thumbs or geometry.Thumbs(), self.klass)]
        shown = self.listed()[first:first + len(cells)]
        top_lefts = {picture.colours[0] for picture in self.pictures}

        def problems(shot):
            found = []
            for index, picture in enumerate(shown):
                found += checks.placement_problems(shot, cells[index], picture.colours,
                                                   f"thumbnail {index} ({picture.name})")
            for index in range(len(shown), len(cells)):
                left, top, right, bottom = cells[index]
                quarter = ((3 * left + right) // 4, (3 * top + bottom) // 4)
                three_quarters = ((left + 3 * right) // 4, (top + 3 * bottom) // 4)
                if (checks.pixel(shot, *quarter) in top_lefts or
                        checks.pixel(shot, *three_quarters) == checks.BOTTOM_RIGHT):
                    found.append(f"cell {index} shows a picture; the page has {len(shown)}")
            return found

        return checks.wait_clean(self.desktop, problems, f"a page of {len(shown)} thumbnails")

    def choose_from_popup(self, what, point, button, item):
        """Clicks at point, waits for the popup that opens and chooses the item that many places
        down from where its highlight starts (separators are not counted)."""
        before = set(self.desktop.windows(VIEWER))
        self.desktop.click(*point, button=button)
        wait_for(what, lambda: set(self.desktop.windows(VIEWER)) - before)
        self.desktop.key(*(["Down"] * item), "Return")

    def open_picture_menu(self, cell, item):
        self.choose_from_popup("the picture menu", self.centre(self.cell(cell)), 3, item)

    def protect_with_password(self, pattern):
        """Switches protection on as the preferences would have: the password in the stored
        record, the switch in the exchange file."""
        record = settings_files.read_record(self.home)
        record[settings_files.PASSWORD_FIELD] = PASSWORD
        settings_files.write_record(self.home, record)
        settings_files.write_exchange(self.home, self.fotos, 2, pattern, 1)

    def type_password(self, classname, wrong_stays):
        """In the open password prompt: a wrong password, which must leave the prompt open (and
        wrong_stays() true), then the right one."""
        d = self.desktop
        d.type("mala")
        d.key("Return")
        self.keep(f"{classname}-password-prompt")
        stays("the prompt open after a wrong password",
              lambda: wrong_stays() and d.find_window(classname, PROMPT), 2)
        d.key("ctrl+a")
        d.type(PASSWORD)
        d.key("Return")

    def zoom_rect(self, picture, divisor):
        return self.on_screen(geometry.zoom_view(picture.size, divisor, self.klass,
                                                 self.desktop.size))

    # ----- the road -----

    def first_start(self):
        self.open_desktop((800, 600))
        self.start_viewer(title(str(len(self.listed()))))
        states = self.desktop.states(self.window)
        if "MAXIMIZED_VERT" not in states or "MAXIMIZED_HORZ" not in states:
            raise Failure(f"the main window does not open maximised: {states}")
        self.keep("first-start")
        if settings_files.read_record(self.home) is not None:
            raise Failure("a first start stored settings before Close")

    def open_neighbour_folder(self, key):
        """Opens the folder above or below the marked one in the folder list (top 465, height
        2565 twips at this size), with the keys."""
        d = self.desktop
        x = self.origin[0] + 130
        top, bottom = (self.origin[1] + geometry.pixels(t) for t in (465, 465 + 2565))
        shot = d.shot()
        marked = next((y for y in range(top, bottom) if shot.at(x, y) != checks.WHITE), None)
        if marked is None:
            raise Failure("the folder list marks no folder")
        end = next(y for y in range(marked, bottom) if shot.at(x, y) == checks.WHITE)
        d.click(x, (marked + end) // 2)
        d.key(key, "Return")

    def navigation(self):
        d = self.desktop
        # The subfolder holds the sample pictures: its page and a preview are the README's.
        self.open_neighbour_folder("Down")
        d.wait_window(VIEWER, title(str(len(self.samples))))
        before = d.shot()
        self.select_first_file(self.samples[0])
        cell = self.cell(0)
        d.wait_shot("the first sample's thumbnail", lambda s: s.crop(cell) != before.crop(cell))
        self.keep("sample-page")
        before = d.shot()
        d.click(*self.centre(cell))
        x, y = self.centre(self.zoom_rect(checks.TestPicture("", (4, 3), None), 2))
        middle = (x - 20, y - 20, x + 20, y + 20)
        d.wait_shot("the preview", lambda s: s.crop(middle) != before.crop(middle))
        self.keep("sample-preview")
        d.key("Escape")
        self.open_neighbour_folder("Up")
        d.wait_window(VIEWER, title(str(PICTURE_COUNT)))
        # A typed pattern applies at each keystroke.
        pattern_box = self.on_screen((1, 3075, 2100, 300))
        d.click(pattern_box[0] + 40, self.centre(pattern_box)[1])
        d.key("ctrl+a")
        d.type("*.txt")
        d.wait_window(VIEWER, title("1"))
        self.keep("typed-pattern")
        d.key("ctrl+a")
        d.type("Todos los Formatos")
        d.wait_window(VIEWER, title(str(PICTURE_COUNT)))

    def page(self):
        self.select_first_file()
        self.check_page()
        self.keep(f"page-{self.desktop.size[0]}x{self.desktop.size[1]}")

    def preview_and_zoom(self):
        d = self.desktop
        picture = self.pictures[3]
        d.click(*self.centre(self.cell(3)))
        wait_picture(d, self.zoom_rect(picture, 2), picture.colours, "the preview")
        self.keep("preview")
        d.move(*self.centre(self.zoom_rect(picture, 2)))
        d.wait_window(VIEWER, title(picture.name))
        # Any other button than the left one reduces the view one step.
        d.click(*self.centre(self.zoom_rect(picture, 2)), button=3)
        wait_picture(d, self.zoom_rect(picture, 3), picture.colours, "the reduced preview")
        self.keep("preview-reduced")
        # Zoom mode shows More Zoom (F7), which enlarges it again.
        d.key("F6", "F7")
        wait_picture(d, self.zoom_rect(picture, 2), picture.colours, "the enlarged preview")
        d.key("F6")
        d.click(*self.centre(self.zoom_rect(picture, 2)), repeat=2)
        wait_picture(d, self.cell(3), picture.colours, "the thumbnail under the hidden preview")
        # A picture four times as wide as tall is held to the widest zoom view.
        wide = self.wide
        d.click(*self.centre(self.cell([p.name for p in self.listed()].index(wide.name))))
        wait_picture(d, self.zoom_rect(wide, 2), wide.colours, "the wide preview")
        self.keep("preview-wide")
        d.key("Escape")
        wait_picture(d, self.cell(3), picture.colours, "the page after Escape")

    def full_screen_and_slides(self):
        d = self.desktop
        whole = (0, 0) + d.size
        d.activate(self.window)
        d.key("F3")
        wait_picture(d, whole, self.pictures[0].colours, "the selected picture full screen")
        self.keep("full-screen")
        d.key("space")
        wait_picture(d, whole, self.pictures[1].colours, "the next picture")
        d.key("a")
        wait_picture(d, whole, self.pictures[0].colours, "the previous picture")
        d.key("End")
        wait_picture(d, whole, self.pictures[-1].colours, "the last picture")
        d.key("Escape")
        wait_picture(d, self.cell(0), self.pictures[0].colours, "the page after full screen")
        # The slide show steps by itself (every 2 s before any delay was chosen).
        d.key("F4")
        wait_picture(d, whole, self.pictures[0].colours, "the slide show's first picture")
        wait_picture(d, whole, self.pictures[1].colours, "the slide show's next picture", 15)
        self.keep("slide-show")
        d.key("d", "Escape")
        wait_picture(d, self.cell(0), self.pictures[0].colours, "the page after the slides")

    def copy_and_rename(self):
        d = self.desktop
        source = self.pictures[1]
        self.open_picture_menu(1, 3)
        dialog = d.wait_window(VIEWER, r"Copiar a\.\.\.")
        d.key("Tab", "ctrl+a")
        d.type("copia.bmp")
        d.key("alt+c")
        copy = os.path.join(self.fotos, "copia.bmp")
        wait_for("the copy", lambda: os.path.exists(copy) and
                 open(copy, "rb").read() == open(os.path.join(self.fotos, source.name), "rb").read())
        # The copy runs beside the window's thread: its file is in place a moment before the
        # dialog shows the success and its button turns into the close button.
        left, top, width, height = d.geometry(dialog)
        d.wait_shot("the copy's success in the dialog", lambda shot: shot.bounds_of(
            SUCCESS_BADGE, (left, top, left + width, top + height)))
        self.keep("copied")
        d.key("alt+c")  # the button now closes the dialog
        d.wait_window(VIEWER, title(str(PICTURE_COUNT + 1)))

        renamed = self.pictures[2]
        self.open_picture_menu(2, 4)
        d.wait_window(VIEWER, r"Renombrar\.\.\.")
        d.type("renombrada.bmp")
        d.key("alt+r")
        wait_for("the rename", lambda: os.path.exists(os.path.join(self.fotos, "renombrada.bmp"))
                 and not os.path.exists(os.path.join(self.fotos, renamed.name)))
        self.keep("renamed")
        d.key("Escape")
        d.wait_no_window(VIEWER, r"Renombrar\.\.\.")

    def properties(self):
        self.open_picture_menu(0, 5)
        self.desktop.wait_window(VIEWER, r"Informaci.n de Archivo\.\.\.")
        self.keep("properties")
        self.desktop.key("Return")
        self.desktop.wait_no_window(VIEWER, r"Informaci.n de Archivo\.\.\.")

    def about_box(self):
        d = self.desktop
        d.activate(self.window)
        d.key("alt+u")
        d.key("Down", "Return")
        box = d.wait_window(VIEWER, "Acerca de Lumi Vart")
        left, top, width, height = d.geometry(box)
        shot = self.keep("about-box")
        if shot.at(left + width - 10, top + 10) != checks.WHITE:
            raise Failure("the about box is not white")
        # The icon in its top-left corner blinks.
        corner = (left, top, left + width // 4, top + height // 3)
        first = shot.crop(corner)
        d.wait_shot("the about box's icon to blink", lambda s: s.crop(corner) != first)
        d.key("Return")
        d.wait_no_window(VIEWER, "Acerca de Lumi Vart")

    def close_saves(self):
        self.desktop.activate(self.window)
        self.desktop.key("alt+c")
        wait_for("the viewer to end", lambda: self.program.poll() is not None)
        if self.program.returncode != 0:
            raise Failure(f"the viewer ended with status {self.program.returncode}")
        record = settings_files.read_record(self.home)
        if record is None or record[0] != self.fotos:
            raise Failure(f"Close stored {record}, not the folder {self.fotos}")
        exchange = settings_files.read_exchange(self.home)
        if exchange.get("ImagePath") != self.fotos:
            raise Failure(f"Close handed the saver {exchange}, not the folder {self.fotos}")

    def page_at_640x480(self):
        self.open_desktop((640, 480))
        self.start_viewer(title(str(len(self.listed()))))
        self.select_first_file()
        self.check_page()
        self.keep("page-640x480")

    def picture_from_the_command_line_at_1024x768(self):
        # Started as a file manager starts it on a picture: the picture's folder, the picture
        # selected and its page filled.
        names = [picture.name for picture in self.listed()]
        self.open_desktop((1024, 768))
        self.start_viewer(title("p05.bmp"), [os.path.join(self.fotos, "p05.bmp")])
        self.check_page(first=names.index("p05.bmp"))
        self.keep("page-1024x768-from-command-line")

    def saver_through_prompt(self):
        self.open_desktop((800, 600))
        self.protect_with_password("p*.bmp")
        d = self.desktop
        saver = d.start([self.saver], self.data, SAVER)
        whole = (0, 0) + d.size
        d.wait_shot("a picture on the whole screen", lambda s: any(
            not checks.picture_problems(s, whole, p.colours) for p in self.pictures))
        self.keep("saver")
        # Escape in the prompt goes back to the slides.
        d.key("Escape")
        d.wait_window(SAVER, PROMPT)
        d.key("Escape")
        d.wait_no_window(SAVER, PROMPT)
        d.key("Escape")
        d.wait_window(SAVER, PROMPT)
        self.type_password(SAVER, lambda: saver.poll() is None)
        wait_for("the saver to end", lambda: saver.poll() is not None)
        if saver.returncode != 0:
            raise Failure(f"the saver ended with status {saver.returncode}")
        if settings_files.read_record(self.home)[settings_files.PASSWORD_FIELD] != PASSWORD:
            raise Failure("the saver did not store the record back")

    def preferences_through_prompt(self):
        """Alt+P asks for the password first; the medium format chosen and confirmed is stored,
        and the next page is laid out with its larger cells."""
        self.open_desktop((800, 600))
        self.protect_with_password(ALL_PICTURES)
        self.start_viewer(title(str(len(self.listed()))))
        d = self.desktop
        d.activate(self.window)
        d.key("alt+p")
        d.wait_window(VIEWER, PROMPT)
        self.type_password(VIEWER, lambda: not d.find_window(VIEWER, PREFERENCES))
        dialog = d.wait_window(VIEWER, PREFERENCES)
        left, top, _, _ = d.geometry(dialog)
        formats = checks.on_screen((left, top), (120, 3720, 1815, 315))
        self.choose_from_popup("the list of formats", self.centre(formats), 1, MEDIUM_FORMAT)
        self.keep("preferences")
        ok = checks.on_screen((left, top), (3600, 3720, 1680, 345))
        d.click(*self.centre(ok))
        d.wait_no_window(VIEWER, PREFERENCES)
        wait_for("the medium format stored", lambda: tuple(
            int(v) for v in settings_files.read_record(self.home)[settings_files.GEOMETRY_FIELDS])
            == MEDIUM)
        self.select_first_file()
        height, width, _, spacing_h, spacing_v = MEDIUM
        self.check_page(geometry.Thumbs(height, width, spacing_h, spacing_v))
        self.keep("page-medium-format")

    def steps(self):
        return [("first start", self.first_start), ("navigation", self.navigation),
                ("page at 800 x 600", self.page), ("preview and zoom", self.preview_and_zoom),
                ("full screen and slides", self.full_screen_and_slides),
                ("copy and rename", self.copy_and_rename), ("properties", self.properties),
                ("about box", self.about_box), ("close saves", self.close_saves),
                ("page at 640 x 480", self.page_at_640x480),
                ("picture from the command line, page at 1024 x 768",
                 self.picture_from_the_command_line_at_1024x768),
                ("screen saver through the prompt", self.saver_through_prompt),
                ("preferences through the prompt", self.preferences_through_prompt)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--viewer", required=True)
    parser.add_argument("--saver", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--first-display", type=int, default=90)
    parser.add_argument("--keep", action="store_true", help="keep the test folder")
    args = parser.parse_args()
    missing = tools_missing()
    if missing:
        print(f"e2e: missing {', '.join(missing)}; scripts/setup.sh installs them")
        return 77

    road = Road(args)
    passed = 0
    failed = None
    try:
        for name, step in road.steps():
            started = time.monotonic()
            try:
                step()
            except Exception:
                failed = name
                if road.desktop:
                    road.desktop.shot("failed-" + name.replace(" ", "-"))
                traceback.print_exc()
                print(f"e2e: {name} ... FAILED; screenshots and logs in {args.out}")
                break
            passed += 1
            print(f"e2e: {name} ... ok ({time.monotonic() - started:.1f} s)")
    finally:
        road.close_desktop()
        if args.keep or failed:
            print(f"e2e: the test folder is kept in {road.data}")
        else:
            shutil.rmtree(road.data, ignore_errors=True)
    print(f"e2e: {passed} passed, {1 if failed else 0} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
