"""Velmora's start-up and click-to-window times beside the floor program's.

Each time is the median of a few runs in a warm prefix (a first, untimed
launch starts wineserver and Wine's services). Informational: it prints,
and fails only if a window never shows."""
import statistics
import time

import test_harness
import test_shell
from harness import HarnessError
from measure import time_click_to_window, time_to_window

RUNS = 3


def _median_launch(prefix, exe, caption, then=None):
    times = []
    for _ in range(RUNS):
        dt, app = time_to_window(prefix, exe, caption)
        extra = then(app) if then else None
        times.append((dt, extra))
        app.kill()
        time.sleep(0.3)
    return statistics.median(t for t, _ in times), [e for _, e in times]


def _click(app, caption_first, x, y, caption_second):
    w = app.wait_window(caption_first, timeout=30)
    time.sleep(0.5)
    return time_click_to_window(w, x, y, caption_second, timeout=30)


def run(session):
    floor = test_harness.floor_exe()
    p = session.fresh_prefix("bench")
    rows = []
    try:
        warm = p.launch(floor)
        warm.wait_window("Floor", timeout=40)
        warm.kill()
        f_start, f_clicks = _median_launch(p, floor, "Floor",
                                           lambda a: _click(a, "Floor", 100, 100, "Floor 2"))
        rows.append(("start to first window", f_start, None))
        rows.append(("click to second window", statistics.median(f_clicks), None))
        import os
        if os.path.isfile(test_shell.EXE):
            v_start, _ = _median_launch(p, test_shell.EXE, test_shell.SPLASH)
            v_main, v_clicks = _median_launch(
                p, test_shell.EXE, test_shell.MAIN,
                lambda a: _click(a, test_shell.MAIN, 416, 264, test_shell.MORE))
            rows = [("start to first window (splash)", f_start, v_start),
                    ("start to main window", f_start, v_main),
                    ("click More tile to 更多 page", statistics.median(f_clicks), statistics.median(v_clicks))]
    except HarnessError as e:
        print("bench: FAILED: %s" % e)
        return 1
    finally:
        p.close()
    print("%-34s %10s %10s %8s" % ("", "floor", "Velmora", "ratio"))
    for name, f, v in rows:
        print("%-34s %9.3fs %10s %8s" % (name, f, "%.3fs" % v if v is not None else "-",
                                          "%.1fx" % (v / f) if v is not None and f > 0 else "-"))
    return 0
