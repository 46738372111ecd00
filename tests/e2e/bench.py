"""Velmora measured beside a floor that does the same window work, in one table.

  start    process start to the first splash frame (floor: to its window)
  open     release on each tile and tab to its page mapped
  back     release on each page's back button to the main window mapped
  memory   VmRSS after one tour of every page (first-visit caches filled)
           and after ROUND_TRIPS more round trips, and Velmora's own cost:
           its RSS minus the floor's (whose RSS stays flat from its first
           switches to 400 and more, so 60 switches stand for any number)
  size     both exes

The floor (tests/e2e/floor/switch_floor.cpp) has one mode per screen switch
and does exactly its window operations in the same order, with windows of
the same size, style, colour key and a background bitmap of the same size:
each Velmora row is measured beside the floor mode of its own switch, in the
same run (floor batches before and after Velmora). Input goes through XTest
and windows are seen by their MapNotify events on a direct X connection, so
both sides are timed the same way to the millisecond. Every switch of the
tour and the round trips is a sample: medians and 95th percentiles of about
30 per row.

Then the trace build (VelmoraTrace.exe, the same program with every service
call timed) and the floor's own trace show where each switch's time goes,
step by step, on both sides.

Targets: every ratio <= 1.25 (median of at least RUNS); every switch's 95th
percentile within one 60 Hz frame (16.7 ms); memory after the round trips
within 1 MiB of memory after the tour; the i686 exe under 1.0 MiB.
Velmora's own memory cost is reported (aim: under 8 MiB). Returns 1 when a
window never shows, 2 when a target is missed, else 0."""
import os
import statistics
import time
import unicodedata

import test_harness
import ui
from harness import ROOT, HarnessError
from xdirect import XDirect

EXE = os.environ.get("VELMORA_BENCH_EXE", os.path.join(ROOT, "build", "x86_64", "Velmora.exe"))
TRACE_EXE = os.path.join(ROOT, "build", "x86_64", "VelmoraTrace.exe")
EXE_I686 = os.path.join(ROOT, "build", "i686", "Velmora.exe")
RUNS = max(7, int(os.environ.get("VELMORA_BENCH_RUNS", "7")))
ROUND_TRIPS = int(os.environ.get("VELMORA_BENCH_ROUND_TRIPS", "200"))
FLOOR_SWITCHES = 30  # per batch and direction: before and after Velmora
RATIO_TARGET = 1.25
FRAME_MS = 1000 / 60
RSS_GROWTH_TARGET_KIB = 1024
OWN_COST_AIM_KIB = 8 * 1024
I686_TARGET_BYTES = 1024 * 1024

LOADING, DIRECT, UNLOAD, SHOW = "via Loading", "direct", "return, unload first", "return, show first"
FLOOR_MODES = {LOADING: ("--open", "loading"), DIRECT: ("--open", "direct"),
               UNLOAD: ("--back", "unload"), SHOW: ("--back", "show")}

# What opens a page from the main window, how, and what takes it back.
TARGETS = [
    # name, point on the main window, page caption, open switch, back point, back switch
    ("Desktop tile", ui.centre(ui.TILES["Desktop"][0]), ui.DESKTOP, LOADING, ui.BACK, UNLOAD),
    ("System tile", ui.centre(ui.TILES["System"][0]), ui.SECURITY, LOADING, ui.BACK, UNLOAD),
    ("My Style tile", ui.centre(ui.TILES["My Style"][0]), ui.TITLE, LOADING, ui.BACK, UNLOAD),
    ("More tile", ui.centre(ui.TILES["More"][0]), ui.MORE, LOADING, ui.BACK, UNLOAD),
    ("Pinnote tab", ui.centre(ui.TABS["Pinnote"][0]), ui.PINNOTE, LOADING, ui.BACK, UNLOAD),
    ("about tab", ui.centre(ui.TABS["about"][0]), ui.ABOUT, DIRECT, ui.centre(ui.ABOUT_BACK_BOX), SHOW),
    ("help tab", ui.centre(ui.TABS["help"][0]), ui.HELP, DIRECT, ui.centre(ui.HELP_BACK_BOX), SHOW),
]
CENTRED_MAIN = ui.centred()
FLOOR_POINT = (300, 200)
DESKTOP_CHECKBOXES = 7  # Check1 to Check7, the desktop page's only native controls


def press_release(x, origin, point, caption, alive=None, rest=0.06):
    """Rests the pointer on the point, presses, releases: (seconds from the
    release to `caption` mapped, its geometry)."""
    sx, sy = origin[0] + point[0], origin[1] + point[1]
    x.move(sx - 1, sy)  # a real move even when the pointer is already there
    x.move(sx, sy)
    time.sleep(rest)
    if x.pointer() != (sx, sy):
        raise HarnessError("the pointer is at %r, not at %r, before a press" % (x.pointer(), (sx, sy)))
    x.button(True)
    time.sleep(0.03)
    return x.release_to_map(caption, alive=alive)


