"""End-to-end harness: a virtual X display, Wine prefixes, real input, screenshots.

Run with /usr/bin/python3 (Debian's, which has PIL).

    with Session() as s:                        # Xvfb + one prepared Wine prefix
        with velmora(s, "name") as v:           # a copy of it, for one scenario
            app, main = v.start()               # Velmora up to its main window
            main.click(546, 0)
            shot = s.screenshot("name")         # PIL image + saved PNG path
            v.prefix.reg_query(key, value)
                                                # left: every process of the prefix ends

Everything that touches X goes through xdotool / import / xprop, or through
a direct connection (xdirect.XDirect), with DISPLAY set to the session's
display; everything Wine goes through the prefix's own environment and the
64-bit loader named explicitly, so the user's ~/.wine is never used and a
32-bit loader installed beside it never slows the harness down.

VELMORA_E2E_EXE names the exe every suite runs (default: the x86_64 build).
"""
import copy
import io
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from PIL import Image

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCREENS_DIR = os.path.join(ROOT, "build", "e2e-screens")
SCREEN_W, SCREEN_H = 1024, 768
# Root window colour: distinct from anything a program is likely to paint, so
# a see-through pixel is recognisable.
ROOT_RGB = (0x2B, 0x8C, 0x5A)
FONT_FACE = "WenQuanYi Micro Hei"
# The program's faces, and the faces Wine draws its own message boxes and
# tooltips in, all mapped to the CJK font installed on the machine.
FONT_REPLACED = ["微软雅黑", "宋体", "Microsoft YaHei", "SimSun", "新宋体", "NSimSun",
                 "Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif"]
WINDOWS_VERSION = os.environ.get("VELMORA_E2E_WINVER", "winxp")
EXE = os.path.abspath(os.environ.get("VELMORA_E2E_EXE", os.path.join(ROOT, "build", "x86_64", "Velmora.exe")))
MAIN_CAPTION = "Velmora"


class HarnessError(Exception):
    pass


def _which(*names):
    for n in names:
        p = shutil.which(n)
        if p:
            return p
        if os.path.isabs(n) and os.access(n, os.X_OK):
            return n
    raise HarnessError("none of %s found" % (names,))


# The 64-bit loader by its own name: once wine32 is installed, the plain
# `wine` command is the 32-bit loader, which runs under emulation on these
# machines and takes over a minute for a `reg query`. wine64 hands a 32-bit
# exe to the 32-bit loader itself.
WINE = _which("/usr/lib/wine/wine64", "wine64", "wine", "wine-stable")
WINESERVER = _which("/usr/lib/wine/wineserver64", "wineserver", "wineserver-stable", "/usr/lib/wine/wineserver")
IMPORT = _which("/usr/bin/import", "import")  # /usr/local/bin/convert may be a stand-in


def ere_escape(text):
    """Escape text for xdotool's POSIX extended regex."""
    return re.sub(r"([.\[\]()*+?{}|^$\\])", r"\\\1", text)


# --- X display ---------------------------------------------------------------

class Display:
    """A private Xvfb display (1024x768x24) on a free display number."""

    def __init__(self, width=SCREEN_W, height=SCREEN_H):
        self.width, self.height = width, height
        self.proc = None
        self.name = None

    def start(self):
        rfd, wfd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(wfd)
        data = b""
        deadline = time.monotonic() + 20
        with os.fdopen(rfd, "rb", buffering=0) as r:
            while not data.endswith(b"\n") and time.monotonic() < deadline:
                chunk = r.read(16)
                if not chunk:
                    break
                data += chunk
        if not data.strip():
            self.stop()
            raise HarnessError("Xvfb did not report a display number")
        self.name = ":" + data.decode().strip()
        env = dict(os.environ, DISPLAY=self.name)
        if shutil.which("xsetroot"):
            subprocess.run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_RGB], env=env, check=False)
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None


# --- X helpers (need DISPLAY) ------------------------------------------------

