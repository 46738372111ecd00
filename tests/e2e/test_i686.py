"""The exe Windows users get, build/i686/Velmora.exe, run for real: 32-bit
Wine, whose loader runs under QEMU user emulation on these machines (every
32-bit process start costs about a minute; the pages then open in seconds).

For Windows XP and for one later Windows, one start each: the splash takes
its rotation step, every screen is reached once and checked like the 64-bit
tour (screenshots build/e2e-screens/screen-i686-<windows>-<screen>.png), each
settings page saves once and Wine's registry is read back, and the close
picture ends the program. The XP tour is then compared window by window
with the same tour of the x86_64 exe: the two builds must draw the same
pixels.

Needs scripts/setup.sh to have installed wine32 and registered QEMU for
32-bit programs; without them the suite is skipped, and in CI it fails."""
import os
import time

import test_screens
import ui
from harness import ROOT, HarnessError, velmora
from runner import Skip, Suite, check
from xdirect import WindowEvents
from test_pages import GREEN, PINNOTE_KEY
from test_tweaks import ICONS_KEY, IE_MAIN, RECYCLE_BIN, SYSTEM_POLICIES, TEXT_BOX, click_box

suite = Suite("i686")

EXE_I686 = os.path.join(ROOT, "build", "i686", "Velmora.exe")
EXE_X64 = os.path.join(ROOT, "build", "x86_64", "Velmora.exe")
SETTINGS_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt"
# The 32-bit loader and the registration that hands it to QEMU.
WINE32_LOADER = "/usr/lib/wine/wine"
BINFMT = "/proc/sys/fs/binfmt_misc/qemu-i386"

# The XP tours of both exes in this run, for the comparison (the x86_64 one
# is the screens suite's, when it ran before).
_x64_tour = {}
_i686_tour = {}


def why_no_32bit():
    if not os.path.isfile(EXE_I686):
        return "%s not built" % os.path.relpath(EXE_I686, ROOT)
    if not os.path.isfile(WINE32_LOADER):
        return "no 32-bit Wine loader (%s): scripts/setup.sh installs wine32" % WINE32_LOADER
    try:
        with open(BINFMT) as f:
            if not f.readline().startswith("enabled"):
                return "QEMU's 32-bit handler is registered but disabled (%s)" % BINFMT
    except OSError:
        return "no QEMU handler for 32-bit programs (%s): scripts/setup.sh registers it" % BINFMT
    return None


def require_32bit():
    why = why_no_32bit()
    if why is None:
        return
    if os.environ.get("CI"):
        raise AssertionError("the 32-bit exe cannot run here: " + why)
    raise Skip(why)


def different_pixels(a, b):
    """How many pixels of two equal-sized window captures differ."""
    if a.size != b.size:
        return a.size[0] * a.size[1]
    return sum(1 for p, q in zip(a.getdata(), b.getdata()) if p != q)


def x64_tour(s):
    if not _x64_tour and EXE_X64 in test_screens.TOURS:
        _x64_tour.update(test_screens.TOURS[EXE_X64])
    if not _x64_tour:
        with velmora(s, "x86_64-tour", "winxp", exe=EXE_X64) as v:
            failures, shots = test_screens.tour(s, v, label="x86_64-winxp-")
        check(not failures, "the x86_64 tour failed: %s" % "; ".join(failures))
        _x64_tour.update(shots)
    return _x64_tour


def save_on_each_page(app, main):
    """Saves once on the desktop, security, title and Pinnote pages."""
    page = open_from(app, main, ui.centre(ui.TILES["Desktop"][0]), ui.DESKTOP)
    click_box(page, ui.DESKTOP, 3)  # hide the Recycle Bin: open on every Windows
    main = save(app, page)
    page = open_from(app, main, ui.centre(ui.TILES["System"][0]), ui.SECURITY)
    click_box(page, ui.SECURITY, 7)  # Task Manager: locked on anything but XP
    main = save(app, page)
    page = open_from(app, main, ui.centre(ui.TILES["My Style"][0]), ui.TITLE)
    page.click(*TEXT_BOX)
    time.sleep(0.5)
    page.x.key("End", "3", "2")
    time.sleep(1.0)
    main = save(app, page)
    page = open_from(app, main, ui.centre(ui.TABS["Pinnote"][0]), ui.PINNOTE)
    page.click(*GREEN, hover=0.5)
    time.sleep(0.5)
    main = save(app, page)
    return main


