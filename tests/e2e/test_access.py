"""Velmora as a screen reader hears it: every screen's objects read from
another process through MSAA (tests/e2e/tools/a11y.cpp), the focus events
Tab raises, and the default action, with real keys on the exe under Wine.

One start per DPI, 96 and 144 (where the view draws the check boxes and
option buttons itself), each as Windows 7 with boxes ticked and locked
through the registry before the start (the DPI suite's profile). On every
screen the tree is checked against the table below: each item's name,
role, state and place (within a pixel of its box on the window), its
default action, value and description, get_accFocus, accHitTest at its
middle and accNavigate; each native control's own object says the same,
and its BM_GETCHECK agrees. Then Tab goes round every stop and back to the
first, each move raising one focus event a screen reader takes (one whose
object, asked at once, holds the focus) that names the focused control
with its role and state: native boxes and text boxes through their own
objects, the rest as the form's children. The main window's desktop tile
is opened by its default action; a locked box refuses it; Space on the
open box raises a state change for it; an object held over the page's end
answers RPC_E_DISCONNECTED. The other pages are opened by Tab and Enter
from the main window, once the focus event names the tile, and left by Esc.

Boxes below are window-relative (x, y, w, h), from the screens' sources."""
import json
import queue
import subprocess
import threading
import time

import ui
from harness import WINE, HarnessError, start_timeout, tool_exe, velmora
from runner import Suite, check
from test_dpi import LATER_WINDOWS, MARK_BUTTONS, PARK, TICKED_BEFORE_START, WINE_VERSION_KEY, set_dpi

suite = Suite("access")

BUTTON, LINK, CHECK, RADIO, TEXT, STATIC = "button", "link", "check", "radio", "text", "static"
ROLES = {43: BUTTON, 30: LINK, 44: CHECK, 45: RADIO, 42: TEXT, 41: STATIC, 40: "graphic", 10: "client"}
FOCUSED = 0x4
STATE_BITS = [(FOCUSED, "focused"), (0x100000, "focusable"), (0x1, "unavailable"), (0x10, "checked"),
              (0x40, "read-only"), (0x8000, "invisible")]
# What the default action of each role is called; a box's says what it will do.
ACTIONS = {BUTTON: "按下", LINK: "打开", RADIO: "选择"}
S_OK, E_FAIL, DISP_E_MEMBERNOTFOUND, RPC_E_DISCONNECTED = "0x00000000", "0x80004005", "0x80020003", "0x80010108"

# What the description box shows while the pointer is off the settings.
CHOOSE_HINT = "请您在上面的选项中进行选择。"
NOTE = "更多功能？请期待新版本。。。"
STANDARD_TITLE = "Windows Internet Explorer"


def _item(name, role, state, box):
    return (name, role, state, tuple(box))


def _page_end(left, description, description_width, note_width, save="focusable"):
    """The description box at (left, 264) with its two labels, and the save, back and close buttons."""
    return [_item(description, STATIC, "", (left + 16, 280, description_width, 33)),
            _item(NOTE, STATIC, "", (left + 16, 312, note_width, 17)),
            _item("保存", BUTTON, save, ui.SAVE_BOX), _item("返回", BUTTON, "focusable", ui.BACK_BOX),
            _item("关闭", BUTTON, "focusable", ui.CLOSE_BOX)]


def _boxes(page, names, states):
    return [_item(name, CHECK, state, MARK_BUTTONS[page]["Check%d" % (i + 1)])
            for i, (name, state) in enumerate(zip(names, states))]


