"""Velmora's application shell, driven as a person would: real X input on
the exe under Wine, checked through window captions, geometry, map events,
the cursor, screenshots and the registry.

Every window is 580x350 and centred, so on the 1024x768 display it sits at
(222, 209); coordinates below are relative to the window's top-left."""
import os
import time

import ui
from harness import ROOT, ROOT_RGB, close_to, region_differs, velmora
from runner import Suite, check
from test_harness import manage_windows
from xdirect import XDirect

suite = Suite("shell")

CENTRED = ui.centred()
SETTINGS_KEY = "HKCU\\Software\\VB and VBA Program Settings\\Velmora\\VrOpt"
HAND_CURSOR = os.path.join(ROOT, "assets", "common", "hand.cur")


def box_on_screen(window, box):
    wx, wy, _, _ = window.geometry()
    x, y, w, h = box
    return (wx + x, wy + y, wx + x + w, wy + y + h)


def park_pointer(session):
    """Move the pointer off every window so nothing is hovered."""
    session.x.mousemove(3, 3)
    time.sleep(0.3)


def hover_changes(session, window, box, name, timeout=3):
    """Whether the pixels of box change once the pointer rests on it (a
    screenshot before, then screenshots until they differ or time is up)."""
    park_pointer(session)
    before, _ = session.screenshot(name + "-before")
    window.mousemove(*ui.centre(box))
    screen = box_on_screen(window, box)
    deadline = time.monotonic() + timeout
    while True:
        after, path = session.screenshot(name + "-hover")
        if region_differs(before, after, screen):
            print("  screenshot:", path)
            return True
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)


def hand_cursor_hot_spot():
    """Size and hot spot of the program's hand cursor, read from its file."""
    with open(HAND_CURSOR, "rb") as f:
        data = f.read()
    entry = data[6:22]
    width, height = entry[0] or 256, entry[1] or 256
    return width, height, int.from_bytes(entry[4:6], "little"), int.from_bytes(entry[6:8], "little")


@suite.scenario("splash fades in off the taskbar, then the main window replaces it")
def _(s):
    with velmora(s, "splash") as v:
        manage_windows(v.prefix)
        app = v.launch()
        splash = app.wait_window(ui.SPLASH, timeout=40)
        t_splash = time.monotonic()
        check(splash.geometry() == CENTRED, "splash geometry %r, want %r" % (splash.geometry(), CENTRED))
        check(splash.skips_taskbar(), "the splash shows on the taskbar")
        # Wine hands a layered window's constant alpha to X as
        # _NET_WM_WINDOW_OPACITY (no compositor runs here to apply it to the
        # pixels), so the fade is read from there.
        opacities = []
        while time.monotonic() - t_splash < 1.5 and app.find_window(ui.SPLASH):
            o = splash.opacity()
            if not opacities or opacities[-1] != o:
                opacities.append(o)
            time.sleep(0.02)
        main = app.wait_window(ui.MAIN, timeout=10)
        t_main = time.monotonic() - t_splash
        _, path = s.screenshot("shell-main")
        print("  main window %.2f s after the splash; screenshot: %s" % (t_main, path))
        levels = [1.0 if o is None else o for o in opacities]
        check(len(levels) >= 3 and levels[0] < 0.5 and levels == sorted(levels),
              "splash opacity did not rise from transparent: %r" % levels)
        check(0.5 <= t_main <= 6.0, "main window %.2f s after the splash, want about 1.2 s" % t_main)
        check(app.wait_gone(ui.SPLASH, timeout=3), "splash still visible after the main window appeared")
        check(main.geometry() == CENTRED, "main geometry %r, want %r" % (main.geometry(), CENTRED))