def click(x, origin, point):
    sx, sy = origin[0] + point[0], origin[1] + point[1]
    x.move(sx - 1, sy)
    x.move(sx, sy)
    time.sleep(0.1)
    if x.pointer() != (sx, sy):
        raise HarnessError("the pointer is at %r, not at %r, before a click" % (x.pointer(), (sx, sy)))
    x.button(True)
    time.sleep(0.03)
    x.button(False)


def process_of(session_pid, exe_name):
    """The pid of the process of this session whose command line names exe_name."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
            if int(stat.rsplit(")", 1)[1].split()[3]) != session_pid:
                continue
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if exe_name.encode().lower() in f.read().lower():
                    return entry
        except (OSError, ValueError, IndexError):
            continue
    raise HarnessError("no %s process in session %d" % (exe_name, session_pid))


def rss_kib(session_pid, exe_name):
    """VmRSS (KiB) of the process of this session whose command line names exe_name."""
    with open("/proc/%s/status" % process_of(session_pid, exe_name)) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise HarnessError("no VmRSS for %s" % exe_name)


def shm_kib(session_pid, exe_name):
    """(resident KiB, segments) of the process's System V shared memory: the
    X server's shared images behind Wine's window surfaces."""
    total, segments, in_shm = 0, 0, False
    with open("/proc/%s/smaps" % process_of(session_pid, exe_name)) as f:
        for line in f:
            head = line.split(None, 1)[0]
            if "-" in head and not head.endswith(":"):
                in_shm = "SYSV" in line
                segments += in_shm
            elif in_shm and head == "Rss:":
                total += int(line.split()[1])
    return total, segments


def pad(text, width):
    """text left-aligned in `width` terminal columns (a CJK character takes two)."""
    columns = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)
    return text + " " * max(0, width - columns)


def p95(samples):
    return statistics.quantiles(samples, n=20, method="inclusive")[18] if len(samples) > 1 else samples[0]


def settle(seconds=0.15):
    time.sleep(seconds)


class Bench:
    def __init__(self, session):
        self.session = session
        self.x = XDirect(session.display.name)
        self.floor = test_harness.floor_exe(switch=True)
        self.prefix = session.fresh_prefix("bench")
        self.rows = []      # (label, floor mode, floor median, Velmora median, ratio, Velmora p95, ok)
        self.notes = []     # (label, value, ok)
        self.missed = []
        self.floor_times = {mode: [] for mode in FLOOR_MODES}
        self.floor_rss = []
        self.floor_with_boxes = {}

    # --- start ---------------------------------------------------------------

    def start_times(self):
        floor, velmora = [], []
        for _ in range(RUNS):
            dt, app, _ = self.x.launch_to_map(self.prefix, self.floor, "Floor")
            floor.append(dt)
            app.kill()
            settle(0.3)
            dt, app, _ = self.x.launch_to_map(self.prefix, EXE, ui.SPLASH)
            velmora.append(dt)
            app.kill()
            settle(0.3)
        self.time_row("start to first splash frame", "start", floor, velmora, frame_target=False)

    # --- the floor ------------------------------------------------------------

    def floor_batch(self, open_mode, back_mode, extra=(), into=None):
        """FLOOR_SWITCHES round trips of the floor in one pair of modes; its RSS after them."""
        args = FLOOR_MODES[open_mode] + FLOOR_MODES[back_mode] + tuple(extra)
        into = self.floor_times if into is None else into
        dt, app, geometry = self.x.launch_to_map(self.prefix, self.floor, "Floor", args=args)
        settle(0.3)
        try:
            for _ in range(FLOOR_SWITCHES):
                dt, geometry = press_release(self.x, geometry, FLOOR_POINT, "Floor B", app.alive, rest=0.03)
                into.setdefault(open_mode, []).append(dt)
                settle(0.05)
                dt, geometry = press_release(self.x, geometry, FLOOR_POINT, "Floor", app.alive, rest=0.03)
                into.setdefault(back_mode, []).append(dt)
                settle(0.05)
            if into is self.floor_times:
                self.floor_rss.append(rss_kib(app.proc.pid, "switch_floor.exe"))
        finally:
            app.kill()
            settle(0.3)

    def floor_batches(self):
        self.floor_batch(LOADING, UNLOAD)
        self.floor_batch(DIRECT, SHOW)
        # Not a target: the same switches with the desktop page's native
        # check boxes on the floor's page, to show what they alone cost.
        self.floor_batch(LOADING, UNLOAD, ("--checkboxes", str(DESKTOP_CHECKBOXES)), self.floor_with_boxes)

    # --- Velmora's pages ----------------------------------------------------------

    def velmora_pages(self, exe=EXE, trips=None, close=False):
        """A full tour of every page, then `trips` more round trips: each
        switch's time by target, and the RSS after the tour and after the trips."""
        trips = ROUND_TRIPS if trips is None else trips
        dt, app, _ = self.x.launch_to_map(self.prefix, exe, ui.MAIN)
        settle(0.5)
        opened = {t[0]: [] for t in TARGETS}
        back = {t[0]: [] for t in TARGETS}
        memory = {}
        exe_name = os.path.basename(exe)
        try:
            for trip in range(len(TARGETS) + trips):
                name, tile, caption, _, back_point, _ = TARGETS[trip % len(TARGETS)]
                dt, page = press_release(self.x, CENTRED_MAIN, tile, caption, app.alive)
                opened[name].append(dt)
                settle(0.1)
                dt, _ = press_release(self.x, page, back_point, ui.MAIN, app.alive)
                back[name].append(dt)
                settle(0.1)
                if trip + 1 == len(TARGETS):
                    settle(0.5)
                    memory["tour"] = rss_kib(app.proc.pid, exe_name)
                if (trip + 1 - len(TARGETS)) % 50 == 0 and trip + 1 > len(TARGETS):
                    memory.setdefault("series", []).append(rss_kib(app.proc.pid, exe_name))
                    memory.setdefault("shm", []).append(shm_kib(app.proc.pid, exe_name))
            settle(0.5)
            memory["trips"] = rss_kib(app.proc.pid, exe_name)
            if not self.x.shown(ui.MAIN):
                raise HarnessError("main window not on view after the round trips")
            if close:  # ends the program the way that lets it write its trace
                click(self.x, CENTRED_MAIN, ui.centre(ui.CLOSE_BOX))
                app.exit_code(10)
        finally:
            app.kill()
            settle(0.3)
        return opened, back, memory

    # --- where the time goes ----------------------------------------------------------

    def trace(self):
        """Step times of each switch kind, from the trace build and the floor's trace."""
        import bench_trace
        trace_file = os.path.join(self.prefix.path, "drive_c", "velmora-trace.txt")
        floor_files = {}
        if not os.path.isfile(TRACE_EXE):
            print("bench: %s not built: no breakdown" % os.path.relpath(TRACE_EXE, ROOT))
            return
        self.prefix.env["VELMORA_TRACE_FILE"] = "C:\\velmora-trace.txt"
        try:
            self.velmora_pages(TRACE_EXE, trips=4 * len(TARGETS), close=True)
        finally:
            self.prefix.env.pop("VELMORA_TRACE_FILE", None)
        for open_mode, back_mode in ((LOADING, UNLOAD), (DIRECT, SHOW)):
            path = os.path.join(self.prefix.path, "drive_c", "floor-trace-%s.txt" % FLOOR_MODES[open_mode][1])
            args = FLOOR_MODES[open_mode] + FLOOR_MODES[back_mode] + \
                ("--trace", "C:\\" + os.path.basename(path))
            dt, app, geometry = self.x.launch_to_map(self.prefix, self.floor, "Floor", args=args)
            settle(0.3)
            for _ in range(10):
                _, geometry = press_release(self.x, geometry, FLOOR_POINT, "Floor B", app.alive, rest=0.03)
                settle(0.05)
                _, geometry = press_release(self.x, geometry, FLOOR_POINT, "Floor", app.alive, rest=0.03)
                settle(0.05)
            click(self.x, geometry, (560, 8))
            app.exit_code(10)
            app.kill()
            floor_files[open_mode] = path
        bench_trace.report(trace_file, floor_files, LOADING, DIRECT)

    # --- the table ------------------------------------------------------------------

    def time_row(self, label, mode, floor, velmora, frame_target=True):
        f, v = statistics.median(floor), statistics.median(velmora)
        ratio = v / f if f > 0 else float("inf")
        tail = p95(velmora)
        ok = ratio <= RATIO_TARGET and (not frame_target or tail * 1000 <= FRAME_MS)
        if ratio > RATIO_TARGET:
            self.missed.append("%s: %.2fx" % (label, ratio))
        if frame_target and tail * 1000 > FRAME_MS:
            self.missed.append("%s: 95th percentile %.1f ms" % (label, tail * 1000))
        self.rows.append((label, mode, "%.1f ms" % (f * 1000), "%.1f ms" % (v * 1000), "%.2fx" % ratio,
                          "%.1f ms" % (tail * 1000), ok))

    def run(self):
        warm = self.prefix.launch(self.floor)  # starts wineserver and Wine's services
        warm.wait_window("Floor", timeout=60)
        warm.kill()
        settle(0.5)
        self.start_times()
        self.floor_batches()
        opened, back, memory = self.velmora_pages()
        self.floor_batches()
        for name, _, caption, open_mode, _, _ in TARGETS:
            self.time_row("%s -> %s" % (name, caption), open_mode, self.floor_times[open_mode], opened[name])
        for name, _, caption, _, _, back_mode in TARGETS:
            self.time_row("back from %s (%s) -> %s" % (caption, name, ui.MAIN), back_mode,
                          self.floor_times[back_mode], back[name])

        self.box_rows = []
        for name, open_mode, velmora in (("Desktop tile", LOADING, opened["Desktop tile"]),
                                         ("back from the desktop page", UNLOAD, back["Desktop tile"])):
            f = statistics.median(self.floor_with_boxes[open_mode])
            v = statistics.median(velmora)
            self.box_rows.append((name, "%s, %d check boxes" % (open_mode, DESKTOP_CHECKBOXES),
                                  "%.1f ms" % (f * 1000), "%.1f ms" % (v * 1000), "%.2fx" % (v / f)))

        growth = memory["trips"] - memory["tour"]
        ok = growth <= RSS_GROWTH_TARGET_KIB
        if not ok:
            self.missed.append("RSS grew %.2f MiB over %d round trips" % (growth / 1024, ROUND_TRIPS))
        floor_rss = statistics.median(self.floor_rss)
        own = memory["trips"] - floor_rss
        self.notes += [
            ("RSS after one tour of every page", "%.1f MiB" % (memory["tour"] / 1024), None),
            ("RSS every 50 round trips after it", " ".join("%.1f" % (k / 1024) for k in memory.get("series", [])),
             None),
            ("of which X shared images (Wine's window surfaces): MiB/images",
             " ".join("%.1f/%d" % (k / 1024, n) for k, n in memory.get("shm", [])), None),
            ("RSS after %d more round trips" % ROUND_TRIPS, "%.1f MiB" % (memory["trips"] / 1024), None),
            ("RSS growth over the round trips (target <= 1 MiB)", "%+.2f MiB" % (growth / 1024), ok),
            ("floor RSS after %d switches" % (2 * FLOOR_SWITCHES), "%.1f MiB" % (floor_rss / 1024), None),
            ("Velmora's own memory: its RSS minus the floor's (aim < 8 MiB)", "%.1f MiB" % (own / 1024),
             own <= OWN_COST_AIM_KIB),
        ]
        for path, target in ((EXE_I686, I686_TARGET_BYTES), (EXE, None)):
            size = os.path.getsize(path) if os.path.isfile(path) else None
            ok = None if target is None or size is None else size < target
            if ok is False:
                self.missed.append("%s is %.2f MiB" % (os.path.relpath(path, ROOT), size / 1048576))
            self.notes.append(("size of " + os.path.relpath(path, ROOT),
                               "%.2f MiB (%d bytes)" % (size / 1048576, size) if size is not None else "missing",
                               ok))

    def print_table(self):
        print("bench: medians and 95th percentiles; Velmora %d samples per switch, floor %d per mode, "
              "start %d runs" % (1 + ROUND_TRIPS // len(TARGETS), 4 * FLOOR_SWITCHES, RUNS))
        print("| %s | %s | %s | %s | %s | %s | %s |" % ("row", "floor mode", "floor", "Velmora", "ratio",
                                                      "Velmora p95", "target"))
        print("|---|---|---|---|---|---|---|")
        for label, mode, f, v, ratio, tail, ok in self.rows:
            print("| %s | %s | %s | %s | %s | %s | %s |" % (label, mode, f, v, ratio, tail, "ok" if ok else "MISSED"))
        print()
        print("bench: not a target: the floor's page given the desktop page's %d native check boxes"
              % DESKTOP_CHECKBOXES)
        print("| row | floor mode | floor | Velmora | ratio |")
        print("|---|---|---|---|---|")
        for row in self.box_rows:
            print("| %s | %s | %s | %s | %s |" % row)
        print()
        for label, value, ok in self.notes:
            mark = "" if ok is None else ("ok" if ok else "MISSED")
            print("%s %s %s" % (pad(label, 66), pad(value, 22), mark))
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
        bench.print_table()
        bench.trace()
    except HarnessError as e:
        print("bench: FAILED: %s" % e)
        return 1
    finally:
        bench.prefix.close()
        bench.x.close()
    return 2 if bench.missed else 0
