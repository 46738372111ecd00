"""Timing helpers: how long until a window is on screen.

Both poll xdotool as fast as it answers (a search takes a few ms), so the
resolution is a few tens of milliseconds, fine for comparing Velmora to the
floor program (tests/e2e/floor) that does nothing but show its window."""
import time

from harness import HarnessError


def _poll_visible(x, caption, t0, timeout, alive=None):
    while True:
        if x.search(caption):
            return time.monotonic() - t0
        if alive is not None and not alive():
            raise HarnessError("process exited before %r appeared" % caption)
        if time.monotonic() - t0 > timeout:
            raise HarnessError("%r not visible after %.0f s" % (caption, timeout))
        time.sleep(0.005)


def time_to_window(prefix, exe, caption, timeout=30):
    """Launch exe in prefix; seconds from process start to `caption` visible. Returns (seconds, app)."""
    app = prefix.launch(exe)
    t0 = app.started
    return _poll_visible(app.x, caption, t0, timeout, app.alive), app


def time_click_to_window(window, x, y, caption, timeout=15, hover=0.3):
    """Seconds from the mouse release at window-relative (x, y) to `caption` visible."""
    window.mousemove(x, y)
    time.sleep(hover)
    window.x.mousedown(1)
    time.sleep(0.05)
    window.x.mouseup(1)
    t0 = time.monotonic()
    return _poll_visible(window.x, caption, t0, timeout)
