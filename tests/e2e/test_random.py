"""Random real X input over Velmora under Wine, anywhere on every window:
clicks, presses and releases of every button (chords too), press-move-
release paths and drags, moves, keys, and the close a window manager sends.
Nothing is out of bounds: the save buttons save, the close pictures close
(the main window's ends the program, which is started again), the minimise
picture minimises (the window is restored the taskbar's way), the about
page's spots start the browser (a stub here).

Every input is judged (model.py): after it, the run waits until Velmora has
handled it (a ping through X answered twice by its thread), then looks at
what is on view. A screen may change only where an input explains it, and
when a settings page is left, the registry and the settings store must hold
what the model says: a save happens only on the release of a press that
began on the save picture, and writes exactly the settings marked since
their last save, each as the page showed it just before that release.

The seeds are fixed (random-seeds.txt) so that every CI run sends the same
kind of input; `scripts/soak.sh` runs new seeds, VELMORA_E2E_RANDOM_SEED
repeats one. At its end the suite prints, per screen, which of the controls
a user can press random input pressed, and what share of the window it kept
out of reach. Every failure prints the seed and the last inputs."""
import os
import random
import time

import model
import ui
from harness import SCREEN_H, SCREEN_W, HarnessError, tool_exe, velmora
from model import LEFT, MIDDLE, RIGHT
from runner import Suite
from xdirect import XDirect

suite = Suite("random")

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS_FILE = os.path.join(HERE, "random-seeds.txt")
INPUTS = int(os.environ.get("VELMORA_E2E_RANDOM_INPUTS", "250"))
# Two left presses this close in time and place would be a double click,
# which an option button takes differently; the run keeps them apart.
DOUBLE_CLICK_SECONDS, DOUBLE_CLICK_PIXELS = 0.7, 5
MINIMISED_SIZE = (160, 24)  # how Wine shows a minimised window without a window manager
# The keys of the page weigh more than characters: Space and Tab most.
KEYS = ["space"] * 3 + ["Tab"] * 2 + ["shift+Tab", "Return", "Escape", "a", "9", "BackSpace", "Up", "Down", "Left",
                                      "Right"]


def fixed_seeds():
    with open(SEEDS_FILE) as f:
        return [int(line.split("#")[0]) for line in f if line.split("#")[0].strip()]


class RunFailed(AssertionError):
    pass


def probe(prefix, *args):
    """Runs the probe tool; a start that Wine refuses now and then is tried again."""
    for attempt in range(3):
        r = prefix.wine(tool_exe("probe"), *args, timeout=60, check=False)
        if r.returncode == 0:
            return r
        print("  probe %s: exit status %d, tried again" % (args[0], r.returncode), flush=True)
        time.sleep(0.5)
    raise HarnessError("probe %s failed (%d): %s" % (" ".join(args), r.returncode,
                                                      r.stderr.decode(errors="replace")[-500:]))


def read_registry(prefix):
    """{(key, lower-case name): (type, data)} of every watched key, in one quick process."""
    r = probe(prefix, "values", *model.WATCHED_KEYS)
    values = {}
    for line in r.stdout.decode("utf-8").splitlines():
        key, name, kind, data = line.split("\t", 3)
        values[model.setting_id(key, name)] = (kind, data)
    return values


def mark_shown(img, origin, rect):
    """Whether a native check box is ticked or an option button selected:
    dark pixels in the middle of its mark, at the left of its box."""
    x, y = origin[0] + int(rect[0]), origin[1] + int(rect[1])
    cy = y + int(rect[3]) // 2
    dark = sum(1 for px in range(x + 3, x + 10) for py in range(cy - 4, cy + 4)
               if max(img.getpixel((px, py))) < 100)
    return dark >= 4


