"""Velmora's application shell, driven as a person would: real X input on
build/x86_64/Velmora.exe under Wine, checked through window captions,
geometry, screenshots and the registry.

Every window is 580x350 and centred, so on the 1024x768 display it sits at
(222, 209); coordinates below are relative to the window's top-left."""
import os
import time

from harness import ROOT, ROOT_RGB, close_to, region_differs
from test_harness import manage_windows
from runner import Skip, Suite, check

suite = Suite("shell")

EXE = os.path.join(ROOT, "build", "x86_64", "Velmora.exe")
SPLASH = "加载中..."
MAIN = "Velmora"
MORE = "更多"
HELP = "帮助"
PINNOTE = "Pinnote"
LOADING = "Loading"
NOTICE = "注意"
CENTRED = (222, 209, 580, 350)
SETTINGS_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt"
CLOSE_BOX = (546, 0, 34, 18)

# name, x, y, w, h
TILES = [
    ("Desktop", 48, 52, 231, 130),
    ("System", 301, 52, 230, 130),
    ("My Style", 48, 199, 230, 130),
    ("More", 301, 199, 230, 130),
]

# name, click point, caption of the window it opens
SIDE_TABS = [
    ("Pinnote tab (left, y 43..148)", (13, 95), PINNOTE),
    ("text tool tab (left, y 149..254)", (13, 201), NOTICE),
    ("about tab (right, y 41..118)", (565, 79), MORE),
    ("help tab (right, y 119..196)", (565, 157), HELP),
]


def require_exe():
    if not os.path.isfile(EXE):
        raise Skip("%s not built" % os.path.relpath(EXE, ROOT))


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def box_on_screen(window, box):
    wx, wy, _, _ = window.geometry()
    x, y, w, h = box
    return (wx + x, wy + y, wx + x + w, wy + y + h)


def start(prefix, timeout=40):
    """Launch Velmora and wait for the main window (the splash comes first)."""
    app = prefix.launch(EXE)
    return app, app.wait_window(MAIN, timeout=timeout)


def park_pointer(session):
    """Move the pointer off every window so nothing is hovered."""
    session.x.mousemove(3, 3)
    time.sleep(0.4)


def hover_changes(session, window, box, name):
    """Screenshots before and while the pointer is on box; True if its pixels changed."""
    park_pointer(session)
    before, _ = session.screenshot(name + "-before")
    window.mousemove(*centre(box))
    time.sleep(0.5)
    after, path = session.screenshot(name + "-hover")
    print("  screenshot:", path)
    return region_differs(before, after, box_on_screen(window, box))


def scenario_prefix(session, name):
    require_exe()
    return session.fresh_prefix(name)


@suite.scenario("splash fades in off the taskbar, then the main window replaces it")
def _(s):
    p = scenario_prefix(s, "splash")
    manage_windows(p)
    try:
        app = p.launch(EXE)
        splash = app.wait_window(SPLASH, timeout=40)
        t_splash = time.monotonic()
        check(splash.geometry() == CENTRED, "splash geometry %r, want %r" % (splash.geometry(), CENTRED))
        check(splash.skips_taskbar(), "the splash shows on the taskbar")
        # Wine hands a layered window's constant alpha to X as
        # _NET_WM_WINDOW_OPACITY (no compositor runs here to apply it to the
        # pixels), so the fade is read from there.
        opacities = []
        while time.monotonic() - t_splash < 1.5 and app.find_window(SPLASH):
            o = splash.opacity()
            if not opacities or opacities[-1] != o:
                opacities.append(o)
            time.sleep(0.02)
        main = app.wait_window(MAIN, timeout=10)
        t_main = time.monotonic() - t_splash
        _, path = s.screenshot("shell-main")
        print("  main window %.2f s after the splash; screenshot: %s" % (t_main, path))
        levels = [1.0 if o is None else o for o in opacities]
        check(len(levels) >= 3 and levels[0] < 0.5 and levels == sorted(levels),
              "splash opacity did not rise from transparent: %r" % levels)
        check(0.5 <= t_main <= 6.0, "main window %.2f s after the splash, want about 1.2 s" % t_main)
        check(app.wait_gone(SPLASH, timeout=3), "splash still visible after the main window appeared")
        check(main.geometry() == CENTRED, "main geometry %r, want %r" % (main.geometry(), CENTRED))
    finally:
        p.close()


