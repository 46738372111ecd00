"""Velmora measured beside floors that do the same window work.

  layout   the trace build (VelmoraTrace.exe, the same program with every
           service call timed) tours every page once and four times more;
           it writes where each switch's time goes and, per form, every
           window Velmora made for it and every caption it drew
           (tests/bench/Layout.h)
  start    process start to the first splash frame (floor: to its window)
  open     release on each tile and tab to its page mapped
  back     release on each page's back button to the main window mapped
  memory   VmRSS after one tour of every page (first-visit caches filled)
           and after every seven tours more, with the X shared images behind
           Wine's window surfaces and Velmora's windows alive; Velmora's own
           cost: its RSS minus that of the matched floor of the most
           expensive page
  size     both exes

The floor (tests/e2e/floor/switch_floor.cpp) does each of Velmora's switches
with the same window operations in the same order. Each row is measured
beside the floor *matched* to its page: the floor makes the windows the
layout file lists for the page and the main window (the same classes,
styles, places, texts, fonts, check states and tooltip tools) and draws the
same caption texts on one background bitmap, and nothing else; the start row
beside a floor that makes the splash's window. The bare floor (no child
window, no text: the same switches with nothing on the screens) is a second
table, not a target. The floors run between Velmora's tours (after the first,
after every third, after the last; one untimed round trip, then three), so
that both sides see the same load. Input goes through XTest and windows are seen by their MapNotify
events on a direct X connection, so both sides are timed the same way.

Then where the time goes: per page and direction, each step of the trace
build beside the same step of the matched floor's own trace, and the step
where Velmora spends most over the floor.

Targets: every row and the start within 1.15x of its matched floor
(medians); every switch's 95th percentile within one 60 Hz frame (16.7 ms);
memory after the round trips within 1 MiB of memory after the tour, both
taken at the same point of a tour (back on the main window from the help
page); Velmora's own memory under 8 MiB; the i686 exe under 1.0 MiB.
Returns 1 when a window never shows, 2 when a target is missed, else 0."""
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
RUNS = max(1, int(os.environ.get("VELMORA_BENCH_RUNS", "7")))
ROUND_TRIPS = int(os.environ.get("VELMORA_BENCH_ROUND_TRIPS", "200"))
# The floors run between Velmora's tours (their windows cover Velmora's
# main window while they run), so that both see the same load: after the
# first tour, after every INTERLEAVE tours and after the last, each page's
# matched floor and each bare mode make SWITCHES round trips.
# Each floor run starts with one round trip left untimed: a page's first
# visit (its classes' and fonts' first use) is in Velmora's first tour only.
INTERLEAVE = 3
SWITCHES = 3
WARM_UP = 1
TRACE_TOURS = 4  # tours of the trace build after its first
RATIO_TARGET = 1.15
FRAME_MS = 1000 / 60
RSS_GROWTH_TARGET_KIB = 1024
OWN_COST_TARGET_KIB = 8 * 1024
I686_TARGET_BYTES = 1024 * 1024
TRACE_FILE, LAYOUT_FILE = "velmora-trace.txt", "velmora-layout.txt"  # in the prefix's C:\\

LOADING, DIRECT, UNLOAD, SHOW = "via Loading", "direct", "return, unload first", "return, show first"
FLOOR_MODES = {LOADING: ("--open", "loading"), DIRECT: ("--open", "direct"),
               UNLOAD: ("--back", "unload"), SHOW: ("--back", "show")}

