r"""The release zip as someone who downloaded it would use it: made by
scripts/release.sh for this commit, unpacked with unzip into a folder whose
name holds Chinese characters, spaces and brackets, made read-only, and its
exe, the 32-bit one for Windows XP, started under 32-bit Wine through a
network share, by a UNC path \\velmora-server\share\..., which Wine
resolves through the prefix's dosdevices\unc folder, with the working
folder somewhere else.

Every 32-bit start is emulated here and costs about a minute, so the drive
path (Z:\...) is taken by the x86_64 build from the same kind of folder,
on the first display while the zip's exe starts on the second.

Each start opens the desktop page, ticks the Recycle Bin box (open on every
Windows), saves, finds the value in Wine's registry and ends the program
with the close picture. Neither the exe's folder nor the working folder may
change: the pictures come from the exe's resources, the settings from the
registry, and the browser is started from the Windows folder.

The folder and its files lose their write bits, which Windows reports as
read-only. The tests may run as root, whom the kernel lets write anyway, so
the contents of both folders are also compared before and after."""
import glob
import os
import shutil
import stat
import subprocess
import time

import ui
from harness import EXE, ROOT, pe_is_32bit, start_timeout, velmora
from runner import Suite, check
from test_i686 import require_32bit
from test_tweaks import FRAME_TOP, ICONS_KEY, RECYCLE_BIN, tick_becomes
from xdirect import XDirect

suite = Suite("release")

FOLDER = "Velmora 工具 (1.05) [测试]"
SERVER, SHARE = "velmora-server", "share"
RECYCLE_BIN_BOX = 3


def windows_path(host_path):
    """The host path as Wine's Z: drive shows it."""
    return "Z:" + host_path.replace("/", "\\")


def make_release(session):
    """scripts/release.sh run for this commit, its zip and .sha256 written
    to a folder of the session; returns the zip's path."""
    dist = os.path.join(session.tmp, "dist")
    t0 = time.monotonic()
    r = subprocess.run(["bash", os.path.join(ROOT, "scripts", "release.sh"), "--dist", dist],
                       capture_output=True, text=True)
    check(r.returncode == 0, "scripts/release.sh failed (%d): %s" % (r.returncode, (r.stdout + r.stderr)[-2000:]))
    zips = glob.glob(os.path.join(dist, "Velmora-*.zip"))
    check(len(zips) == 1 and os.path.isfile(zips[0] + ".sha256"), "release.sh wrote %r" % os.listdir(dist))
    print("  scripts/release.sh made %s in %.0f s" % (os.path.basename(zips[0]), time.monotonic() - t0), flush=True)
    return zips[0]


def unpack(session, name, zip_path=None):
    """<share>/FOLDER holding the zip unpacked (or a copy of the x86_64 exe
    without a zip), the folder and its files read-only, and an empty working
    folder beside it. Returns (share, folder, working folder)."""
    base = os.path.join(session.tmp, name)
    share = os.path.join(base, "share")
    folder = os.path.join(share, FOLDER)
    working = os.path.join(base, "working folder")
    os.makedirs(folder)
    os.makedirs(working)
    if zip_path:
        # unzip takes the guide's name from the zip's UTF-8 field only in a UTF-8 locale.
        subprocess.run(["unzip", "-q", zip_path, "-d", folder], check=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
    else:
        shutil.copyfile(EXE, os.path.join(folder, "Velmora.exe"))
    for file in os.listdir(folder):
        os.chmod(os.path.join(folder, file), 0o444)
    os.chmod(folder, 0o555)
    return share, folder, working


def built_from(folder):
    """The commit BUILD-INFO.txt in the unpacked folder names."""
    with open(os.path.join(folder, "BUILD-INFO.txt"), encoding="utf-8") as f:
        return next((line.split()[1] for line in f if line.startswith("commit ")), None)


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


def save_and_close(s, v, app, main):
    """With Velmora started at its main window: hides the Recycle Bin from
    the desktop page, checks the registry and closes the program."""
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


@suite.scenario("this commit's release zip unpacked into a read-only folder named 'Velmora 工具 (1.05) [测试]': "
                "its exe by UNC path (the x86_64 build by drive path), elsewhere as working folder: "
                "saves, closes, writes no file")
def _(s):
    require_32bit()
    s.begin_i686_template()  # made while the release builds, when no other suite began it
    zip_path = make_release(s)
    share, folder, working = unpack(s, "unzipped", zip_path)
    _, x64_folder, x64_working = unpack(s, "x86_64")
    try:
        exe = os.path.join(folder, "Velmora.exe")
        check(pe_is_32bit(exe), "the zip's Velmora.exe is not the 32-bit build")
        head = subprocess.run(["git", "-C", ROOT, "rev-parse", "HEAD"], capture_output=True, text=True).stdout.strip()
        check(built_from(folder) == head, "BUILD-INFO.txt names commit %r, not HEAD %s" % (built_from(folder), head))
        before = (contents(folder), contents(working))
        x64_before = (contents(x64_folder), contents(x64_working))
        s2 = s.on_second_display()
        with velmora(s2, "release-zip-unc-path", exe=exe) as zipped, velmora(s, "release-x86_64-drive-path") as x64:
            # The emulated start takes about a minute: the x86_64 start runs meanwhile.
            unc = "%s\\%s\\Velmora.exe" % (mapped_share(zipped.prefix, share), FOLDER)
            t0 = time.monotonic()
            app = zipped.launch(path=unc, cwd=working)
            save_and_close(s, x64, *x64.start(path=windows_path(os.path.join(x64_folder, "Velmora.exe")),
                                              cwd=x64_working))
            check((contents(x64_folder), contents(x64_working)) == x64_before,
                  "a start by drive path changed the exe's folder or the working folder")
            main = app.wait_window(ui.MAIN, timeout=start_timeout(exe))
            print("  the zip's exe started by UNC path in %.0f s (emulated)" % (time.monotonic() - t0), flush=True)
            save_and_close(s2, zipped, app, main)
        check((contents(folder), contents(working)) == before,
              "a start by UNC path changed the exe's folder or the working folder")
    finally:
        writable_again(folder)
        writable_again(x64_folder)
