"""Velmora measured beside the floor program (tests/e2e/floor), in one table.

  start        process start to the first splash frame (floor: to its window)
  open         release on each tile and tab to its page mapped
  back         release on each page's back button to the main window mapped
  memory       VmRSS of the Velmora.exe process after start, after the first
               round trip main window -> page -> main window, and after 200
               round trips over all pages
  size         build/i686/Velmora.exe and build/x86_64/Velmora.exe

Each time is the median of RUNS runs (VELMORA_BENCH_RUNS, at least 5), in a
warm prefix. The floor's counterpart of a page switch is a click that hides
its window, creates and shows another and destroys the first (floor
--switch); it is measured before and after Velmora, and the median of both
batches is the reference. Input goes through XTest and windows are seen by
their MapNotify events (xdirect.XDirect), so both sides are timed the same
way to the millisecond.

Targets: every ratio <= 1.5; memory after 200 round trips within 2 MiB of
memory after the first; the i686 exe <= 1.5 MiB. Returns 1 when a window
never shows, 2 when a target is missed, else 0."""
import os
import statistics
import time
import unicodedata

import test_harness
from harness import ROOT, HarnessError
from xdirect import XDirect

EXE = os.environ.get("VELMORA_BENCH_EXE", os.path.join(ROOT, "build", "x86_64", "Velmora.exe"))
EXE_I686 = os.path.join(ROOT, "build", "i686", "Velmora.exe")
RUNS = max(5, int(os.environ.get("VELMORA_BENCH_RUNS", "7")))
ROUND_TRIPS = int(os.environ.get("VELMORA_BENCH_ROUND_TRIPS", "200"))
SPLASH, MAIN = "加载中...", "Velmora"
RATIO_TARGET = 1.5
RSS_GROWTH_TARGET_KIB = 2 * 1024
I686_TARGET_BYTES = 1536 * 1024

# What opens a page from the main window and what takes it back: the point
# (window-relative) that the pointer rests on before the press and release.
TILE_BACK = (507, 248)
TARGETS = [
    # name, point on the main window, page caption, back point on the page
    ("Desktop tile", (163, 117), "桌面及菜单", TILE_BACK),
    ("System tile", (416, 117), "系统", TILE_BACK),
    ("My Style tile", (163, 264), "其它", TILE_BACK),
    ("More tile", (416, 264), "更多", TILE_BACK),
    ("Pinnote tab", (13, 95), "Pinnote", TILE_BACK),
    ("about tab", (565, 79), "更多", (516, 292)),
    ("help tab", (565, 157), "帮助", (528, 299)),
]
CENTRED_MAIN = (222, 209, 580, 350)
FLOOR_POINT = (300, 200)


def press_release(x, origin, point, caption, alive=None, rest=0.06):
    """Rests the pointer on the point, presses, releases: (seconds from the
    release to `caption` mapped, its geometry)."""
    sx, sy = origin[0] + point[0], origin[1] + point[1]
    x.move(sx - 1, sy)  # a real move even when the pointer is already there
    x.move(sx, sy)
    time.sleep(rest)
    x.button(True)
    time.sleep(0.03)
    return x.release_to_map(caption, alive=alive)


