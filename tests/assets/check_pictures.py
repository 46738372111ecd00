#!/usr/bin/python3
"""Check Velmora's pictures, icon and cursor in assets/.

Run with /usr/bin/python3 (needs Pillow).  Prints one line per check and a
final line `assets: N passed, M failed`; exits non-zero if any check fails.
"""
import os
import struct
import sys

from PIL import Image

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ASSETS = os.path.join(ROOT, "assets")
WIN_W, WIN_H, WIN_R = 580, 350, 10
KEY_COLOURS = {(255, 0, 0), (0, 255, 0)}

# Every picture: id, width, height, window position for pictures cut to the
# rounded outline (None: a plain rectangle), and whether it must be opaque.
OUTLINE, OPAQUE, SHAPED = "outline", "opaque", "shaped"
PICTURES = [
    ("common/page_background", 580, 350, (0, 0)),
    ("common/titlebar", 580, 37, (0, 0)),
    ("common/close_normal", 34, 18, (546, 0)),
    ("common/close_hover", 34, 18, (546, 0)),
    ("common/save_normal", 55, 90, OPAQUE),
    ("common/save_hover", 55, 90, OPAQUE),
    ("common/save_pressed", 55, 90, OPAQUE),
    ("common/back_normal", 55, 80, OPAQUE),
    ("common/back_hover", 55, 80, OPAQUE),
    ("common/back_pressed", 55, 80, OPAQUE),
    ("formload/background", 580, 350, OPAQUE),
    ("formload/rnd2", 580, 350, OPAQUE),
    ("formload/rnd3", 580, 350, OPAQUE),
    ("formload/rnd4", 580, 350, OPAQUE),
    ("formmain/background", 580, 350, (0, 0)),
    ("formmain/Image1", 27, 18, OPAQUE),
    ("formmain/Image4", 231, 130, OPAQUE),
    ("formmain/DTF", 234, 134, OPAQUE),
    ("formmain/Image5", 230, 130, OPAQUE),
    ("formmain/Image6", 230, 130, OPAQUE),
    ("formmain/SYF", 234, 134, OPAQUE),
    ("formmain/Image7", 230, 131, OPAQUE),
    ("formmain/Image8", 230, 129, OPAQUE),
    ("formmain/MSF", 234, 134, OPAQUE),
    ("formmain/Image9", 230, 130, OPAQUE),
    ("formmain/Image10", 230, 130, OPAQUE),
    ("formmain/MF", 234, 134, OPAQUE),
    ("formmain/Image11", 230, 130, OPAQUE),
    ("formmain/DL", 27, 105, (0, 43)),
    ("formmain/DL2", 27, 105, (0, 43)),
    ("formmain/FE", 27, 105, (0, 149)),
    ("formmain/FE2", 27, 105, (0, 149)),
    ("formmain/GY", 27, 77, (552, 41)),
    ("formmain/GY2", 29, 77, (551, 41)),
    ("formmain/BZ", 27, 77, (552, 119)),
    ("formmain/BZ2", 29, 77, (552, 120)),
    ("loading/background", 580, 350, (0, 0)),
    ("form4/background", 580, 350, (0, 0)),
    ("form5/Image3", 62, 62, OPAQUE),
    ("form6/background", 580, 350, (0, 0)),
    ("form6/Image1", 101, 31, OPAQUE),
    ("form6/Image2", 96, 29, OPAQUE),
    ("form6/Image3", 121, 90, OPAQUE),
    ("form6/Image4", 120, 36, OPAQUE),
    ("form6/Image5", 60, 60, OPAQUE),
    ("dlb/skinimage1", 80, 93, SHAPED),
    ("dlb/skinimage2", 80, 93, SHAPED),
]

# Screenshots of the main window under Wine that the splash collages are
# composed from (sources only, one directory below the embedded pictures):
# cut to the window's outline like the window itself.
SCREENSHOTS = [
    ("formload/screenshots/main-window", 580, 350, (0, 0)),
    ("formload/screenshots/main-window-desktop", 580, 350, (0, 0)),
    ("formload/screenshots/main-window-more", 580, 350, (0, 0)),
]
# The colour of the end-to-end display's desktop: inside a screenshot it
# would be a see-through hole in the window at the time of the capture.
CAPTURE_DESKTOP = (0x2B, 0x8C, 0x5A)

# Tile colours, sampled near the lower-left corner of the tile body.
TILE_COLOURS = [
    ("formmain/Image4", (249, 92, 24)), ("formmain/DTF", (249, 92, 24)),
    ("formmain/Image5", (239, 76, 20)),
    ("formmain/Image6", (61, 186, 58)), ("formmain/SYF", (61, 186, 58)),
    ("formmain/Image7", (50, 157, 48)),
    ("formmain/Image8", (57, 117, 225)), ("formmain/MSF", (57, 117, 225)),
    ("formmain/Image9", (47, 97, 200)),
    ("formmain/Image10", (227, 187, 87)), ("formmain/MF", (227, 187, 87)),
    ("formmain/Image11", (203, 158, 72)),
]

