"""The three tweak pages driven as a person would: real X input on Velmora
under Wine, a fresh prefix per scenario, the registry seeded and read back
with Wine's own reg tool.

Pages open centred at (222, 209); coordinates below are relative to the
window's top-left. A box `CheckN` sits in the settings frame at
(40 + 16, frame top + 24 * N); its square is the first 13 pixels."""
import time

import ui
from harness import tool_exe, velmora
from runner import Suite, check

suite = Suite("tweaks")

MAIN = ui.MAIN
DESKTOP, SECURITY, TITLE = "桌面及菜单", "系统", "其它"
TILES = {DESKTOP: (163, 117), SECURITY: (416, 117), TITLE: (163, 264)}
FRAME_TOP = {DESKTOP: 56, SECURITY: 48}
SAVE, BACK = ui.SAVE, ui.BACK
NOTICE = ui.NOTICE
TEXT_BOX = (40 + 120 + 84, 48 + 21 + 9)

ICON_KEY = "HKCU\\Control Panel\\Desktop\\WindowMetrics"
LNK_KEY = "HKCR\\lnkfile"
ICONS_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel"
RECYCLE_BIN = "{645FF040-5081-101B-9F08-00AA002F954E}"
NETWORK = "{208D2C60-3AEA-1069-A2D7-08002B30309D}"
COMPUTER = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}"
DOCUMENTS = "{450D8FBA-AD25-11D0-98A8-0800361B1103}"
IE = "{871C5380-42A0-1069-A2EA-08002B30309D}"
EXPLORER_POLICIES = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"
SYSTEM_POLICIES = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"
IE_RESTRICTIONS = "HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"
IE_CONTROL_PANEL = "HKCU\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"
IE_MAIN = "HKCU\\Software\\Microsoft\\Internet Explorer\\Main"
WATCHED_KEYS = [ICON_KEY, LNK_KEY, ICONS_KEY, EXPLORER_POLICIES, SYSTEM_POLICIES, IE_RESTRICTIONS,
                IE_CONTROL_PANEL, IE_MAIN]


def registry(prefix):
    return {key: prefix.reg_values(key) for key in WATCHED_KEYS}


def changes(before, after):
    """{(key, lower-case name): (before, after)} for every value that differs."""
    found = {}
    for key in WATCHED_KEYS:
        for name in set(before[key]) | set(after[key]):
            if before[key].get(name) != after[key].get(name):
                found[(key, name)] = (before[key].get(name), after[key].get(name))
    return found


def open_page(app, main, caption):
    main.click(*TILES[caption], hover=0.3)
    page = app.wait_window(caption, timeout=20)
    time.sleep(0.5)
    return page


def click_box(page, caption, n, button=1):
    x, y = 40 + 16 + 30, FRAME_TOP[caption] + 24 * n + 8
    page.mousemove(x, y)
    time.sleep(0.15)
    page.x.mousedown(button)
    time.sleep(0.05)
    page.x.mouseup(button)
    time.sleep(0.15)


def ticked(session, page, caption, n, img=None):
    """Whether the box's square holds a tick: pixels inside its light face that
    are clearly darker (black when enabled, grey when disabled)."""
    wx, wy, _, _ = page.geometry()
    left, top = wx + 40 + 16, wy + FRAME_TOP[caption] + 24 * n
    img = img or session.x.capture()
    dark = sum(1 for x in range(left + 3, left + 11) for y in range(top + 4, top + 13)
               if max(img.getpixel((x, y))) < 190)
    return dark >= 6


def ticks_become(session, page, caption, want, timeout=3):
    """The ticks of boxes 1..7 once they are `want` (a list) or when time is up:
    a native box can paint a moment after the input that changed it."""
    deadline = time.monotonic() + timeout
    while True:
        img = session.x.capture()
        got = [ticked(session, page, caption, n, img) for n in range(1, 8)]
        if got == want or time.monotonic() > deadline:
            return got


def tick_becomes(session, page, caption, n, want, timeout=3):
    deadline = time.monotonic() + timeout
    while True:
        got = ticked(session, page, caption, n)
        if got == want or time.monotonic() > deadline:
            return got == want
        time.sleep(0.1)


def push(app, page, point, back_to=MAIN):
    page.click(*point, hover=0.3)
    check(app.wait_window(back_to, timeout=10) is not None, "the main window did not come back")