def rss_kib(session_pid, exe_name):
    """VmRSS (KiB) of the process of this session whose command line names exe_name."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
            if int(stat.rsplit(")", 1)[1].split()[3]) != session_pid:
                continue
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if exe_name.encode().lower() not in f.read().lower():
                    continue
            with open("/proc/%s/status" % entry) as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1])
        except (OSError, ValueError, IndexError):
            continue
    raise HarnessError("no %s process in session %d" % (exe_name, session_pid))


def pad(text, width):
    """text left-aligned in `width` terminal columns (a CJK character takes two)."""
    columns = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)
    return text + " " * max(0, width - columns)


def settle(seconds=0.15):
    time.sleep(seconds)


class Bench:
    def __init__(self, session):
        self.session = session
        self.x = XDirect(session.display.name)
        self.floor = test_harness.floor_exe()
        self.prefix = session.fresh_prefix("bench")
        self.rows = []      # (label, floor, velmora, unit)
        self.missed = []

    # --- start ---------------------------------------------------------------

    def start_times(self):
        floor, velmora = [], []
        for _ in range(RUNS):
            dt, app, _ = self.x.launch_to_map(self.prefix, self.floor, "Floor")
            floor.append(dt)
            app.kill()
            settle(0.3)
            dt, app, _ = self.x.launch_to_map(self.prefix, EXE, SPLASH)
            velmora.append(dt)
            app.kill()
            settle(0.3)
        self.time_row("start to first splash frame", floor, velmora)

    # --- floor switches ---------------------------------------------------------

    def floor_switches(self, count):
        """Switch times of the floor, and its RSS after start and after `count` switches."""
        dt, app, geometry = self.x.launch_to_map(self.prefix, self.floor, "Floor", args=("--switch",))
        settle(0.3)
        rss_start = rss_kib(app.proc.pid, "bare_window.exe")
        times, caption = [], "Floor B"
        try:
            for i in range(count):
                dt, geometry = press_release(self.x, geometry, FLOOR_POINT, caption, app.alive, rest=0.03)
                if i < 2 * RUNS:
                    times.append(dt)
                caption = "Floor" if caption == "Floor B" else "Floor B"
                settle(0.05)
            rss_end = rss_kib(app.proc.pid, "bare_window.exe")
        finally:
            app.kill()
            settle(0.3)
        return times, rss_start, rss_end

    # --- Velmora's pages ----------------------------------------------------------

    def velmora_pages(self):
        dt, app, _ = self.x.launch_to_map(self.prefix, EXE, MAIN)
        settle(0.5)
        memory = {"after start": rss_kib(app.proc.pid, "Velmora.exe")}
        opened = {name: [] for name, *_ in TARGETS}
        back = {name: [] for name, *_ in TARGETS}
        trips = 0
        try:
            while trips < ROUND_TRIPS:
                for name, tile, caption, back_point in TARGETS:
                    if trips >= ROUND_TRIPS:
                        break
                    timed = trips < RUNS * len(TARGETS)
                    dt, page = press_release(self.x, CENTRED_MAIN, tile, caption, app.alive)
                    if timed:
                        opened[name].append(dt)
                    settle(0.15 if timed else 0.05)
                    dt, _ = press_release(self.x, page, back_point, MAIN, app.alive)
                    if timed:
                        back[name].append(dt)
                    settle(0.15 if timed else 0.05)
                    trips += 1
                    if trips == 1:
                        settle(0.3)
                        memory["after the first round trip"] = rss_kib(app.proc.pid, "Velmora.exe")
                    if trips == len(TARGETS):
                        settle(0.3)
                        memory["after one round trip to every page"] = rss_kib(app.proc.pid, "Velmora.exe")
            settle(0.5)
            memory["after %d round trips" % trips] = rss_kib(app.proc.pid, "Velmora.exe")
            if not self.x.shown(MAIN):
                raise HarnessError("main window not on view after the round trips")
        finally:
            app.kill()
            settle(0.3)
        return opened, back, memory, trips

    # --- the table ------------------------------------------------------------------

    def time_row(self, label, floor, velmora):
        f, v = statistics.median(floor), statistics.median(velmora)
        ratio = v / f if f > 0 else float("inf")
        if ratio > RATIO_TARGET:
            self.missed.append("%s: %.2fx" % (label, ratio))
        self.rows.append((label, "%.4f s" % f, "%.4f s" % v, "%.2fx" % ratio, ratio <= RATIO_TARGET))

    def run(self):
        warm = self.prefix.launch(self.floor)  # starts wineserver and Wine's services
        warm.wait_window("Floor", timeout=60)
        warm.kill()
        settle(0.5)
        self.start_times()
        floor_times, floor_rss_start, floor_rss_end = self.floor_switches(2 * RUNS)
        opened, back, memory, trips = self.velmora_pages()
        more_times, _, _ = self.floor_switches(2 * RUNS)
        floor_times += more_times
        for name, _, caption, _ in TARGETS:
            self.time_row("%s -> %s" % (name, caption), floor_times, opened[name])
        for name, _, caption, _ in TARGETS:
            self.time_row("back from %s (%s) -> %s" % (caption, name, MAIN), floor_times, back[name])

        first = memory["after the first round trip"]
        last = memory["after %d round trips" % trips]
        for label, kib in memory.items():
            self.rows.append(("RSS " + label, "", "%.1f MiB" % (kib / 1024), "", None))
        growth = last - first
        ok = growth <= RSS_GROWTH_TARGET_KIB
        if not ok:
            self.missed.append("RSS grew %.1f MiB over %d round trips" % (growth / 1024, trips))
        self.rows.append(("RSS growth, first round trip to the %dth" % trips,
                          "", "%+.2f MiB" % (growth / 1024), "", ok))
        self.rows.append(("floor RSS after start / %d switches" % (2 * RUNS),
                          "%.1f / %.1f MiB" % (floor_rss_start / 1024, floor_rss_end / 1024), "", "", None))
        for path, target in ((EXE_I686, I686_TARGET_BYTES), (EXE, None)):
            size = os.path.getsize(path) if os.path.isfile(path) else None
            ok = None if target is None or size is None else size <= target
            if ok is False:
                self.missed.append("%s is %.2f MiB" % (os.path.relpath(path, ROOT), size / 1048576))
            self.rows.append(("size of " + os.path.relpath(path, ROOT), "",
                              "%.2f MiB" % (size / 1048576) if size is not None else "missing", "", ok))

    def print_table(self):
        print("bench: medians of %d runs; floor switch = hide, create, show, destroy (%d clicks)" %
              (RUNS, 4 * RUNS))
        print("%s %17s %12s %8s  %s" % (pad("", 52), "floor", "Velmora", "ratio", "target"))
        for label, f, v, ratio, ok in self.rows:
            mark = "" if ok is None else ("ok" if ok else "MISSED")
            print("%s %17s %12s %8s  %s" % (pad(label, 52), f, v, ratio, mark))
        if self.missed:
            print("bench: targets missed: " + "; ".join(self.missed))
        else:
            print("bench: every target met")


def run(session):
    if not os.path.isfile(EXE):
        print("bench: %s not built" % os.path.relpath(EXE, ROOT))
        return 1
    bench = Bench(session)
    try:
        bench.run()
    except HarnessError as e:
        print("bench: FAILED: %s" % e)
        return 1
    finally:
        bench.prefix.close()
        bench.x.close()
    bench.print_table()
    return 2 if bench.missed else 0