@suite.scenario("taskbar: the main window and the pages have buttons with their captions, Loading has none")
def _(s):
    with velmora(s, "taskbar") as v:
        manage_windows(v.prefix)
        app, main = v.start()
        problems = []
        if main.skips_taskbar():
            problems.append("the main window has no taskbar button")
        x = XDirect(s.display.name)
        try:
            # One page of each way of opening: via Loading (the More tile) and
            # directly (the about tab).
            for how, point, caption, back in [("More tile", ui.centre(ui.TILES["More"][0]), ui.MORE, ui.BACK),
                                              ("about tab", ui.centre(ui.TABS["about"][0]), ui.ABOUT,
                                               ui.centre(ui.ABOUT_BACK_BOX))]:
                with x.window_events() as events:
                    main.click(*point, hover=0.3)
                    page = app.wait_window(caption, timeout=30)
                    events.collect(0.3)
                if page.skips_taskbar():
                    problems.append("%s (%s) has no taskbar button" % (caption, how))
                if how == "More tile":
                    loading = events.mapped(ui.LOADING, ui.PAGE_SIZE)
                    if not loading:
                        problems.append("Loading was not mapped on the way to %s" % caption)
                    elif not s.x.skips_taskbar(loading[0].window):
                        problems.append("Loading has a taskbar button")
                page.click(*back, hover=0.3)
                main = app.wait_window(ui.MAIN, timeout=30)
        finally:
            x.close()
        check(not problems, "; ".join(problems))