class X:
    def __init__(self, display_name):
        self.env = dict(os.environ, DISPLAY=display_name)

    def run(self, *args, check=True, timeout=10):
        r = subprocess.run(list(args), env=self.env, capture_output=True, timeout=timeout)
        if check and r.returncode != 0:
            raise HarnessError("%s failed: %s" % (" ".join(args), r.stderr.decode(errors="replace").strip()))
        return r

    def search(self, caption):
        """Visible top-level windows whose caption is exactly `caption`."""
        r = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % ere_escape(caption), check=False)
        return [int(w) for w in r.stdout.split()]

    def geometry(self, wid):
        r = self.run("xdotool", "getwindowgeometry", "--shell", str(wid))
        g = dict(line.split("=", 1) for line in r.stdout.decode().split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def mousemove(self, x, y):
        # (--sync would wait forever when the pointer is already there)
        self.run("xdotool", "mousemove", str(int(x)), str(int(y)))
        time.sleep(0.02)

    def mousedown(self, button=1):
        self.run("xdotool", "mousedown", str(button))

    def mouseup(self, button=1):
        self.run("xdotool", "mouseup", str(button))

    def click(self, x, y, button=1):
        self.mousemove(x, y)
        self.run("xdotool", "click", str(button))

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def opacity(self, wid):
        """_NET_WM_WINDOW_OPACITY as 0..1, None when not set (opaque)."""
        r = self.run("xprop", "-id", str(wid), "_NET_WM_WINDOW_OPACITY", check=False)
        m = re.search(rb"=\s*(\d+)", r.stdout)
        return int(m.group(1)) / 0xFFFFFFFF if m else None

    def windows_of_pid(self, pid):
        """[(wid, caption, (x, y, w, h))] of the visible windows with _NET_WM_PID pid."""
        r = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False)
        out = []
        for wid in (int(w) for w in r.stdout.split()):
            name = self.run("xdotool", "getwindowname", str(wid), check=False).stdout.decode("utf-8", "replace").strip()
            try:
                out.append((wid, name, self.geometry(wid)))
            except HarnessError:
                pass
        return out

    def skips_taskbar(self, wid):
        r = self.run("xprop", "-id", str(wid), "_NET_WM_STATE", check=False)
        return b"_NET_WM_STATE_SKIP_TASKBAR" in r.stdout

    def capture(self):
        """What is on screen, as an RGB PIL image.

        ImageMagick's import composites the window tree itself; `xwd -root`
        on Xvfb returned black for the shaped-out (colour-key) pixels and for
        some newly mapped windows, so it is not used."""
        r = self.run(IMPORT, "-silent", "-window", "root", "ppm:-", timeout=20)
        return Image.open(io.BytesIO(r.stdout)).convert("RGB")


# --- Wine prefixes -------------------------------------------------------------