LOCKED, LOCKED_TICKED = "unavailable", "unavailable checked"
# name, caption, the main window's item that opens it (None: the main window
# itself), its items as they read when it opens (name, role, state, box), and
# the item whose description shows then, with the description.
SCREENS = [
    ("main", ui.MAIN, None, [
        _item("桌面", BUTTON, "focused focusable", ui.TILES["Desktop"][0]),
        _item("系统", BUTTON, "focusable", ui.TILES["System"][0]),
        _item("个性化", BUTTON, "focusable", ui.TILES["My Style"][0]),
        _item("更多", BUTTON, "focusable", ui.TILES["More"][0]),
        _item("Pinnote", BUTTON, "focusable", ui.TABS["Pinnote"][0]),
        _item("文本工具", BUTTON, "focusable", ui.TABS["text tool"][0]),
        _item("关于", BUTTON, "focusable", ui.TABS["about"][0]),
        _item("帮助", BUTTON, "focusable", ui.TABS["help"][0]),
        _item("最小化", BUTTON, "focusable", ui.MINIMISE_BOX),
        _item("关闭", BUTTON, "focusable", ui.CLOSE_BOX)], None),
    # As Windows 7 shows it: every box locked but the Recycle Bin's; the
    # icon size, the Recycle Bin and My Network Places ticked.
    ("desktop", ui.DESKTOP, "桌面",
     _boxes("desktop", ["桌面图标放大", "删除快捷方式小箭头", '隐藏"回收站"', '隐藏"网上邻居"', '隐藏"我的电脑"',
                        '隐藏"我的文档"', "隐藏IE浏览器"],
            [LOCKED_TICKED, LOCKED, "focused focusable checked", LOCKED_TICKED, LOCKED, LOCKED, LOCKED]) +
     _page_end(40, CHOOSE_HINT, 281, 289), ('隐藏"回收站"', CHOOSE_HINT)),
    ("system", ui.SECURITY, "系统",
     _boxes("system", ['隐藏"文件夹选项"', "禁止IE下载文件", '禁用"Internet选项"', "禁用注册表", '禁用"运行"',
                       "禁止更改IE主页", "禁用任务管理器"],
            [LOCKED_TICKED, LOCKED, LOCKED_TICKED, LOCKED, LOCKED, LOCKED, LOCKED_TICKED]) +
     _page_end(40, CHOOSE_HINT, 281, 257, save="focused focusable"), None),
    ("title", ui.TITLE, "个性化",
     [_item("IE标题栏文字：", STATIC, "", (56, 72, 97, 17)),
      _item("IE标题栏文字", TEXT, "focused focusable", (160, 69, 169, 18))] + _page_end(40, CHOOSE_HINT, 289, 289),
     ("IE标题栏文字", CHOOSE_HINT)),
    ("more", ui.MORE, "更多",
     [_item("返回", BUTTON, "focused focusable", ui.BACK_BOX), _item("关闭", BUTTON, "focusable", ui.CLOSE_BOX)], None),
    ("pinnote", ui.PINNOTE, "Pinnote",
     [_item("阿狸便签皮肤", BUTTON, "", (40, 80, 80, 93)), _item("普通便签皮肤", BUTTON, "", (144, 80, 80, 93)),
      _item("阿狸便签", RADIO, "focused focusable checked", MARK_BUTTONS["pinnote"]["Option1"]),
      _item("普通便签", RADIO, "focusable", MARK_BUTTONS["pinnote"]["Option2"]),
      _item("敬请期待", RADIO, "unavailable", MARK_BUTTONS["pinnote"]["Option3"]),
      _item("保持窗体最前", CHECK, "focusable checked", MARK_BUTTONS["pinnote"]["Check1"]),
      _item("当前标题栏颜色：黑", STATIC, "", (152, 212, 113, 17)),
      _item("红", BUTTON, "focusable", (280, 212, 17, 17)), _item("绿", BUTTON, "focusable", (304, 212, 17, 17)),
      _item("黑", BUTTON, "focusable", (328, 212, 17, 17))] + _page_end(24, CHOOSE_HINT, 289, 289),
     ("阿狸便签", CHOOSE_HINT)),
    ("help", ui.HELP, "帮助",
     [_item("使用方法及原理", TEXT, "focused focusable read-only", (16, 64, 473, 113)),
      _item("常见问题", TEXT, "focusable read-only", (16, 176, 473, 177)),
      _item("返回", BUTTON, "focusable", ui.HELP_BACK_BOX), _item("关闭", BUTTON, "focusable", ui.CLOSE_BOX)], None),
    ("about", ui.ABOUT, "关于",
     [_item("文件保险箱", LINK, "focused focusable", (80, 57, 101, 31)),
      _item("Vaultick", BUTTON, "focusable", ui.ABOUT_VAULTICK),
      _item("Velmora Studio 维尔莫拉工作室", LINK, "focusable", ui.ABOUT_WEB_SPOTS[1]),
      _item("微言 micro.example.net", LINK, "focusable", ui.ABOUT_WEB_SPOTS[2]),
      _item("收起", BUTTON, "focusable", ui.ABOUT_BACK_BOX)], None),
]
MAIN_ITEMS = [name for name, _, _, _ in SCREENS[0][3]]


def states_of(bits):
    """The state bits as words, in STATE_BITS order; unknown bits in hex."""
    words = [word for bit, word in STATE_BITS if bits & bit]
    rest = bits & ~sum(bit for bit, _ in STATE_BITS)
    return " ".join(words + (["0x%x" % rest] if rest else []))


def with_focus(state, focused):
    """A table state with "focused" set or cleared."""
    words = set(state.split()) - {"focused"} | ({"focused"} if focused else set())
    return " ".join(word for _, word in STATE_BITS if word in words)