@suite.scenario("main window corners are see-through and nothing is red there")
def _(s):
    p = scenario_prefix(s, "corners")
    try:
        app, main = start(p)
        park_pointer(s)
        time.sleep(0.5)
        img, path = s.screenshot("shell-corners")
        print("  screenshot:", path)
        wx, wy, ww, wh = main.geometry()
        for what, (x, y) in [("top-left", (1, 1)), ("bottom-right", (ww - 2, wh - 2)),
                             ("top-right", (ww - 2, 1)), ("bottom-left", (1, wh - 2))]:
            got = img.getpixel((wx + x, wy + y))
            check(not close_to(got, (255, 0, 0), 40), "%s corner (%d,%d) is red %r" % (what, x, y, got))
            if what in ("top-left", "bottom-right"):
                check(close_to(got, ROOT_RGB), "%s corner (%d,%d) is %r, want the desktop %r" %
                      (what, x, y, got, ROOT_RGB))
        inside = img.getpixel((wx + ww // 2, wy + 20))
        check(not close_to(inside, ROOT_RGB), "the window itself is see-through at its title bar")
    finally:
        p.close()


@suite.scenario("hovering each tile changes its picture")
def _(s):
    p = scenario_prefix(s, "tile-hover")
    try:
        app, main = start(p)
        unchanged = [name for name, *box in TILES
                     if not hover_changes(s, main, tuple(box), "shell-tile-" + name.replace(" ", "_"))]
        check(not unchanged, "no hover picture on: %s" % ", ".join(unchanged))
    finally:
        p.close()


@suite.scenario("More tile opens the 更多 page through Loading; back returns to the main window")
def _(s):
    p = scenario_prefix(s, "more-back")
    try:
        app, main = start(p)
        main.click(*centre(TILES[3][1:]), hover=0.3)
        seen_loading = False
        deadline = time.monotonic() + 20
        more = None
        while time.monotonic() < deadline:
            # The Loading window: a 580x350 window of the process that is
            # neither the main window nor the page.
            for wid, caption, geom in app.visible_windows():
                if caption not in (MAIN, MORE) and geom[2:] == (580, 350):
                    seen_loading = seen_loading or caption or "(no caption)"
            more = app.find_window(MORE)
            if more:
                break
        check(more is not None, "no %r window after clicking More" % MORE)
        check(seen_loading, "no %s window was shown on the way" % LOADING)
        print("  loading window seen: %r" % seen_loading)
        check(more.geometry() == CENTRED, "更多 geometry %r" % (more.geometry(),))
        time.sleep(0.5)
        _, path = s.screenshot("shell-more")
        print("  screenshot:", path)
        more.click(480 + 27, 208 + 40, hover=0.3)
        check(app.wait_window(MAIN, timeout=10) is not None, "main window not back")
        check(app.wait_gone(MORE, timeout=5), "更多 page still visible after back")
        check(app.alive(), "process ended on back")
    finally:
        p.close()


@suite.scenario("更多 page close button changes on hover and closes the page")
def _(s):
    p = scenario_prefix(s, "more-close")
    try:
        app, main = start(p)
        main.click(*centre(TILES[3][1:]), hover=0.3)
        more = app.wait_window(MORE, timeout=20)
        time.sleep(0.5)
        check(hover_changes(s, more, CLOSE_BOX, "shell-more-close"), "close button did not change on hover")
        more.click(*centre(CLOSE_BOX))
        check(app.wait_gone(MORE, timeout=5), "更多 page still visible after its close button")
    finally:
        p.close()


@suite.scenario("side tabs open their windows")
def _(s):
    p = scenario_prefix(s, "side-tabs")
    try:
        failures = []
        for name, point, caption in SIDE_TABS:
            app, main = start(p)
            main.click(*point, hover=0.3)
            try:
                w = app.wait_window(caption, timeout=15)
                time.sleep(0.4)
                _, path = s.screenshot("shell-tab-" + caption)
                print("  %s -> %r; screenshot: %s" % (name, caption, path))
                if caption == NOTICE:
                    w.x.key("Return")
            except Exception as e:
                failures.append("%s: %s" % (name, e))
            app.kill()
            p.kill_server()
        check(not failures, "; ".join(failures))
    finally:
        p.close()


@suite.scenario("main close picture changes on hover and ends the process")
def _(s):
    p = scenario_prefix(s, "main-close")
    try:
        app, main = start(p)
        check(hover_changes(s, main, CLOSE_BOX, "shell-main-close"), "close picture did not change on hover")
        main.click(*centre(CLOSE_BOX))
        check(app.wait_exit(10) is not None, "process still running 10 s after the close picture")
        check(app.wait_gone(MAIN, timeout=3), "main window still visible")
    finally:
        p.close()


@suite.scenario("dragging the title bar moves the window, elsewhere not; the next screen opens centred")
def _(s):
    p = scenario_prefix(s, "drag")
    try:
        app, main = start(p)
        table = [
            ("title bar", (200, 18), (60, 40), True),
            ("title bar back", (200, 18), (-60, -40), True),
            ("below the title bar, between the tiles", (290, 190), (50, 30), False),
        ]
        for what, (x, y), (dx, dy), moves in table:
            before = main.geometry()
            main.drag(x, y, dx, dy)
            time.sleep(0.4)
            after = main.geometry()
            want = (before[0] + dx, before[1] + dy) if moves else before[:2]
            check(abs(after[0] - want[0]) <= 3 and abs(after[1] - want[1]) <= 3,
                  "%s drag by (%d,%d): window went %r -> %r" % (what, dx, dy, before[:2], after[:2]))
            check(app.alive(), "process ended while dragging the %s" % what)
        # A screen reached after a drag opens centred, and so does the main
        # window it returns to.
        main.drag(200, 18, 80, 50)
        time.sleep(0.4)
        check(main.geometry() != CENTRED, "the drag did not move the main window")
        main.click(*centre(TILES[3][1:]), hover=0.3)
        more = app.wait_window(MORE, timeout=20)
        check(more is not None and more.geometry() == CENTRED,
              "更多 after a drag: %r" % (more and more.geometry(),))
        if more:
            more.drag(200, 18, -70, 30)
            time.sleep(0.4)
            more.click(480 + 27, 208 + 40, hover=0.3)
            back = app.wait_window(MAIN, timeout=10)
            check(back is not None and back.geometry() == CENTRED,
                  "main window after a dragged page: %r" % (back and back.geometry(),))
    finally:
        p.close()


@suite.scenario("LoadPictureNumber over five starts is 2, 3, 4, empty, 2")
def _(s):
    p = scenario_prefix(s, "settings")
    try:
        want = ["2", "3", "4", "", "2"]
        got = []
        for i in range(len(want)):
            app, main = start(p)
            time.sleep(0.5)
            main.click(*centre(CLOSE_BOX), hover=0.3)
            if app.wait_exit(10) is None:
                app.kill()
            value = p.reg_query(SETTINGS_KEY, "LoadPictureNumber")
            got.append(value)
        check(got == [("REG_SZ", w) for w in want],
              "values after each start: %r, want %r" % (got, [("REG_SZ", w) for w in want]))
    finally:
        p.close()
