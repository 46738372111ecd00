"""Every screen of Velmora in one run, visited as a person would: the splash,
the main window, Loading (when it can be caught on screen), the four tile
pages, the Pinnote page, the help page and the about page.

One screenshot per screen is left in build/e2e-screens/screen-<name>.png so
that the pictures can be looked at as a whole; for each screen the window
must be centred, the pixels just outside its rounded outline must show the
desktop (a key-coloured or half-blended fringe would show there), the pixels
just inside it must not be the key colour, and the title strip must be
painted (neither key colour nor see-through).

Coordinates are relative to the window's top-left."""
import os
import time

from PIL import Image, ImageGrab

import ui
from harness import ROOT, ROOT_RGB, SCREENS_DIR, WINDOWS_VERSION, HarnessError, close_to, start_timeout, velmora
from runner import Suite, check
from xdirect import WindowEvents

suite = Suite("screens")

ASSETS = os.path.join(ROOT, "assets")
RED, GREEN = (255, 0, 0), (0, 255, 0)
WIN_W, WIN_H, WIN_R = 580, 350, 10
SPLASH, MAIN = "加载中...", "Velmora"

# What is checked on a screen:
#   caption, window size, key colour (None: the window has none),
#   corners cut by the colour key (so the desktop shows there),
#   rows of the title strip (None: no title strip)
#   and, for a window without a key colour, the colour outside its outline
#   (None: not checked)
# The tour sets the colour scheme's button face to this, which Loading shows
# outside its rounded picture, as a window shows before it is painted over.
BUTTON_FACE = (156, 202, 118)
SPLASH_SCREEN = (SPLASH, (580, 350), None, False, None)
MAIN_SCREEN = (MAIN, (580, 350), RED, True, (4, 18, 30))
LOADING_SCREEN = ("", (580, 350), None, False, (4, 18, 30), BUTTON_FACE)

# name, how it is opened from the main window, how it is left, and its checks.
#   open:  ("tile", (x, y, w, h)) moves onto the tile, presses and releases;
#          ("tab", (x, y, w, h)) moves onto the tab and clicks
#   leave: the box of the picture that returns to the main window
PAGES = [
    ("form1", ("tile", (48, 52, 231, 130)), (480, 208, 55, 80),
     ("桌面及菜单", (580, 350), RED, True, (4, 18, 30))),
    ("form2", ("tile", (301, 52, 230, 130)), (480, 208, 55, 80),
     ("系统", (580, 350), RED, True, (4, 18, 30))),
    ("form3", ("tile", (48, 199, 230, 130)), (480, 208, 55, 80),
     ("其它", (580, 350), RED, True, (4, 18, 30))),
    ("form4", ("tile", (301, 199, 230, 130)), (480, 208, 55, 80),
     ("更多", (580, 350), RED, True, (4, 18, 30))),
    ("dlb", ("tab", (0, 43, 27, 105)), (480, 208, 55, 80),
     ("Pinnote", (580, 350), GREEN, True, (4, 18, 30))),
    ("form5", ("tab", (552, 119, 27, 77)), (497, 268, 62, 62),
     ("帮助", (581, 351), RED, True, (4, 18, 30))),
    ("form6", ("tab", (552, 41, 27, 77)), (486, 262, 60, 60),
     ("更多", (581, 351), RED, True, None)),
]

# Screen-wide: the desktop is 1024x768, every window is centred on it.
SCREEN_W, SCREEN_H = 1024, 768


