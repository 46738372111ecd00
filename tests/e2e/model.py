"""What Velmora may do with real input: the judge of the random run.

The screens' layout comes from the program itself (the native tool
velmora_layout prints every control of every screen as the screen opens),
so that a press is hit-tested as the form hit-tests it. On top of it this
module keeps, input by input, what decides what the program may do:

- the pointer capture as a form keeps it: the first press takes it for the
  control under the pointer, every release goes to that control, it ends
  when every button is up or when the window is handed to the system's move
  loop (a drag);
- the capture Windows keeps: a native check box, option button or text box
  pressed with the left button holds it, and takes the keyboard focus;
- the marks: what a save of each settings page may write, raised by a left
  press on a box, a click on an option, a skin picture or a swatch, a
  character typed into the title box; the tweak pages lower them when they
  save, the Pinnote page never does;
- the colour word the Pinnote page shows (the other states a save writes
  are read off the screen before the release that may save).

From these it says which screen changes an input may cause ("reasons"),
and, when a settings page is left, what the registry and the settings store
must hold: a save happens only on the release of a press that began on the
save picture, wherever the release lands, and writes exactly the marked
settings, each as the page shows it; nothing else changes but the splash
number a start writes."""
import json
import os
import subprocess

import ui
from harness import ROOT, HarnessError

LAYOUT_TOOL = os.path.join(ROOT, "build", "native", "tests", "unit", "velmora_layout")

LEFT, MIDDLE, RIGHT = 1, 2, 3  # X button numbers

# --- the layout ----------------------------------------------------------------


class Control:
    def __init__(self, d):
        self.name, self.kind, self.container = d["name"], d["kind"], d["container"]
        self.rect = tuple(d["rect"])
        self.visible, self.enabled, self.windowed = d["visible"], d["enabled"], d["windowed"]
        self.caption = d["caption"]
        self.multiline = d["multiline"]

    @property
    def native(self):
        return self.kind in ("checkbox", "option", "textbox")

    def contains(self, x, y):
        left, top, w, h = self.rect
        return left <= x < left + w and top <= y < top + h


class Screen:
    """One window kind: its caption, size and controls, bottom of the z-order
    first, and its items (what the keyboard reaches) in reading order."""

    def __init__(self, form, d):
        self.form, self.caption, self.size = form, d["caption"], tuple(d["size"])
        self.controls = [Control(c) for c in d["controls"]]
        self.by_name = {c.name: c for c in self.controls}
        self.items = d["items"]
        self.default_item, self.escape_item = d["defaultItem"], d["escapeItem"]

    def item_available(self, index):
        """As Form::itemAvailable: one part shows and every part is enabled
        (which, on these screens, stays as the screen opens)."""
        parts = [self.by_name[p] for p in self.items[index]["parts"]]
        return all(c.enabled for c in parts) and any(c.visible for c in parts)

    def item_named(self, name):
        for i, item in enumerate(self.items):
            if item["name"] == name:
                return i
        return -1

    def item_of(self, control):
        for i, item in enumerate(self.items):
            if control in item["parts"]:
                return i
        return -1

    def hit(self, x, y, shown=()):
        """The control a press at (x, y) goes to, as Form::controlAt finds
        it: the deepest visible one, windowed controls above windowless ones
        of the same container, later above earlier; a disabled control
        passes it to its container. `shown` names hidden pictures to take
        as visible (hover looks). None for the background."""
        def visible(c):
            return (c.visible or c.name in shown) and c.kind != "timer"

        def deepest(container):
            for windowed in (True, False):
                for c in reversed(self.controls):
                    if c.container != container or c.windowed != windowed or not visible(c):
                        continue
                    if not c.contains(x, y):
                        continue
                    return deepest(c.name) or c
            return None

        c = deepest(None)
        while c is not None and not c.enabled:
            c = self.by_name.get(c.container)
        return c

    def native_at(self, x, y):
        """The enabled native control whose window takes a press at (x, y)."""
        c = self.hit(x, y)
        return c if c is not None and c.native else None


def load_layout(profile="xp"):
    """{form name: Screen} from the program's own layout tool."""
    try:
        out = subprocess.run([LAYOUT_TOOL], capture_output=True, check=True, timeout=30).stdout
    except (OSError, subprocess.SubprocessError) as e:
        raise HarnessError("the layout tool %s did not run: %s" % (LAYOUT_TOOL, e))
    return {form: Screen(form, d) for form, d in json.loads(out.decode("utf-8"))[profile].items()}


