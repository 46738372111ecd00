"""The Pinnote, help and about pages under Wine, with real X input: what a
save leaves in the registry, the see-through key colour, the help texts on
screen, and the about page's spots handing addresses to the browser.

Coordinates are relative to the window's top-left; each page is centred."""
import os
import re
import time

import ui
from harness import ROOT, ROOT_RGB, close_to, velmora
from runner import Suite, check

suite = Suite("pages")

MAIN, PINNOTE, HELP, ABOUT, NOTICE = ui.MAIN, ui.PINNOTE, ui.HELP, ui.ABOUT, ui.NOTICE
PINNOTE_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\Pinnote"

# Main window side tabs; the pointer has to rest on a tab before it opens.
PINNOTE_TAB, ABOUT_TAB, HELP_TAB = (13, 95), (565, 79), (565, 157)



def in_frame1(x, y):
    """A point of the Pinnote page's Frame1, which sits at (24, 56)."""
    return 24 + x, 56 + y


# Pinnote page: the centres of the swatches and the skin picture, a point on
# the check box, and the save and back buttons.
RED, GREEN, BLACK = in_frame1(264, 164), in_frame1(288, 164), in_frame1(312, 164)
SKIN2, CHECK1 = in_frame1(160, 70), in_frame1(26, 164)
SAVE, BACK = (507, 117), (507, 248)

# About page spots (centres).
MAKER_LOGO, VAULTICK, ARROW = (82, 223), (130, 144), (516, 292)


def web_address(name):
    """An address as the program holds it, from its one place in the source."""
    with open(os.path.join(ROOT, "src", "info", "WebAddresses.h"), encoding="utf-8") as f:
        m = re.search(r'\b%s = "([^"]+)"' % name, f.read())
    check(m is not None, "no %s in WebAddresses.h" % name)
    return m.group(1)


def open_tab(app, main, tab, caption):
    main.click(*tab, hover=0.3)
    page = app.wait_window(caption, timeout=20)
    time.sleep(0.4)
    return page


def settled_screenshot(session, name, settled, timeout=6):
    """The screen once `settled(img)` holds, or when time is up: Loading,
    hidden by a switch, can linger behind the page on the X screen for a
    moment, and a child window can paint late under Xvfb."""
    session.x.mousemove(3, 3)
    deadline = time.monotonic() + timeout
    img = session.x.capture()
    while not settled(img) and time.monotonic() < deadline:
        time.sleep(0.3)
        img = session.x.capture()
    img, path = session.screenshot(name)
    print("  screenshot:", path)
    return img


def click(window, point, hover=0.2):
    window.click(*point, hover=hover)
    time.sleep(0.2)


def pinnote_values(prefix):
    return {name: data for name, (kind, data) in prefix.reg_values(PINNOTE_KEY).items() if kind == "REG_SZ"}


@suite.scenario("Pinnote save after clicks writes exactly the touched options; green corners see-through")
def _(s):
    with velmora(s, "pinnote-save") as v:
        p = v.prefix
        app, main = v.start()
        page = open_tab(app, main, PINNOTE_TAB, PINNOTE)
        wx, wy, ww, wh = page.geometry()
        corners = {"top-left": (1, 1), "top-right": (ww - 2, 1), "bottom-left": (1, wh - 2),
                   "bottom-right": (ww - 2, wh - 2)}

        def opaque_corners(img):
            return {what: img.getpixel((wx + x, wy + y)) for what, (x, y) in corners.items()
                    if not close_to(img.getpixel((wx + x, wy + y)), ROOT_RGB)}

        img = settled_screenshot(s, "pages-pinnote", lambda img: not opaque_corners(img))
        check(not opaque_corners(img), "corners not see-through: %r" % opaque_corners(img))
        got = img.getpixel((wx + RED[0], wy + RED[1]))
        check(close_to(got, (255, 0, 0)), "the red swatch is drawn %r" % (got,))

        for point in (GREEN, BLACK, SKIN2, CHECK1):
            click(page, point)
        click(page, SAVE, hover=0.4)
        check(app.wait_window(MAIN, timeout=10) is not None, "main window not back after save")
        check(app.wait_gone(PINNOTE, timeout=5), "Pinnote page still visible after save")
        got = pinnote_values(p)
        check(got == {"front": "No", "skin": "2", "color": "B"}, "stored after save: %r" % (got,))