# Pictures that must repeat a part of another picture pixel for pixel.
CROPS = [
    ("common/titlebar", "common/page_background", 0, 0),
    ("formmain/DL", "formmain/background", 0, 43),
    ("formmain/FE", "formmain/background", 0, 149),
    ("formmain/GY", "formmain/background", 552, 41),
    ("formmain/BZ", "formmain/background", 552, 119),
    ("form6/Image1", "form6/background", 80, 57),
    ("form6/Image2", "form6/background", 82, 130),
    ("form6/Image3", "form6/background", 21, 178),
    ("form6/Image4", "form6/background", 21, 280),
    ("form6/Image5", "form6/background", 486, 262),
]

ICON_SIZES = (48, 32, 24, 16)
CURSOR_HOTSPOT = (5, 0)


# ---------------------------------------------------------------- helpers

def inside_window(x, y):
    px, py = x + 0.5, y + 0.5
    cx = min(max(px, WIN_R), WIN_W - WIN_R)
    cy = min(max(py, WIN_R), WIN_H - WIN_R)
    return (px - cx) ** 2 + (py - cy) ** 2 <= WIN_R ** 2


_cache = {}


def load(pic_id):
    if pic_id not in _cache:
        with Image.open(os.path.join(ASSETS, pic_id + ".png")) as im:
            _cache[pic_id] = im.convert("RGBA")
    return _cache[pic_id]


def pixels(img):
    w = img.width
    for i, p in enumerate(img.getdata()):
        yield i % w, i // w, p


# ---------------------------------------------------------------- checks
# Each returns None when fine, or a short text saying what is wrong.

def check_size(pic_id, w, h, kind):
    path = os.path.join(ASSETS, pic_id + ".png")
    if not os.path.isfile(path):
        return "missing"
    size = load(pic_id).size
    return None if size == (w, h) else f"size {size[0]}x{size[1]}, want {w}x{h}"


def check_hard_alpha(pic_id, w, h, kind):
    bad = [p[3] for p in load(pic_id).getdata() if p[3] not in (0, 255)]
    return f"{len(bad)} pixels with partial alpha" if bad else None


def check_shape(pic_id, w, h, kind):
    img = load(pic_id)
    if kind == OPAQUE:
        clear = sum(1 for p in img.getdata() if p[3] != 255)
        return f"{clear} transparent pixels in an opaque picture" if clear else None
    if kind == SHAPED:
        a = img.getchannel("A")
        corners = [a.getpixel(c) for c in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1))]
        return None if 0 in corners else "no transparent background at the corners"
    ox, oy = kind
    wrong = [(x, y) for x, y, p in pixels(img)
             if (p[3] == 255) != inside_window(ox + x, oy + y)]
    return f"{len(wrong)} pixels disagree with the rounded outline, e.g. {wrong[0]}" \
        if wrong else None


def check_no_key_colour(pic_id, w, h, kind):
    hits = [(x, y) for x, y, p in pixels(load(pic_id)) if p[3] and p[:3] in KEY_COLOURS]
    return f"{len(hits)} key-colour pixels, e.g. {hits[0]}" if hits else None


def check_window_corners(pic_id, w, h, kind):
    if (w, h) != (WIN_W, WIN_H) or kind != (0, 0):
        return None
    a = load(pic_id).getchannel("A")
    bad = [c for c in ((0, 0), (579, 0), (0, 349), (579, 349)) if a.getpixel(c)]
    return f"corner pixels not transparent: {bad}" if bad else None


def check_no_desktop(pic_id, w, h, kind):
    hits = [(x, y) for x, y, p in pixels(load(pic_id)) if p[3] and p[:3] == CAPTURE_DESKTOP]
    return f"{len(hits)} desktop-coloured pixels inside the window, e.g. {hits[0]}" if hits else None


PICTURE_CHECKS = [
    ("size", check_size),
    ("alpha 0/255", check_hard_alpha),
    ("outline", check_shape),
    ("window corners", check_window_corners),
    ("no key colour", check_no_key_colour),
]


def check_tile_colour(pic_id, colour):
    img = load(pic_id)
    got = img.getpixel((6, img.height - 6))[:3]
    return None if got == colour else f"tile colour {got}, want {colour}"


def check_crop(pic_id, src, x, y):
    img, whole = load(pic_id), load(src)
    part = whole.crop((x, y, x + img.width, y + img.height))
    return None if list(part.getdata()) == list(img.getdata()) else f"differs from {src} at ({x},{y})"


