"""A desktop for the end-to-end suite: an Xvfb display of a given size with the openbox window
manager, the programs started on it, the keyboard and the mouse driven through xdotool, and
screenshots taken with ImageMagick's import. Every wait is on a condition, with a time limit."""

import os
import re
import shutil
import subprocess
import time

from pictures import Shot

WAIT_SECONDS = 30  # generous: CI machines are busy
POLL_SECONDS = 0.1


class Failure(AssertionError):
    """A step found the programs doing something other than they must."""


def wait_for(what, condition, timeout=WAIT_SECONDS):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout} s for {what}")
        time.sleep(POLL_SECONDS)


def stays(what, condition, seconds):
    """Checks that condition() holds all through a short time: for what must not happen."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not condition():
            raise Failure(f"not {what}")
        time.sleep(POLL_SECONDS)


def decode(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


class Desktop:
    """An X display of its own with a window manager, started at construction; close() ends it
    and every program started on it."""

    def __init__(self, size, first_display, home, shots, log_dir):
        self.size = size
        self.home = home
        self.shots = shots
        self.log_dir = log_dir
        self.programs = []
        self._server = None
        self._wm = None
        for number in range(first_display, first_display + 50):
            if self._start_server(number):
                break
        else:
            raise Failure(f"no free X display from :{first_display} on")
        self._wm = self._spawn(["openbox", "--sm-disable"], "openbox")
        wait_for("the window manager", self._window_manager_running)

    # ----- the display -----

    def _start_server(self, number):
        if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
            return False
        self.display = f":{number}"
        width, height = self.size
        self._server = self._spawn(["Xvfb", self.display, "-screen", "0", f"{width}x{height}x24",
                                    "-dpi", "96", "-nolisten", "tcp", "-noreset"], "xvfb")
        try:
            wait_for(f"Xvfb on {self.display}",
                     lambda: self._server.poll() is not None or self._answers(), 10)
        except Failure:
            self._server.kill()
            return False
        if self._server.poll() is not None:  # another server took the number first
            return False
        return True

    def _answers(self):
        return self._run(["xprop", "-root", "_NET_SUPPORTED"], check=False).returncode == 0

    def _window_manager_running(self):
        out = self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout
        return b"window id" in out

    def environment(self):
        env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(DISPLAY=self.display, HOME=self.home,
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8", QT_QPA_PLATFORM="xcb")
        for variable in ("windir", "winbootdir", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(variable, None)
        return env

    def _spawn(self, command, log_name, cwd=None):
        log = open(os.path.join(self.log_dir, log_name + ".log"), "ab")
        return subprocess.Popen(command, cwd=cwd, env=self.environment() if self._server else
                                {**os.environ, "DISPLAY": ""}, stdout=log, stderr=log,
                                stdin=subprocess.DEVNULL)

    def _run(self, command, check=True):
        result = subprocess.run(command, env={**os.environ, "DISPLAY": self.display},
                                capture_output=True, timeout=60)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {decode(result.stderr).strip()}")
        return result

    def start(self, command, cwd, log_name):
        program = self._spawn(command, log_name, cwd)
        self.programs.append(program)
        return program

    def close(self):
        for process in reversed(self.programs + [self._wm, self._server]):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    # ----- windows -----

    def windows(self, classname):
        result = self._run(["xdotool", "search", "--onlyvisible", "--classname",
                            f"^{re.escape(classname)}$"], check=False)
        return [int(w) for w in result.stdout.split()]

    def name(self, window):
        result = self._run(["xdotool", "getwindowname", str(window)], check=False)
        return decode(result.stdout).rstrip("\n") if result.returncode == 0 else None

    def find_window(self, classname, title):
        """A visible window of the program whose whole title matches the regular expression."""
        for window in self.windows(classname):
            name = self.name(window)
            if name is not None and re.fullmatch(title, name):
                return window
        return None

    def wait_window(self, classname, title, timeout=WAIT_SECONDS):
        return wait_for(f"a window titled /{title}/",
                        lambda: self.find_window(classname, title), timeout)

    def wait_no_window(self, classname, title, timeout=WAIT_SECONDS):
        wait_for(f"no window titled /{title}/",
                 lambda: self.find_window(classname, title) is None, timeout)

    def geometry(self, window):
        """(left, top, width, height) of the window's inside on the screen."""
        out = decode(self._run(["xwininfo", "-id", str(window)]).stdout)
        value = {key: int(re.search(rf"{key}:\s+(-?\d+)", out).group(1))
                 for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
        return (value["Absolute upper-left X"], value["Absolute upper-left Y"], value["Width"],
                value["Height"])

    def states(self, window):
        return decode(self._run(["xprop", "-id", str(window), "_NET_WM_STATE"]).stdout)

    def activate(self, window):
        self._run(["xdotool", "windowactivate", "--sync", str(window)], check=False)

    # ----- keyboard and mouse -----

    def key(self, *keys):
        self._run(["xdotool", "key", "--delay", "60", *keys])

    def type(self, text):
        self._run(["xdotool", "type", "--delay", "40", text])

    # The server takes the pointer's move before the click that follows it. (No --sync: it waits
    # for a move that does not come when the pointer is already there.)
    def click(self, x, y, button=1, repeat=1):
        self._run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat),
                   "--delay", "80", str(button)])

    def move(self, x, y):
        self._run(["xdotool", "mousemove", str(x), str(y)])

    # ----- screenshots -----

    def shot(self, keep_as=None):
        """The whole screen now; kept as shots/<keep_as>.png when named."""
        data = self._run(["import", "-window", "root", "-depth", "8", "ppm:-"]).stdout
        shot = Shot.from_ppm(data)
        if keep_as:
            with open(os.path.join(self.shots, keep_as + ".png"), "wb") as file:
                file.write(shot.png())
        return shot

    def wait_shot(self, what, condition, timeout=WAIT_SECONDS):
        """The first screenshot for which condition(shot) holds."""

        def attempt():
            shot = self.shot()
            return shot if condition(shot) else None

        return wait_for(what, attempt, timeout)


def tools_missing():
    return [tool for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import")
            if shutil.which(tool) is None]
