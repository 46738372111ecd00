"""Random real X input over Velmora under Wine: clicks, presses and releases
of every button, drags, moves, typing, and closes from the window manager
on the pages. The seeds are fixed (random-seeds.txt) so that every CI run
sends the same kind of input; `scripts/soak.sh` runs new seeds for as long
as asked, and VELMORA_E2E_RANDOM_SEED repeats one.

Never sent: a press, release or key while the pointer rests in a forbidden
box (ui.FORBIDDEN: the main window's close and minimise pictures, the save
buttons, the about page's web spots) of the window on view or of any screen
where it would open, since a screen can change between a look and a press.
Keys need no such care: no control that takes the focus saves or ends
anything on Space or Return (save buttons are pictures), and the only key
that closes a window, Alt+F4, is replaced by a close request sent to the
page's own window, which cannot reach the main window.

Afterwards the process is alive and answers (its window opens a page and
comes back) and Wine's registry holds exactly what it held after start: the
tweak values and Velmora's settings keys, the splash number included. Every
failure prints the seed and the last inputs."""
import os
import random
import time

import ui
from harness import SCREEN_H, SCREEN_W, HarnessError, velmora
from runner import Suite
from test_tweaks import WATCHED_KEYS
from xdirect import XDirect

suite = Suite("random")

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS_FILE = os.path.join(HERE, "random-seeds.txt")
INPUTS = int(os.environ.get("VELMORA_E2E_RANDOM_INPUTS", "250"))
KNOWN = [ui.NOTICE, ui.MAIN] + ui.PAGE_CAPTIONS
SETTINGS_KEYS = ["HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt",
                 "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\Pinnote"]


def fixed_seeds():
    with open(SEEDS_FILE) as f:
        return [int(line.split("#")[0]) for line in f if line.split("#")[0].strip()]


def snapshot(prefix):
    return {key: prefix.reg_values(key) for key in WATCHED_KEYS + SETTINGS_KEYS}


class RunFailed(AssertionError):
    pass


