"""Velmora with the keyboard alone, under Wine with real X key presses: from
the start, every page is opened, used and left without the mouse; what it
saves is read back from Wine's registry, and screenshots show the focus
cue after a key and none at rest once the mouse is used.

The pointer is parked off every window first, so that nothing is hovered;
after each key the run waits until Velmora has handled it (model.py's ping
through X) before it looks."""
import contextlib
import time

import ui
from harness import tool_exe, velmora
from runner import Suite, check
from test_random import read_registry
from xdirect import XDirect

suite = Suite("keyboard")

PARK = (3, 3)
TITLE_KEY = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main"
PINNOTE_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\Pinnote"
ICON_KEY = "HKCU\\Control Panel\\Desktop\\WindowMetrics"


class Keys:
    """Keys to one running Velmora, each waited on; what is on view."""

    def __init__(self, session, app):
        self.session, self.app = session, app
        self.x = XDirect(session.display.name)

    def close(self):
        self.x.close()

    def press(self, *keys):
        for key in keys:
            self.session.x.key(key)
            check(self.x.settle(self.app.proc.pid), "Velmora did not answer after %s" % key)

    def click(self, point):
        """A left click at a screen point, the pointer parked again after it."""
        self.x.move(*point)
        self.x.button(True, 1)
        self.x.button(False, 1)
        self.x.move(*PARK)
        check(self.x.settle(self.app.proc.pid), "Velmora did not answer after a click")

    def on_view(self):
        shown = [(name, g) for _, name, g, viewable in self.x.windows_of(self.app.proc.pid) if viewable and name]
        return shown[0] if shown else (None, None)

    def expect(self, caption):
        name, g = self.on_view()
        check(name == caption, "on view: %r, want %r" % (name, caption))
        return g


@contextlib.contextmanager
def keyboard_run(session, name):
    """Velmora started in a prefix of its own with the pointer parked off
    every window: (the prefix's Velmora, the app, its Keys)."""
    with velmora(session, name) as v:
        session.x.mousemove(*PARK)
        app, _ = v.start()
        keys = Keys(session, app)
        try:
            yield v, app, keys
        finally:
            keys.close()


def window(img, g):
    return img.crop((g[0], g[1], g[0] + g[2], g[1] + g[3]))


def dotted(img, g, box):
    """A box (x, y, w, h) of a window at g, cut out of a capture."""
    x, y, w, h = box
    return img.crop((g[0] + x, g[1] + y, g[0] + x + w, g[1] + y + h))


def differing(a, b):
    return sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)


@suite.scenario("keyboard alone: every page opened, used and left with keys; saves written, Esc writes nothing")
def _(s):
    with keyboard_run(s, "keyboard") as (v, app, keys):
        before = read_registry(v.prefix)
        # The main window opens on its first tile: Enter opens the desktop page.
        keys.expect(ui.MAIN)
        keys.press("Return")
        keys.expect(ui.DESKTOP)
        # Space ticks the focused box (the first), Enter saves.
        keys.press("space", "Return")
        keys.expect(ui.MAIN)
        check(v.prefix.reg_query(ICON_KEY, "Shell Icon Size") == ("REG_SZ", "48"),
              "the box ticked with Space was not saved: %r" % (v.prefix.reg_query(ICON_KEY, "Shell Icon Size"),))
        # The security page by the arrows, left with Esc after a tick: nothing written.
        keys.press("Right", "space")
        keys.expect(ui.SECURITY)
        written = read_registry(v.prefix)
        keys.press("space", "Escape")
        keys.expect(ui.MAIN)
        check(read_registry(v.prefix) == written, "Esc on the security page wrote something")
        # The title page: type a title, Enter saves what the box shows.
        keys.press("Down", "Return")
        keys.expect(ui.TITLE)
        keys.press("a", "b", "c")
        shown = v.prefix.wine(tool_exe("probe"), "text", ui.TITLE).stdout.decode("utf-8")
        check("abc" in shown, "the typed title is not in the box: %r" % shown)
        keys.press("Return")
        keys.expect(ui.MAIN)
        check(v.prefix.reg_query(TITLE_KEY, "Window Title") == ("REG_SZ", shown),
              "title saved %r, the box showed %r" % (v.prefix.reg_query(TITLE_KEY, "Window Title"), shown))
        # The Pinnote tab: the arrows choose the plain skin, Tab reaches the red swatch, Space picks it.
        keys.press("Tab", "Tab", "Tab", "Tab")
        keys.press("Return")
        keys.expect(ui.PINNOTE)
        keys.press("Right", "Tab", "Tab", "space", "Return")
        keys.expect(ui.MAIN)
        pinnote = v.prefix.reg_values(PINNOTE_KEY)
        check(pinnote.get("skin") == ("REG_SZ", "2") and pinnote.get("color") == ("REG_SZ", "R")
              and "front" not in pinnote, "Pinnote options saved: %r" % pinnote)
        # The more, help and about pages, each left with Esc.
        saved = read_registry(v.prefix)
        for opener, caption in [(["Right", "Down", "Return"], ui.MORE),
                                (["Tab"] * 7 + ["Return"], ui.HELP),
                                (["Tab"] * 6 + ["Return"], ui.ABOUT)]:
            keys.press(*opener)
            keys.expect(caption)
            keys.press("Tab", "Escape")
            keys.expect(ui.MAIN)
        check(read_registry(v.prefix) == saved, "Esc on the more, help or about page wrote something")
        check(read_registry(v.prefix) != before, "nothing was saved at all")