def read_dir(path, kind):
    with open(path, "rb") as fh:
        data = fh.read()
    reserved, typ, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or typ != kind:
        raise ValueError(f"header says type {typ}")
    entries = []
    for i in range(count):
        w, h, colours, _, a, b, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        dib = data[offset:offset + size]
        hdr = struct.unpack_from("<IiiHHIIiiII", dib, 0)
        entries.append(dict(w=w or 256, h=h or 256, a=a, b=b, size=size, dib=dib, hdr=hdr))
    return entries


def check_icon():
    entries = read_dir(os.path.join(ASSETS, "common", "velmora.ico"), 1)
    found = sorted((e["w"], e["hdr"][4]) for e in entries)
    want = sorted((s, bpp) for s in ICON_SIZES for bpp in (8, 32))
    if found != want:
        return f"entries {found}, want {want}"
    for e in entries:
        s, bpp = e["w"], e["hdr"][4]
        if e["dib"][:4] == b"\x89PNG" or e["hdr"][0] != 40:
            return f"{s}px {bpp}-bit entry is not a BMP entry"
        if (e["hdr"][1], e["hdr"][2]) != (s, 2 * s) or e["h"] != s:
            return f"{s}px {bpp}-bit entry has header size {e['hdr'][1]}x{e['hdr'][2]}"
        row = lambda bits: (s * bits + 31) // 32 * 4
        palette = 1024 if bpp == 8 else 0
        need = 40 + palette + row(bpp) * s + row(1) * s
        if len(e["dib"]) != need:
            return f"{s}px {bpp}-bit entry is {len(e['dib'])} bytes, want {need}"
    return None


def cursor_pixels(e):
    """Decode the monochrome cursor: dict (x, y) -> 'black' / 'white' / None."""
    dib, w, h = e["dib"], 32, 32
    stride = 4
    xor_at = 40 + 8
    and_at = xor_at + stride * h
    out = {}
    for y in range(h):
        src = h - 1 - y
        for x in range(w):
            bit = 0x80 >> (x % 8)
            xor = dib[xor_at + src * stride + x // 8] & bit
            mask = dib[and_at + src * stride + x // 8] & bit
            out[x, y] = None if mask and not xor else ("white" if xor else "black")
    return out


def check_cursor():
    entries = read_dir(os.path.join(ASSETS, "common", "hand.cur"), 2)
    if len(entries) != 1:
        return f"{len(entries)} images, want 1"
    e = entries[0]
    if (e["w"], e["h"]) != (32, 32) or e["hdr"][4] != 1 or e["hdr"][1:3] != (32, 64):
        return f"not a 32x32 monochrome cursor ({e['w']}x{e['h']}, {e['hdr'][4]}-bit)"
    if (e["a"], e["b"]) != CURSOR_HOTSPOT:
        return f"hot spot ({e['a']},{e['b']}), want {CURSOR_HOTSPOT}"
    px = cursor_pixels(e)
    top = [x for x in range(32) if px[x, 0]]
    if top != [CURSOR_HOTSPOT[0]]:
        return f"top row drawn at x={top}, want the fingertip alone at x={CURSOR_HOTSPOT[0]}"
    return None


# ---------------------------------------------------------------- run

def main():
    results = []

    def run(name, fn, *args):
        try:
            problem = fn(*args)
        except Exception as exc:  # a broken file is a failed check, not a crash
            problem = f"{type(exc).__name__}: {exc}"
        results.append(problem is None)
        print(f"{'ok  ' if problem is None else 'FAIL'} {name}" + (f": {problem}" if problem else ""))

    for pic_id, w, h, kind in PICTURES:
        present = os.path.isfile(os.path.join(ASSETS, pic_id + ".png"))
        for label, fn in PICTURE_CHECKS:
            if not present and fn is not check_size:
                continue
            run(f"{pic_id} {label}", fn, pic_id, w, h, kind)
    for pic_id, w, h, kind in SCREENSHOTS:
        present = os.path.isfile(os.path.join(ASSETS, pic_id + ".png"))
        for label, fn in PICTURE_CHECKS + [("no see-through hole", check_no_desktop)]:
            if not present and fn is not check_size:
                continue
            run(f"{pic_id} {label}", fn, pic_id, w, h, kind)
    for pic_id, colour in TILE_COLOURS:
        run(f"{pic_id} tile colour", check_tile_colour, pic_id, colour)
    for pic_id, src, x, y in CROPS:
        run(f"{pic_id} matches {src}", check_crop, pic_id, src, x, y)
    run("common/velmora.ico entries", check_icon)
    run("common/hand.cur format and hot spot", check_cursor)

    passed = sum(results)
    failed = len(results) - passed
    print(f"assets: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