class Run:
    """One seed's run in a prefix of its own."""

    def __init__(self, session, v, seed):
        self.session, self.v, self.seed = session, v, seed
        self.rng = random.Random(seed)
        self.x = XDirect(session.display.name)
        self.layouts = model.load_layout("xp")
        self.model = None
        self.app = None
        self.inputs = []
        self.count = 0
        self.starts = 0
        self.last_left = (-10.0, (-100, -100))  # time and place of the last left press
        self.shown = {}  # what a settings page showed before the release that may save it
        self.seen = None  # what was on view after the last input
        self.over = None  # a notice, or "minimised", judged and still on view

    def close(self):
        self.x.close()

    # --- reporting --------------------------------------------------------------

    def note(self, text):
        self.inputs = (self.inputs + ["#%d %s" % (self.count, text)])[-int(os.environ.get("VELMORA_E2E_RANDOM_HISTORY", "20")):]

    def fail(self, message):
        v = self.model.visit if self.model else None
        state = "model: %s, form capture %r, Windows capture %r, focus %r, held %r%s" % (
            v.screen.form, v.form_capture, v.win_capture, v.focus, sorted(self.model.held),
            ", dragging" if v.dragging else "") if v else "model: no window"
        if self.model:
            state += "\n  marks %r; shown before the last possible save %r" % (
                {page: marks for page, marks in self.model.marks.items() if marks}, self.shown)
        raise RunFailed("%s\n  %s\n  seed %d (VELMORA_E2E_RANDOM_SEED=%d repeats it); last inputs:\n    %s" %
                        (message, state, self.seed, self.seed, "\n    ".join(self.inputs)))

    # --- the program ----------------------------------------------------------------

    def start(self):
        """Starts Velmora and waits for its main window."""
        registry = read_registry(self.v.prefix)
        if self.model is None:
            self.model = model.Model(self.layouts, registry)
        elif registry != self.model.expected:
            self.fail("before a start the registry differs: %s" %
                      "; ".join(model.check_registry(self.model.expected, registry)))
        self.model.restarted()
        self.over = None
        # A start moves the splash picture on, by design.
        splash = model.setting_id(model.SPLASH_KEY, "LoadPictureNumber")
        stored = self.model.expected.get(splash, ("REG_SZ", ""))[1]
        self.model.expected[splash] = ("REG_SZ", model.SPLASH_NEXT.get(stored, ""))
        self.app = self.v.launch()
        self.starts += 1
        deadline = time.monotonic() + 60
        relaunched = False
        while self.observe() != "FormMain":
            if not relaunched and self.app.never_started():  # Wine's own failure to start it
                print("  Wine did not start Velmora (status 1, no window)%s; started again" %
                      self.app.log_tail(), flush=True)
                self.app = self.v.launch()
                relaunched = True
                continue
            if not self.app.alive() or time.monotonic() > deadline:
                self.fail("the main window did not open after a start%s" % self.app.log_tail())
            time.sleep(0.05)
        self.model.opened("FormMain")
        self.check_registry("after a start")

    def windows(self):
        return [(w, name, g) for w, name, g, viewable in self.x.windows_of(self.app.proc.pid) if viewable]

    def observe(self):
        """What is on view: a form's name, "notice", "minimised", "splash",
        None (nothing), or "ended"."""
        if not self.app.alive():
            return "ended"
        shown = self.windows()
        if any(name == ui.NOTICE for _, name, _ in shown):
            return "notice"
        # A text box's menu (a right click on it): a small window without a name.
        if any(name == "" and tuple(g[2:]) != ui.PAGE_SIZE for _, name, g in shown):
            return "menu"
        for _, name, g in shown:
            if name == ui.MAIN and tuple(g[2:]) == MINIMISED_SIZE:
                return "minimised"
            if name == ui.SPLASH:
                return "splash"
            form = self.model.form_of(name, g[2:]) if self.model else (
                "FormMain" if name == ui.MAIN else None)
            if form:
                return form
        return None

    def geometry(self):
        form = self.model.visit.screen
        for _, name, g in self.windows():
            if name == form.caption and tuple(g[2:]) == form.size:
                return g
        return None

    def settle(self):
        if not self.x.settle(self.app.proc.pid) and self.app.alive():
            time.sleep(0.5)
            if self.app.alive() and not self.x.settle(self.app.proc.pid):
                self.fail("Velmora stopped answering")

    def check_registry(self, when, definite=None, maybe=None):
        registry = read_registry(self.v.prefix)
        problems = model.check_registry(self.model.expected, registry, definite, maybe)
        if problems:
            self.fail("%s: %s" % (when, "; ".join(problems)))
        self.model.expected = registry
        return registry

    # --- judging ----------------------------------------------------------------------

    def after_input(self, before):
        """Waits until the input is handled, then judges what it did."""
        self.settle()
        self.seen = self.observe()
        self.judge(before, self.seen)

    def still(self, state):
        """Whether the screen an action began on is still the one on view."""
        return self.seen == state and self.model.visit is not None and self.model.visit.screen.form == state

    def judge(self, before, after):
        """Judges a change of what is on view against the last input. A
        change seen only later (a message box opens inside the handler's own
        message loop, after the thread has answered) is judged when seen,
        against the same input: the model keeps its reasons until the next."""
        if after == "splash" or after is None:
            deadline = time.monotonic() + 10
            while after in ("splash", None) and time.monotonic() < deadline:
                time.sleep(0.05)
                self.settle()
                after = self.observe()
        if after == before or after == "menu":  # a menu's release is handled once it closes
            return
        if after == self.over:  # a notice or a minimised window already judged
            return
        reason = self.model.allowed(before, after)
        if reason is None:
            self.fail("%s became %s, which no input since may cause (reasons: %r)" %
                      (before, after, self.model.reasons))
        if before in model.SETTINGS_PAGES and after == "FormMain":
            if reason[0] == "save":
                definite, maybe = self.model.writes_of_save(before, self.shown.get(before, {}))
                registry = self.check_registry("after the save of %s" % before, definite, maybe)
                self.model.after_save(before, registry)
            else:
                self.check_registry("after %s was left by %s" % (before, reason[1]))
        if after == "ended":
            self.check_registry("after the program ended")
            self.x.release_all(self.model.held)
            self.start()
            return
        if after in self.layouts:
            self.model.opened(after)
            self.over = None
        else:  # a notice over the window, or the window minimised: it stays
            self.over = after

    # --- input ---------------------------------------------------------------------------

    def to_window(self, point):
        g = self.geometry()
        return point[0] - g[0], point[1] - g[1]

    def move(self, x, y):
        """Moves the pointer to window-relative (x, y), kept over the window
        and the screen: a button that goes down or up elsewhere would not
        reach Velmora, or reach it only while it holds the capture."""
        g = self.geometry()
        sx = max(0, g[0], min(SCREEN_W - 1, g[0] + g[2] - 1, g[0] + x))
        sy = max(0, g[1], min(SCREEN_H - 1, g[1] + g[3] - 1, g[1] + y))
        if (sx, sy) == self.x.pointer():
            return
        self.x.move(sx, sy)
        self.model.move(sx - g[0], sy - g[1])

    def before_release(self, button):
        """Reads what a settings page shows when this release may save it."""
        v = self.model.visit
        if v is None or v.screen.form not in model.SETTINGS_PAGES or v.form_capture is None:
            return
        possible = {model.owner(v.screen, v.screen.by_name.get(t)) for t in v.form_capture[0]}
        if "save" in possible:
            self.read_shown(v.screen)

    def read_shown(self, screen):
        form = screen.form
        if form == "Form3":
            r = probe(self.v.prefix, "text", screen.caption)
            self.shown[form] = {"Text1": r.stdout.decode("utf-8")}
            return
        img = self.session.x.capture()
        g = self.geometry()
        if form == "DLB":
            self.shown[form] = {"Front": mark_shown(img, g, screen.by_name["Check1"].rect),
                                "Skin": "Option2" if mark_shown(img, g, screen.by_name["Option2"].rect)
                                else "Option1"}
        else:
            self.shown[form] = {"Check%d" % n: mark_shown(img, g, screen.by_name["Check%d" % n].rect)
                                for n in range(1, 8)}

    def button(self, down, number):
        before = self.model.visit.screen.form
        x, y = self.to_window(self.x.pointer())
        if down:
            if number == LEFT:
                when, where = self.last_left
                if abs(x - where[0]) < DOUBLE_CLICK_PIXELS and abs(y - where[1]) < DOUBLE_CLICK_PIXELS:
                    time.sleep(max(0.0, when + DOUBLE_CLICK_SECONDS - time.monotonic()))
                self.last_left = (time.monotonic(), (x, y))
            self.x.button(True, number)
            self.model.press(number, x, y)
        else:
            self.before_release(number)
            self.x.button(False, number)
            self.model.release(number, x, y)
        self.after_input(before)

    def release_all(self):
        for b in sorted(self.model.held, key=lambda b: b != LEFT):
            if self.model.visit is None:
                self.x.button(False, b)
                self.model.held.discard(b)
            else:
                self.note("release %d" % b)
                self.button(False, b)

    def key(self, key):
        self.release_all()
        if self.model.visit is None:
            return
        before = self.model.visit.screen.form
        if self.model.may_save(key):
            self.read_shown(self.model.visit.screen)
        self.session.x.key(key)
        self.model.key(key)
        self.after_input(before)

    # --- choosing --------------------------------------------------------------------------

    def aim(self):
        """A window-relative point: mostly on a control a user can press,
        first those not pressed yet; else anywhere in the window."""
        form = self.model.visit.screen.form
        if self.rng.random() < 0.7:
            controls = [p for p in self.model.pressables[form] if p.enabled]
            fresh = [p for p in controls if p.name not in self.model.pressed[form]]
            staying = [p for p in fresh if p.does not in ("save", "leave", "open", "end", "minimise")]
            pool = staying or fresh if self.rng.random() < 0.8 else controls
            if form == "FormMain" and self.rng.random() < 0.8:
                # towards pages with controls not pressed yet
                wanted = {name for name, page in model.OPENS.items()
                          if set(p.name for p in self.model.pressables[page] if p.enabled) - self.model.pressed[page]}
                if wanted:
                    pool = [p for p in controls if p.name in wanted] or pool
            if pool:
                return self.rng.choice(pool).aim(self.rng)
        return self.anywhere()

    def anywhere(self):
        size = self.model.visit.screen.size
        return self.rng.randrange(size[0]), self.rng.randrange(size[1])

    def bare_point(self):
        """A point on no control a user can press (the page itself, a frame,
        a caption), if one is found soon."""
        controls = self.model.pressables[self.model.visit.screen.form]
        for _ in range(20):
            x, y = self.anywhere()
            if not any(p.at_rest_contains(x, y) for p in controls):
                break
        return x, y

    def step(self):
        state = self.seen = self.observe()
        shown_form = self.model.visit.screen.form if self.model.visit else None
        if state not in (shown_form, "menu"):
            self.judge(shown_form, state)
            state = self.seen = self.observe()
        if state == "notice":
            self.release_all()
            self.note("Return on the notice")
            self.model.reasons = []
            self.session.x.key("Return")
            self.settle()
            after = self.observe()
            if after != self.model.visit.screen.form:
                self.fail("the notice closed on Return to %s, not to %s" % (after, self.model.visit.screen.form))
            self.over = None
            return
        if state == "menu":
            self.note("Escape on a text box's menu")
            self.session.x.key("Escape")
            self.after_input(self.model.visit.screen.form)
            return
        if state == "minimised":
            self.release_all()
            self.note("restore the minimised main window")
            self.model.reasons = []
            probe(self.v.prefix, "restore", ui.MAIN)
            self.settle()
            if self.observe() != "FormMain":
                self.fail("the main window did not come back from the taskbar")
            self.over = None
            return
        if state not in self.layouts:
            self.fail("nothing Velmora can be used on is on view (%s)" % state)
        if self.model.visit is None or self.model.visit.screen.form != state:
            self.fail("on view: %s, expected %s" % (state, self.model.visit and self.model.visit.screen.form))
        self.count += 1
        r = self.rng.random()
        held = self.model.held
        dragging = self.model.visit.dragging
        if dragging:
            self.note("end the drag")
            self.release_all()
            return
        x, y = self.aim()
        where = "%s (%d,%d)" % (state, x, y)
        b = self.rng.choice((LEFT, LEFT, LEFT, RIGHT, MIDDLE))
        if r < 0.35:
            self.note("click %d on %s" % (b, where))
            self.release_all()
            if not self.still(state):
                return
            self.move(x, y)
            time.sleep(self.rng.choice((0.0, 0.02, 0.1)))
            self.button(True, b)
            if self.still(state) and b in self.model.held:
                self.button(False, b)
        elif r < 0.55:
            self.note("move to %s" % where)
            self.move(x, y)
        elif r < 0.67:
            # Half of these begin anywhere, and a third end on a button that
            # leaves the page: a release that acts where the press did not
            # begin is the fault they look for.
            if self.rng.random() < 0.6:
                x, y = self.bare_point() if self.rng.random() < 0.5 else self.anywhere()
                where = "%s (%d,%d)" % (state, x, y)
            self.note("press %d on %s, move, release" % (b, where))
            self.release_all()
            if not self.still(state):
                return
            self.move(x, y)
            self.button(True, b)
            leaving = [p for p in self.model.pressables[state]
                       if p.enabled and p.does in ("save", "leave", "open")]
            tx, ty = self.rng.choice(leaving).aim(self.rng) if leaving and self.rng.random() < 0.4 else self.aim()
            for i in range(1, 5):
                if not self.still(state):
                    break
                self.move(x + (tx - x) * i // 4, y + (ty - y) * i // 4)
            if self.still(state) and b in self.model.held:
                self.button(False, b)
        elif r < 0.77:
            capture = self.model.visit.form_capture
            if b in held:
                self.note("release %d on %s" % (b, where))
                self.move(x, y)
                self.button(False, b)
            elif not held or capture is None or capture[0] not in ({"Picture1"}, {""}):
                self.note("press %d on %s%s" % (b, where, " (chord)" if held else ""))
                self.move(x, y)
                self.button(True, b)
        elif r < 0.97:
            key = self.rng.choice(KEYS)
            self.note("key %s on %s" % (key, state))
            self.key(key)
        else:
            self.release_all()
            if not self.still(state):
                return
            if state == "FormMain" and self.rng.random() < 0.7:
                return
            self.note("close request to %s" % state)
            window = [w for w, name, _ in self.windows() if name == self.model.visit.screen.caption][0]
            self.model.close_request()
            self.x.close_window(window)
            self.after_input(state)

    def run(self, inputs):
        self.start()
        while self.count < inputs:
            self.step()
        self.release_all()
        self.check_registry("at the end")


def coverage(layouts, pressed):
    """One line per screen: controls pressed by random input, and the share
    of the window kept out of reach (none: nothing is out of bounds)."""
    lines = []
    for form, screen in layouts.items():
        controls = {p.name for p in model.pressables(screen) if p.enabled}
        lines.append("coverage %s: pressed %d/%d controls, forbidden %.1f%% of the window%s" %
                     (form, len(controls & pressed[form]), len(controls), 0.0,
                      "" if controls <= pressed[form] else " (not pressed: %s)" %
                      ", ".join(sorted(controls - pressed[form]))))
    return lines


def run_seed(session, seed, inputs=INPUTS, pressed=None):
    """One random run in a fresh prefix; raises RunFailed naming the seed and
    the last inputs. Adds what it pressed to `pressed` ({form: names})."""
    print("  seed %d (VELMORA_E2E_RANDOM_SEED=%d repeats it), %d inputs" % (seed, seed, inputs), flush=True)
    with velmora(session, "random-%d" % seed) as v:
        v.prefix.browser_stub()
        run = Run(session, v, seed)
        try:
            try:
                run.run(inputs)
            except HarnessError as e:
                run.fail(str(e))
            print("  seed %d: %d starts, %d inputs" % (seed, run.starts, run.count), flush=True)
            for line in coverage(run.layouts, run.model.pressed):
                print("    " + line)
            if pressed is not None:
                for form, names in run.model.pressed.items():
                    pressed.setdefault(form, set()).update(names)
            return run.layouts
        finally:
            run.close()


def _scenario(seeds):
    def scenario(s):
        pressed = {}
        layouts = None
        for seed in seeds:
            layouts = run_seed(s, seed, pressed=pressed)
        print("  over the seeds %s:" % " ".join(map(str, seeds)))
        for line in coverage(layouts, pressed):
            print("    " + line, flush=True)
    return scenario


if os.environ.get("VELMORA_E2E_RANDOM_SEED"):
    _seeds = [int(os.environ["VELMORA_E2E_RANDOM_SEED"])]
else:
    _seeds = fixed_seeds()
suite.scenario("random input anywhere, seeds %s: every switch and every write explained by the input" %
               " ".join(map(str, _seeds)))(_scenario(_seeds))
