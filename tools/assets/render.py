"""Render every Velmora picture, the icon and the hand cursor into assets/.

Run through tools/render-assets.sh.  For each picture of pictures.catalogue()
it writes the SVG source beside the PNG, renders it with rsvg-convert,
composes it over its backdrop, cuts it to the rounded window outline with a
hard (0 or 255) alpha and stores a metadata-free, palette-reduced PNG.  The
output depends only on the sources, so rendering twice gives the same bytes.
"""
import os
import re
import subprocess
import sys
import tempfile

from PIL import Image

import pictures
import winicons
from art import WIN_W, WIN_H, WIN_R

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
ASSETS = os.path.join(ROOT, "assets")


def rsvg(svg_text, w, h, tmp):
    src = os.path.join(tmp, "in.svg")
    with open(src, "w", encoding="utf-8") as fh:
        fh.write(svg_text)
    return rsvg_file(src, w, h, tmp)


def rsvg_file(src, w, h, tmp):
    """Render an SVG file; the pictures it links to are read relative to it."""
    out = os.path.join(tmp, "out.png")
    subprocess.run(["rsvg-convert", "-w", str(w), "-h", str(h), "-o", out, src], check=True)
    with Image.open(out) as im:
        return im.convert("RGBA")


def linked_files(svg_path, svg_text):
    """The files an SVG links to (screenshots); rsvg-convert leaves a missing
    one out without a word, so they are looked for first."""
    base = os.path.dirname(svg_path)
    links = re.findall(r'xlink:href="([^"#][^"]*)"', svg_text)
    missing = [link for link in links if not os.path.isfile(os.path.join(base, link))]
    if missing:
        raise SystemExit(f"render-assets: {svg_path} needs {', '.join(missing)}; "
                         "take them with tools/capture-main-window.py")
    return links


def inside_window(x, y):
    """Is the centre of pixel (x, y) inside the window's rounded outline?"""
    px, py = x + 0.5, y + 0.5
    cx = min(max(px, WIN_R), WIN_W - WIN_R)
    cy = min(max(py, WIN_R), WIN_H - WIN_R)
    return (px - cx) ** 2 + (py - cy) ** 2 <= WIN_R ** 2


def outline_mask(ox, oy, w, h):
    mask = Image.new("L", (w, h), 255)
    for y in range(h):
        wy = oy + y
        if WIN_R <= wy < WIN_H - WIN_R and 0 <= wy:
            # Straight part of the outline: only the window's width matters.
            for x in range(w):
                if not 0 <= ox + x < WIN_W:
                    mask.putpixel((x, y), 0)
            continue
        for x in range(w):
            if not inside_window(ox + x, wy):
                mask.putpixel((x, y), 0)
    return mask


def hard_alpha(img, matte=None):
    """Alpha 0 or 255 only; half-covered edge pixels take the matte colour."""
    alpha = img.getchannel("A")
    if matte is not None:
        img = Image.alpha_composite(Image.new("RGBA", img.size, matte + (255,)), img)
        cut = alpha.point(lambda a: 255 if a >= 100 else 0)
    else:
        cut = alpha.point(lambda a: 255 if a >= 128 else 0)
    img = img.convert("RGB").convert("RGBA")
    img.putalpha(cut)
    return img


