"""One direct connection to the X display, through Xlib with ctypes.

xdotool costs a process start per call and only sees what is on screen at
the moment it looks. This connection sends input through XTest, reads the
pointer and the cursor it shows, and receives every map and unmap of a
top-level window as an event, so a window that is on screen for a
millisecond is still seen:

    x = XDirect(display_name)
    with x.window_events() as events:
        ...                                  # input that switches screens
        events.collect()
        events.mapped(size=(580, 350), name="")
"""
import ctypes
import ctypes.util
import json
import os
import select
import subprocess
import sys
import time

from harness import HarnessError


class _XMapEvent(ctypes.Structure):
    # XMapEvent and XUnmapEvent share this layout up to `window`.
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class _XCreateWindowEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("parent", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("override_redirect", ctypes.c_int)]


class _XConfigureEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("above", ctypes.c_ulong), ("override_redirect", ctypes.c_int)]


class _XPropertyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("atom", ctypes.c_ulong),
                ("time", ctypes.c_ulong), ("state", ctypes.c_int)]


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", _XMapEvent), ("xclient", _XClientMessageEvent),
                ("xcreatewindow", _XCreateWindowEvent), ("xconfigure", _XConfigureEvent),
                ("xproperty", _XPropertyEvent), ("pad", ctypes.c_long * 24)]


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


class _XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


_MAP_NOTIFY, _UNMAP_NOTIFY, _CLIENT_MESSAGE = 19, 18, 33
_CREATE_NOTIFY, _DESTROY_NOTIFY, _CONFIGURE_NOTIFY, _PROPERTY_NOTIFY = 16, 17, 22, 28
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_PROPERTY_CHANGE_MASK = 1 << 22
_IS_VIEWABLE = 2


# The process's X error handler: errors are ignored (see XDirect).
_IGNORE_X_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)


class Cursor:
    """The cursor on screen: its size, hot spot and pixels (ARGB, row by row)."""

    def __init__(self, width, height, xhot, yhot, pixels):
        self.width, self.height, self.xhot, self.yhot, self.pixels = width, height, xhot, yhot, pixels

    def opaque_mask(self):
        """Row strings of '#' (opaque) and '.' (see-through)."""
        return ["".join("#" if self.pixels[y * self.width + x] >> 24 else "."
                        for x in range(self.width)) for y in range(self.height)]

    def __repr__(self):
        return "Cursor(%dx%d, hot spot %d,%d)" % (self.width, self.height, self.xhot, self.yhot)


class MappedWindow:
    """A top-level window as it was when its map or unmap event arrived:
    its name as last read (None when it could never be read, which is not
    the empty name of a window without a caption), its geometry from the
    events that placed it, and the process that made it (None if unknown)."""

    def __init__(self, kind, window, name, geometry, when, pid=None):
        self.kind, self.window, self.name, self.geometry, self.when = kind, window, name, geometry, when
        self.pid = pid

    def line(self):
        return json.dumps([self.kind, self.window, self.name, self.geometry, self.when, self.pid],
                          ensure_ascii=False)

    @staticmethod
    def parse(line):
        kind, window, name, geometry, when, pid = json.loads(line)
        return MappedWindow(kind, window, name, tuple(geometry) if geometry else None, when, pid)

    @property
    def size(self):
        return self.geometry[2:] if self.geometry else None

    def __repr__(self):
        return "%s %#x %r %r" % (self.kind, self.window, self.name, self.geometry)