@suite.scenario("the focus cue shows after a key and not at rest, nor after the mouse is used")
def _(s):
    with keyboard_run(s, "keyboard-cues") as (v, app, keys):
        g = keys.expect(ui.MAIN)
        tiles = [b for b, _ in ui.TILES.values()]
        rest = s.x.capture()
        keys.press("Tab")  # to the second tile
        after_key, path = s.screenshot("keyboard-cue-main")
        print("  screenshot:", path)
        changed = [differing(dotted(rest, g, b), dotted(after_key, g, b)) for b in tiles]
        check(changed[0] == 0 and changed[1] > 40 and not any(changed[2:]),
              "the focus cue on the tiles after Tab: %r pixels changed" % changed)
        # A click on the bare background hides the cue again, as at rest.
        keys.click((g[0] + 290, g[1] + 190))
        clicked, path = s.screenshot("keyboard-cue-main-clicked")
        print("  screenshot:", path)
        check(differing(window(rest, g), window(clicked, g)) == 0,
              "the main window after a click differs from it at rest")
        # A page (the focused tile's): the first box focused at rest shows
        # no cue, Tab shows it on the next.
        keys.press("Return")
        g = keys.expect(ui.SECURITY)
        time.sleep(0.3)
        page_rest = s.x.capture()
        keys.press("Tab")
        page_key, path = s.screenshot("keyboard-cue-security")
        print("  screenshot:", path)
        box2 = (56, 48 + 48, 160, 17)  # the second box of the security page
        check(differing(dotted(page_rest, g, box2), dotted(page_key, g, box2)) > 20,
              "no focus cue on the second box after Tab")
        keys.click((g[0] + 420, g[1] + 180))
        page_clicked, path = s.screenshot("keyboard-cue-security-clicked")
        print("  screenshot:", path)
        check(differing(dotted(page_rest, g, box2), dotted(page_clicked, g, box2)) == 0,
              "the focus cue stays on the box after the mouse was used")


@suite.scenario("the help page's texts: Tab enters them without a selection, the arrows are theirs, Tab leaves")
def _(s):
    with keyboard_run(s, "keyboard-help") as (v, app, keys):
        keys.press(*(["Tab"] * 7 + ["Return"]))
        g = keys.expect(ui.HELP)
        questions = (20, 180, 460, 150)  # the second text, inside its frame
        rest = dotted(s.x.capture(), g, questions)
        keys.press("Tab")  # from the first text into the second
        entered = dotted(s.x.capture(), g, questions)
        # Only the caret may have come: a selection would colour whole lines.
        check(differing(rest, entered) < 40, "Tab into the text changed %d pixels" % differing(rest, entered))
        # The arrows are the text's own: they move its caret (and would
        # scroll it; both texts fit their boxes at this size).
        keys.press("Down", "Down", "Down", "End")
        moved = dotted(s.x.capture(), g, questions)
        check(0 < differing(entered, moved) < 80, "the arrows did not move the caret in the text (%d pixels)" %
              differing(entered, moved))
        keys.expect(ui.HELP)
        keys.press("Tab")
        keys.expect(ui.HELP)
        keys.press("Return")  # Tab left the text for the back picture
        keys.expect(ui.MAIN)
