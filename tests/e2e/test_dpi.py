"""Every screen at Large Fonts: Velmora under Wine with the display at 96,
120 and 144 DPI, one start per DPI, each in a prefix of its own whose
LogPixels is set before the start.

The layout is fixed in pixels, so a screen must look the same whatever DPI
the system reports: each screen, with the pointer moved over its bare
background (so that every hover is taken back) and then parked off the
window, is compared with the same screen at 96 DPI, and at most 1 % of the
window's pixels may differ (room for parts of the system's own controls
that follow its DPI). The captures are saved as
build/e2e-screens/dpi-<dpi>-<screen>.png. Message boxes stay the system's
own: the text tool's notice must grow with the DPI, which also shows that
each prefix's DPI was in force.

Coordinates are relative to the window's top-left."""
import collections
import os
import time

import test_screens
import ui
from harness import SCREENS_DIR, HarnessError, start_timeout, velmora
from runner import Suite, check
from test_pages import PINNOTE_KEY
from test_screens import check_screen, quick_capture, window_pixels
from xdirect import XDirect

suite = Suite("dpi")

DPIS = (96, 120, 144)
MOST_DIFFERENT = 0.01  # of the window's pixels
# Where the system keeps the DPI it reports to programs.
LOG_PIXELS_KEYS = ("HKEY_CURRENT_USER\\Control Panel\\Desktop",
                   "HKEY_CURRENT_CONFIG\\Software\\Fonts")

# A point of the bare background of each screen: the main window between
# its tiles, a settings page between its frames and its buttons, the help
# page right of its frames, the about page between its spots and its arrow.
PAGE_BACKGROUND = (420, 180)
BACKGROUND = {"main": (290, 190), "help": (540, 150), "about": (300, 200)}
# Off every window: the desktop's top-left corner.
PARK = (3, 3)

# name, caption, how it is opened from the main window (its box there and
# whether the press goes to a hover picture that shows first), the box that
# returns to the main window (and whether that shows a hover picture first),
# and the screen tour's checks of a settled window.
_TOUR = {name: want for name, _, _, want in test_screens.PAGES}
PAGES = [
    ("desktop", ui.DESKTOP, ui.TILES["Desktop"][0], (ui.BACK_BOX, True), _TOUR["form1"]),
    ("system", ui.SECURITY, ui.TILES["System"][0], (ui.BACK_BOX, True), _TOUR["form2"]),
    ("title", ui.TITLE, ui.TILES["My Style"][0], (ui.BACK_BOX, True), _TOUR["form3"]),
    ("more", ui.MORE, ui.TILES["More"][0], (ui.BACK_BOX, True), _TOUR["form4"]),
    ("pinnote", ui.PINNOTE, ui.TABS["Pinnote"][0], (ui.SAVE_BOX, True), _TOUR["dlb"]),
    ("help", ui.HELP, ui.TABS["help"][0], (ui.HELP_BACK_BOX, False), _TOUR["form5"]),
    ("about", ui.ABOUT, ui.TABS["about"][0], (ui.ABOUT_BACK_BOX, False), _TOUR["form6"]),
]
# Buttons the tour then clicks on a page, (point, clicks in a row), before
# it looks at the page again as "<name>-clicked": on the Pinnote page the
# box that keeps Pinnote in front, once and then with a double click (the
# system's check box takes that as two clicks), and the option of the plain
# skin, which keeps the focus. That page is then left by its save button,
# and what it saved must be the same at every DPI.
PINNOTE_FRONT, PINNOTE_PLAIN_SKIN = (24 + 26, 56 + 164), (24 + 150, 56 + 132)
CLICKS = {"pinnote": [(PINNOTE_FRONT, 1), (PINNOTE_FRONT, 2), (PINNOTE_PLAIN_SKIN, 1)]}
SCREENS = ["main"] + [shown for name, *_ in PAGES
                       for shown in ([name, name + "-clicked"] if name in CLICKS else [name])]

# What one start showed: {screen: window capture}, the (width, height) of
# the text tool's notice, and the Pinnote options its save wrote.
Run = collections.namedtuple("Run", "captures notice saved")


def set_dpi(prefix, dpi):
    prefix.reg_import({key: {"LogPixels": dpi} for key in LOG_PIXELS_KEYS})


def steady(session, geometry, want, still=0.4, timeout=10):
    """The screen once the window passes the screen tour's checks and its
    pixels have not changed for `still` seconds, or when time is up."""
    deadline = time.monotonic() + timeout
    previous, since = None, time.monotonic()
    while True:
        img = quick_capture(session)
        pixels = window_pixels(img, geometry).tobytes()
        problems = []
        check_screen(img, geometry, want, problems)
        now = time.monotonic()
        if problems or pixels != previous:
            previous, since = pixels, now
        elif now - since >= still:
            return img
        if now > deadline:
            return img
        time.sleep(0.05)


def move_to(x, point):
    x.move(*point)
    deadline = time.monotonic() + 3
    while x.pointer() != tuple(point):
        if time.monotonic() > deadline:
            raise HarnessError("the pointer is at %r, not at %r" % (x.pointer(), point))
        time.sleep(0.01)