class WindowEvents:
    """Every top-level map and unmap on the display while it is open. A
    watcher process of its own reads each window's name and geometry as
    its event arrives, so that a window destroyed a moment later is still
    named; collect() takes what it has reported so far."""

    def __init__(self, display_name):
        self.display_name = display_name
        self.seen = []
        self.proc = None
        self._buffer = b""

    def __enter__(self):
        self.proc = subprocess.Popen([sys.executable, os.path.abspath(__file__), "watch", self.display_name],
                                     stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        ready = self.proc.stdout.readline()
        if ready.strip() != b"ready":
            raise HarnessError("the window watcher did not start: %r" % ready)
        return self

    def __exit__(self, *exc):
        self.collect(0.2)
        self.proc.terminate()
        self.proc.wait()
        return False

    def collect(self, wait=0.0):
        """Reads the events reported so far (waiting up to `wait` s for the first)."""
        fd = self.proc.stdout.fileno()
        deadline = time.monotonic() + wait
        while True:
            left = max(0.0, deadline - time.monotonic())
            if not select.select([fd], [], [], left)[0]:
                break
            chunk = os.read(fd, 65536)
            if not chunk:
                break
            self._buffer += chunk
            *lines, self._buffer = self._buffer.split(b"\n")
            for line in lines:
                self.seen.append(MappedWindow.parse(line.decode("utf-8")))
            deadline = time.monotonic()  # the first came: take the rest without waiting
        return self.seen

    def mapped(self, name=None, size=None, pid=None):
        """The windows mapped so far, optionally only those of a name (""
        is the empty name, never a window whose name is unknown), a size and
        a process."""
        return [e for e in self.seen if e.kind == "map" and (name is None or e.name == name)
                and (size is None or e.size == size) and (pid is None or e.pid == pid)]

    def wait_mapped(self, name, timeout, size=None):
        deadline = time.monotonic() + timeout
        while True:
            found = self.mapped(name, size)
            if found:
                return found[0]
            left = deadline - time.monotonic()
            if left <= 0:
                raise HarnessError("no window %r mapped after %.0f s; seen: %r" % (name, timeout, self.seen))
            self.collect(min(left, 0.2))


def watch(display_name):
    """The watcher: one line per top-level map or unmap, as MappedWindow.line() writes it."""
    x = XDirect(display_name, track=True)
    print("ready", flush=True)
    while True:
        for e in x.events(wait=1.0):
            print(e.line(), flush=True)


class XDirect:
    """One connection to the display: XTest input, pointer and cursor, top-level map events."""

    def __init__(self, display_name, track=False):
        self.lib = lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.tst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        self.fixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
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
        lib.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.POINTER(ctypes.c_ulong)] * 2 + \
            [ctypes.POINTER(ctypes.c_int)] * 4 + [ctypes.POINTER(ctypes.c_uint)]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.POINTER(_XEvent)]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.fixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
        self.fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        # A window that goes while it is looked at must not end the run.
        # Xlib keeps one handler for the whole process: it must outlive
        # every connection, or a later error calls freed code.
        lib.XSetErrorHandler(_IGNORE_X_ERRORS)
        self.tst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                  ctypes.c_ulong]
        self.tst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display_name = display_name
        self.dpy = lib.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise HarnessError("cannot open display %s" % display_name)
        self.root = lib.XDefaultRootWindow(self.dpy)
        self.fd = lib.XConnectionNumber(self.dpy)
        self._net_wm_name = lib.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        self._wm_protocols = lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        self._wm_delete_window = lib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        self._net_wm_pid = lib.XInternAtom(self.dpy, b"_NET_WM_PID", 0)
        self._net_wm_ping = lib.XInternAtom(self.dpy, b"_NET_WM_PING", 0)
        # With `track`, every top-level window is followed from its creation:
        # its name is read as soon as it is set, and its place comes with the
        # events that give it, so that a window mapped and destroyed before
        # its map event is handled is still reported as it was.
        self.track = track
        self.known = {}  # window -> {"name", "pid", "geometry"}
        lib.XSelectInput(self.dpy, self.root, _SUBSTRUCTURE_NOTIFY_MASK)
        lib.XSync(self.dpy, 0)

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def window_events(self):
        """A second connection that records every map and unmap from now on."""
        return WindowEvents(self.display_name)

    # --- windows ----------------------------------------------------------------

    def _property(self, window, atom, length, read):
        """read(data pointer, item count) of a window property of up to
        `length` 32-bit units; None if it is unset or the window is gone."""
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if self.lib.XGetWindowProperty(self.dpy, window, atom, 0, length, 0, 0, ctypes.byref(kind),
                                       ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                       ctypes.byref(data)) != 0 or not data.value:
            return None
        try:
            return read(data, count.value)
        finally:
            self.lib.XFree(data)

    def name(self, window):
        return self._property(window, self._net_wm_name, 256,
                              lambda data, count: ctypes.string_at(data.value, count).decode("utf-8", "replace"))

    def pid(self, window):
        """_NET_WM_PID of a window (the process that made it), None if unset or gone."""
        return self._property(window, self._net_wm_pid, 1,
                              lambda data, count: ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if count else None)

    def geometry(self, window):
        a = _XWindowAttributes()
        if not self.lib.XGetWindowAttributes(self.dpy, window, ctypes.byref(a)):
            return None
        return a.x, a.y, a.width, a.height, a.map_state == _IS_VIEWABLE

    def top_level(self):
        """The root's children, bottom of the stack first."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.c_void_p(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return []
        try:
            ids = ctypes.cast(children, ctypes.POINTER(ctypes.c_ulong))
            return [ids[i] for i in range(count.value)]
        finally:
            if children.value:
                self.lib.XFree(children)

    def viewable(self):
        """[(window, name, (x, y, w, h))] of the viewable top-level windows, topmost first."""
        out = []
        for window in reversed(self.top_level()):
            g = self.geometry(window)
            if g and g[4]:
                out.append((window, self.name(window), g[:4]))
        return out

    def windows_of(self, pid):
        """[(window, name, (x, y, w, h), viewable)] of the top-level windows a process made, topmost first."""
        out = []
        for window in reversed(self.top_level()):
            if self.pid(window) != pid:
                continue
            g = self.geometry(window)
            if g:
                out.append((window, self.name(window), g[:4], g[4]))
        return out

    def settle(self, pid, timeout=20.0, rounds=3):
        """Returns once the process has handled every input sent so far, and
        with it every window it made, moved or took away.

        A Wine thread answers a _NET_WM_PING as it reads its X events, which
        it does only when it has no message left to handle: so once a ping
        sent after the input has been answered, the input was read; once a
        second one has been answered, the messages it became were handled.
        The pings go to the thread's own input-method window, which lives as
        long as the thread. True when settled, False when the process made
        no such window or stopped answering (it may have ended)."""
        deadline = time.monotonic() + timeout
        answered = 0
        while answered < rounds and time.monotonic() < deadline:
            targets = [w for w, name, _, _ in self.windows_of(pid) if name == "Default IME"]
            if not targets:
                return False
            if self.ping(targets[0], min(2.0, max(0.0, deadline - time.monotonic()))):
                answered += 1
        return answered == rounds

    def ping(self, window, timeout):
        """Sends a _NET_WM_PING to a window; True once it is answered."""
        stamp = self._ping_serial = getattr(self, "_ping_serial", 0) + 1
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self._wm_protocols
        event.xclient.format = 32
        event.xclient.data[0] = self._net_wm_ping
        event.xclient.data[1] = stamp  # echoed in the answer
        event.xclient.data[2] = window
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        self.lib.XFlush(self.dpy)
        deadline = time.monotonic() + timeout
        got = _XEvent()
        while True:
            while self.lib.XPending(self.dpy):
                self.lib.XNextEvent(self.dpy, ctypes.byref(got))
                if self.track:
                    self._follow(got)
                if got.type == _CLIENT_MESSAGE and got.xclient.message_type == self._wm_protocols and \
                        got.xclient.data[0] == self._net_wm_ping and got.xclient.data[1] == stamp:
                    return True
            left = deadline - time.monotonic()
            if left <= 0:
                return False
            select.select([self.fd], [], [], min(left, 0.05))

    def shown(self, caption):
        """(x, y, w, h) of a viewable top-level window with this caption, else None."""
        for _, name, geometry in self.viewable():
            if name == caption:
                return geometry
        return None

    def close_window(self, window):
        """Asks a window to close as a window manager or taskbar would
        (WM_DELETE_WINDOW): it reaches that window only, whatever has the focus."""
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self._wm_protocols
        event.xclient.format = 32
        event.xclient.data[0] = self._wm_delete_window
        event.xclient.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        self.lib.XFlush(self.dpy)

    # --- events -----------------------------------------------------------------

    def drain(self):
        """Forgets the events so far."""
        self.lib.XSync(self.dpy, 0)
        event = _XEvent()
        while self.lib.XPending(self.dpy):
            self.lib.XNextEvent(self.dpy, ctypes.byref(event))

    def _follow(self, event):
        """Keeps what the tracked windows are from the events about them."""
        if event.type == _CREATE_NOTIFY:
            e = event.xcreatewindow
            if e.parent != self.root:
                return
            self.lib.XSelectInput(self.dpy, e.window, _PROPERTY_CHANGE_MASK)
            # Named before we asked to hear of it: read it now.
            self.known[e.window] = {"name": self.name(e.window), "pid": self.pid(e.window),
                                    "geometry": (e.x, e.y, e.width, e.height)}
        elif event.type == _CONFIGURE_NOTIFY:
            e = event.xconfigure
            if e.window in self.known:
                self.known[e.window]["geometry"] = (e.x, e.y, e.width, e.height)
        elif event.type == _PROPERTY_NOTIFY:
            e = event.xproperty
            if e.window in self.known and e.atom == self._net_wm_name:
                name = self.name(e.window)
                if name is not None:
                    self.known[e.window]["name"] = name
            if e.window in self.known and e.atom == self._net_wm_pid:
                self.known[e.window]["pid"] = self.pid(e.window) or self.known[e.window]["pid"]
        elif event.type == _DESTROY_NOTIFY:
            self.known.pop(event.xmap.window, None)

    def events(self, wait=0.0):
        """The map and unmap events that have arrived, waiting up to `wait` s for the first."""
        if wait and not self.lib.XPending(self.dpy):
            select.select([self.fd], [], [], wait)
        out = []
        event = _XEvent()
        while self.lib.XPending(self.dpy):
            self.lib.XNextEvent(self.dpy, ctypes.byref(event))
            if self.track:
                self._follow(event)
            if event.type not in (_MAP_NOTIFY, _UNMAP_NOTIFY):
                continue
            window = event.xmap.window
            kind = "map" if event.type == _MAP_NOTIFY else "unmap"
            known = self.known.get(window)
            if known:
                out.append(MappedWindow(kind, window, known["name"], known["geometry"], time.monotonic(),
                                        known["pid"]))
            else:  # made before we looked: read now
                g = self.geometry(window)
                out.append(MappedWindow(kind, window, self.name(window), g[:4] if g else None, time.monotonic(),
                                        self.pid(window)))
        return out

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

    # --- pointer, cursor and input --------------------------------------------------

    def pointer(self):
        """Where the pointer is now, in screen coordinates."""
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        rx, ry, wx, wy, mask = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint()
        self.lib.XQueryPointer(self.dpy, self.root, ctypes.byref(root), ctypes.byref(child), ctypes.byref(rx),
                               ctypes.byref(ry), ctypes.byref(wx), ctypes.byref(wy), ctypes.byref(mask))
        return rx.value, ry.value

    def cursor(self):
        """The cursor the display shows now."""
        image = self.fixes.XFixesGetCursorImage(self.dpy)
        if not image:
            raise HarnessError("XFixesGetCursorImage failed")
        c = image.contents
        pixels = [c.pixels[i] & 0xFFFFFFFF for i in range(c.width * c.height)]
        cursor = Cursor(c.width, c.height, c.xhot, c.yhot, pixels)
        self.lib.XFree(image)
        return cursor

    def move(self, x, y):
        self.tst.XTestFakeMotionEvent(self.dpy, -1, int(x), int(y), 0)
        self.lib.XFlush(self.dpy)

    def button(self, down, number=1):
        self.tst.XTestFakeButtonEvent(self.dpy, number, 1 if down else 0, 0)
        self.lib.XFlush(self.dpy)

    def release_all(self, buttons):
        """Lets go of the buttons held down (X button numbers)."""
        for number in sorted(buttons):
            self.button(False, number)

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


if __name__ == "__main__" and sys.argv[1:2] == ["watch"]:
    watch(sys.argv[2])