def to_palette(img, keep, lossless=False):
    """Reduce to 8-bit palette (index 255 transparent when needed), keeping
    the listed colours exact.  With lossless, give None unless the picture
    already has few enough colours."""
    alpha = img.getchannel("A")
    clear = alpha.point(lambda a: 255 if a == 0 else 0)
    has_clear = clear.getbbox() is not None
    rgb = Image.new("RGB", img.size, (0, 0, 0))
    rgb.paste(img.convert("RGB"), mask=alpha)
    ncol = 255 if has_clear else 256
    exact = rgb.getcolors(ncol)
    if exact is None and lossless:
        return None, has_clear
    if exact is not None:
        # Few colours: map each one to its own entry, without any loss.
        pal = [c for _, rgbv in sorted(exact, key=lambda e: e[1]) for c in rgbv]
        index = {tuple(pal[i:i + 3]): i // 3 for i in range(0, len(pal), 3)}
        q = Image.new("P", rgb.size)
        q.putdata([index[c] for c in rgb.getdata()])
    else:
        q = rgb.quantize(ncol, method=Image.Quantize.LIBIMAGEQUANT)
        pal = q.getpalette()[:3 * ncol]
        for colour in keep:
            entries = [tuple(pal[i:i + 3]) for i in range(0, len(pal), 3)]
            best = min(range(len(entries)),
                       key=lambda i: sum((a - b) ** 2 for a, b in zip(entries[i], colour)))
            pal[3 * best:3 * best + 3] = list(colour)
    q.putpalette((pal + [0] * 768)[:768])
    if has_clear:
        q.paste(255, mask=clear)
    return q, has_clear


def save_png(img, path, keep=(), palette=True, lossless=False):
    opaque = img.getchannel("A").getextrema()[0] == 255
    q = None
    if palette:
        q, has_clear = to_palette(img, keep, lossless)
    if q is not None:
        if has_clear:
            q.save(path, optimize=True, transparency=255)
        else:
            q.save(path, optimize=True)
    elif opaque:
        img.convert("RGB").save(path, optimize=True)
    else:
        img.save(path, optimize=True)


def write_text(path, content):
    with open(path, "w", encoding="utf-8", newline="\n") as fh:
        fh.write(content)


def build_pictures(tmp):
    done = {}
    for pic in pictures.catalogue():
        out = os.path.join(ASSETS, pic.id + ".png")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        if pic.over:
            src, x, y = pic.over
            img = done[src].crop((x, y, x + pic.w, y + pic.h))
        else:
            img = Image.new("RGBA", (pic.w, pic.h), (0, 0, 0, 0))
        svg_text = pic.svg_text()
        if svg_text:
            svg_path = os.path.join(ASSETS, pic.id + ".svg")
            write_text(svg_path, svg_text)
            linked_files(svg_path, svg_text)
            # Rendered where it lies, so that the screenshots it links to,
            # beside it, are found.
            img = Image.alpha_composite(img, rsvg_file(svg_path, pic.w, pic.h, tmp))
        img = hard_alpha(img, pic.matte)
        if pic.outline:
            alpha = Image.new("L", img.size, 0)
            alpha.paste(img.getchannel("A"), mask=outline_mask(*pic.outline, pic.w, pic.h))
            img.putalpha(alpha)
        # Transparent pixels carry no colour.
        black = Image.new("RGBA", img.size, (0, 0, 0, 0))
        img = Image.composite(img, black, img.getchannel("A"))
        # A crop of a finished picture must stay identical to it.
        save_png(img, out, pic.keep, pic.palette, lossless=svg_text is None)
        with Image.open(out) as saved:
            done[pic.id] = saved.convert("RGBA")
        print(f"  {pic.id}.png {pic.w}x{pic.h}")
    return done


def build_icon(tmp):
    sizes = (48, 32, 24, 16)
    images = []
    for size in sizes:
        name = "velmora" if size >= 32 else "velmora_small"
        svg_text = pictures.icon_svg(size)
        write_text(os.path.join(ASSETS, "common", name + ".svg"), svg_text)
        images.append(rsvg(svg_text, size, size, tmp))
    winicons.write_ico(os.path.join(ASSETS, "common", "velmora.ico"), images)
    print("  common/velmora.ico 48/32/24/16 x 8/32-bit")


def build_cursor():
    with open(os.path.join(ASSETS, "common", "hand_cursor.txt"), encoding="utf-8") as fh:
        rows = [r for r in fh.read().split("\n") if r]
    winicons.write_cur(os.path.join(ASSETS, "common", "hand.cur"), rows, (5, 0))
    print("  common/hand.cur 32x32, hot spot (5,0)")


def main():
    with tempfile.TemporaryDirectory() as tmp:
        build_pictures(tmp)
        build_icon(tmp)
    build_cursor()
    return 0


if __name__ == "__main__":
    sys.exit(main())