def open_from(app, main, point, caption):
    main.click(*point, hover=0.5)
    page = app.wait_window(caption, timeout=60)
    time.sleep(1.0)
    return page


def save(app, page):
    page.click(*ui.SAVE, hover=0.5)
    return app.wait_window(ui.MAIN, timeout=60)


def saved_values(prefix):
    return {
        "Recycle Bin hidden": prefix.reg_query(ICONS_KEY, RECYCLE_BIN),
        "Task Manager disabled": prefix.reg_query(SYSTEM_POLICIES, "DisableTaskMgr"),
        "IE title": prefix.reg_query(IE_MAIN, "Window Title"),
        "Pinnote colour": prefix.reg_query(PINNOTE_KEY, "Color"),
        "splash number": prefix.reg_query(SETTINGS_KEY, "LoadPictureNumber"),
    }


def save_and_close(v, windows):
    """The saves of one run and what Wine's registry holds after them; then the close picture."""
    app = v.app
    main = app.wait_window(ui.MAIN, timeout=30)
    try:
        main = save_on_each_page(app, main)
    except HarnessError as e:
        raise AssertionError("%s: saving on the pages: %s" % (windows, e))
    got = saved_values(v.prefix)
    want = {
        "Recycle Bin hidden": ("REG_DWORD", "0x1"),
        # Locked on anything but XP: the click changes nothing a save writes.
        "Task Manager disabled": ("REG_DWORD", "0x1") if windows == "winxp" else None,
        "IE title": ("REG_SZ", "Windows Internet Explorer32"),
        "Pinnote colour": ("REG_SZ", "G"),
        "splash number": ("REG_SZ", "2"),  # a first start: the default picture, then 2
    }
    wrong = {k: (got[k], want[k]) for k in want if got[k] != want[k]}
    check(not wrong, "%s: registry after the saves (got, want): %r" % (windows, wrong))
    main.click(*ui.centre(ui.CLOSE_BOX), hover=0.5)
    check(app.wait_exit(60) is not None, "%s: the i686 exe still runs a minute after its close picture" % windows)


@suite.scenario("i686 exe on Windows XP and 7: splash step, every screen, a save on each settings page, close")
def _(s):
    require_32bit()
    t0 = time.monotonic()
    s7 = s.on_second_display()
    with velmora(s, "i686-winxp", "winxp", exe=EXE_I686) as xp, \
            velmora(s7, "i686-win7", "win7", exe=EXE_I686) as win7:
        # Both start at once, each on its own display: the emulated starts
        # take a core each instead of one after the other.
        test_screens.prepare(win7)
        events = WindowEvents(s7.display.name)
        with events:
            win7.launch()
            failures, shots = test_screens.tour(s, xp, label="i686-winxp-")
            check(not failures, "winxp: tour of the i686 exe: %s" % "; ".join(failures))
            _i686_tour.update(shots)
            save_and_close(xp, "winxp")
            win7.app.wait_window(ui.MAIN, timeout=300)
            events.collect()
        check(events.mapped(ui.SPLASH, ui.PAGE_SIZE), "win7: the splash was never mapped: %r" % events.seen)
        failures, _ = test_screens.tour(s7, win7, label="i686-win7-", started=True)
        check(not failures, "win7: tour of the i686 exe: %s" % "; ".join(failures))
        save_and_close(win7, "win7")
    print("  i686 exe as Windows XP and 7: %.0f s" % (time.monotonic() - t0), flush=True)


@suite.scenario("i686 and x86_64 exes draw the same pixels, window by window")
def _(s):
    if not _i686_tour:
        raise Skip("the i686 tour did not run")
    reference = x64_tour(s)
    differences = []
    for name, (img, geometry) in sorted(_i686_tour.items()):
        if name not in reference:
            continue
        ref_img, ref_geometry = reference[name]
        a = test_screens.window_pixels(img, geometry)
        b = test_screens.window_pixels(ref_img, ref_geometry)
        n = different_pixels(a, b)
        if n:
            differences.append("%s: %d pixels" % (name, n))
            a.save(os.path.join(test_screens.SCREENS_DIR, "diff-i686-%s.png" % name))
            b.save(os.path.join(test_screens.SCREENS_DIR, "diff-x86_64-%s.png" % name))
    print("  compared: %s" % ", ".join(sorted(set(_i686_tour) & set(reference))))
    check(not differences, "the i686 and x86_64 exes draw differently: %s" % "; ".join(differences))