@suite.scenario("main window corners are see-through and nothing is red there")
def _(s):
    with velmora(s, "corners") as v:
        app, main = v.start()
        park_pointer(s)
        wx, wy, ww, wh = main.geometry()
        img = s.capture_until(lambda img: not close_to(img.getpixel((wx + ww // 2, wy + 20)), ROOT_RGB) and
                              close_to(img.getpixel((wx + 1, wy + 1)), ROOT_RGB), name="shell-corners")
        for what, (x, y) in [("top-left", (1, 1)), ("bottom-right", (ww - 2, wh - 2)),
                             ("top-right", (ww - 2, 1)), ("bottom-left", (1, wh - 2))]:
            got = img.getpixel((wx + x, wy + y))
            check(not close_to(got, (255, 0, 0), 40), "%s corner (%d,%d) is red %r" % (what, x, y, got))
            if what in ("top-left", "bottom-right"):
                check(close_to(got, ROOT_RGB), "%s corner (%d,%d) is %r, want the desktop %r" %
                      (what, x, y, got, ROOT_RGB))
        inside = img.getpixel((wx + ww // 2, wy + 20))
        check(not close_to(inside, ROOT_RGB), "the window itself is see-through at its title bar")


@suite.scenario("hovering each tile changes its picture")
def _(s):
    with velmora(s, "tile-hover") as v:
        app, main = v.start()
        unchanged = [name for name, (box, _) in ui.TILES.items()
                     if not hover_changes(s, main, box, "shell-tile-" + name.replace(" ", "_"))]
        check(not unchanged, "no hover picture on: %s" % ", ".join(unchanged))


@suite.scenario("the hand cursor shows over the tiles' hover pictures and the close and minimise pictures only")
def _(s):
    width, height, xhot, yhot = hand_cursor_hot_spot()
    with velmora(s, "cursor") as v:
        app, main = v.start()
        x = XDirect(s.display.name)
        try:
            def cursor_at(point):
                # Two moves: the first may bring the hover picture, whose
                # cursor the second one shows.
                sx, sy = main.to_screen(*point)
                for p in ((sx - 1, sy), (sx, sy)):
                    x.move(*p)
                    time.sleep(0.25)
                return x.cursor()

            table = [
                ("Desktop tile", ui.centre(ui.TILES["Desktop"][0]), True),
                ("More tile", ui.centre(ui.TILES["More"][0]), True),
                ("minimise picture", ui.centre(ui.MINIMISE_BOX), True),
                ("close picture", ui.centre(ui.CLOSE_BOX), True),
                ("Pinnote tab", ui.centre(ui.TABS["Pinnote"][0]), False),
                ("help tab", ui.centre(ui.TABS["help"][0]), False),
                ("title bar", (200, 18), False),
                ("background between the tiles", (290, 190), False),
            ]
            wrong = []
            for what, point, hand in table:
                c = cursor_at(point)
                is_hand = (c.width, c.height, c.xhot, c.yhot) == (width, height, xhot, yhot)
                if is_hand != hand:
                    wrong.append("%s: %r, want %s" % (what, c, "the hand" if hand else "not the hand"))
            check(not wrong, "; ".join(wrong))
        finally:
            x.close()


@suite.scenario("More tile opens the 更多 page through Loading; back returns to the main window")
def _(s):
    with velmora(s, "more-back") as v:
        app, main = v.start()
        x = XDirect(s.display.name)
        try:
            with x.window_events() as events:
                main.click(*ui.centre(ui.TILES["More"][0]), hover=0.3)
                more = app.wait_window(ui.MORE, timeout=20)
                events.collect(0.2)
        finally:
            x.close()
        # Map events are never missed, however short Loading's time on screen.
        order = [(e.kind, e.name) for e in events.seen if e.name in (ui.LOADING, ui.MORE) and e.kind == "map"]
        loading = events.mapped(ui.LOADING, ui.PAGE_SIZE)
        check(loading, "no Loading window was mapped on the way; events: %r" % events.seen)
        check(order.index(("map", ui.LOADING)) < order.index(("map", ui.MORE)),
              "Loading was mapped after the page: %r" % order)
        check(loading[0].geometry == CENTRED, "Loading geometry %r" % (loading[0].geometry,))
        check(more.geometry() == CENTRED, "更多 geometry %r" % (more.geometry(),))
        check(not x_viewable(s, loading[0].window), "Loading still on screen with the page")
        _, path = s.screenshot("shell-more")
        print("  screenshot:", path)
        more.click(*ui.BACK, hover=0.3)
        check(app.wait_window(ui.MAIN, timeout=10) is not None, "main window not back")
        check(app.wait_gone(ui.MORE, timeout=5), "更多 page still visible after back")
        check(app.alive(), "process ended on back")


def x_viewable(session, window):
    x = XDirect(session.display.name)
    try:
        g = x.geometry(window)
        return bool(g and g[4])
    finally:
        x.close()


@suite.scenario("更多 page close button changes on hover and leads back to the main window")
def _(s):
    with velmora(s, "more-close") as v:
        app, main = v.start()
        main.click(*ui.centre(ui.TILES["More"][0]), hover=0.3)
        more = app.wait_window(ui.MORE, timeout=20)
        check(hover_changes(s, more, ui.CLOSE_BOX, "shell-more-close"), "close button did not change on hover")
        more.click(*ui.centre(ui.CLOSE_BOX))
        check(app.wait_window(ui.MAIN, timeout=10) is not None, "main window not back after the close button")
        check(app.wait_gone(ui.MORE, timeout=5), "更多 page still visible after its close button")
        check(app.alive(), "the process ended on the page's close button")


@suite.scenario("a tile opens its page when pressed with any button or released off it or outside the window")
def _(s):
    with velmora(s, "capture") as v:
        app, main = v.start()
        tile, caption = ui.TILES["More"]
        x = XDirect(s.display.name)
        try:
            wx, wy, _, _ = main.geometry()
            at_tile = (wx + ui.centre(tile)[0], wy + ui.centre(tile)[1])
            table = [
                ("right button", 3, at_tile),
                ("middle button", 2, at_tile),
                ("left button released on another tile", 1, (wx + 163, wy + 117)),
                ("left button released on the background", 1, (wx + 290, wy + 190)),
                ("left button released outside the window", 1, (wx - 60, wy + 400)),
            ]
            failures = []
            for what, button, release_at in table:
                x.move(at_tile[0] - 1, at_tile[1])
                x.move(*at_tile)
                time.sleep(0.3)
                check(x.pointer() == at_tile, "pointer at %r, not on the tile" % (x.pointer(),))
                x.button(True, button)
                time.sleep(0.1)
                for step in range(1, 5):
                    x.move(at_tile[0] + (release_at[0] - at_tile[0]) * step // 4,
                           at_tile[1] + (release_at[1] - at_tile[1]) * step // 4)
                    time.sleep(0.03)
                check(x.pointer() == release_at, "pointer at %r, not where the release goes" % (x.pointer(),))
                x.button(False, button)
                try:
                    page = app.wait_window(caption, timeout=15)
                except Exception as e:
                    failures.append("%s: %s" % (what, e))
                    break
                page.click(*ui.BACK, hover=0.3)
                main = app.wait_window(ui.MAIN, timeout=10)
            check(not failures, "; ".join(failures))
        finally:
            x.close()


@suite.scenario("Alt+F4 on a page returns to the main window and leaves the program running")
def _(s):
    with velmora(s, "alt-f4") as v:
        app, main = v.start()
        table = [("Desktop tile", ui.centre(ui.TILES["Desktop"][0]), ui.DESKTOP),
                 ("More tile", ui.centre(ui.TILES["More"][0]), ui.MORE),
                 ("Pinnote tab", ui.centre(ui.TABS["Pinnote"][0]), ui.PINNOTE),
                 ("help tab", ui.centre(ui.TABS["help"][0]), ui.HELP)]
        for what, point, caption in table:
            main.click(*point, hover=0.3)
            page = app.wait_window(caption, timeout=20)
            page.mousemove(290, 340)  # the page's own bottom edge
            time.sleep(0.2)
            page.x.key("alt+F4")
            main = app.wait_window(ui.MAIN, timeout=10)
            check(app.wait_gone(caption, timeout=5), "%s still on screen after Alt+F4" % caption)
            check(app.alive(), "the program ended on Alt+F4 on the page of the %s" % what)


@suite.scenario("side tabs open their windows")
def _(s):
    with velmora(s, "side-tabs") as v:
        failures = []
        for name, (box, caption) in ui.TABS.items():
            app, main = v.start()
            main.click(*ui.centre(box), hover=0.3)
            try:
                w = app.wait_window(caption, timeout=15)
                _, path = s.screenshot("shell-tab-" + caption)
                print("  %s tab -> %r; screenshot: %s" % (name, caption, path))
                if caption == ui.NOTICE:
                    w.x.key("Return")
                    check(app.wait_gone(ui.NOTICE, timeout=5), "the notice did not close on Return")
                    check(main.visible(), "the main window left with the notice")
            except Exception as e:
                failures.append("%s tab: %s" % (name, e))
            v.stop()
        check(not failures, "; ".join(failures))


@suite.scenario("minimise picture minimises the main window and the program keeps running")
def _(s):
    with velmora(s, "minimise") as v:
        app, main = v.start()
        main.click(*ui.centre(ui.MINIMISE_BOX), hover=0.3)
        # Without a window manager, Wine shows a minimised window as a small
        # title at the bottom of the screen.
        deadline = time.monotonic() + 5
        while main.geometry()[2:] == ui.PAGE_SIZE and time.monotonic() < deadline:
            time.sleep(0.1)
        check(main.geometry()[2:] != ui.PAGE_SIZE, "the main window is still whole after the minimise picture")
        time.sleep(0.5)
        check(app.alive(), "the program ended on the minimise picture")


@suite.scenario("main close picture changes on hover and ends the process")
def _(s):
    with velmora(s, "main-close") as v:
        app, main = v.start()
        check(hover_changes(s, main, ui.CLOSE_BOX, "shell-main-close"), "close picture did not change on hover")
        main.click(*ui.centre(ui.CLOSE_BOX))
        check(app.wait_exit(10) is not None, "process still running 10 s after the close picture")
        check(app.wait_gone(ui.MAIN, timeout=3), "main window still visible")


@suite.scenario("dragging the title bar moves the window, elsewhere not; the next screen opens centred")
def _(s):
    with velmora(s, "drag") as v:
        app, main = v.start()
        table = [
            ("title bar", (200, 18), (60, 40), True),
            ("title bar back", (200, 18), (-60, -40), True),
            ("below the title bar, between the tiles", (290, 190), (50, 30), False),
        ]
        for what, (x, y), (dx, dy), moves in table:
            before = main.geometry()
            main.drag(x, y, dx, dy)
            want = (before[0] + dx, before[1] + dy) if moves else before[:2]
            after = main.wait_at(want, timeout=3 if moves else 0.5)
            check(abs(after[0] - want[0]) <= 3 and abs(after[1] - want[1]) <= 3,
                  "%s drag by (%d,%d): window went %r -> %r" % (what, dx, dy, before[:2], after[:2]))
            check(app.alive(), "process ended while dragging the %s" % what)
        # A screen reached after a drag opens centred, and so does the main
        # window it returns to.
        main.drag(200, 18, 80, 50)
        main.wait_at((CENTRED[0] + 80, CENTRED[1] + 50))
        check(main.geometry() != CENTRED, "the drag did not move the main window")
        main.click(*ui.centre(ui.TILES["More"][0]), hover=0.3)
        more = app.wait_window(ui.MORE, timeout=20)
        check(more.geometry() == CENTRED, "更多 after a drag: %r" % (more.geometry(),))
        more.drag(200, 18, -70, 30)
        more.wait_at((CENTRED[0] - 70, CENTRED[1] + 30))
        more.click(*ui.BACK, hover=0.3)
        back = app.wait_window(ui.MAIN, timeout=10)
        check(back.geometry() == CENTRED, "main window after a dragged page: %r" % (back.geometry(),))


@suite.scenario("LoadPictureNumber over five starts is 2, 3, 4, empty, 2")
def _(s):
    with velmora(s, "settings") as v:
        want = ["2", "3", "4", "", "2"]
        got = []
        for _ in want:
            app, main = v.start()
            main.click(*ui.centre(ui.CLOSE_BOX), hover=0.3)
            if app.wait_exit(10) is None:
                app.kill()
            got.append(v.prefix.reg_query(SETTINGS_KEY, "LoadPictureNumber"))
        check(got == [("REG_SZ", w) for w in want],
              "values after each start: %r, want %r" % (got, [("REG_SZ", w) for w in want]))


def with_broken_picture(exe, picture, folder):
    """A copy of the exe in `folder` whose embedded picture (a PNG file of
    assets/, kept byte for byte in the exe) no longer decodes: its signature
    is overwritten."""
    with open(os.path.join(ROOT, "assets", picture), "rb") as f:
        png = f.read()
    with open(exe, "rb") as f:
        data = f.read()
    at = data.find(png)
    check(at >= 0 and data.find(png, at + 1) < 0, "%s is not in the exe exactly once" % picture)
    broken = os.path.join(folder, "Velmora.exe")
    with open(broken, "wb") as f:
        f.write(data[:at] + b"\0" * 8 + data[at + 8:])
    return broken


@suite.scenario("a splash picture that cannot be decoded shows the stop message and ends the program")
def _(s):
    with velmora(s, "broken-splash") as v:
        # This start shows the second splash picture, decoded only as it is painted.
        v.prefix.reg_add(SETTINGS_KEY, "LoadPictureNumber", "2")
        exe = with_broken_picture(v.exe, os.path.join("formload", "rnd2.png"), v.prefix.path)
        app = v.launch(exe)
        error = app.wait_window(ui.ERROR, timeout=30)
        check(app.alive(), "the program ended before its stop message was answered")
        shot, path = s.screenshot("shell-broken-splash")
        print("  screenshot:", path)
        check(not app.find_window(ui.MAIN), "the main window opened over a broken splash")
        error.x.key("Return")
        code = app.wait_exit(15)
        check(code is not None, "the program did not end after its stop message")
        check(not app.visible_windows(), "windows left after the stop message")