def heard(line):
    """name|role|state as a screen reader hears an object's line."""
    role = ROLES.get(line.get("role"), line.get("role"))
    return "%s|%s|%s" % (line.get("name"), role, states_of(line.get("state") or 0))


def tab_stops(items):
    """Where Tab stops, in order: every focusable item, an option group at its chosen option only."""
    return [item for item in items
            if "focusable" in item[2].split() and (item[1] != RADIO or "checked" in item[2].split())]


class Tool:
    """The a11y tool run in the prefix of one start."""

    def __init__(self, prefix):
        self.prefix = prefix
        self.exe = tool_exe("a11y", ("oleacc", "ole32", "oleaut32", "uuid"))

    def lines(self, *args):
        r = subprocess.run([WINE, self.exe] + list(args), env=self.prefix.env, capture_output=True, timeout=60)
        if r.returncode != 0:
            raise HarnessError("a11y %s: exit %d" % (" ".join(args), r.returncode))
        return [json.loads(line) for line in r.stdout.decode("utf-8").splitlines() if line.strip()]

    def start(self, *args):
        return Stream(subprocess.Popen([WINE, self.exe] + list(args), env=self.prefix.env, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, start_new_session=True))


class Stream:
    """A tool run in the background: its lines as they come."""

    def __init__(self, proc):
        self.proc = proc
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        ready = self.next(20)
        if ready != {"ready": True}:
            raise HarnessError("the a11y tool did not start: %r" % (ready,))

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(json.loads(line))

    def next(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            return None

    def during(self, act, until, quiet=0.25, timeout=2):
        """The events that follow `act`: until one satisfies `until` and none
        has come for `quiet` seconds, or `timeout` is up."""
        while self.next(0) is not None:
            pass
        act()
        events, seen, deadline = [], False, time.monotonic() + timeout
        while time.monotonic() < deadline:
            event = self.next(quiet if seen else max(0.01, deadline - time.monotonic()))
            if event is None:
                if seen:
                    break
                continue
            events.append(event)
            seen = seen or until(event)
        return events

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()


def taken(event):
    """Whether a screen reader takes a focus event: its object, asked at once,
    holds the focus. A window that takes the Win32 focus while one of its
    items holds the form's is announced by the system too; its own object
    does not read as focused, and a reader lets that event pass."""
    return event.get("event") == "focus" and (event.get("state") or 0) & FOCUSED


def check_tree(lines, caption, geometry, items, described, dpi, failures):
    """Compares a tree read by the tool with the table of its screen."""
    where = "%s at %d DPI" % (caption, dpi)
    client = lines[0]
    children = [line for line in lines[1:] if "id" in line]
    natives = [line for line in lines if "class" in line]
    wx, wy, ww, wh = geometry
    if (client.get("name"), ROLES.get(client.get("role")), client.get("children"), client.get("first"),
            client.get("last"), client.get("parent")) != (caption, "client", len(items), 1, len(items), True):
        failures.append("%s: the client reads %r" % (where, client))
    if client.get("location") != [wx, wy, ww, wh]:
        failures.append("%s: the client is at %r, the window at %r" % (where, client.get("location"), geometry))
    focused = [i + 1 for i, item in enumerate(items) if "focused" in item[2].split()]
    if [client.get("focus")] != focused:
        failures.append("%s: get_accFocus names %r, want %r" % (where, client.get("focus"), focused))
    if len(children) != len(items):
        failures.append("%s: %d children, want %d" % (where, len(children), len(items)))
    for index, (got, (name, role, state, box)) in enumerate(zip(children, items)):
        row = "%s child %d" % (where, index + 1)
        want = "%s|%s|%s" % (name, role, state)
        if heard(got) != want:
            failures.append("%s reads %s, want %s" % (row, heard(got), want))
        place = got.get("location") or [0, 0, 0, 0]
        relative = (place[0] - wx, place[1] - wy, place[2], place[3])
        if any(abs(a - b) > 1 for a, b in zip(relative, box)):
            failures.append("%s is at %r on the window, want %r" % (row, relative, box))
        action = ACTIONS.get(role) or ({CHECK: "取消勾选" if "checked" in state.split() else "勾选"}.get(role))
        if got.get("action") != action:
            failures.append("%s: default action %r, want %r" % (row, got.get("action"), action))
        description = described[1] if described and described[0] == name else None
        if got.get("description") != description:
            failures.append("%s: description %r, want %r" % (row, got.get("description"), description))
        if role == TEXT and not got.get("value") or role != TEXT and got.get("value") is not None:
            failures.append("%s: value %r" % (row, got.get("value")))
        navigation = (got.get("focused"), got.get("hit"), got.get("next"), got.get("previous"), got.get("simple"))
        want_navigation = (index + 1 in focused, index + 1, index + 2 if index + 1 < len(items) else None,
                           index or None, True)
        if navigation != want_navigation:
            failures.append("%s: focused, hit, next, previous, simple %r, want %r" % (row, navigation, want_navigation))
    # Each native control answers for its item itself, as the form does.
    by_name = {line.get("name"): line for line in children}
    native_roles = {CHECK, RADIO, TEXT}
    if sorted(line.get("name") or "" for line in natives) != sorted(n for n, r, _, _ in items if r in native_roles):
        failures.append("%s: native controls %r" % (where, [heard(line) for line in natives]))
    for own in natives:
        tree = by_name.get(own.get("name"), {})
        fields = ("name", "role", "state", "location", "action", "value", "description")
        if any(own.get(f) != tree.get(f) for f in fields):
            failures.append("%s: %s reads %s on its own, %s in the form" % (where, own.get("class"), heard(own),
                                                                         heard(tree)))
        if own["class"] == "Button":
            ticked = 1 if (tree.get("state") or 0) & 0x10 else 0
            if own.get("check") != ticked or own.get("ownerDrawn") != (dpi != 96):
                failures.append("%s: %s BM_GETCHECK %r (owner-drawn %r), want %d" % (
                    where, own.get("name"), own.get("check"), own.get("ownerDrawn"), ticked))
        elif own.get("value") != own.get("text"):
            failures.append("%s: %s holds %r, reads %r" % (where, own.get("name"), own.get("text"), own.get("value")))


def tab_round(session, watch, caption, items, dpi, failures):
    """Tab from the opening focus round every stop and back to the first:
    one focus event a screen reader takes per move, naming the stop. The
    events of the last move."""
    stops = tab_stops(items)
    events = []
    for k in range(1, len(stops) + 1):
        name, role, state, _ = stops[k % len(stops)]
        want = "%s|%s|%s" % (name, role, with_focus(state, True))
        events = watch.during(lambda: session.x.key("Tab"), lambda e: taken(e) and heard(e) == want)
        got = [heard(e) + (" (%s)" % e.get("class")) for e in events if taken(e)]
        if [heard(e) for e in events if taken(e)] != [want]:
            failures.append("%s at %d DPI, Tab %d: focus events %r, want one for %s" % (caption, dpi, k, got, want))
    return events


def read_screen(session, tool, app, caption, items, described, dpi, failures):
    window = app.wait_window(caption, timeout=20)
    lines = tool.lines("tree", caption)
    geometry = window.geometry()
    check_tree(lines, caption, geometry, items, described, dpi, failures)
    print("  %-6s %d DPI: %s" % (caption, dpi, ", ".join(heard(line) for line in lines[1:] if "id" in line)))
    return lines


def leave(session, app, caption, watch):
    """Esc on a page: the main window comes back (with the focus on its first tile)."""
    watch.during(lambda: session.x.key("Escape"), lambda e: taken(e) and e.get("name") == MAIN_ITEMS[0])
    check(app.wait_window(ui.MAIN, timeout=20) is not None, "Esc did not leave %s" % caption)


def open_by_keys(session, tool, watch, tile, dpi):
    """Tab to the tile from the main window's opening focus, check that the
    focus is there, and press Enter."""
    for name in MAIN_ITEMS[1:MAIN_ITEMS.index(tile) + 1]:
        watch.during(lambda: session.x.key("Tab"), lambda e, name=name: taken(e) and e.get("name") == name)
    focus = [line for line in tool.lines("tree", ui.MAIN)[1:] if line.get("focused")]
    check([line.get("name") for line in focus] == [tile], "at %d DPI the focus is on %r, not on the %s tile"
          % (dpi, [line.get("name") for line in focus], tile))
    session.x.key("Return")


def desktop_page(session, tool, app, watch, items, described, dpi, failures):
    """The desktop page: a locked box and a label refuse the default action;
    a round of Tab; Space on the open box tells its new state; an object held
    over the page's end is cut off."""
    app.wait_window(ui.DESKTOP, timeout=20)
    results = [tool.lines("do", ui.DESKTOP, str(child))[0]["result"] for child in (1, 8)]
    if results[0] not in (E_FAIL, DISP_E_MEMBERNOTFOUND) or results[1] != DISP_E_MEMBERNOTFOUND:
        failures.append("default action on the locked box and on a label at %d DPI: %r" % (dpi, results))
    time.sleep(0.3)  # an action accepted by mistake would have run by now
    read_screen(session, tool, app, ui.DESKTOP, items, described, dpi, failures)
    # Back on the open box, the description box tells what it does: its
    # label's new words are told, and read with the focus.
    events = tab_round(session, watch, ui.DESKTOP, items, dpi, failures)
    box = tab_stops(items)[0]
    index = items.index(box) + 1
    label = [i + 1 for i, item in enumerate(items) if item[0] == described[1]][0]
    named = [e.get("name") for e in events if e.get("event") == "name" and e.get("child") == label]
    focus = [e.get("description") for e in events if taken(e)]
    if len(named) != 1 or named[0] in (None, described[1]) or focus != named:
        failures.append("Tab onto %s at %d DPI: the description label was told as %r, the focus read with %r"
                        % (box[0], dpi, named, focus))
    events = watch.during(lambda: session.x.key("space"), lambda e: e.get("event") == "state" and e.get("child") == 0,
                          quiet=0.3)
    told = sorted("%s %s" % (e.get("class"), heard(e)) for e in events if e.get("event") == "state")
    want = sorted("%s %s|%s|%s" % (cls, box[0], CHECK, "focused focusable") for cls in ("Button", "VelmoraForm"))
    if told != want or [e.get("child") for e in events if e.get("class") == "VelmoraForm"] != [index]:
        failures.append("Space on %s at %d DPI told %r, want %r" % (box[0], dpi, told, want))
    held = tool.start("hold", ui.DESKTOP, "30")
    try:
        leave(session, app, ui.DESKTOP, watch)
        after = held.next(35)
    finally:
        held.close()
    if after != {"gone": True, "count": RPC_E_DISCONNECTED, "name": RPC_E_DISCONNECTED}:
        failures.append("an object held over the desktop page's end at %d DPI answered %r" % (dpi, after))


def tour(session, dpi):
    """One start at `dpi` as a later Windows: every screen read, Tab round
    each; the failures found."""
    failures = []
    with velmora(session, "access-%d" % dpi) as v:
        set_dpi(v.prefix, dpi, {**TICKED_BEFORE_START, WINE_VERSION_KEY: {"Version": LATER_WINDOWS}})
        # The pointer off every window: resting on a page it would change
        # what the description box shows.
        session.x.mousemove(*PARK)
        app, _ = v.start(timeout=start_timeout(v.exe))
        tool = Tool(v.prefix)
        watch = tool.start("watch", "600")
        try:
            for name, caption, tile, items, described in SCREENS:
                if tile == "桌面":
                    result = tool.lines("do", ui.MAIN, "1")[0]["result"]
                    check(result == S_OK, "the desktop tile's default action at %d DPI: %s" % (dpi, result))
                    desktop_page(session, tool, app, watch, items, described, dpi, failures)
                    continue
                if tile:
                    open_by_keys(session, tool, watch, tile, dpi)
                lines = read_screen(session, tool, app, caption, items, described, dpi, failures)
                tab_round(session, watch, caption, items, dpi, failures)
                if name == "title":
                    typed_title(session, tool, lines, dpi, failures)
                if tile:
                    leave(session, app, caption, watch)
            check(app.alive(), "the program ended on the way at %d DPI" % dpi)
        finally:
            watch.close()
    return failures


def typed_title(session, tool, before, dpi, failures):
    """A letter typed into the title box shows in its value at once."""
    box = [line for line in before if line.get("class") == "Edit"][0]
    if box.get("value") != STANDARD_TITLE:
        failures.append("the title box reads %r at %d DPI" % (box.get("value"), dpi))
    session.x.key("x")
    time.sleep(0.2)
    after = [line for line in tool.lines("tree", ui.TITLE) if line.get("class") == "Edit"][0]
    if after.get("value") != after.get("text") or sorted(after.get("value") or "") != sorted(STANDARD_TITLE + "x"):
        failures.append("after typing x at %d DPI the title box holds %r and reads %r" % (
            dpi, after.get("text"), after.get("value")))


@suite.scenario("every screen as a screen reader reads it at 96 and 144 DPI as %s: items, Tab's focus events, "
                "default actions" % LATER_WINDOWS)
def _(s):
    s.prepare_template()  # made once for every suite: not this suite's time
    t0 = time.monotonic()
    failures = []
    for dpi in (96, 144):
        failures += tour(s, dpi)
    print("  access suite: %.1f s for 2 starts" % (time.monotonic() - t0), flush=True)
    check(not failures, "\n    ".join([""] + failures))