@suite.scenario("XP desktop page: ticks show the seeded values; a save writes the pressed boxes only")
def _(s):
    with velmora(s, "tweaks-desktop-xp", "winxp") as v:
        p = v.prefix
        p.reg_add(ICON_KEY, "Shell Icon Size", "48")
        p.reg_add(ICONS_KEY, NETWORK, 1, "REG_DWORD")
        p.reg_add(ICONS_KEY, COMPUTER, "1")  # text that reads as 1
        p.reg_add(ICONS_KEY, DOCUMENTS, 2, "REG_DWORD")
        p.reg_add(LNK_KEY, "IsShortcut", "")
        p.wait_server_idle()
        before = registry(p)
        app, main = v.start()
        page = open_page(app, main, DESKTOP)
        want = [True, False, False, True, True, False, False]
        shown = ticks_become(s, page, DESKTOP, want)
        _, path = s.screenshot("tweaks-desktop-loaded")
        print("  screenshot:", path)
        check(shown == want, "ticks at load %r" % shown)
        for n in (1, 2, 3, 7):
            click_box(page, DESKTOP, n)
        # A right click marks nothing, even though the pointer was there.
        click_box(page, DESKTOP, 6, button=3)
        push(app, page, SAVE)
        time.sleep(0.5)
        got = changes(before, registry(p))
        want = {
            (ICON_KEY, "shell icon size"): (("REG_SZ", "48"), ("REG_SZ", "35")),
            (LNK_KEY, "isshortcut"): (("REG_SZ", ""), None),
            (ICONS_KEY, RECYCLE_BIN.lower()): (None, ("REG_DWORD", "0x1")),
            (ICONS_KEY, IE.lower()): (None, ("REG_DWORD", "0x1")),
        }
        check(got == want, "registry changes %r, want %r" % (got, want))


@suite.scenario("XP security page: pressed boxes are written as DWORD 1, nothing else")
def _(s):
    with velmora(s, "tweaks-security-xp", "winxp") as v:
        p = v.prefix
        p.reg_add(EXPLORER_POLICIES, "NoRun", 1, "REG_DWORD")
        p.wait_server_idle()
        before = registry(p)
        app, main = v.start()
        page = open_page(app, main, SECURITY)
        check(tick_becomes(s, page, SECURITY, 5, True), "禁用\"运行\" not ticked for NoRun = 1")
        for n in (2, 5, 6):
            click_box(page, SECURITY, n)
        push(app, page, SAVE)
        time.sleep(0.5)
        got = changes(before, registry(p))
        want = {
            (IE_RESTRICTIONS, "noselectdownloaddir"): (None, ("REG_DWORD", "0x1")),
            (EXPLORER_POLICIES, "norun"): (("REG_DWORD", "0x1"), ("REG_DWORD", "0x0")),
            (IE_CONTROL_PANEL, "homepage"): (None, ("REG_DWORD", "0x1")),
        }
        check(got == want, "registry changes %r, want %r" % (got, want))


@suite.scenario("title page: a typed title is saved; cleared with Backspace it is saved empty")
def _(s):
    with velmora(s, "tweaks-title", "winxp") as v:
        p = v.prefix
        p.reg_add(IE_MAIN, "Window Title", "Old")
        p.wait_server_idle()
        app, main = v.start()
        for keys, want in [(["End", "exclam", "a"], "Old!a"), (["End"] + ["BackSpace"] * 8, "")]:
            page = open_page(app, main, TITLE)
            page.click(*TEXT_BOX)
            time.sleep(0.2)
            page.x.key(*keys)
            time.sleep(0.3)
            push(app, page, SAVE)
            main = app.wait_window(MAIN)
            time.sleep(0.5)
            got = p.reg_query(IE_MAIN, "Window Title")
            check(got == ("REG_SZ", want), "title %r, want %r" % (got, want))
        # Nothing typed: nothing written, even with the title now empty.
        page = open_page(app, main, TITLE)
        push(app, page, SAVE)
        time.sleep(0.5)
        check(p.reg_query(IE_MAIN, "Window Title") == ("REG_SZ", ""), "title changed without typing")


