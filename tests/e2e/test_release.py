r"""Velmora started as someone who unpacked the release zip would start it:
from a folder whose name holds Chinese characters, spaces and brackets,
made read-only, with the working folder somewhere else; once by its drive
path (Z:\...) and once through a network share, by a UNC path
\\velmora-server\share\..., which Wine resolves through the prefix's
dosdevices\unc folder.

Each start opens the desktop page, ticks the Recycle Bin box (open on every
Windows), saves, finds the value in Wine's registry and ends the program
with the close picture. Neither the exe's folder nor the working folder may
change: the pictures come from the exe's resources, the settings from the
registry, and the browser is started from the Windows folder.

The folder and the exe lose their write bits, which Windows reports as
read-only. The tests may run as root, whom the kernel lets write anyway, so
the contents of both folders are also compared before and after."""
import os
import shutil
import stat
import time

import ui
from harness import EXE, start_timeout, velmora
from runner import Suite, check
from test_tweaks import FRAME_TOP, ICONS_KEY, RECYCLE_BIN, tick_becomes
from xdirect import XDirect

suite = Suite("release")

FOLDER = "Velmora 工具 (1.05) [测试]"
SERVER, SHARE = "velmora-server", "share"
RECYCLE_BIN_BOX = 3


def windows_path(host_path):
    """The host path as Wine's Z: drive shows it."""
    return "Z:" + host_path.replace("/", "\\")


def unpack(session, name):
    """A copy of the exe in <share>/FOLDER/Velmora.exe, folder and exe read-only,
    and an empty working folder beside it. Returns (share, folder, working folder)."""
    base = os.path.join(session.tmp, name)
    share = os.path.join(base, "share")
    folder = os.path.join(share, FOLDER)
    working = os.path.join(base, "working folder")
    os.makedirs(folder)
    os.makedirs(working)
    exe = os.path.join(folder, "Velmora.exe")
    shutil.copyfile(EXE, exe)
    os.chmod(exe, 0o444)
    os.chmod(folder, 0o555)
    return share, folder, working


def writable_again(folder):
    """Gives the folder back its write bit, so that the session can remove it."""
    os.chmod(folder, os.stat(folder).st_mode | stat.S_IWUSR)


def contents(folder):
    """{relative path: (mode, size, modification time)} of everything under folder."""
    found = {}
    for parent, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(parent, name)
            st = os.lstat(path)
            found[os.path.relpath(path, folder)] = (st.st_mode, st.st_size, st.st_mtime_ns)
    return found


def mapped_share(prefix, share):
    r"""\\SERVER\SHARE for the host folder share: Wine finds a UNC path's
    server and share under dosdevices/unc in the prefix."""
    servers = os.path.join(prefix.path, "dosdevices", "unc", SERVER)
    os.makedirs(servers, exist_ok=True)
    os.symlink(share, os.path.join(servers, SHARE))
    return "\\\\%s\\%s" % (SERVER, SHARE)


def press(x, window, point, hover=0.3):
    """A left click at a window-relative point once the pointer is there."""
    wx, wy, _, _ = window.geometry()
    target = (wx + point[0], wy + point[1])
    x.move(target[0] - 1, target[1])  # a move onto the point, even when the pointer rests there
    x.move(*target)
    deadline = time.monotonic() + 2
    while x.pointer() != target and time.monotonic() < deadline:
        time.sleep(0.02)
    time.sleep(hover)
    check(x.pointer() == target, "pointer at %r, not at %r on %r" % (x.pointer(), target, window.caption))
    x.button(True)
    time.sleep(0.05)
    x.button(False)


def save_and_close(s, v, path, working):
    """Starts Velmora from path in the working folder, hides the Recycle Bin
    from the desktop page, checks the registry and closes the program."""
    app, main = v.start(path=path, cwd=working)
    page_timeout = 60 if start_timeout(v.exe) > 60 else 20  # a 32-bit exe is emulated
    x = XDirect(s.display.name)
    try:
        press(x, main, ui.centre(ui.TILES["Desktop"][0]))
        page = app.wait_window(ui.DESKTOP, timeout=page_timeout)
        check(tick_becomes(s, page, ui.DESKTOP, RECYCLE_BIN_BOX, False),
              "the Recycle Bin box is ticked before anything was saved")
        press(x, page, (40 + 16 + 30, FRAME_TOP[ui.DESKTOP] + 24 * RECYCLE_BIN_BOX + 8), hover=0.15)
        check(tick_becomes(s, page, ui.DESKTOP, RECYCLE_BIN_BOX, True), "the Recycle Bin box did not take the tick")
        press(x, page, ui.SAVE)
        main = app.wait_window(ui.MAIN, timeout=page_timeout)
        got = v.prefix.reg_query(ICONS_KEY, RECYCLE_BIN)
        check(got == ("REG_DWORD", "0x1"), "Recycle Bin value after the save: %r" % (got,))
        press(x, main, ui.centre(ui.CLOSE_BOX))
        code = app.wait_exit(page_timeout)
        check(code == 0, "exit code %r after the close picture" % code)
    finally:
        x.close()


@suite.scenario("started from a read-only folder named 'Velmora 工具 (1.05) [测试]', "
                "by drive path and by UNC path, elsewhere as working folder: saves, closes, writes no file")
def _(s):
    share, folder, working = unpack(s, "unpacked")
    try:
        before = (contents(folder), contents(working))
        with velmora(s, "release-drive-path") as v:
            path = windows_path(os.path.join(folder, "Velmora.exe"))
            save_and_close(s, v, path, working)
        check((contents(folder), contents(working)) == before,
              "a start by drive path changed the exe's folder or the working folder")
        with velmora(s, "release-unc-path") as v:
            path = "%s\\%s\\Velmora.exe" % (mapped_share(v.prefix, share), FOLDER)
            save_and_close(s, v, path, working)
        check((contents(folder), contents(working)) == before,
              "a start by UNC path changed the exe's folder or the working folder")
    finally:
        writable_again(folder)