class Monkey:
    """Sends random input; remembers the last of it for the failure report."""

    def __init__(self, session, app, seed):
        self.x = XDirect(session.display.name)
        self.keys = session.x
        self.app = app
        self.seed = seed
        self.rng = random.Random(seed)
        self.held = set()
        self.actions = []
        self.count = 0

    def close(self):
        self.x.close()

    def note(self, text):
        self.actions = (self.actions + ["#%d %s" % (self.count, text)])[-20:]

    def fail(self, message):
        raise RunFailed("%s\n  seed %d (VELMORA_E2E_RANDOM_SEED=%d repeats it); last inputs:\n    %s" %
                        (message, self.seed, self.seed, "\n    ".join(self.actions)))

    def current(self):
        """(caption, (x, y, w, h)) of the window on view, the notice first."""
        shown = {name: g for _, name, g in self.x.viewable() if name in KNOWN}
        for caption in KNOWN:
            if caption in shown:
                return caption, shown[caption]
        return None, None

    # --- where the pointer may be when a button or key goes down or up ---------

    def unsafe(self, point, current):
        return any(ui.inside(box, point) for box in ui.forbidden_on_screen(current))

    def safe_point(self, caption, g):
        """A random point of the window that no forbidden box covers: half
        of the time near one of the screen's controls, else anywhere."""
        current = (caption, g)
        spots = ui.HOTSPOTS.get((caption, tuple(g[2:])), [])
        for attempt in range(100):
            if spots and attempt < 10 and self.rng.random() < 0.5:
                x, y = self.rng.choice(spots)
                p = (g[0] + x + self.rng.randint(-3, 3), g[1] + y + self.rng.randint(-3, 3))
            else:
                p = (g[0] + self.rng.randrange(g[2]), g[1] + self.rng.randrange(g[3]))
            if 0 <= p[0] < SCREEN_W and 0 <= p[1] < SCREEN_H and not self.unsafe(p, current):
                return p
        return 3, 3  # the bare desktop corner

    def make_safe(self):
        """Looks at the screen and the pointer now; moves the pointer out of
        any forbidden box before a button or key goes down or up."""
        caption, g = self.current()
        pointer = self.x.pointer()
        if self.unsafe(pointer, (caption, g)):
            target = self.safe_point(caption, g) if caption else (3, 3)
            self.note("pointer moved out of a forbidden box at %r to %r" % (pointer, target))
            self.x.move(*target)
            time.sleep(0.02)
            pointer = self.x.pointer()
            if self.unsafe(pointer, (caption, g)):
                self.fail("the pointer could not leave a forbidden box: %r" % (pointer,))

    def button(self, down, number):
        self.make_safe()
        self.x.button(down, number)

    def key(self, *keys):
        self.make_safe()
        self.keys.key(*keys)

    def release_all(self):
        for b in sorted(self.held):
            self.button(False, b)
        self.held.clear()

    # --- one random input ----------------------------------------------------------

    def step(self):
        caption, g = self.current()
        if caption is None:
            time.sleep(0.05)  # between two screens
            return
        if caption == ui.NOTICE:
            self.release_all()
            self.note("Return on the notice")
            self.key("Return")
            time.sleep(0.1)
            return
        r = self.rng.random()
        sx, sy = self.safe_point(caption, g)
        where = "%s at (%d,%d)" % (caption or "?", sx - g[0], sy - g[1])
        if r < 0.35:
            b = self.rng.choice((1, 1, 1, 2, 3))
            self.note("click %d on %s" % (b, where))
            self.release_all()
            self.x.move(sx - 1, sy)
            self.x.move(sx, sy)
            time.sleep(self.rng.choice((0.0, 0.05, 0.2)))
            self.button(True, b)
            time.sleep(0.02)
            self.button(False, b)
        elif r < 0.6:
            self.note("move on %s" % where)
            self.x.move(sx, sy)
        elif r < 0.72:
            b = self.rng.choice((1, 2, 3))
            if b in self.held:
                self.note("release %d on %s" % (b, caption))
                self.button(False, b)
                self.held.discard(b)
            else:
                self.note("press %d on %s" % (b, caption))
                self.button(True, b)
                self.held.add(b)
        elif r < 0.8:
            self.note("drag on %s" % where)
            self.release_all()
            self.x.move(sx, sy)
            time.sleep(0.05)
            self.button(True, 1)
            for i in range(1, 6):
                self.x.move(sx + i * self.rng.randint(-8, 8), sy + i * self.rng.randint(-8, 8))
                time.sleep(0.02)
            self.button(False, 1)
        elif r < 0.93:
            keys = self.rng.choice((["space"], ["a", "b", "c"], ["BackSpace"], ["Tab"], ["Return"], ["9"]))
            self.note("keys %s on %s" % (" ".join(keys), caption))
            self.key(*keys)
        elif caption in ui.PAGE_CAPTIONS:
            self.release_all()
            self.close_page(caption)
        time.sleep(self.rng.choice((0.01, 0.03, 0.08)))
        self.count += 1

    def close_page(self, caption):
        """The close a window manager or taskbar sends, to the page's own window."""
        for window, name, _ in self.x.viewable():
            if name == caption:
                self.note("close request to %s" % caption)
                self.x.close_window(window)
                return

    def run(self, inputs):
        while self.count < inputs:
            self.step()
            if self.count % 25 == 0 and not self.app.alive():
                self.fail("the process ended")
        self.release_all()

    def back_to_main(self, timeout=30):
        """Closes notices and pages until the main window is on view."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            caption, _ = self.current()
            if caption == ui.MAIN:
                return
            if caption == ui.NOTICE:
                self.key("Return")
            elif caption in ui.PAGE_CAPTIONS:
                self.close_page(caption)
            time.sleep(0.3)
        self.fail("the main window did not come back")


def run_seed(session, seed, inputs=INPUTS):
    """One random run in a fresh prefix; raises RunFailed naming the seed and the last inputs."""
    print("  seed %d (VELMORA_E2E_RANDOM_SEED=%d repeats it), %d inputs" % (seed, seed, inputs), flush=True)
    with velmora(session, "random-%d" % seed) as v:
        app, _ = v.start()
        before = snapshot(v.prefix)
        monkey = Monkey(session, app, seed)
        try:
            try:
                monkey.run(inputs)
                time.sleep(0.5)
                if not app.alive():
                    monkey.fail("the process ended")

                # Answering: back to the main window, then the More tile and back.
                monkey.back_to_main()
                main = app.wait_window(ui.MAIN, timeout=10)
                main.click(*ui.centre(ui.TILES["More"][0]), hover=0.3)
                more = app.wait_window(ui.MORE, timeout=20)
                more.click(*ui.BACK, hover=0.3)
                app.wait_window(ui.MAIN, timeout=10)
            except HarnessError as e:
                monkey.fail(str(e))
            after = snapshot(v.prefix)
            changed = {(key, name): (before[key].get(name), after[key].get(name))
                       for key in before for name in set(before[key]) | set(after[key])
                       if before[key].get(name) != after[key].get(name)}
            if changed:
                monkey.fail("registry changed without a save (before, after): %r" % changed)
        finally:
            monkey.close()


def _scenario(seed):
    def run(s):
        seed_from_env = os.environ.get("VELMORA_E2E_RANDOM_SEED")
        run_seed(s, int(seed_from_env) if seed_from_env else seed)
    return run


if os.environ.get("VELMORA_E2E_RANDOM_SEED"):
    suite.scenario("random input, seed %s: alive, answering, nothing written without a save" %
                   os.environ["VELMORA_E2E_RANDOM_SEED"])(_scenario(None))
else:
    for _seed in fixed_seeds():
        suite.scenario("random input, seed %d: alive, answering, nothing written without a save" % _seed)(
            _scenario(_seed))
