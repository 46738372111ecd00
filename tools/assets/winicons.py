"""Writers for the Windows icon (.ico) and cursor (.cur) files.

Both formats are a small directory followed by DIB images: a
BITMAPINFOHEADER whose height is doubled, the colour (XOR) bitmap and the
1-bit transparency (AND) mask, rows bottom-up and padded to 4 bytes.  Every
entry is written in that BMP form (no PNG-compressed entries), which is what
Windows XP reads.
"""
import struct

from PIL import Image


def _rows_bottom_up(h):
    return range(h - 1, -1, -1)


def _pad(row):
    return row + b"\0" * (-len(row) % 4)


def _and_mask(alpha, w, h):
    """1 where the pixel is transparent."""
    px = alpha.load()
    out = b""
    for y in _rows_bottom_up(h):
        bits = bytearray((w + 7) // 8)
        for x in range(w):
            if px[x, y] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += _pad(bytes(bits))
    return out


def _header(w, h, bpp, image_bytes, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, image_bytes, 0, 0,
                       colours, 0)


def dib_32(img):
    """32-bit BGRA entry with alpha, plus the AND mask for old readers."""
    w, h = img.size
    px = img.load()
    xor = b""
    for y in _rows_bottom_up(h):
        xor += b"".join(struct.pack("BBBB", b, g, r, a)
                        for r, g, b, a in (px[x, y] for x in range(w)))
    mask = _and_mask(img.getchannel("A"), w, h)
    return _header(w, h, 32, len(xor) + len(mask)) + xor + mask


def dib_8(img):
    """8-bit entry: 256-colour palette; transparency only through the AND mask."""
    w, h = img.size
    alpha = img.getchannel("A")
    solid = Image.new("RGB", img.size, (0, 0, 0))
    solid.paste(img.convert("RGB"), mask=alpha.point(lambda a: 255 if a >= 128 else 0))
    pal_img = solid.quantize(256, method=Image.Quantize.MEDIANCUT,
                             dither=Image.Dither.NONE)
    pal = (pal_img.getpalette() or []) + [0] * 768
    palette = b"".join(struct.pack("BBBB", pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0)
                       for i in range(256))
    px = pal_img.load()
    xor = b"".join(_pad(bytes(px[x, y] for x in range(w))) for y in _rows_bottom_up(h))
    mask = _and_mask(alpha, w, h)
    return _header(w, h, 8, len(xor) + len(mask), 256) + palette + xor + mask


def write_ico(path, images):
    """images: list of RGBA images; each gets an 8-bit and a 32-bit entry."""
    entries = []
    for img in images:
        entries.append((img.size, 32, 0, dib_32(img)))
        entries.append((img.size, 8, 0, dib_8(img)))
    # Colour count 0 for both: 256 colours do not fit the byte, 32-bit has none.
    _write(path, 1, [(w, h, 0, 1, bpp, data) for (w, h), bpp, _, data in entries])


def _write(path, kind, entries):
    """kind 1 icon, 2 cursor; entries (w, h, colours, planes or hot x,
    bit count or hot y, data)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = b""
    for w, h, colours, a, b, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, a, b, len(data),
                           offset + len(blobs))
        blobs += data
    with open(path, "wb") as fh:
        fh.write(out + blobs)


def write_cur(path, rows, hotspot):
    """Monochrome cursor from a picture in text: '#' black, 'o' white, '.' clear."""
    h, w = len(rows), len(rows[0])
    assert all(len(r) == w for r in rows), "cursor rows must be equally long"
    xor, mask = b"", b""
    for y in _rows_bottom_up(h):
        xbits, abits = bytearray(w // 8), bytearray(w // 8)
        for x, c in enumerate(rows[y]):
            bit = 0x80 >> (x % 8)
            if c == "o":
                xbits[x // 8] |= bit
            elif c == ".":
                abits[x // 8] |= bit
        xor += _pad(bytes(xbits))
        mask += _pad(bytes(abits))
    palette = struct.pack("BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    data = _header(w, h, 1, len(xor) + len(mask), 2) + palette + xor + mask
    _write(path, 2, [(w, h, 2, hotspot[0], hotspot[1], data)])