# --- what a user can press ------------------------------------------------------

# Each logical control: its name, the controls that make it (the first is
# the picture shown at rest), and what it does.
_STANDARD = [("save", ["Image1", "Image4", "save"], "save"), ("back", ["Image5", "Image6", "back"], "leave"),
             ("close", ["Image2", "Image3"], "leave")]
PRESSABLE = {
    "FormMain": [("Desktop tile", ["Image4", "DTF", "Image5"], "open"),
                 ("System tile", ["Image6", "SYF", "Image7"], "open"),
                 ("My Style tile", ["Image8", "MSF", "Image9"], "open"),
                 ("More tile", ["Image10", "MF", "Image11"], "open"),
                 ("Pinnote tab", ["DL", "DL2"], "open"), ("text tool tab", ["FE", "FE2"], "notice"),
                 ("about tab", ["GY", "GY2"], "open"), ("help tab", ["BZ", "BZ2"], "open"),
                 ("minimise", ["Image1"], "minimise"), ("close", ["Image2", "Image3"], "end")],
    "Form1": [("Check%d" % n, ["Check%d" % n], "box") for n in range(1, 8)] + _STANDARD,
    "Form2": [("Check%d" % n, ["Check%d" % n], "box") for n in range(1, 8)] + _STANDARD,
    "Form3": [("Text1", ["Text1"], "text")] + _STANDARD,
    "Form4": [("back", ["Image5", "Image6", "back"], "leave"), ("close", ["Image2", "Image3"], "leave")],
    "Form5": [("close", ["Image1", "Image2"], "leave"), ("back", ["Image3"], "leave")],
    "Form6": [("product spot", ["Image1"], "web"), ("Vaultick spot", ["Image2"], "notice"),
              ("maker spot", ["Image3"], "web"), ("microblog spot", ["Image4"], "web"),
              ("arrow", ["Image5"], "leave")],
    "DLB": [("Check1", ["Check1"], "box"), ("Option1", ["Option1"], "option"), ("Option2", ["Option2"], "option"),
            ("Option3", ["Option3"], "option"), ("skinimage1", ["skinimage1"], "skin"),
            ("skinimage2", ["skinimage2"], "skin"), ("RED", ["RED"], "swatch"), ("GREEN", ["GREEN"], "swatch"),
            ("BLACK", ["BLACK"], "swatch")] + _STANDARD,
}
# Where each opening control leads.
OPENS = {"Desktop tile": "Form1", "System tile": "Form2", "My Style tile": "Form3", "More tile": "Form4",
         "Pinnote tab": "DLB", "about tab": "Form6", "help tab": "Form5"}
SETTINGS_PAGES = ("Form1", "Form2", "Form3", "DLB")


class Pressable:
    def __init__(self, screen, name, parts, does):
        self.screen, self.name, self.parts, self.does = screen, name, parts, does
        controls = [screen.by_name[p] for p in parts]
        self.enabled = all(c.enabled for c in controls)
        self.core = controls[0].rect  # the picture at rest
        self.rects = [c.rect for c in controls]

    def at_rest_contains(self, x, y):
        left, top, w, h = self.core
        return left <= x < left + w and top <= y < top + h

    def aim(self, rng):
        """A point well inside the picture at rest."""
        left, top, w, h = self.core
        return (int(left + w * rng.uniform(0.3, 0.7)), int(top + h * rng.uniform(0.3, 0.7)))


def pressables(screen):
    return [Pressable(screen, name, parts, does) for name, parts, does in PRESSABLE[screen.form]]


def owner(screen, control):
    """The logical control a control belongs to, or None."""
    if control is None:
        return None
    for name, parts, _ in PRESSABLE[screen.form]:
        if control.name in parts:
            return name
    return None


def possible_targets(screen, x, y):
    """The names of the controls a press at (x, y) may go to ("" for the
    background): with every button at rest, and with each button in its
    hover look, which sometimes reaches further than its look at rest."""
    found = set()
    for shown in [()] + [parts[1:2] for _, parts, _ in PRESSABLE[screen.form] if len(parts) > 1]:
        hit = screen.hit(x, y, shown)
        found.add(hit.name if hit else "")
    return found


# --- what a settings page writes ---------------------------------------------------