@suite.scenario("later Windows: only the Recycle Bin box changes, security writes nothing, title saves")
def _(s):
    with velmora(s, "tweaks-win7", "win7") as v:
        p = v.prefix
        p.reg_add(ICON_KEY, "Shell Icon Size", "48")
        p.wait_server_idle()
        before = registry(p)
        app, main = v.start()
        page = open_page(app, main, DESKTOP)
        check(tick_becomes(s, page, DESKTOP, 1, True), "a locked box lost its tick")
        for n in range(1, 8):
            click_box(page, DESKTOP, n)
        _, path = s.screenshot("tweaks-desktop-win7")
        print("  screenshot:", path)
        push(app, page, SAVE)
        main = app.wait_window(MAIN)
        page = open_page(app, main, SECURITY)
        for n in range(1, 8):
            click_box(page, SECURITY, n)
        push(app, page, SAVE)
        main = app.wait_window(MAIN)
        page = open_page(app, main, TITLE)
        page.click(*TEXT_BOX)
        page.x.key("End", "x")
        time.sleep(0.3)
        push(app, page, SAVE)
        time.sleep(0.5)
        got = changes(before, registry(p))
        want = {
            (ICONS_KEY, RECYCLE_BIN.lower()): (None, ("REG_DWORD", "0x1")),
            (IE_MAIN, "window title"): (None, ("REG_SZ", "Windows Internet Explorerx")),
        }
        check(got == want, "registry changes %r, want %r" % (got, want))


def notice_shown(app, timeout=2):
    """Whether a 注意 notice appears within the timeout (it would name unsaved settings)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if app.find_window(NOTICE):
            return True
        time.sleep(0.1)
    return False


@suite.scenario("shortcut arrow: with IsShortcut absent the box is ticked; untick and tick again saves quietly")
def _(s):
    with velmora(s, "tweaks-arrow", "winxp") as v:
        p = v.prefix
        p.reg_delete(LNK_KEY, "IsShortcut")  # Wine's own prefix has it
        p.wait_server_idle()
        check(p.reg_query(LNK_KEY, "IsShortcut") is None, "IsShortcut present before the start")
        before = registry(p)
        app, main = v.start()
        page = open_page(app, main, DESKTOP)
        check(tick_becomes(s, page, DESKTOP, 2, True), "删除快捷方式小箭头 not ticked with IsShortcut absent")
        click_box(page, DESKTOP, 2)
        check(tick_becomes(s, page, DESKTOP, 2, False), "the first click did not untick the box")
        click_box(page, DESKTOP, 2)
        check(tick_becomes(s, page, DESKTOP, 2, True), "the second click did not tick the box again")
        # The save deletes a value that is not there: that is what the box
        # asks for, so no warning, and the page returns to the main window.
        page.click(*SAVE, hover=0.3)
        check(not notice_shown(app), "a notice was shown for deleting an absent IsShortcut")
        main = app.wait_window(MAIN, timeout=10)
        check(app.wait_gone(DESKTOP, timeout=5), "the page stayed open after the save")
        check(changes(before, registry(p)) == {}, "registry changed: %r" % changes(before, registry(p)))

        page = open_page(app, main, DESKTOP)
        check(tick_becomes(s, page, DESKTOP, 2, True), "the box is not ticked on the next visit")
        click_box(page, DESKTOP, 2)
        push(app, page, SAVE)
        time.sleep(0.3)
        got = changes(before, registry(p))
        check(got == {(LNK_KEY, "isshortcut"): (None, ("REG_SZ", ""))}, "after unticking and saving: %r" % got)


@suite.scenario("title page: Chinese text from an input method (WM_CHAR, WM_IME_CHAR) is saved exactly")
def _(s):
    typist = tool_exe("post_chars")
    with velmora(s, "tweaks-ime", "winxp") as v:
        p = v.prefix
        app, main = v.start()
        for how, text in [("char", "中文标题"), ("ime", "输入法标题：浏览器"), ("ime", "Velmora 的窗口")]:
            p.reg_add(IE_MAIN, "Window Title", "")
            page = open_page(app, main, TITLE)
            r = p.wine(typist, TITLE, how, text, check=False)
            check(r.returncode == 0, "the typist found no text box on %s (exit %d)" % (TITLE, r.returncode))
            push(app, page, SAVE)
            main = app.wait_window(MAIN)
            time.sleep(0.3)
            got = p.reg_query(IE_MAIN, "Window Title")
            check(got == ("REG_SZ", text), "typed %r as %s messages, saved %r" % (text, how.upper(), got))