# What opens a page from the main window, how, and what takes it back.
TARGETS = [
    # name, point on the main window, page caption, open switch, back point, back switch, the page's form
    ("Desktop tile", ui.centre(ui.TILES["Desktop"][0]), ui.DESKTOP, LOADING, ui.BACK, UNLOAD, "Form1"),
    ("System tile", ui.centre(ui.TILES["System"][0]), ui.SECURITY, LOADING, ui.BACK, UNLOAD, "Form2"),
    ("My Style tile", ui.centre(ui.TILES["My Style"][0]), ui.TITLE, LOADING, ui.BACK, UNLOAD, "Form3"),
    ("More tile", ui.centre(ui.TILES["More"][0]), ui.MORE, LOADING, ui.BACK, UNLOAD, "Form4"),
    ("Pinnote tab", ui.centre(ui.TABS["Pinnote"][0]), ui.PINNOTE, LOADING, ui.BACK, UNLOAD, "DLB"),
    ("about tab", ui.centre(ui.TABS["about"][0]), ui.ABOUT, DIRECT, ui.centre(ui.ABOUT_BACK_BOX), SHOW, "Form6"),
    ("help tab", ui.centre(ui.TABS["help"][0]), ui.HELP, DIRECT, ui.centre(ui.HELP_BACK_BOX), SHOW, "Form5"),
]
TOUR = len(TARGETS)
# The forms the matched floors copy besides each page (tests/bench/Layout.h).
MAIN_FORM, LOADING_FORM, SPLASH_FORM = "FormMain", "Loading", "FormLoad"
CENTRED_MAIN = ui.centred()
MAIN_BACKGROUND = (290, 190)  # between the tiles: a press there does nothing
# The floor's screens at the top-left of the display, pressed where
# Velmora's centred main window (222,209 580x350), under them while they
# run, is not: no press of the floor's can reach Velmora, whatever the
# stacking.
FLOOR_AT = (0, 0)
FLOOR_POINTS = [(300, 20), (100, 20), (3, 100)]
FLOOR_CLOSE = (560, 8)