def _reg_file(entries):
    """A regedit .reg file (UTF-16LE) from {key: {name: value}}; int -> dword."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key, values in entries.items():
        lines.append("[%s]" % key)
        for name, value in values.items():
            if isinstance(value, int):
                lines.append('"%s"=dword:%08x' % (name, value))
            else:
                lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\").replace('"', '\\"')))
        lines.append("")
    return ("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le")


def wine_env(prefix_dir, display_name):
    env = dict(os.environ)
    env.update({
        # The 32-bit loader, run by QEMU user emulation, fails to map the
        # shared user data without this reservation; 64-bit Wine ignores it.
        "QEMU_RESERVED_VA": "0xffff0000",
        "WINEPREFIX": prefix_dir,
        "WINEDEBUG": "-all",
        "WINEARCH": "win64",
        # No Mono/Gecko install prompts, no .desktop/menu files written for the host.
        "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d",
        "DISPLAY": display_name,
        "LANG": env.get("VELMORA_E2E_LANG", "C.UTF-8"),
        "LC_ALL": env.get("VELMORA_E2E_LANG", "C.UTF-8"),
    })
    env.pop("WINELOADER", None)
    return env


_HIVES = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE", "HKCR": "HKEY_CLASSES_ROOT",
          "HKU": "HKEY_USERS", "HKCC": "HKEY_CURRENT_CONFIG"}


def _full_key(key):
    hive, _, rest = key.partition("\\")
    hive = _HIVES.get(hive.upper(), hive.upper())
    return (hive + "\\" + rest if rest else hive).lower()


def parse_reg_export(text, key):
    """Values of `key` (not its subkeys) from a regedit 5.00 export."""
    want = _full_key(key)
    lines, joined = text.replace("\r\n", "\n").split("\n"), []
    for line in lines:  # undo the "\" line continuations of hex values
        if joined and joined[-1].endswith("\\") and not joined[-1].rstrip().endswith('"'):
            joined[-1] = joined[-1][:-1] + line.strip()
        else:
            joined.append(line)
    values, inside = {}, False
    for line in joined:
        if line.startswith("["):
            inside = line.strip()[1:-1].lower() == want
            continue
        if not inside or not line.strip():
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line.strip())
        if not m:
            continue
        name = "" if m.group(1) == "@" else re.sub(r"\\(.)", r"\1", m.group(2))
        data = m.group(3)
        if data.startswith('"'):
            value = ("REG_SZ", re.sub(r"\\(.)", r"\1", data[1:-1]))
        elif data.startswith("dword:"):
            value = ("REG_DWORD", "0x%x" % int(data[6:], 16))
        else:
            hm = re.match(r"^hex(?:\(([0-9a-f]+)\))?:(.*)$", data, re.I)
            if not hm:
                continue
            kind = int(hm.group(1) or "3", 16)
            blob = bytes(int(b, 16) for b in hm.group(2).replace(" ", "").split(",") if b)
            if kind in (1, 2, 7):
                strings = blob.decode("utf-16-le").rstrip("\0")
                names = {1: "REG_SZ", 2: "REG_EXPAND_SZ", 7: "REG_MULTI_SZ"}
                value = (names[kind], strings.replace("\0", "\\0") if kind == 7 else strings)
            elif kind == 0xB:
                value = ("REG_QWORD", "0x%x" % int.from_bytes(blob, "little"))
            elif kind == 4:
                value = ("REG_DWORD", "0x%x" % int.from_bytes(blob, "little"))
            else:
                value = ("REG_BINARY", blob.hex().upper())
        values[name.lower()] = value
    return values


class Prefix:
    """A Wine prefix. One made with `discard` is removed when closed: a
    copy of the template is 0.7 to 1.3 GB, and a whole run makes fifty."""

    def __init__(self, path, display_name, discard=False):
        self.path = path
        self.display_name = display_name
        self.env = wine_env(path, display_name)
        self.apps = []
        self.discard = discard

    def wine(self, *args, timeout=60, check=True):
        r = subprocess.run([WINE] + list(args), env=self.env, capture_output=True, timeout=timeout)
        if check and r.returncode != 0:
            raise HarnessError("wine %s failed (%d): %s" % (" ".join(args), r.returncode,
                                                           r.stderr.decode(errors="replace").strip()[-500:]))
        return r

    def reg_add(self, key, name, value, kind="REG_SZ"):
        self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", str(value), "/f")

    def reg_delete(self, key, name):
        self.wine("reg", "delete", key, "/v", name, "/f", check=False)

    def reg_import(self, entries):
        path = os.path.join(self.path, "drive_c", "harness.reg")
        with open(path, "wb") as f:
            f.write(_reg_file(entries))
        self.wine("regedit", "/S", "C:\\harness.reg")

    def reg_query(self, key, name):
        """(type, data) of a registry value, or None if it (or its key) does not exist.

        Goes through `reg export` (a UTF-16 file) rather than `reg query`,
        whose console output turns non-ASCII names and data into '?'.
        An empty REG_SZ comes back as ("REG_SZ", ""), a DWORD as ("REG_DWORD", "0x1f")."""
        return self.reg_values(key).get(name.lower())

    def reg_values(self, key):
        """{lower-case value name: (type, data)} for the values directly under key."""
        out = os.path.join(self.path, "drive_c", "harness-export.reg")
        if os.path.exists(out):
            os.remove(out)
        r = self.wine("reg", "export", key, "C:\\harness-export.reg", "/y", check=False)
        if r.returncode != 0 or not os.path.exists(out):
            return {}
        with open(out, "rb") as f:
            raw = f.read()
        text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8", "replace")
        return parse_reg_export(text, key)

    def browser_stub(self):
        """Makes the browser Wine starts a script that notes the address it
        is given; returns the path of the file it writes."""
        opened = os.path.join(self.path, "browser-opened.txt")
        browser = os.path.join(self.path, "browser.sh")
        with open(browser, "w") as f:
            f.write('#!/bin/sh\necho "$@" >> "%s"\n' % opened)
        os.chmod(browser, 0o755)
        self.reg_add("HKCU\\Software\\Wine\\WineBrowser", "Browsers", browser)
        return opened

    def launch(self, exe, *args, cwd=None):
        """Starts exe, a host path or a Windows one (a drive or UNC path, as
        a user would start it). The working folder is the exe's own unless
        cwd (a host folder) says otherwise; a Windows path needs one."""
        app = App(self, exe, args, cwd)
        self.apps.append(app)
        return app

    def wait_server_idle(self, timeout=60):
        try:
            subprocess.run([WINESERVER, "-w"], env=self.env, timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill_server()

    def kill_server(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True, timeout=30)

    def close(self):
        for app in self.apps:
            app.kill()
        self.kill_server()
        if self.discard:
            shutil.rmtree(self.path, ignore_errors=True)

    # `with session.fresh_prefix(name) as p:` ends every process of the prefix on the way out.
    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False


def is_windows_path(path):
    r"""Whether path is a Windows one: C:\..., \\server\share\... or \\?\...."""
    return path.startswith("\\\\") or re.match(r"^[A-Za-z]:\\", path) is not None


class App:
    """One Windows process started with `wine EXE` in a prefix."""

    def __init__(self, prefix, exe, args, cwd=None):
        self.prefix = prefix
        self.x = X(prefix.display_name)
        windows = is_windows_path(exe)
        self.exe = exe if windows else os.path.abspath(exe)
        if cwd is None and windows:
            raise HarnessError("%s: a Windows path needs a working folder" % exe)
        self.started = time.monotonic()
        self.log = open(os.path.join(prefix.path, "app-%d.log" % len(prefix.apps)), "wb")
        self.proc = subprocess.Popen([WINE, self.exe] + list(args), env=prefix.env,
                                     cwd=cwd or os.path.dirname(self.exe),
                                     stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
                                     start_new_session=True)

    def alive(self):
        return self.proc.poll() is None

    def exit_code(self, timeout=0):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def wait_exit(self, timeout=10):
        return self.exit_code(timeout)

    def kill(self):
        if self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait()
        self.log.close()

    def visible_windows(self):
        return self.x.windows_of_pid(self.proc.pid)

    def find_window(self, caption):
        ids = self.x.search(caption)
        return Window(self.x, ids[-1], caption) if ids else None

    def wait_window(self, caption, timeout=30, poll=0.02):
        """The visible window with this caption; HarnessError after timeout."""
        deadline = time.monotonic() + timeout
        while True:
            w = self.find_window(caption)
            if w:
                return w
            if not self.alive():
                raise HarnessError("process exited (code %s) before window %r appeared%s" %
                                   (self.proc.returncode, caption, self.log_tail()))
            if time.monotonic() > deadline:
                raise HarnessError("no visible window %r after %.0f s" % (caption, timeout))
            time.sleep(poll)

    def log_tail(self, size=600):
        """The end of what the process wrote, as a line to append to a message."""
        try:
            with open(self.log.name, "rb") as f:
                f.seek(0, os.SEEK_END)
                f.seek(max(0, f.tell() - size))
                text = f.read().decode("utf-8", "replace").strip()
        except OSError:
            return ""
        return "; it wrote: %s" % text if text else ""

    def never_started(self):
        """Whether Wine failed to start the process at all: it ended with
        status 1 without any window of its own. Velmora never ends so: a
        failure at its start shows a message box first."""
        return not self.alive() and self.proc.returncode == 1 and not self.visible_windows()

    def wait_gone(self, caption, timeout=10, poll=0.05):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.x.search(caption):
                return True
            time.sleep(poll)
        return False


class Window:
    def __init__(self, x, wid, caption):
        self.x, self.wid, self.caption = x, wid, caption

    def geometry(self):
        return self.x.geometry(self.wid)

    def to_screen(self, x, y):
        wx, wy, _, _ = self.geometry()
        return wx + x, wy + y

    def mousemove(self, x, y):
        self.x.mousemove(*self.to_screen(x, y))

    def click(self, x, y, hover=0.0):
        """Left click at window-relative (x, y); with hover, move there first and wait."""
        sx, sy = self.to_screen(x, y)
        self.x.mousemove(sx, sy)
        if hover:
            time.sleep(hover)
        self.x.mousedown(1)
        time.sleep(0.05)
        self.x.mouseup(1)

    def drag(self, x, y, dx, dy, steps=10):
        sx, sy = self.to_screen(x, y)
        self.x.mousemove(sx, sy)
        time.sleep(0.1)
        self.x.mousedown(1)
        time.sleep(0.1)
        # A program that starts its move loop on the first WM_MOUSEMOVE anchors
        # it where that move ended: make it a 1-pixel move, then the rest.
        self.x.mousemove(sx + (1 if dx >= 0 else -1), sy)
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.x.mousemove(sx + dx * i // steps, sy + dy * i // steps)
            time.sleep(0.03)
        time.sleep(0.1)
        self.x.mouseup(1)

    def wait_at(self, want, timeout=3, tolerance=3):
        """The geometry once the window is at `want` (x, y), or when time is up."""
        deadline = time.monotonic() + timeout
        while True:
            g = self.geometry()
            if (abs(g[0] - want[0]) <= tolerance and abs(g[1] - want[1]) <= tolerance) or \
                    time.monotonic() > deadline:
                return g
            time.sleep(0.1)

    def skips_taskbar(self):
        return self.x.skips_taskbar(self.wid)

    def opacity(self):
        return self.x.opacity(self.wid)

    def visible(self):
        return self.wid in self.x.search(self.caption)


# --- session -------------------------------------------------------------------

def _make_template(path, display_name, emulate):
    """wineboot -i in a new prefix, then the fonts, version and crash-dialog
    settings. Without `emulate` every 32-bit start is refused at once, so
    the prefix is made in seconds and holds no working 32-bit half."""
    os.makedirs(path)
    env = wine_env(path, display_name)
    if not emulate:
        env["QEMU_RESERVED_VA"] = "0x100000"
    r = subprocess.run([WINE, "wineboot", "-i"], env=env, capture_output=True, timeout=900)
    if r.returncode != 0:
        raise HarnessError("wineboot -i failed: %s" % r.stderr.decode(errors="replace")[-500:])
    p = Prefix(path, display_name)
    p.reg_add("HKCU\\Software\\Wine", "Version", WINDOWS_VERSION)
    p.reg_import({
        "HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements": {f: FONT_FACE for f in FONT_REPLACED},
        "HKEY_CURRENT_USER\\Software\\Wine\\WineDbg": {"ShowCrashDialog": 0},
        # Without a window manager on the virtual display, managed windows
        # wait a second for every hide and cannot be dragged.
        "HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver": {"Managed": "N"},
        "HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides": {"winemenubuilder.exe": ""},
        # A caret that does not blink: a screen whose text box has the focus
        # looks the same in every screenshot.
        "HKEY_CURRENT_USER\\Control Panel\\Desktop": {"CursorBlinkRate": "-1"},
    })
    p.wait_server_idle(60)  # registry written to disk before copying
    got = p.reg_query("HKCU\\Software\\Wine\\Fonts\\Replacements", "宋体")
    p.wait_server_idle(60)
    if not got or got[1] != FONT_FACE:
        raise HarnessError("font replacement not stored in the prefix: %r" % (got,))
    return path


class Session:
    """Xvfb + a Wine prefix prepared once; fresh copies of it per scenario.

    Two templates: the 64-bit one every suite uses, made in seconds because
    its 32-bit half is refused (a tiny QEMU address space makes every 32-bit
    start fail at once), and, on request, one with the 32-bit half for the
    i686 exe, whose making runs 32-bit setup programs under emulation for
    about three minutes: it is begun in the background on a second display
    while the other suites run, and waited for when first needed."""

    def __init__(self, keep=False):
        self.keep = keep or bool(os.environ.get("VELMORA_E2E_KEEP"))
        self.tmp = None
        self.display = None
        self.x = None
        self.template = None
        self._count = [0]
        self._template_error = None
        self._second = None
        self._i686 = None  # (thread, result dict)

    def __enter__(self):
        self.tmp = tempfile.mkdtemp(prefix="velmora-e2e-")
        self.display = Display().start()
        self.x = X(self.display.name)
        os.makedirs(SCREENS_DIR, exist_ok=True)
        return self

    def __exit__(self, *exc):
        if self._i686:
            self._i686[0].join()
        for display in (self._second, self.display):
            if display:
                display.stop()
        if self.tmp and not self.keep:
            shutil.rmtree(self.tmp, ignore_errors=True)
        return False

    def prepare_template(self):
        """The 64-bit template: wineboot -i once, then the fonts, version and crash-dialog settings."""
        if self.template:
            return self.template
        if self._template_error:
            raise HarnessError("wine prefix could not be prepared: %s" % self._template_error)
        try:
            t0 = time.monotonic()
            self.template = _make_template(os.path.join(self.tmp, "template"), self.display.name, emulate=False)
            print("e2e: wine prefix ready in %.1f s (%s)" % (time.monotonic() - t0, WINDOWS_VERSION), flush=True)
            return self.template
        except Exception as e:
            self._template_error = str(e)
            raise

    # --- the 32-bit template and the second display -------------------------------

    def second_display(self):
        """A second virtual display of the same size (started on first use)."""
        if not self._second:
            self._second = Display().start()
        return self._second

    def begin_i686_template(self):
        """Starts making the template with a 32-bit half, in the background."""
        if self._i686:
            return
        import threading
        result = {}
        display = self.second_display().name

        def make():
            t0 = time.monotonic()
            try:
                result["path"] = _make_template(os.path.join(self.tmp, "template-i686"), display, emulate=True)
                result["seconds"] = time.monotonic() - t0
            except Exception as e:  # reported when the template is asked for
                result["error"] = str(e)

        thread = threading.Thread(target=make, daemon=True)
        thread.start()
        self._i686 = (thread, result)

    def i686_template(self):
        """The template with a 32-bit half; waits for it (making it now if nobody began to)."""
        self.begin_i686_template()
        thread, result = self._i686
        if thread.is_alive():
            t0 = time.monotonic()
            thread.join()
            print("e2e: waited %.0f s for the 32-bit prefix" % (time.monotonic() - t0), flush=True)
        if "error" in result:
            raise HarnessError("the 32-bit wine prefix could not be prepared: %s" % result["error"])
        if not result.get("reported"):
            result["reported"] = True
            print("e2e: 32-bit wine prefix made in %.0f s (in the background)" % result["seconds"], flush=True)
        return result["path"]

    def on_second_display(self):
        """This session seen on its second display: prefixes, input and
        screenshots there, the templates shared."""
        self.prepare_template()  # made once, on the first display, for both
        view = copy.copy(self)
        view.display = self.second_display()
        view.x = X(view.display.name)
        return view

    def fresh_prefix(self, name="scenario", i686=False):
        template = self.i686_template() if i686 else self.prepare_template()
        self._count[0] += 1
        dst = os.path.join(self.tmp, "%02d-%s" % (self._count[0], re.sub(r"[^\w.-]", "_", name)))
        subprocess.run(["cp", "-a", template, dst], check=True)
        return Prefix(dst, self.display.name, discard=not self.keep)

    def screenshot(self, name):
        """Grabs the root window; returns (PIL image, saved PNG path)."""
        img = self.x.capture()
        path = os.path.join(SCREENS_DIR, re.sub(r"[^\w.-]", "_", name) + ".png")
        img.save(path)
        return img, path

    def pixel(self, x, y):
        return self.x.capture().getpixel((x, y))

    def capture_until(self, holds, timeout=5, name=None):
        """The screen once holds(img) is true, or the last capture when time
        is up (a window can paint a moment after it is mapped); saved as
        NAME.png when a name is given."""
        deadline = time.monotonic() + timeout
        while True:
            img = self.x.capture()
            if holds(img) or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        if name:
            path = os.path.join(SCREENS_DIR, re.sub(r"[^\w.-]", "_", name) + ".png")
            img.save(path)
        return img


def region_differs(a, b, box, threshold=8):
    """True if images a and b differ somewhere inside box (x0, y0, x1, y1)."""
    ca, cb = a.crop(box), b.crop(box)
    diff = [abs(p - q) for pa, pb in zip(ca.getdata(), cb.getdata()) for p, q in zip(pa, pb)]
    return max(diff, default=0) > threshold


def close_to(c1, c2, tol=6):
    return all(abs(a - b) <= tol for a, b in zip(c1, c2))


# --- Velmora in a prefix of its own ----------------------------------------------

def pe_is_32bit(path):
    """Whether a Windows exe is 32-bit (i386), from its PE header."""
    with open(path, "rb") as f:
        head = f.read(4096)
    pe = int.from_bytes(head[0x3C:0x40], "little")
    return head[pe:pe + 4] == b"PE\0\0" and int.from_bytes(head[pe + 4:pe + 6], "little") == 0x14C


def start_timeout(exe=EXE):
    """How long a start may take: a 32-bit exe starts under emulation here,
    which costs about a minute before its first window."""
    return 300 if pe_is_32bit(exe) else 40


class Velmora:
    """A fresh prefix for one scenario, Velmora started in it on request,
    and every process of the prefix ended on the way out, pass or fail."""

    def __init__(self, session, name, windows=None, exe=None):
        self.session, self.name, self.windows = session, name, windows
        self.exe = exe or EXE
        self.prefix = None
        self.app = self.main = None

    def __enter__(self):
        if not os.path.isfile(self.exe):
            from runner import Skip
            raise Skip("%s not built" % os.path.relpath(self.exe, ROOT))
        self.prefix = self.session.fresh_prefix(self.name, i686=pe_is_32bit(self.exe))
        if self.windows:
            self.prefix.reg_add("HKCU\\Software\\Wine", "Version", self.windows)
        return self

    def __exit__(self, *exc):
        self.prefix.close()
        return False

    def launch(self, path=None, cwd=None):
        """Starts Velmora without waiting for anything; from path (a copy of
        the exe, host or Windows path) and in the working folder cwd when given."""
        self.app = self.prefix.launch(path or self.exe, cwd=cwd)
        return self.app

    def start(self, timeout=None, path=None, cwd=None):
        """Starts Velmora and waits for its main window (the splash comes first).
        Wine now and then fails to start a process on a loaded machine (it
        ends at once with status 1, having made no window): such a start is
        made again, once, and said so."""
        app = self.launch(path, cwd)
        try:
            self.main = app.wait_window(MAIN_CAPTION, timeout=timeout or start_timeout(self.exe))
        except HarnessError as e:
            if not app.never_started():
                raise
            print("  Wine did not start Velmora (%s); started again" % e, flush=True)
            app = self.launch(path, cwd)
            self.main = app.wait_window(MAIN_CAPTION, timeout=timeout or start_timeout(self.exe))
        return app, self.main

    def stop(self):
        """Ends the running Velmora (and the prefix's server) so that it can start again."""
        if self.app:
            self.app.kill()
        self.prefix.kill_server()


def velmora(session, name, windows=None, exe=None):
    return Velmora(session, name, windows, exe)


def tool_exe(name, libs=()):
    """A small test tool from tests/e2e/tools/NAME.cpp, built for 64-bit Wine when missing or stale,
    linked with the Windows libraries `libs` too (names without -l)."""
    src = os.path.join(ROOT, "tests", "e2e", "tools", name + ".cpp")
    out_dir = os.path.join(ROOT, "build", "e2e-tools")
    exe = os.path.join(out_dir, name + ".exe")
    if not os.path.isfile(exe) or os.path.getmtime(src) > os.path.getmtime(exe):
        os.makedirs(out_dir, exist_ok=True)
        r = subprocess.run(["x86_64-w64-mingw32-g++-win32", "-std=c++20", "-Os", "-Wall", "-Wextra", "-municode",
                            "-static", "-o", exe, src] + ["-l" + lib for lib in libs], capture_output=True, text=True)
        if r.returncode != 0:
            raise HarnessError("building %s failed: %s" % (name, r.stderr[-1000:]))
    return exe