def centred(size):
    w, h = size
    return ((SCREEN_W - w) // 2, (SCREEN_H - h) // 2, w, h)


def inside_outline(x, y):
    """Is the centre of window pixel (x, y) inside the rounded 580x350 outline?"""
    px, py = x + 0.5, y + 0.5
    cx = min(max(px, WIN_R), WIN_W - WIN_R)
    cy = min(max(py, WIN_R), WIN_H - WIN_R)
    return (px - cx) ** 2 + (py - cy) ** 2 <= WIN_R ** 2


def corner_pixels(size):
    """(outside, inside): the window pixels of the four corner squares that
    lie outside the rounded outline, and those just inside it (for a 581x351
    window, outside also takes the extra column and row that the picture
    leaves to the key colour)."""
    w, h = size
    outside, inside = [], []
    for x0, y0 in ((0, 0), (WIN_W - WIN_R, 0), (0, WIN_H - WIN_R), (WIN_W - WIN_R, WIN_H - WIN_R)):
        for y in range(y0, y0 + WIN_R):
            for x in range(x0, x0 + WIN_R):
                if not inside_outline(x, y):
                    outside.append((x, y))
                elif any(not inside_outline(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                    inside.append((x, y))
    outside += [(WIN_W, y) for y in range(h)] if w > WIN_W else []
    outside += [(x, WIN_H) for x in range(w)] if h > WIN_H else []
    return outside, inside


def check_screen(img, geometry, want, problems):
    """Appends what is wrong with one screen (its window at geometry) to problems."""
    caption, size, key, cut, strip_rows = want[:5]
    outside_colour = want[5] if len(want) > 5 else None
    if geometry != centred(size):
        problems.append("geometry %r, want %r" % (geometry, centred(size)))
        if geometry is None:
            return
    wx, wy = geometry[:2]

    def at(x, y):
        return img.getpixel((wx + x, wy + y))

    outside, inside = corner_pixels(size)
    for x, y in outside:
        got = at(x, y)
        if key and close_to(got, key, 40):
            problems.append("key colour %r outside the outline at (%d,%d)" % (got, x, y))
            break
        if cut and not close_to(got, ROOT_RGB):
            problems.append("(%d,%d) outside the outline is %r, want the desktop %r" % (x, y, got, ROOT_RGB))
            break
        if outside_colour and not close_to(got, outside_colour, 3):
            problems.append("(%d,%d) outside the outline is %r, want the button face %r" % (x, y, got, outside_colour))
            break
    for x, y in inside:
        got = at(x, y)
        if close_to(got, RED, 40) or close_to(got, GREEN, 40):
            problems.append("key-coloured fringe %r just inside the corner at (%d,%d)" % (got, x, y))
            break
        if cut and close_to(got, ROOT_RGB, 3):
            problems.append("see-through pixel just inside the corner at (%d,%d)" % (x, y))
            break
    for y in strip_rows or ():
        for x in range(12, 516):
            got = at(x, y)
            if close_to(got, RED, 40) or close_to(got, GREEN, 40) or close_to(got, ROOT_RGB, 3):
                problems.append("title strip (%d,%d) is %r" % (x, y, got))
                break


def reference(picture, box=(130, 130, 450, 235)):
    """The middle part of a 580x350 picture as the program embeds it."""
    with Image.open(os.path.join(ASSETS, picture + ".png")) as im:
        return im.convert("RGB").crop(box), box


def shows(img, ref):
    """Whether the screen shows that part of the picture at the centred place."""
    part, (x0, y0, x1, y1) = ref
    x, y, _, _ = centred((580, 350))
    got = img.crop((x + x0, y + y0, x + x1, y + y1))
    diff = sum(abs(a - b) for p, q in zip(got.getdata(), part.getdata()) for a, b in zip(p, q))
    return diff / (got.width * got.height * 3) < 6


def quick_capture(session):
    """The screen in a few milliseconds, for windows that are up for a moment
    only (the splash, Loading). It reads the root window directly, which on
    Xvfb can give black for a window that has just been mapped: callers check
    what it shows."""
    try:
        return ImageGrab.grab(xdisplay=session.display.name).convert("RGB")
    except OSError:
        return session.x.capture()


def shot(session, name):
    """A screenshot saved as build/e2e-screens/screen-<name>.png."""
    img, path = session.screenshot("screen-" + name)
    print("  %-14s %s" % (name, path), flush=True)
    return img


def save(img, name):
    """A quick capture saved the same way."""
    path = os.path.join(SCREENS_DIR, "screen-%s.png" % name)
    img.save(path)
    print("  %-14s %s" % (name, path), flush=True)


def park(session):
    session.x.mousemove(3, 3)
    time.sleep(0.3)


def window_pixels(img, geometry):
    x, y, w, h = geometry
    return img.crop((x, y, x + w, y + h))


def settle(session, window, want, timeout=8):
    """The screen once the window's corners and title strip look right and
    two captures in a row show the window alike, or when time is up (a child
    control can paint late, slowly under emulation, and a window hidden by a
    switch can linger on the X screen for a moment)."""
    deadline = time.monotonic() + timeout
    previous = None
    while True:
        img = session.x.capture()
        geometry = window.geometry()
        problems = []
        check_screen(img, geometry, want, problems)
        pixels = window_pixels(img, geometry)
        if (not problems and previous is not None and pixels.tobytes() == previous) or time.monotonic() > deadline:
            return img
        previous = pixels.tobytes()
        time.sleep(0.3)


# The pages opened through Loading (the others open directly).
VIA_LOADING = {"form1", "form2", "form3", "form4", "dlb"}


def press_open(session, app, main, how, caption, loading_ref, caught):
    """Opens a page from the main window; while it loads, watches for Loading
    on screen and keeps the first capture that shows it. Returns the
    geometries Loading was mapped at on the way to the page (a map event is
    never missed): Velmora's windows of Loading's size and empty caption, a
    window whose name could not be read being no such window."""
    kind, (x, y, w, h) = how
    with WindowEvents(session.display.name) as events:
        main.mousemove(x + w // 2, y + h // 2)
        time.sleep(0.4)
        main.x.mousedown(1)
        time.sleep(0.1 if kind == "tile" else 0.05)
        main.x.mouseup(1)
        deadline = time.monotonic() + 2
        while caught.get("img") is None and time.monotonic() < deadline:
            img = quick_capture(session)
            if shows(img, loading_ref):
                caught["img"] = img
        events.wait_mapped(caption, timeout=30)
    loading = [e.geometry for e in events.mapped(ui.LOADING, (580, 350), pid=app.proc.pid)]
    if caught.get("img") is not None and "geometry" not in caught:
        caught["geometry"] = loading[0] if loading else None
    return loading


def prepare(v):
    """What a prefix needs before the tour's start: the colour scheme's button face."""
    v.prefix.reg_add("HKCU\\Control Panel\\Colors", "ButtonFace", "%d %d %d" % BUTTON_FACE)


def tour(s, v, label="", started=False):
    """Starts Velmora in v's prefix (or takes the one started there after
    prepare(v)) and visits every screen from the main window, checking each
    and saving screen-<label><name>.png. Returns the problems found and
    {name: (capture, window geometry)}; the program is left on its main
    window. The splash is looked at only when the tour starts the program."""
    failures, shots = [], {}
    loading_ref = reference("loading/background")
    if started:
        app = v.app
    else:
        prepare(v)
        park(s)  # nothing is hovered when the main window first shows
        app = v.launch()
        # The splash is on screen for about 1.2 s; a first start shows its
        # default picture.
        splash = app.wait_window(SPLASH, timeout=start_timeout(v.exe))
        geometry = splash.geometry()
        splash_ref = reference("formload/background", (200, 100, 520, 260))
        img = quick_capture(s)
        while not shows(img, splash_ref) and splash.visible():
            time.sleep(0.02)
            img = quick_capture(s)
        if shows(img, splash_ref):
            save(img, label + "splash")
            problems = []
            check_screen(img, geometry, SPLASH_SCREEN, problems)
            failures += ["splash: " + m for m in problems]
        else:
            failures.append("splash: its default picture was never on screen (geometry %r)" % (geometry,))

    main = app.wait_window(MAIN, timeout=start_timeout(v.exe))
    main.mousemove(290, 190)  # the bare background between the tiles takes every hover back
    time.sleep(0.3)
    park(s)
    settle(s, main, MAIN_SCREEN)
    img = shot(s, label + "main")
    problems = []
    check_screen(img, main.geometry(), MAIN_SCREEN, problems)
    failures += ["main: " + m for m in problems]
    shots["main"] = (img, main.geometry())

    caught = {}
    for name, how, leave, want in PAGES:
        caption = want[0]
        try:
            loading = press_open(s, app, main, how, caption, loading_ref, caught)
            page = app.wait_window(caption, timeout=30)
        except HarnessError as e:
            failures.append("%s: %s" % (name, e))
            break
        if name in VIA_LOADING and loading != [centred((580, 350))]:
            failures.append("%s: Loading mapped at %r on the way, want once, centred" % (name, loading))
        if name not in VIA_LOADING and loading:
            failures.append("%s: Loading mapped on a direct switch" % name)
        park(s)
        settle(s, page, want)
        img = shot(s, label + name)
        problems = []
        check_screen(img, page.geometry(), want, problems)
        failures += ["%s: %s" % (name, m) for m in problems]
        shots[name] = (img, page.geometry())

        x, y, w, h = leave
        page.mousemove(x + w // 2, y + h // 2)
        time.sleep(0.4)
        page.click(x + w // 2, y + h // 2)
        try:
            main = app.wait_window(MAIN, timeout=30)
        except HarnessError as e:
            failures.append("%s: no way back: %s" % (name, e))
            break
        if not app.wait_gone(caption, timeout=5):
            failures.append("%s: still on screen after its back picture" % name)
        time.sleep(0.3)

    if caught.get("img") is not None:
        img = caught["img"]
        save(img, label + "loading")
        problems = []
        check_screen(img, caught["geometry"], LOADING_SCREEN, problems)
        failures += ["loading: " + m for m in problems]
    else:
        print("  loading  not caught on screen: every page loaded before a capture showed it"
              " (no screenshot, not a failure)")
    if not app.alive():
        failures.append("the process ended on the way")
    return failures, shots


# The tours of this run, by exe: the i686 suite compares its pixels with the x86_64 one.
TOURS = {}


@suite.scenario("every screen: centred, corners see-through without a key-coloured fringe, title strip painted")
def _(s):
    with velmora(s, "screens") as v:
        failures, shots = tour(s, v)
    if not failures and WINDOWS_VERSION == "winxp":
        TOURS[v.exe] = shots
    check(not failures, "; ".join(failures))