def whole_tours(trips):
    """`trips` rounded up to whole tours, so that every memory sample is
    taken at the same point of a tour."""
    return -(-trips // TOUR) * TOUR


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


def rss_by_owner(session_pid, exe_name):
    """{owner: resident KiB} of the process's mappings: each file by its name
    (a DLL, a font), the X shared images, and the anonymous memory (heaps,
    the pictures' and windows' bitmaps)."""
    owners, owner = {}, None
    with open("/proc/%s/smaps" % process_of(session_pid, exe_name)) as f:
        for line in f:
            head = line.split(None, 1)[0]
            if "-" in head and not head.endswith(":"):
                parts = line.split(None, 5)
                path = parts[5].strip() if len(parts) > 5 else ""
                owner = "X shared images" if "SYSV" in path else \
                    os.path.basename(path) if path.startswith("/") else (path or "anonymous memory")
            elif head == "Rss:" and owner:
                owners[owner] = owners.get(owner, 0) + int(line.split()[1])
    return owners


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
        self.rows = []  # matched: (label, floor mode, floor median, Velmora median, ratio, Velmora p95, ok)
        self.bare_rows = []  # bare floor: (label, floor mode, floor median, Velmora median, ratio)
        self.notes = []  # (label, value, ok)
        self.missed = []
        self.bare_times = {}  # mode -> [seconds]
        self.matched_times = {}  # form -> {mode: [seconds]}
        self.matched_rss = {}  # form -> [KiB]
        self.floor_owners = {}  # form -> {owner: KiB}, its last run
        self.start = {}  # "bare", "matched", "Velmora" -> [seconds]

    def drive_c(self, name):
        return os.path.join(self.prefix.path, "drive_c", name)

    # --- the floor ------------------------------------------------------------

    def floor_args(self, open_mode, back_mode, form=None, main=MAIN_FORM):
        args = FLOOR_MODES[open_mode] + FLOOR_MODES[back_mode]
        if form:
            args += ("--layout", "C:\\" + LAYOUT_FILE, "--main", main, "--page", form, "--loading", LOADING_FORM)
        return args

    def free_point(self, forms):
        """A point of the floor's screens on no child window of these forms."""
        covered = []
        with open(self.drive_c(LAYOUT_FILE), encoding="utf-8") as f:
            for line in f:
                field = line.rstrip("\n").split("\t")
                if field[0] == "window" and field[1] in forms and field[3] == "-1":
                    covered.append(tuple(int(v) for v in field[7:11]))
        for x, y in FLOOR_POINTS:
            if not any(cx <= x < cx + w and cy <= y < cy + h for cx, cy, w, h in covered):
                return x, y
        raise HarnessError("no free point on the floor's screens of %s" % ", ".join(forms))

    def floor_run(self, args, switches, into=None, trace=None):
        """`switches` round trips of the floor; {mode: [seconds]} into `into`
        (by the modes in args), and its RSS after them."""
        point = self.free_point([args[i + 1] for i, a in enumerate(args) if a in ("--main", "--page")]) \
            if "--layout" in args else FLOOR_POINTS[0]
        args = args + ("--at", "%d,%d" % FLOOR_AT)
        if trace:
            args = args + ("--trace", trace)
        _, app, geometry = self.x.launch_to_map(self.prefix, self.floor, "Floor", args=args)
        settle(0.3)
        open_mode = next(m for m, a in FLOOR_MODES.items() if a == args[0:2])
        back_mode = next(m for m, a in FLOOR_MODES.items() if a == args[2:4])
        try:
            for trip in range(WARM_UP + switches):
                timed = into is not None and trip >= WARM_UP
                dt, geometry = press_release(self.x, geometry, point, "Floor B", app.alive, rest=0.03)
                if timed:
                    into.setdefault(open_mode, []).append(dt)
                settle(0.05)
                dt, geometry = press_release(self.x, geometry, point, "Floor", app.alive, rest=0.03)
                if timed:
                    into.setdefault(back_mode, []).append(dt)
                settle(0.05)
            settle(0.3)
            rss = rss_kib(app.proc.pid, "switch_floor.exe")
            if "--page" in args:
                self.floor_owners[args[args.index("--page") + 1]] = rss_by_owner(app.proc.pid, "switch_floor.exe")
            if trace:
                click(self.x, geometry, FLOOR_CLOSE)
                app.exit_code(10)
            return rss
        finally:
            app.kill()
            settle(0.3)

    def floor_batches(self):
        """The bare floor in both pairs of modes, and each page's matched floor."""
        for open_mode, back_mode in ((LOADING, UNLOAD), (DIRECT, SHOW)):
            self.floor_run(self.floor_args(open_mode, back_mode), SWITCHES, self.bare_times)
        for _, _, _, open_mode, _, back_mode, form in TARGETS:
            rss = self.floor_run(self.floor_args(open_mode, back_mode, form), SWITCHES,
                                 self.matched_times.setdefault(form, {}))
            self.matched_rss.setdefault(form, []).append(rss)

    # --- start ---------------------------------------------------------------

    def start_times(self):
        splash = self.floor_args(LOADING, UNLOAD, MAIN_FORM, main=SPLASH_FORM)
        for _ in range(RUNS):
            for key, exe, caption, args in (("bare", self.floor, "Floor", ()),
                                            ("matched", self.floor, "Floor", splash),
                                            ("Velmora", EXE, ui.SPLASH, ())):
                dt, app, _ = self.x.launch_to_map(self.prefix, exe, caption, args=args)
                self.start.setdefault(key, []).append(dt)
                app.kill()
                settle(0.3)

    # --- Velmora's pages ----------------------------------------------------------

    def velmora_pages(self, exe=EXE, trips=None, close=False, between=None):
        """A full tour of every page, then `trips` more round trips (whole
        tours): each switch's time by target, and the memory after the tour
        and after every seventh tour. `between(tours)` runs after the first
        tour and after each one after it, Velmora on its main window."""
        trips = whole_tours(ROUND_TRIPS if trips is None else trips)
        _, app, _ = self.x.launch_to_map(self.prefix, exe, ui.MAIN)
        settle(0.5)
        opened = {t[0]: [] for t in TARGETS}
        back = {t[0]: [] for t in TARGETS}
        memory = {"series": []}
        exe_name = os.path.basename(exe)

        def sample(done):
            settle(0.5)
            pid = int(process_of(app.proc.pid, exe_name))
            memory["series"].append((done, rss_kib(app.proc.pid, exe_name), shm_kib(app.proc.pid, exe_name),
                                     len(self.x.windows_of(pid))))

        try:
            for trip in range(TOUR + trips):
                name, tile, caption, _, back_point, _, _ = TARGETS[trip % TOUR]
                dt, page = press_release(self.x, CENTRED_MAIN, tile, caption, app.alive)
                opened[name].append(dt)
                settle(0.1)
                dt, _ = press_release(self.x, page, back_point, ui.MAIN, app.alive)
                back[name].append(dt)
                settle(0.1)
                done = trip + 1 - TOUR  # round trips after the first tour
                if done == 0 or (done > 0 and (done % (7 * TOUR) == 0 or done == trips)):
                    sample(done)
                if between and done >= 0 and done % TOUR == 0:
                    between(done // TOUR, done == trips)
            if not self.x.shown(ui.MAIN):
                raise HarnessError("main window not on view after the round trips")
            memory["owners"] = rss_by_owner(app.proc.pid, exe_name)
            if close:  # ends the program the way that lets it write its trace
                click(self.x, CENTRED_MAIN, ui.centre(ui.CLOSE_BOX))
                app.exit_code(10)
        finally:
            app.kill()
            settle(0.3)
        return opened, back, memory

    def trace_build(self):
        """The trace build's run: its step times and every form's layout."""
        if not os.path.isfile(TRACE_EXE):
            raise HarnessError("%s not built (scripts/bench.sh builds it)" % os.path.relpath(TRACE_EXE, ROOT))
        self.prefix.env["VELMORA_TRACE_FILE"] = "C:\\" + TRACE_FILE
        self.prefix.env["VELMORA_LAYOUT_FILE"] = "C:\\" + LAYOUT_FILE
        try:
            self.velmora_pages(TRACE_EXE, trips=TRACE_TOURS * TOUR, close=True)
        finally:
            self.prefix.env.pop("VELMORA_TRACE_FILE", None)
            self.prefix.env.pop("VELMORA_LAYOUT_FILE", None)
        if not os.path.isfile(self.drive_c(LAYOUT_FILE)):
            raise HarnessError("the trace build wrote no layout file")

    # --- where the time goes ----------------------------------------------------------

    def trace(self):
        """Each page's steps in the trace build beside its matched floor's trace."""
        import bench_trace
        floor_files = {}
        for _, _, _, open_mode, _, back_mode, form in TARGETS:
            name = "floor-trace-%s.txt" % form
            self.floor_run(self.floor_args(open_mode, back_mode, form), 10, trace="C:\\" + name)
            floor_files[form] = (self.drive_c(name), open_mode, back_mode)
        rows = [(name, form, open_mode, back_mode) for name, _, _, open_mode, _, back_mode, form in TARGETS]
        bench_trace.report(self.drive_c(TRACE_FILE), floor_files, rows, self.missed_rows)

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
        return ok

    def bare_row(self, label, mode, floor, velmora):
        f, v = statistics.median(floor), statistics.median(velmora)
        self.bare_rows.append((label, mode, "%.1f ms" % (f * 1000), "%.1f ms" % (v * 1000), "%.2fx" % (v / f)))

    def run(self):
        warm = self.prefix.launch(self.floor)  # starts wineserver and Wine's services
        warm.wait_window("Floor", timeout=60)
        warm.kill()
        settle(0.5)
        self.trace_build()
        self.start_times()

        def floors_between(tours, last):
            if tours % INTERLEAVE == 0 or last:
                self.floor_batches()
                # Velmora's window active again, as the floor's left it, so
                # that no timed press is the one that activates it.
                click(self.x, CENTRED_MAIN, MAIN_BACKGROUND)
                settle(0.3)

        opened, back, memory = self.velmora_pages(between=floors_between)

        self.missed_rows = set()
        if not self.time_row("start to first splash frame", "start, splash window", self.start["matched"],
                             self.start["Velmora"], frame_target=False):
            self.missed_rows.add("start")
        self.bare_row("start to first splash frame", "start", self.start["bare"], self.start["Velmora"])
        for direction in ("open", "back"):
            for name, _, caption, open_mode, _, back_mode, form in TARGETS:
                mode = open_mode if direction == "open" else back_mode
                samples = opened[name] if direction == "open" else back[name]
                label = "%s -> %s" % (name, caption) if direction == "open" else \
                    "back from %s (%s) -> %s" % (caption, name, ui.MAIN)
                if not self.time_row(label, "%s, %s" % (mode, form), self.matched_times[form][mode], samples):
                    self.missed_rows.add((name, direction))
                self.bare_row(label, mode, self.bare_times[mode], samples)
        self.memory_notes(memory)
        for path, target in ((EXE_I686, I686_TARGET_BYTES), (EXE, None)):
            size = os.path.getsize(path) if os.path.isfile(path) else None
            ok = None if target is None or size is None else size < target
            if ok is False:
                self.missed.append("%s is %.2f MiB" % (os.path.relpath(path, ROOT), size / 1048576))
            self.notes.append(("size of " + os.path.relpath(path, ROOT),
                               "%.2f MiB (%d bytes)" % (size / 1048576, size) if size is not None else "missing",
                               ok))

    def memory_notes(self, memory):
        series = memory["series"]
        (_, tour, _, _), (trips, last, _, _) = series[0], series[-1]
        growth = last - tour
        ok = growth <= RSS_GROWTH_TARGET_KIB
        if not ok:
            self.missed.append("RSS grew %.2f MiB over %d round trips" % (growth / 1024, trips))
        floor_rss = {form: statistics.median(kib) for form, kib in self.matched_rss.items()}
        heaviest = max(floor_rss, key=floor_rss.get)
        own = last - floor_rss[heaviest]
        own_ok = own <= OWN_COST_TARGET_KIB
        if not own_ok:
            self.missed.append("Velmora's own memory %.1f MiB" % (own / 1024))
        self.notes += [
            ("Velmora after n round trips past the first tour: RSS MiB, X shared images MiB/count, "
             "top-level windows", "", None)]
        for done, rss, (shm, images), windows in series:
            self.notes.append(("  n = %d" % done, "%.1f  %.1f/%d  %d" % (rss / 1024, shm / 1024, images, windows),
                               None))
        self.notes += [
            ("RSS growth over the %d round trips (target <= 1 MiB)" % trips, "%+.2f MiB" % (growth / 1024), ok),
            ("matched floors' RSS after their switches (MiB)",
             " ".join("%s %.1f" % (form, kib / 1024) for form, kib in floor_rss.items()), None),
            ("Velmora's own memory: its RSS minus the %s floor's (target < 8 MiB)" % heaviest,
             "%.1f MiB" % (own / 1024), own_ok),
            ("  by owner, Velmora minus that floor (MiB, parts of 0.1 MiB and more)", "", None),
        ]
        floor_owners = self.floor_owners.get(heaviest, {})
        velmora_owners = memory.get("owners", {})
        parts = {o: velmora_owners.get(o, 0) - floor_owners.get(o, 0) for o in set(velmora_owners) | set(floor_owners)}
        for owner, kib in sorted(parts.items(), key=lambda p: -abs(p[1])):
            if abs(kib) >= 100:
                self.notes.append(("    " + owner, "%+.1f" % (kib / 1024), None))

    def print_table(self):
        matched = min(len(v) for modes in self.matched_times.values() for v in modes.values())
        bare = min(len(v) for v in self.bare_times.values())
        print("bench: medians and 95th percentiles; Velmora %d samples per switch, each page's matched floor %d "
              "per switch, bare floor %d per mode (run between Velmora's tours), start %d runs"
              % (1 + whole_tours(ROUND_TRIPS) // TOUR, matched, bare, RUNS))
        print("| %s | %s | %s | %s | %s | %s | %s |" % ("row", "matched floor", "floor", "Velmora", "ratio",
                                                      "Velmora p95", "target"))
        print("|---|---|---|---|---|---|---|")
        for label, mode, f, v, ratio, tail, ok in self.rows:
            print("| %s | %s | %s | %s | %s | %s | %s |" % (label, mode, f, v, ratio, tail, "ok" if ok else "MISSED"))
        print()
        print("bench: not a target: beside the bare floor (the same switches, no child window, no text)")
        print("| row | bare floor mode | floor | Velmora | ratio |")
        print("|---|---|---|---|---|")
        for row in self.bare_rows:
            print("| %s | %s | %s | %s | %s |" % row)
        print()
        for label, value, ok in self.notes:
            mark = "" if ok is None else ("ok" if ok else "MISSED")
            print("%s %s %s" % (pad(label, 72), pad(value, 22), mark))
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
