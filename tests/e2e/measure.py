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


# --- a direct X connection: input and window maps to the millisecond ---------
#
# xdotool costs a process start per call, a few ms each, which is as long as
# the floor's whole switch. For the benchmark the pointer is driven through
# XTest and the windows are watched through MapNotify events on the root
# window, on one connection, so a time is taken from the request that
# releases the button to the event that says the window is mapped.

import ctypes
import ctypes.util
import select


class _XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", _XMapEvent), ("pad", ctypes.c_long * 24)]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_MAP_NOTIFY = 19
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_IS_VIEWABLE = 2


class XDirect:
    """One connection to the display: XTest input and top-level map events."""

    def __init__(self, display_name):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.tst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        lib = self.lib
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_XEvent)]
        lib.XFlush.argtypes = [ctypes.c_void_p]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_XWindowAttributes)]
        lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p),
                                   ctypes.POINTER(ctypes.c_uint)]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # A window that goes while it is looked at must not end the benchmark.
        self._on_error = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        lib.XSetErrorHandler(self._on_error)
        self.tst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                  ctypes.c_ulong]
        self.tst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.dpy = lib.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise HarnessError("cannot open display %s" % display_name)
        self.root = lib.XDefaultRootWindow(self.dpy)
        self.fd = lib.XConnectionNumber(self.dpy)
        self._net_wm_name = lib.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        lib.XSelectInput(self.dpy, self.root, _SUBSTRUCTURE_NOTIFY_MASK)
        lib.XSync(self.dpy, 0)

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def name(self, window):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if self.lib.XGetWindowProperty(self.dpy, window, self._net_wm_name, 0, 256, 0, 0, ctypes.byref(kind),
                                       ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                       ctypes.byref(data)) != 0 or not data.value:
            return None
        try:
            return ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
        finally:
            self.lib.XFree(data)

    def geometry(self, window):
        a = _XWindowAttributes()
        if not self.lib.XGetWindowAttributes(self.dpy, window, ctypes.byref(a)):
            return None
        return a.x, a.y, a.width, a.height, a.map_state == _IS_VIEWABLE

    def shown(self, caption):
        """(x, y, w, h) of a viewable top-level window with this caption, else None."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.c_void_p(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return None
        try:
            ids = ctypes.cast(children, ctypes.POINTER(ctypes.c_ulong))
            for i in range(count.value):
                g = self.geometry(ids[i])
                if g and g[4] and self.name(ids[i]) == caption:
                    return g[:4]
        finally:
            if children.value:
                self.lib.XFree(children)
        return None

    def drain(self):
        """Forgets the events so far."""
        self.lib.XSync(self.dpy, 0)
        event = _XEvent()
        while self.lib.XPending(self.dpy):
            self.lib.XNextEvent(self.dpy, ctypes.byref(event))

    def wait_mapped(self, caption, timeout, alive=None):
        """Monotonic time at which a top-level window with this caption was
        mapped (read from the event as soon as it arrives), and its geometry."""
        deadline = time.monotonic() + timeout
        event = _XEvent()
        while True:
            while self.lib.XPending(self.dpy):
                self.lib.XNextEvent(self.dpy, ctypes.byref(event))
                if event.type != _MAP_NOTIFY:
                    continue
                seen = time.monotonic()
                window = event.xmap.window
                if self.name(window) == caption:
                    g = self.geometry(window)
                    return seen, (g[:4] if g else None)
            left = deadline - time.monotonic()
            if left <= 0:
                raise HarnessError("%r not mapped after %.0f s" % (caption, timeout))
            if alive is not None and not alive():
                raise HarnessError("process exited before %r was mapped" % caption)
            select.select([self.fd], [], [], min(left, 0.2))

    def move(self, x, y):
        self.tst.XTestFakeMotionEvent(self.dpy, -1, int(x), int(y), 0)
        self.lib.XFlush(self.dpy)

    def button(self, down, number=1):
        self.tst.XTestFakeButtonEvent(self.dpy, number, 1 if down else 0, 0)
        self.lib.XFlush(self.dpy)

    def release_to_map(self, caption, timeout=20, alive=None):
        """Releases the left button; seconds until `caption` is mapped, and its geometry."""
        self.drain()
        t0 = time.monotonic()
        self.button(False)
        seen, geometry = self.wait_mapped(caption, timeout, alive)
        return seen - t0, geometry

    def launch_to_map(self, prefix, exe, caption, args=(), timeout=40):
        """Starts exe; seconds from the process start to `caption` mapped."""
        self.drain()
        app = prefix.launch(exe, *args)
        seen, geometry = self.wait_mapped(caption, timeout, app.alive)
        return seen - app.started, app, geometry