PINNOTE_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\Pinnote"
SPLASH_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt"
_ICON, _LNK = "HKCU\\Control Panel\\Desktop\\WindowMetrics", "HKCR\\lnkfile"
_ICONS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel"
_EXPLORER = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"
_SYSTEM = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"
_RESTRICTIONS = "HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"
_CONTROL_PANEL = "HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"
_IE_MAIN = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main"


def _dword(ticked):
    return ("REG_DWORD", "0x1" if ticked else "0x0")


# Per page, per setting: (key, value name, the value for what the page shows).
SETTINGS = {
    "Form1": {
        "Check1": (_ICON, "Shell Icon Size", lambda t: ("REG_SZ", "48" if t else "35")),
        "Check2": (_LNK, "IsShortcut", lambda t: None if t else ("REG_SZ", "")),
        "Check3": (_ICONS, "{645FF040-5081-101B-9F08-00AA002F954E}", _dword),
        "Check4": (_ICONS, "{208D2C60-3AEA-1069-A2D7-08002B30309D}", _dword),
        "Check5": (_ICONS, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", _dword),
        "Check6": (_ICONS, "{450D8FBA-AD25-11D0-98A8-0800361B1103}", _dword),
        "Check7": (_ICONS, "{871C5380-42A0-1069-A2EA-08002B30309D}", _dword),
    },
    "Form2": {
        "Check1": (_EXPLORER, "NoFolderOptions", _dword),
        "Check2": (_RESTRICTIONS, "NoSelectDownloadDir", _dword),
        "Check3": (_RESTRICTIONS, "NoBrowserOptions", _dword),
        "Check4": (_SYSTEM, "DisableRegistryTools", _dword),
        "Check5": (_EXPLORER, "NoRun", _dword),
        "Check6": (_CONTROL_PANEL, "HomePage", _dword),
        "Check7": (_SYSTEM, "DisableTaskMgr", _dword),
    },
    "Form3": {"Text1": (_IE_MAIN, "Window Title", lambda text: ("REG_SZ", text))},
    "DLB": {
        "Front": (PINNOTE_KEY, "Front", lambda t: ("REG_SZ", "Yes" if t else "No")),
        "Skin": (PINNOTE_KEY, "Skin", lambda option: ("REG_SZ", "" if option == "Option1" else "2")),
        "Color": (PINNOTE_KEY, "Color", lambda word: ("REG_SZ", COLOUR_VALUES[word]) if word else None),
    },
}
WATCHED_KEYS = sorted({key for page in SETTINGS.values() for key, _, _ in page.values()} | {SPLASH_KEY})
SPLASH_NEXT = {"": "2", "2": "3", "3": "4", "4": ""}  # anything else starts the round afresh
COLOUR_WORDS = {"RED": "红", "GREEN": "绿", "BLACK": "黑"}
COLOUR_VALUES = {"红": "R", "绿": "G", "黑": "B"}
STORED_WORDS = {"": "黑", "B": "黑", "R": "红", "G": "绿"}


def setting_id(key, name):
    return (key, name.lower())


# --- the characters keys type (Tab, Enter and Esc are keys of the page) ---------------------

CHARACTERS = {"space": " ", "a": "a", "b": "b", "c": "c", "9": "9", "BackSpace": "\b"}


# --- one window on view --------------------------------------------------------------


class Visit:
    """What one window of a screen holds while it exists: the captures, the
    focus, the Pinnote page's colour word."""

    def __init__(self, screen, stored):
        self.screen = screen
        self.form_capture = None  # None, or [possible control names ("" for the background), buttons]
        self.win_capture = None  # None, "form", or the name of a native control
        self.dragging = False
        pinnote = {name: stored.get(setting_id(PINNOTE_KEY, name), ("REG_SZ", ""))[1] for name in ("Color", "Skin")}
        self.colour_word = STORED_WORDS.get(pinnote["Color"], "") if screen.form == "DLB" else ""
        self.skin = "Option2" if pinnote["Skin"] == "2" else "Option1"  # the Pinnote page's chosen option
        self.focus = -1
        stops = self.tab_stops()
        self.focus = stops[0] if stops else -1  # a screen opens on its first control

    @property
    def focused(self):
        return self.screen.items[self.focus] if self.focus >= 0 else None

    def tab_stops(self):
        """As Form::tabStops: the items Tab stops at, an option group once, at
        the focused option, else the chosen one."""
        s = self.screen
        stops, group_at = [], {}
        for i, item in enumerate(s.items):
            if not item["tabStop"] or not s.item_available(i):
                continue
            if not item["group"]:
                stops.append(i)
            elif item["group"] not in group_at:
                group_at[item["group"]] = len(stops)
                stops.append(i)
            else:
                at = group_at[item["group"]]
                if i == self.focus or (stops[at] != self.focus and item["parts"][0] == self.skin):
                    stops[at] = i
        return stops


class Model:
    """The judge. Feed it every input as it is sent (press, release, move,
    key, close request) and every screen change observed after it; it
    raises Mismatch where the program did what it may not."""

    def __init__(self, layouts, registry):
        self.layouts = layouts
        self.pressables = {form: pressables(s) for form, s in layouts.items()}
        self.expected = dict(registry)  # what the registry and store must hold
        self.marks = {page: {} for page in SETTINGS_PAGES}  # setting -> "yes" | "maybe"
        self.visit = None
        self.held = set()
        self.reasons = []  # what the last input may have done (kept until the next one)
        # A message box opens inside the handler's own message loop, which may
        # answer a ping before it shows the box: a click that may open one is
        # remembered until one opens or the window goes.
        self.notice_pending = None
        self.pressed = {form: set() for form in layouts}  # coverage

    def restarted(self):
        """A new process: every page object, and with it every mark, is new."""
        self.marks = {page: {} for page in SETTINGS_PAGES}
        self.visit = None
        self.held.clear()
        self.reasons = []
        self.notice_pending = None

    # --- screens -------------------------------------------------------------

    def form_of(self, caption, size):
        for form, s in self.layouts.items():
            if s.caption == caption and s.size == tuple(size):
                return form
        return None

    def opened(self, form):
        """A new window of this form is on view."""
        self.visit = Visit(self.layouts[form], self.expected) if form else None
        self.reasons = []
        self.notice_pending = None

    # --- input ---------------------------------------------------------------

    def press(self, button, x, y, random=True):
        """A button goes down at window-relative (x, y)."""
        self.reasons = []
        v = self.visit
        self.held.add(button)
        if v is None:
            return
        s = v.screen
        if random:
            for p in self.pressables[s.form]:
                if p.at_rest_contains(x, y):
                    self.pressed[s.form].add(p.name)
        if v.dragging:
            return
        # Which window takes it: the one holding the capture, else the one under the pointer.
        native = s.native_at(x, y)
        if v.win_capture is None:
            if native is not None:
                if button == LEFT:
                    v.win_capture = native.name
                    taken = s.item_of(native.name)
                    if taken >= 0 and s.item_available(taken):
                        v.focus = taken  # the native control takes the focus
            else:
                v.win_capture = "form"
        # The form's own capture: the control under the pointer, or, where a
        # button's hover look reaches further than its look at rest, maybe
        # that button.
        if v.form_capture is None:
            v.form_capture = [possible_targets(s, x, y), set()]
        v.form_capture[1].add(button)
        possible = v.form_capture[0]
        if button == LEFT and len(possible) == 1:
            (target,) = possible
            self._left_press_on(target)
            if target in _drag_on_press(s.form):
                self._drag_starts()

    def move(self, x, y):
        """The pointer moves to window-relative (x, y). On the windows that
        drag on a move, a move over the title bar that holds the capture
        (or over it, with no capture) with the left button alone down hands
        the window to the move loop."""
        v = self.visit
        if v is None or v.dragging or v.screen.form not in ("FormMain", "Form1", "Form2", "Form3"):
            return
        if self.held != {LEFT}:
            return
        if v.form_capture is None:
            hit = v.screen.hit(x, y)
            on_title_bar = hit is not None and hit.name == "Picture1"
        else:
            on_title_bar = v.form_capture[0] == {"Picture1"}
        if on_title_bar:
            self._drag_starts()

    def release(self, button, x, y):
        self.reasons = []
        v = self.visit
        self.held.discard(button)
        if v is None:
            return
        s = v.screen
        if v.dragging:
            if button == LEFT:
                v.dragging = False
            return
        # Windows' side: a native control that took the left press clicks
        # when the release ends inside it.
        if v.win_capture not in (None, "form") and button == LEFT:
            native = s.by_name[v.win_capture]
            v.win_capture = None
            if native.contains(x, y):
                self._native_click(native.name)
        elif v.win_capture == "form" and not self.held:
            v.win_capture = None
        # The form's side.
        if v.form_capture is None:
            return
        possible, buttons = v.form_capture
        buttons.discard(button)
        if not buttons:
            v.form_capture = None
        owners = {owner(s, s.by_name.get(t)) for t in possible}
        for p in self.pressables[s.form]:
            if p.name in owners and p.does in ("save", "leave", "open", "minimise", "end", "notice"):
                self.reasons.append((p.does, p.name))
            if p.name in owners and p.does == "notice":
                self.notice_pending = (p.does, p.name)
        under = s.hit(x, y)
        if len(possible) != 1 or button != LEFT or under is None or under.windowed:
            return
        (target,) = possible
        if under.name == target and s.form == "DLB":
            if target in ("skinimage1", "skinimage2"):
                self._mark("DLB", "Skin")
                v.skin = "Option1" if target == "skinimage1" else "Option2"
            if target in COLOUR_WORDS:
                self._mark("DLB", "Color")
                v.colour_word = COLOUR_WORDS[target]

    def key(self, key):
        """A key pressed and released with no mouse button held: a key of
        the page goes to the form (Tab, Enter, Esc, and Space and the arrows
        where they act on the focused item); a character goes to the title
        box when it has the focus."""
        self.reasons = []
        v = self.visit
        if v is None:
            return
        s, item = v.screen, v.focused
        role = item["role"] if item else None
        button = role in ("button", "link")
        if key in ("Tab", "shift+Tab"):
            self._move_focus(-1 if key == "shift+Tab" else 1)
        elif key == "Escape":
            self._press(s.item_named(s.escape_item))
        elif key == "Return":
            if item and item["setting"]:
                self._press(s.item_named(s.default_item))
            elif item and button:
                self._press(v.focus)
        elif key == "space" and role in ("button", "link", "check", "radio"):
            if button:
                self._press(v.focus)
            else:
                self._toggle(v.focus)
        elif key in ("Left", "Right", "Up", "Down") and role != "text":
            if role == "radio":
                self._move_in_group(-1 if key in ("Left", "Up") else 1)
            elif s.form == "FormMain" and 0 <= v.focus < 4:
                v.focus ^= 1 if key in ("Left", "Right") else 2
        elif key in CHARACTERS and role == "text" and s.form == "Form3":
            self._mark("Form3", "Text1")  # typed into the title box

    def may_save(self, key):
        """Whether this key may save the settings page on view."""
        v = self.visit
        if v is None or v.screen.form not in SETTINGS_PAGES or v.focused is None:
            return False
        item = v.focused
        return (key == "Return" and item["setting"]) or (key in ("Return", "space") and item["name"] == "保存")

    def _move_focus(self, step):
        stops = self.visit.tab_stops()
        if not stops:
            return
        v = self.visit
        at = stops.index(v.focus) if v.focus in stops else None
        v.focus = stops[(0 if step > 0 else -1) if at is None else (at + step) % len(stops)]

    def _move_in_group(self, step):
        v, s = self.visit, self.visit.screen
        group = v.focused["group"]
        members = [i for i, item in enumerate(s.items) if item["group"] == group and s.item_available(i)]
        if v.focus not in members:
            return
        v.focus = members[(members.index(v.focus) + step) % len(members)]
        self._toggle(v.focus)  # the arrows choose as they go

    def _toggle(self, index):
        """A box ticked or an option chosen from the keyboard: marked as a
        left press marks it."""
        s = self.visit.screen
        if index < 0 or not s.item_available(index):
            return
        control = s.items[index]["parts"][0]
        if s.form in ("Form1", "Form2") and control.startswith("Check"):
            self._mark(s.form, control)
        if s.form == "DLB" and control == "Check1":
            self._mark("DLB", "Front")
        if s.form == "DLB" and control in ("Option1", "Option2", "Option3"):
            self._mark("DLB", "Skin")
            self.visit.skin = control

    def _press(self, index):
        """A picture button pressed from the keyboard: what its click does."""
        v, s = self.visit, self.visit.screen
        if index < 0 or not s.item_available(index):
            return
        name = owner(s, s.by_name[s.items[index]["parts"][0]])
        for p in self.pressables[s.form]:
            if p.name != name:
                continue
            if p.does in ("save", "leave", "open", "minimise", "end", "notice"):
                self.reasons.append((p.does, p.name))
            if p.does == "notice":
                self.notice_pending = (p.does, p.name)
            if p.does == "swatch":
                self._mark("DLB", "Color")
                v.colour_word = COLOUR_WORDS[p.name]

    def close_request(self):
        self.reasons = []
        v = self.visit
        if v is not None:
            self.reasons.append(("end" if v.screen.form == "FormMain" else "leave", "close request"))

    # --- what inputs do -------------------------------------------------------

    def _left_press_on(self, target):
        form = self.visit.screen.form
        if form in ("Form1", "Form2") and target.startswith("Check"):
            self._mark(form, target)
        if form == "DLB" and target == "Check1":
            self._mark("DLB", "Front")

    def _native_click(self, name):
        """A native box or option clicked with the mouse."""
        if self.visit.screen.form == "DLB" and name in ("Option1", "Option2"):
            self._mark("DLB", "Skin")
            self.visit.skin = name

    def _drag_starts(self):
        v = self.visit
        v.dragging = True
        v.form_capture = None
        v.win_capture = None

    def _mark(self, page, setting, how="yes"):
        if self.marks[page].get(setting) != "yes":
            self.marks[page][setting] = how

    # --- judging ------------------------------------------------------------------

    def allowed(self, before, after):
        """Whether the reasons collected explain going from form `before`
        to `after` (None: nothing on view; "ended": the process ended;
        "notice": a message box). Returns the reason that does, or None."""
        if after == "notice" and self.notice_pending:
            found, self.notice_pending = self.notice_pending, None
            return found
        for does, name in self.reasons:
            if before == "FormMain":
                if after == "ended" and does == "end":
                    return does, name
                if after == "minimised" and does == "minimise":
                    return does, name
                if after == "notice" and does == "notice":
                    return does, name
                if does == "open" and OPENS.get(name) == after:
                    return does, name
            elif before == "Form6" and after == "notice" and does == "notice":
                return does, name
            elif after == "FormMain" and does in ("save", "leave"):
                return does, name
        return None

    def writes_of_save(self, page, shown):
        """What a save of `page` writes, given what the page shows (a dict:
        box name -> ticked, "Text1" -> text, "Front" -> ticked, "Skin" ->
        selected option); and the marks it lowers."""
        definite, maybe = {}, {}
        colour = self.visit.colour_word if self.visit and self.visit.screen.form == "DLB" else ""
        for setting, how in self.marks[page].items():
            key, name, value_of = SETTINGS[page][setting]
            state = colour if setting == "Color" else shown[setting]
            (definite if how == "yes" else maybe)[setting_id(key, name)] = value_of(state)
        return definite, maybe

    def after_save(self, page, registry):
        """The tweak pages lower every mark a save wrote; the Pinnote page
        keeps them, and what a maybe-mark did is now known."""
        if page == "DLB":
            for setting, how in list(self.marks[page].items()):
                key, name, _ = SETTINGS[page][setting]
                sid = setting_id(key, name)
                if how == "maybe" and registry.get(sid) != self.expected.get(sid):
                    self.marks[page][setting] = "yes"
        else:
            self.marks[page] = {}


def _drag_on_press(form):
    """The controls a left press on which hands the window to the move loop."""
    return {"Form4": {"Picture1"}, "Form5": {"Picture1"}, "DLB": {"Picture1"}, "Form6": {""}}.get(form, set())


def check_registry(expected, registry, definite=None, maybe=None):
    """The differences between what the registry holds and what it must:
    every setting as expected, but those a save wrote (definite) and those it
    may have written (maybe). Returns a list of texts."""
    definite, maybe = definite or {}, maybe or {}
    problems = []
    for sid in sorted(set(expected) | set(registry) | set(definite) | set(maybe)):
        got = registry.get(sid)
        if sid in definite:
            if got != definite[sid]:
                problems.append("%s\\%s is %r, the save should have written %r" % (sid + (got, definite[sid])))
        elif sid in maybe:
            if got not in (expected.get(sid), maybe[sid]):
                problems.append("%s\\%s is %r: neither %r nor what the save may write, %r" %
                                (sid + (got, expected.get(sid), maybe[sid])))
        elif got != expected.get(sid):
            problems.append("%s\\%s is %r, was %r, and nothing may have written it" % (sid + (got, expected.get(sid))))
    return problems


__all__ = ["Model", "load_layout", "check_registry", "WATCHED_KEYS", "SETTINGS", "SPLASH_KEY", "SPLASH_NEXT",
           "setting_id", "PRESSABLE", "ui"]
