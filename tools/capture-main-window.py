#!/usr/bin/python3
"""Retake the screenshots of Velmora's main window that the splash collages
(formload/rnd2 and formload/rnd4) are composed from.

    tools/capture-main-window.py [--exe build/x86_64/Velmora.exe]

Run by hand after the main window's pictures change, then run
tools/render-assets.sh. It starts the built program under Wine on a private
virtual display (the end-to-end harness of tests/e2e), waits for the main
window, and grabs it as it first appears and with the pointer resting on the
Desktop and the More tile. The rounded corners, which show the desktop in a
screenshot, are cut away with the window's own outline, so every pixel left
is one the program painted.

The files land in assets/formload/screenshots/, one directory below the
pictures the program embeds, so they are sources only and never part of the
.exe. Rendering reads them and never needs Wine.

Needs what the end-to-end tests need: wine, Xvfb, xdotool, ImageMagick's
import and Debian's python3-pil."""
import argparse
import os
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tools", "assets"))

from PIL import Image  # noqa: E402

from art import WIN_W, WIN_H  # noqa: E402
from harness import ROOT_RGB, Session, close_to  # noqa: E402
from render import outline_mask  # noqa: E402

OUT = os.path.join(ROOT, "assets", "formload", "screenshots")
MAIN = "Velmora"
BACKGROUND = (290, 190)

# file name, point the pointer rests on (window coordinates; None: the background)
SHOTS = [
    ("main-window", None),
    ("main-window-desktop", (48 + 115, 52 + 65)),
    ("main-window-more", (301 + 115, 199 + 65)),
]


def cut(img, geometry):
    """The window's pixels, the corners outside its outline made transparent.
    Raises if a corner pixel is not the desktop: the grab would be wrong."""
    x, y, w, h = geometry
    if (w, h) != (WIN_W, WIN_H):
        raise SystemExit("main window is %dx%d, want %dx%d" % (w, h, WIN_W, WIN_H))
    window = img.crop((x, y, x + w, y + h)).convert("RGBA")
    mask = outline_mask(0, 0, w, h)
    for py in range(h):
        for px in range(w):
            if not mask.getpixel((px, py)) and not close_to(window.getpixel((px, py))[:3], ROOT_RGB, 2):
                raise SystemExit("pixel (%d,%d) outside the outline is %r, not the desktop: "
                                 "the window is not where it was looked for" % (px, py, window.getpixel((px, py))))
    clear = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    return Image.composite(window, clear, mask)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--exe", default=os.path.join(ROOT, "build", "x86_64", "Velmora.exe"))
    args = ap.parse_args()
    if not os.path.isfile(args.exe):
        raise SystemExit("%s not built (cmake --preset x86_64 && cmake --build --preset x86_64)" % args.exe)
    os.makedirs(OUT, exist_ok=True)
    with Session() as s:
        prefix = s.fresh_prefix("capture-main-window")
        try:
            app = prefix.launch(args.exe)
            main_window = app.wait_window(MAIN, timeout=40)
            for name, point in SHOTS:
                # Over the background between the tiles first: that undoes
                # every hover look, and the pointer is not in the picture.
                main_window.mousemove(*BACKGROUND)
                time.sleep(0.6)
                if point:
                    main_window.mousemove(*point)
                    time.sleep(0.8)
                img = s.x.capture()
                window = cut(img, main_window.geometry())
                path = os.path.join(OUT, name + ".png")
                window.save(path, optimize=True)
                print("captured", os.path.relpath(path, ROOT))
        finally:
            prefix.close()
    print("now run tools/render-assets.sh")
    return 0


if __name__ == "__main__":
    sys.exit(main())
