#!/usr/bin/env python3
"""Installs the Debian package on this machine, starts the viewer from its menu entry on a folder
under Xvfb and openbox, runs the saver from where XScreenSaver looks for display modes, then
purges the package and checks that none of its files is left. Run it as root on a machine
without the package; it never leaves the package installed.

installed.py --deb PACKAGE --out FOLDER [--first-display N]
Exits 0 when all of it worked, 1 when a check failed, 77 when a tool it needs is missing."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

import checks
import settings_files
from desktop import Desktop, Failure, tools_missing, wait_for

PACKAGE = "lumivart"
DESKTOP_ENTRY = "/usr/share/applications/org.lumivart.Lumivart.desktop"
SAVER = "/usr/libexec/xscreensaver/lumivart-saver"
SAVER_SETTINGS = "/usr/share/xscreensaver/config/lumivart-saver.xml"
PICTURE_COUNT = 5


def run(*command):
    result = subprocess.run(command, capture_output=True, text=True,
                            env={**os.environ, "DEBIAN_FRONTEND": "noninteractive"})
    if result.returncode != 0:
        raise Failure(f"{' '.join(command)} failed: {result.stderr.strip()}")
    return result.stdout


def installed():
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", PACKAGE], capture_output=True,
                            text=True)
    return "install ok installed" in result.stdout


def check_saver_where_xscreensaver_looks():
    if not os.access(SAVER, os.X_OK):
        raise Failure(f"{SAVER} is not an installed program")
    entry = ElementTree.parse(SAVER_SETTINGS).getroot()
    if entry.tag != "screensaver" or entry.get("name") != os.path.basename(SAVER):
        raise Failure(f"{SAVER_SETTINGS} does not describe {os.path.basename(SAVER)}")


def check_programs(out, first_display):
    """The viewer from its menu entry shows the folder given to it; the saver shows its pictures
    on the whole screen."""
    data = tempfile.mkdtemp(prefix="lumivart-installed-")
    home, folder = os.path.join(data, "home"), os.path.join(data, "Fotos")
    os.makedirs(home)
    os.makedirs(folder)
    pictures = checks.test_pictures(PICTURE_COUNT)
    for picture in pictures:
        picture.write(folder)
    desktop = Desktop((800, 600), first_display, home, out, out)
    try:
        # gio launch fills the entry's %f with the folder, as a file manager's "Open with" does.
        desktop.start(["gio", "launch", DESKTOP_ENTRY, folder], data, "gio")
        viewer = desktop.wait_window(PACKAGE, rf"Lumi Vart \[{PICTURE_COUNT}\]")
        desktop.shot("installed-viewer")
        desktop.activate(viewer)
        desktop.key("alt+c")
        desktop.wait_no_window(PACKAGE, r"Lumi Vart \[.*\]")

        settings_files.write_exchange(home, folder, 2, "*.bmp", 0)
        saver = desktop.start([SAVER, "--root"], data, "saver")
        whole = (0, 0) + desktop.size
        desktop.wait_shot("the saver's first picture on the whole screen", lambda shot: any(
            not checks.picture_problems(shot, whole, p.colours) for p in pictures))
        desktop.shot("installed-saver")
        if saver.poll() is not None:
            raise Failure(f"the saver ended with status {saver.returncode}")
    finally:
        desktop.close()
        shutil.rmtree(data, ignore_errors=True)


def check_purged(files):
    """No file or link of the package is left; a folder is left only while another package
    owns it."""
    for path in files:
        if os.path.islink(path) or os.path.isfile(path):
            raise Failure(f"{path} is left after the purge")
        if os.path.isdir(path) and subprocess.run(["dpkg-query", "-S", path],
                                                  capture_output=True).returncode != 0:
            raise Failure(f"the folder {path} is left after the purge")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--deb", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--first-display", type=int, default=90)
    args = parser.parse_args()
    missing = tools_missing() + [tool for tool in ("apt-get", "gio") if not shutil.which(tool)]
    if missing:
        print(f"installed: missing {', '.join(missing)}; scripts/setup.sh installs them")
        return 77
    if os.geteuid() != 0:
        print("installed: run as root (it installs and purges the package)")
        return 77
    if installed():
        print(f"installed: {PACKAGE} is installed already; purge it first")
        return 1
    os.makedirs(args.out, exist_ok=True)
    try:
        run("apt-get", "install", "-y", "-qq", os.path.abspath(args.deb))
        files = [path for path in run("dpkg-query", "-L", PACKAGE).splitlines() if path != "/."]
        check_saver_where_xscreensaver_looks()
        check_programs(args.out, args.first_display)
    except Failure as failure:
        print(f"installed: {failure}")
        return 1
    finally:
        if installed():
            run("apt-get", "purge", "-y", "-qq", PACKAGE)
    try:
        check_purged(files)
    except Failure as failure:
        print(f"installed: {failure}")
        return 1
    print(f"installed: {len(files)} paths installed, the viewer and the saver ran, all removed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