def rest_on_background(session, x, geometry, name, want):
    """Moves the pointer over the screen's bare background (every hover is
    taken back), parks it off the window, and returns the settled capture
    of the window. The program takes the two moves in order, so the wait
    for a still window comes after both."""
    wx, wy = geometry[:2]
    bx, by = BACKGROUND.get(name, PAGE_BACKGROUND)
    move_to(x, (wx + bx, wy + by))
    move_to(x, PARK)
    return window_pixels(steady(session, geometry, want), geometry)


def press(session, x, geometry, box, hover=False, clicks=1):
    """Clicks the left button on the middle of a window box (`clicks` times
    in a row); with `hover`, first waits until the box shows its hover
    picture."""
    wx, wy = geometry[:2]
    bx, by, bw, bh = box
    region = (wx + bx, wy + by, wx + bx + bw, wy + by + bh)
    before = quick_capture(session).crop(region).tobytes()
    point = (wx + bx + bw // 2, wy + by + bh // 2)
    move_to(x, point)
    if hover:
        deadline = time.monotonic() + 5
        while quick_capture(session).crop(region).tobytes() == before:
            if time.monotonic() > deadline:
                raise HarnessError("no hover picture at %r" % (box,))
            time.sleep(0.02)
    check(x.pointer() == point, "the pointer is at %r, not on %r" % (x.pointer(), box))
    x.drain()
    for _ in range(clicks):
        x.button(True)
        x.button(False)


def notice_size(session, x, app, main):
    """Opens the text tool's notice, a message box of the system's own,
    from the main window and closes it: its size."""
    press(session, x, main, ui.TABS["text tool"][0], hover=True)
    _, notice = x.wait_mapped(ui.NOTICE, 30, app.alive)
    check(notice is not None, "the notice went as soon as it was mapped")
    session.x.key("Return")
    deadline = time.monotonic() + 10
    while x.shown(ui.NOTICE) and time.monotonic() < deadline:
        time.sleep(0.05)
    check(not x.shown(ui.NOTICE), "the notice did not close on Return")
    return tuple(notice[2:])


def tour(session, x, dpi):
    """Starts Velmora at `dpi`, visits every screen from the main window and
    returns what it showed (a Run)."""
    captures = {}
    with velmora(session, "dpi-%d" % dpi) as v:
        set_dpi(v.prefix, dpi)
        move_to(x, PARK)
        x.drain()
        app = v.launch()
        _, main = x.wait_mapped(ui.MAIN, start_timeout(v.exe), app.alive)
        captures["main"] = rest_on_background(session, x, main, "main", test_screens.MAIN_SCREEN)
        notice = notice_size(session, x, app, main)
        for name, caption, opener, (leave, leave_hover), want in PAGES:
            press(session, x, main, opener, hover=True)
            _, page = x.wait_mapped(caption, 30, app.alive)
            captures[name] = rest_on_background(session, x, page, name, want)
            if name in CLICKS:
                for (px, py), clicks in CLICKS[name]:
                    press(session, x, page, (px, py, 1, 1), clicks=clicks)
                captures[name + "-clicked"] = rest_on_background(session, x, page, name, want)
            press(session, x, page, leave, leave_hover)
            _, main = x.wait_mapped(ui.MAIN, 30, app.alive)
        check(app.alive(), "the program ended on the way at %d DPI" % dpi)
        saved = v.prefix.reg_values(PINNOTE_KEY)
    for name, img in captures.items():
        img.save(os.path.join(SCREENS_DIR, "dpi-%d-%s.png" % (dpi, name)))
    return Run(captures, notice, saved)


def differing_share(a, b):
    """The share of the pixels of two window captures that differ."""
    if a.size != b.size:
        return 1.0
    return sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q) / (a.size[0] * a.size[1])


@suite.scenario("every screen at 120 and 144 DPI draws as at 96 DPI (at most 1 % of its pixels differ), "
                "its buttons save the same, message boxes grow")
def _(s):
    s.prepare_template()  # made once for every suite: not this suite's time
    t0 = time.monotonic()
    x = XDirect(s.display.name)
    try:
        runs = {dpi: tour(s, x, dpi) for dpi in DPIS}
    finally:
        x.close()
    designed, failures = runs[96], []
    for dpi, run in runs.items():
        print("  %d DPI: notice %d x %d, Pinnote saved %r" % ((dpi,) + run.notice + (run.saved,)))
        if dpi == 96:
            continue
        if run.saved != designed.saved:
            failures.append("Pinnote saved %r at %d DPI, %r at 96 DPI" % (run.saved, dpi, designed.saved))
        if not all(a > b for a, b in zip(run.notice, designed.notice)):
            failures.append("the notice at %d DPI is %d x %d, no larger than at 96 DPI" % ((dpi,) + run.notice))
    print("  %-16s %s" % ("screen", "".join("%8d DPI" % dpi for dpi in DPIS[1:])))
    for name in SCREENS:
        shares = [differing_share(designed.captures[name], runs[dpi].captures[name]) for dpi in DPIS[1:]]
        print("  %-16s %s" % (name, "".join("%10.2f %%" % (100 * share) for share in shares)))
        failures += ["%s at %d DPI: %.2f %% of its pixels differ" % (name, dpi, 100 * share)
                     for dpi, share in zip(DPIS[1:], shares) if share > MOST_DIFFERENT]
    print("  dpi suite: %.1f s for %d starts" % (time.monotonic() - t0, len(DPIS)), flush=True)
    check(not failures, "; ".join(failures))