@suite.scenario("Pinnote back writes nothing; a swatch clicked before it still counts at a later save")
def _(s):
    with velmora(s, "pinnote-back") as v:
        p = v.prefix
        p.reg_add(PINNOTE_KEY, "Color", "G")
        app, main = v.start()
        page = open_tab(app, main, PINNOTE_TAB, PINNOTE)
        click(page, RED)
        click(page, BACK, hover=0.4)
        main = app.wait_window(MAIN, timeout=10)
        check(app.wait_gone(PINNOTE, timeout=5), "Pinnote page still visible after back")
        got = pinnote_values(p)
        check(got == {"color": "G"}, "stored after back: %r" % (got,))
        page = open_tab(app, main, PINNOTE_TAB, PINNOTE)
        click(page, SAVE, hover=0.4)
        app.wait_window(MAIN, timeout=10)
        got = pinnote_values(p)
        check(got == {"color": "G"}, "stored after a save without clicks: %r" % (got,))


def count_close(img, box, colour, tol=40):
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if close_to(img.getpixel((x, y)), colour, tol))


@suite.scenario("help page shows its texts white on blue, the question frame over the usage frame")
def _(s):
    with velmora(s, "help") as v:
        app, main = v.start()
        page = open_tab(app, main, HELP_TAB, HELP)
        wx, wy, _, _ = page.geometry()
        usage = (wx + 16, wy + 64, wx + 489, wy + 158)
        questions = (wx + 16, wy + 176, wx + 489, wy + 330)
        img = settled_screenshot(s, "pages-help", lambda img: all(
            close_to(img.getpixel((box[0] + 200, box[3] - 5)), (74, 114, 190), 30) for box in (usage, questions)))
        for name, box in (("usage", usage), ("questions", questions)):
            area = (box[2] - box[0]) * (box[3] - box[1])
            white = count_close(img, box, (255, 255, 255), 60)
            blue = count_close(img, box, (74, 114, 190), 30)
            check(blue > area // 2, "%s text box is not blue (%d of %d pixels)" % (name, blue, area))
            check(white > area // 50, "%s text box shows hardly any text (%d white pixels)" % (name, white))
        # The caption 常见问题 starts 9 pixels above the usage frame's lower
        # edge; it is drawn there only if its frame lies on top.
        caption = count_close(img, (wx + 16, wy + 160, wx + 80, wy + 168), (255, 128, 128), 50)
        check(caption > 10, "the upper half of the caption 常见问题 is covered (%d pixels)" % caption)

        click(page, (528, 299))
        check(app.wait_window(MAIN, timeout=10) is not None, "main window not back after the back picture")
        check(app.wait_gone(HELP, timeout=5), "help page still visible")


@suite.scenario("about spots start the browser on their address and show the Vaultick notice; arrow returns")
def _(s):
    with velmora(s, "about") as v:
        opened = v.prefix.browser_stub()

        app, main = v.start()
        page = open_tab(app, main, ABOUT_TAB, ABOUT)
        click(page, MAKER_LOGO)
        deadline = time.monotonic() + 15
        while not os.path.exists(opened) and time.monotonic() < deadline:
            time.sleep(0.1)
        check(os.path.exists(opened), "no browser started after clicking the maker's logo")
        with open(opened) as f:
            got = f.read().split()
        check(got == [web_address("kMakerSite")], "browser given %r" % (got,))

        click(page, VAULTICK)
        notice = app.wait_window(NOTICE, timeout=10)
        notice.x.key("Return")
        check(app.wait_gone(NOTICE, timeout=5), "the notice did not close on Enter")

        click(page, ARROW)
        check(app.wait_window(MAIN, timeout=10) is not None, "main window not back after the arrow")
        check(app.wait_gone(ABOUT, timeout=5), "about page still visible")
        check(app.alive(), "process ended")

