"""The harness's own scenarios, on the floor program (tests/e2e/floor): they
prove launch, window lookup, geometry, real input, screenshots, the colour-key
cut, taskbar state, registry access and prefix isolation, so that a failure
in the Velmora scenarios points at Velmora and not at the harness."""
import os
import subprocess

from harness import ROOT, ROOT_RGB, close_to
from runner import Suite, check

suite = Suite("harness")
FLOOR_KEY = "HKCU\\Software\\VelmoraFloor"
FILL = (40, 120, 200)
SECOND_FILL = (230, 180, 40)
_floor_exe = None


def floor_exe(switch=False):
    """The bare floor program, or with `switch` the switch floor of the benchmark."""
    global _floor_exe
    if _floor_exe is None:
        out = subprocess.run([os.path.join(ROOT, "tests", "e2e", "floor", "build.sh")], check=True,
                             capture_output=True, text=True)
        _floor_exe = out.stdout.strip().splitlines()
    return _floor_exe[-2] if switch else _floor_exe[-1]


def manage_windows(prefix):
    """The taskbar state is only given to windows a window manager would
    manage: switch that back on for the scenarios that read it."""
    prefix.reg_add("HKCU\\Software\\Wine\\X11 Driver", "Managed", "Y")


@suite.scenario("floor window is found, centred and 580x350")
def _(s):
    with s.fresh_prefix("floor-geometry") as p:
        manage_windows(p)
        app = p.launch(floor_exe())
        w = app.wait_window("Floor")
        check(w.geometry() == (222, 209, 580, 350), "geometry %r" % (w.geometry(),))
        check(not w.skips_taskbar(), "a plain popup should be on the taskbar")


@suite.scenario("screenshot pixels: fill, see-through colour-key corners, root outside")
def _(s):
    with s.fresh_prefix("floor-pixels") as p:
        app = p.launch(floor_exe())
        w = app.wait_window("Floor")
        wx, wy, ww, wh = w.geometry()
        table = [
            ("inside", (wx + 290, wy + 175), FILL),
            ("top-left key corner", (wx + 1, wy + 1), ROOT_RGB),
            ("bottom-right key corner", (wx + ww - 2, wy + wh - 2), ROOT_RGB),
            ("next to the corner", (wx + 6, wy + 1), FILL),
            ("outside the window", (wx - 5, wy - 5), ROOT_RGB),
        ]
        img = s.capture_until(lambda img: all(close_to(img.getpixel(xy), want) for _, xy, want in table),
                              name="harness-floor")
        for what, xy, want in table:
            got = img.getpixel(xy)
            check(close_to(got, want), "%s at %r: got %r, want %r" % (what, xy, got, want))


@suite.scenario("click opens a second (tool) window; click-to-window time is measured")
def _(s):
    from measure import time_click_to_window
    with s.fresh_prefix("floor-click") as p:
        manage_windows(p)
        app = p.launch(floor_exe())
        w = app.wait_window("Floor")
        check(app.find_window("Floor 2") is None, "second window shown before the click")
        dt = time_click_to_window(w, 100, 100, "Floor 2")
        second = app.wait_window("Floor 2", timeout=1)
        check(second.geometry() == (362, 284, 300, 200), "second geometry %r" % (second.geometry(),))
        check(second.skips_taskbar(), "a WS_EX_TOOLWINDOW should be off the taskbar")
        img = s.capture_until(lambda img: close_to(img.getpixel((512, 384)), SECOND_FILL))
        check(close_to(img.getpixel((512, 384)), SECOND_FILL), "second window not painted")
        print("  click to second window: %.3f s" % dt)


@suite.scenario("hover then click on the close box ends the process with its exit code")
def _(s):
    with s.fresh_prefix("floor-close") as p:
        app = p.launch(floor_exe())
        w = app.wait_window("Floor")
        check(app.alive(), "not running after its window appeared")
        w.click(560, 8, hover=0.3)
        code = app.wait_exit(10)
        check(code == 7, "exit code %r, want 7" % (code,))
        check(app.wait_gone("Floor", 5), "window still visible after exit")


@suite.scenario("registry: reg add is seen by the program, its writes by reg query")
def _(s):
    with s.fresh_prefix("floor-registry") as p:
        table = [(None, "1"), (None, "2"), ("41", "42")]
        for preset, want in table:
            if preset is not None:
                p.reg_add(FLOOR_KEY, "Starts", preset)
            app = p.launch(floor_exe())
            w = app.wait_window("Floor")
            got = p.reg_query(FLOOR_KEY, "Starts")
            check(got == ("REG_SZ", want), "after start (preset %r): %r, want %r" % (preset, got, want))
            w.click(560, 8, hover=0.2)
            check(app.wait_exit(10) == 7, "floor did not exit")
        p.reg_add(FLOOR_KEY, "Empty", "")
        check(p.reg_query(FLOOR_KEY, "Empty") == ("REG_SZ", ""), "empty REG_SZ read back as %r" % (p.reg_query(FLOOR_KEY, "Empty"),))
        check(p.reg_query(FLOOR_KEY, "Missing") is None, "missing value not reported as None")


@suite.scenario("each scenario gets a fresh prefix with the prepared settings")
def _(s):
    with s.fresh_prefix("prefix-settings") as p:
        table = [
            ("HKCU\\Software\\VelmoraFloor", "Starts", None),
            ("HKCU\\Software\\Wine", "Version", ("REG_SZ", os.environ.get("VELMORA_E2E_WINVER", "winxp"))),
            ("HKCU\\Software\\Wine\\Fonts\\Replacements", "微软雅黑", ("REG_SZ", "WenQuanYi Micro Hei")),
            ("HKCU\\Software\\Wine\\Fonts\\Replacements", "宋体", ("REG_SZ", "WenQuanYi Micro Hei")),
            ("HKCU\\Software\\Wine\\WineDbg", "ShowCrashDialog", ("REG_DWORD", "0x0")),
        ]
        for key, name, want in table:
            got = p.reg_query(key, name)
            check(got == want, "%s\\%s: %r, want %r" % (key, name, got, want))


@suite.scenario("dragging the title strip moves the window (WM_NCLBUTTONDOWN/HTCAPTION)")
def _(s):
    with s.fresh_prefix("floor-drag") as p:
        app = p.launch(floor_exe())
        w = app.wait_window("Floor")
        table = [((200, 18), (60, 40), True), ((200, 18), (-60, -40), True), ((200, 200), (50, 30), False)]
        for (x, y), (dx, dy), moves in table:
            before = w.geometry()
            w.drag(x, y, dx, dy)
            want = (before[0] + dx, before[1] + dy) if moves else before[:2]
            after = w.wait_at(want, timeout=3 if moves else 0.5)
            check(abs(after[0] - want[0]) <= 3 and abs(after[1] - want[1]) <= 3,
                  "drag from (%d,%d) by (%d,%d): %r -> %r" % (x, y, dx, dy, before[:2], after[:2]))
            if not moves:
                app.wait_window("Floor 2", timeout=3)  # the click still reached the window
