"""Random real X input over Velmora under Wine: clicks, presses and releases
of every button, drags, moves, typing and Alt+F4 on the pages, for about a
minute and a half (VELMORA_E2E_RANDOM_SECONDS sets it; VELMORA_E2E_RANDOM_SEED
repeats a run). Never sent: clicks on the main window's close and minimise
pictures (the first ends the program, the second takes the window out of
reach), on the save buttons (so that nothing may be written at all) and on
the about page's web spots (they start the browser).

Afterwards the process is alive and answers — its window opens a page and
comes back — and Wine's registry holds exactly what it held before: the
tweak values and Velmora's settings keys, the splash number included."""
import os
import random
import time

from harness import SCREEN_H, SCREEN_W, HarnessError
from measure import XDirect
from runner import Skip, Suite, check
from test_tweaks import EXE, WATCHED_KEYS

suite = Suite("random")

SECONDS = float(os.environ.get("VELMORA_E2E_RANDOM_SECONDS", "90"))
MAIN, NOTICE = "Velmora", "注意"
PAGES = ["桌面及菜单", "系统", "其它", "更多", "Pinnote", "帮助"]
KNOWN = [NOTICE, MAIN] + PAGES + ["加载中..."]
SETTINGS_KEYS = ["HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt",
                 "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\Pinnote"]

# Window-relative boxes (x, y, w, h) that random input leaves alone.
MAIN_FORBIDDEN = [(518, 0, 27, 18), (546, 0, 34, 18)]           # minimise, close
SAVE_BUTTON = (476, 68, 64, 100)                                # Image1/Image4/save
ABOUT_SPOTS = [(78, 55, 105, 35), (19, 176, 125, 94), (19, 278, 124, 40)]


def forbidden(caption, size, point):
    x, y = point
    boxes = []
    if caption == MAIN:
        boxes = MAIN_FORBIDDEN
    elif caption == "更多" and size == (581, 351):
        boxes = ABOUT_SPOTS
    elif caption in PAGES and caption not in ("帮助", "更多"):
        boxes = [SAVE_BUTTON]
    return any(bx <= x < bx + bw and by <= y < by + bh for bx, by, bw, bh in boxes)


def current(x):
    """(caption, (x, y, w, h)) of the window on view, the notice first."""
    for caption in KNOWN:
        g = x.shown(caption)
        if g:
            return caption, g
    return None, None


def snapshot(prefix):
    return {key: prefix.reg_values(key) for key in WATCHED_KEYS + SETTINGS_KEYS}


class Monkey:
    def __init__(self, session, app, seed):
        self.x = XDirect(session.display.name)
        self.keys = session.x
        self.app = app
        self.rng = random.Random(seed)
        self.held = set()
        self.actions = []
        self.count = 0

    def note(self, text):
        self.actions = (self.actions + [text])[-12:]

    def point(self, caption, g):
        for _ in range(50):
            p = (self.rng.randrange(g[2]), self.rng.randrange(g[3]))
            on_screen = 0 <= g[0] + p[0] < SCREEN_W and 0 <= g[1] + p[1] < SCREEN_H
            if on_screen and not forbidden(caption, g[2:], p):
                return p
        return g[2] // 2, g[3] // 2 + 40

    def release_all(self):
        for b in sorted(self.held):
            self.x.button(False, b)
        self.held.clear()

    def step(self):
        caption, g = current(self.x)
        if caption is None:
            time.sleep(0.05)  # between two screens
            return
        if caption == NOTICE:
            self.release_all()
            self.note("Return on the notice")
            self.keys.key("Return")
            time.sleep(0.1)
            return
        r = self.rng.random()
        px, py = self.point(caption, g)
        sx, sy = g[0] + px, g[1] + py
        if r < 0.35:
            self.note("click on %s at (%d,%d)" % (caption, px, py))
            self.release_all()
            self.x.move(sx - 1, sy)
            self.x.move(sx, sy)
            time.sleep(self.rng.choice((0.0, 0.05, 0.2)))
            b = self.rng.choice((1, 1, 1, 2, 3))
            self.x.button(True, b)
            time.sleep(0.02)
            self.x.button(False, b)
        elif r < 0.6:
            self.note("move on %s to (%d,%d)" % (caption, px, py))
            self.x.move(sx, sy)
        elif r < 0.72:
            b = self.rng.choice((1, 2, 3))
            if b in self.held:
                self.x.button(False, b)
                self.held.discard(b)
                self.note("release %d on %s" % (b, caption))
            else:
                self.x.button(True, b)
                self.held.add(b)
                self.note("press %d on %s" % (b, caption))
        elif r < 0.8:
            self.note("drag on %s from (%d,%d)" % (caption, px, py))
            self.release_all()
            self.x.move(sx, sy)
            time.sleep(0.05)
            self.x.button(True, 1)
            for i in range(1, 6):
                self.x.move(sx + i * self.rng.randint(-8, 8), sy + i * self.rng.randint(-8, 8))
                time.sleep(0.02)
            self.x.button(False, 1)
        elif r < 0.93:
            keys = self.rng.choice((["space"], ["a", "b", "c"], ["BackSpace"], ["Tab"], ["Return"], ["9"]))
            self.note("keys %s on %s" % (" ".join(keys), caption))
            self.keys.key(*keys)
        elif caption in PAGES and not self.x.shown(MAIN):
            self.release_all()
            self.note("Alt+F4 on %s" % caption)
            self.keys.key("alt+F4")
        time.sleep(self.rng.choice((0.01, 0.03, 0.08)))
        self.count += 1

    def run(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.step()
            if self.count % 25 == 0:
                check(self.app.alive(), "the process ended; last input: %s" % "; ".join(self.actions))
        self.release_all()

    def back_to_main(self, timeout=20):
        """Closes notices and pages (Alt+F4) until the main window is on view."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            caption, _ = current(self.x)
            if caption == MAIN:
                return
            if caption == NOTICE:
                self.keys.key("Return")
            elif caption in PAGES:
                self.keys.key("alt+F4")
            time.sleep(0.3)
        raise HarnessError("main window not back; last input: %s" % "; ".join(self.actions))


@suite.scenario("random input for a while: alive, answering, and nothing written without a save")
def _(s):
    if not os.path.isfile(EXE):
        raise Skip("Velmora not built")
    seed = int(os.environ.get("VELMORA_E2E_RANDOM_SEED", str(int(time.time()) % 100000)))
    print("  seed %d (VELMORA_E2E_RANDOM_SEED=%d repeats it), %.0f s" % (seed, seed, SECONDS), flush=True)
    p = s.fresh_prefix("random")
    monkey = None
    try:
        app = p.launch(EXE)
        app.wait_window(MAIN, timeout=40)
        before = snapshot(p)
        monkey = Monkey(s, app, seed)
        monkey.run(SECONDS)
        print("  %d random inputs" % monkey.count, flush=True)
        time.sleep(0.5)
        check(app.alive(), "the process ended; last input: %s" % "; ".join(monkey.actions))

        # Answering: back to the main window, then the More tile and back.
        monkey.back_to_main()
        main = app.wait_window(MAIN, timeout=10)
        main.click(416, 264, hover=0.3)
        more = app.wait_window("更多", timeout=20)
        time.sleep(0.3)
        more.click(507, 248, hover=0.3)
        check(app.wait_window(MAIN, timeout=10) is not None, "main window not back from the 更多 page")

        after = snapshot(p)
        changed = {key: (before[key], after[key]) for key in before if before[key] != after[key]}
        check(not changed, "registry changed without a save: %r" % changed)
    finally:
        if monkey:
            monkey.x.close()
        p.close()
