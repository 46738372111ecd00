"""The catalogue of Velmora's pictures: what each one shows and how it is made.

Each entry is Pic(id, width, height, ...):
  art      SVG body (string) drawn in the picture's own coordinates, written
           to assets/<id>.svg and rendered; None for pure crops
  over     (source id, x, y): the picture starts as that crop of an already
           rendered picture, and the art is drawn over it (buttons sitting on
           the sky, tabs, etc.)
  outline  (x, y): where the picture sits in a 580 x 350 window whose corners
           are rounded; pixels outside the outline become transparent
  matte    colour that half-transparent edges are blended into before the
           alpha is made hard (pictures with a free-form shape)
  keep     colours that must survive palette reduction exactly
  palette  False keeps the picture in full RGB(A)

Order matters: a crop or an `over` refers to pictures listed before it.
"""
from dataclasses import dataclass, field
from typing import Optional

import art
from art import g, text, vtext, svg, TILE

PAGE = "common/page_background"
MAIN = "formmain/background"


@dataclass
class Pic:
    id: str
    w: int
    h: int
    art: Optional[str] = None
    over: Optional[tuple] = None
    outline: Optional[tuple] = None
    matte: Optional[tuple] = None
    keep: list = field(default_factory=list)
    palette: bool = True
    note: str = ""

    def svg_text(self):
        return svg(self.w, self.h, self.art, self.note) if self.art else None


def hexrgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (1, 3, 5))


# ---------------------------------------------------------------- main window

TILE_PLACES = [(48, 52), (301, 52), (48, 199), (301, 199)]
# (kind, normal id/size/place, hover id, pressed id/size/place)
TILES = [
    ("desktop", ("Image4", 231, 130, 48, 52), "DTF", ("Image5", 230, 130, 51, 55)),
    ("system", ("Image6", 230, 130, 301, 52), "SYF", ("Image7", 230, 131, 304, 55)),
    ("style", ("Image8", 230, 129, 48, 199), "MSF", ("Image9", 230, 130, 51, 202)),
    ("more", ("Image10", 230, 130, 301, 199), "MF", ("Image11", 230, 130, 304, 202)),
]


def main_overlay():
    """What the main window adds to the shared sky: tile places and side tabs."""
    places = "".join(
        f'<rect x="{x + 3}" y="{y + 4}" width="231" height="131" fill="#0b2f66" '
        f'fill-opacity="0.35" filter="url(#soft)"/>'
        f'<rect x="{x - 0.5}" y="{y - 0.5}" width="232" height="132" fill="#ffffff" '
        f'fill-opacity="0.12" stroke="#ffffff" stroke-opacity="0.55"/>'
        for x, y in TILE_PLACES)
    tabs = "".join(art.tab_shape(*t) for t in art.TABS.values())
    return places + tabs


# Screenshots of the main window under Wine, taken by
# tools/capture-main-window.py; paths relative to assets/formload/.
SHOT_PLAIN = "screenshots/main-window.png"
SHOT_DESKTOP = "screenshots/main-window-desktop.png"
SHOT_MORE = "screenshots/main-window-more.png"


# The soft shadow under the screenshot prints.
CARD_SHADOW = """<defs><filter id="cardshadow" x="-25%" y="-25%" width="160%" height="170%">
  <feGaussianBlur in="SourceAlpha" stdDeviation="4.5"/>
  <feOffset dx="3" dy="5" result="b"/>
  <feFlood flood-color="#0b2f66" flood-opacity="0.5"/>
  <feComposite in2="b" operator="in"/>
  <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
</filter></defs>"""


def snapshot(x, y, scale, angle, shot):
    """A real screenshot of the main window on a white print with rounded
    corners and a soft shadow, centred on (x, y) and turned by angle degrees."""
    w, h = 580 * scale, 350 * scale
    r = 10 * scale
    frame = (f'<rect x="-4" y="-4" width="{art.f(w + 8)}" height="{art.f(h + 8)}" '
             f'rx="{art.f(r + 4)}" fill="#ffffff"/>'
             f'<rect x="-3.5" y="-3.5" width="{art.f(w + 7)}" height="{art.f(h + 7)}" '
             f'rx="{art.f(r + 3.5)}" fill="none" stroke="#c9d6e8" stroke-width="1"/>')
    picture = (f'<image x="0" y="0" width="{art.f(w)}" height="{art.f(h)}" '
               f'preserveAspectRatio="none" xlink:href="{shot}"/>')
    return g(frame + picture,
             f"translate({x},{y}) rotate({angle}) translate({art.f(-w / 2)},{art.f(-h / 2)})",
             'filter="url(#cardshadow)"')


def big_vertical(word, x=512, y=150, size=80):
    return g(vtext(word, x, y, size, size * 1.05, weight="bold",
                   extra='stroke="#1f58ad" stroke-width="2.5" paint-order="stroke"'),
             extra='filter="url(#dshadow)"')


# ---------------------------------------------------------------- splash

def splash_default():
    return (art.sky() + g(art.emblem(), "translate(22,78) scale(1.75)")
            + g(text(210, 158, "维尔莫拉", 56, weight="bold")
                + text(214, 204, "Velmora", 34)
                + text(214, 246, "强大、简单、方便的系统优化软件", 19),
                extra='filter="url(#tshadow)"')
            + '<rect x="214" y="218" width="290" height="2" fill="#ffffff" fill-opacity="0.6"/>'
            + art.credit())


def splash_collage():
    cards = (snapshot(212, 206, 0.4, -15, SHOT_PLAIN) + snapshot(234, 182, 0.4, -3, SHOT_MORE)
             + snapshot(256, 170, 0.4, 9, SHOT_DESKTOP))
    return CARD_SHADOW + art.sky() + cards + big_vertical("华丽") + art.credit()


def hand_drawing():
    """Cartoon glove hand pointing right, about 95 x 60, origin at the cuff."""
    s = 'stroke="#1f3f72" stroke-width="2.4" stroke-linejoin="round"'
    return (f'<rect x="-16" y="2" width="20" height="46" rx="5" fill="#5b8fe0" {s}/>'
            f'<rect x="2" y="0" width="50" height="50" rx="17" fill="#ffffff" {s}/>'
            f'<rect x="34" y="4" width="56" height="15" rx="7.5" fill="#ffffff" {s}/>'
            f'<rect x="40" y="19" width="20" height="12" rx="6" fill="#ffffff" {s}/>'
            f'<rect x="38" y="29" width="19" height="11" rx="5.5" fill="#ffffff" {s}/>'
            f'<rect x="35" y="38" width="17" height="11" rx="5.5" fill="#ffffff" {s}/>'
            f'<path d="M14,8 C20,-6 36,-8 40,2" fill="#ffffff" {s}/>'
            '<path d="M10,14 C14,20 18,22 24,22" fill="none" stroke="#1f3f72" '
            'stroke-width="1.6" stroke-linecap="round"/>')


def ribbon():
    band = ("M30,150 C110,120 190,175 270,150 C330,131 380,140 430,150 "
            "L430,204 C380,194 330,185 270,204 C190,229 110,174 30,204 Z")
    tails = ('<path d="M30,160 L0,160 L14,185 L0,212 L38,212 Z" fill="#c2461f"/>'
             '<path d="M430,158 L466,158 L452,183 L466,210 L424,210 Z" fill="#c2461f"/>')
    return (g(tails + f'<path d="{band}" fill="#f26a2e" stroke="#ffffff" stroke-width="3"/>'
              f'<path d="{band}" fill="none" stroke="#a8381a" stroke-width="1.2" '
              'stroke-dasharray="5 4" opacity="0.5"/>',
              extra='filter="url(#dshadow)"')
            + art.lettering("快让我的电脑变酷！", 62, 188, 40, 43,
                            [(-6, -3, 1.0), (4, 2, 0.95), (-3, 4, 1.05), (5, -1, 0.95),
                             (-4, -4, 1.0), (6, 1, 1.05), (-5, 3, 0.95), (3, -2, 1.0),
                             (8, -3, 1.0)]))


def splash_ribbon():
    return (art.sky() + g(ribbon(), "translate(18,-4) rotate(-4 250 175) scale(0.94)")
            + g(hand_drawing(), "translate(40,262) rotate(-24) scale(1.15)",
                'filter="url(#dshadow)"')
            + big_vertical("强大") + art.credit())


def splash_stack():
    cards = (snapshot(190, 150, 0.46, -11, SHOT_MORE) + snapshot(228, 178, 0.46, -7, SHOT_DESKTOP)
             + snapshot(266, 206, 0.46, -3, SHOT_PLAIN))
    return CARD_SHADOW + art.sky() + cards + big_vertical("极致") + art.credit()


# ---------------------------------------------------------------- pages

def page_background():
    return art.sky() + art.title_strip() + art.window_edge()


def loading_overlay():
    """A pane of frosted glass across the middle with the two lines on it."""
    pane = ('<rect x="118" y="118" width="344" height="128" rx="16" fill="#0f3a78" '
            'fill-opacity="0.22" filter="url(#soft)"/>'
            '<rect x="116.5" y="114.5" width="347" height="129" rx="15" fill="#ffffff" '
            'fill-opacity="0.16" stroke="#ffffff" stroke-opacity="0.6"/>'
            '<rect x="118" y="116" width="344" height="56" rx="14" fill="url(#gloss)"/>')
    words = g(text(290, 184, "加载数据 ...", 48, anchor="middle", weight="bold")
              + text(290, 222, "Loading...", 21, anchor="middle",
                     extra='letter-spacing="1" fill-opacity="0.95"'),
              extra='filter="url(#tshadow)"')
    return pane + words


def more_overlay():
    j1 = [(-5, 0, 1.0), (3, 4, 0.94), (-2, -3, 1.04), (6, 2, 0.97), (0, 6, 0.9)]
    j2 = [(4, 2, 0.98), (-4, -2, 1.03), (2, 3, 0.96), (-6, 0, 1.02), (3, 4, 0.9)]
    return (art.lettering("更多功能，", 112, 160, 64, 66, j1)
            + art.lettering("敬请期待。", 152, 250, 64, 66, j2))


def page_button(kind, state):
    if kind == "save":
        return art.push_button(art.save_icon(), "保存", 55, 90, state, 76)
    return art.push_button(g(art.arrow("left"), "translate(2.5,14)"), "返回", 55, 80, state, 72)


def help_back():
    """The help page's back picture: the page buttons' arrow and word, drawn
    over the sky it covers, with its shadows inside the picture."""
    return (art.BUTTON_DEFS
            + g(g(art.arrow("left", 0.9), "translate(8.5,5)"), extra='filter="url(#bshadow)"')
            + text(31, 55, "返回", 14, anchor="middle", extra='filter="url(#tshadow)"'))


# ---------------------------------------------------------------- about page

def rainbow():
    colours = ["#9a6ad8", "#4f86e6", "#37c0d6", "#55c567", "#f0cf45", "#f49a44", "#ee79ae"]
    stops = []
    n = len(colours)
    for i, c in enumerate(colours):
        a, b = i / n, (i + 1) / n
        stops.append(f'<stop offset="{a + 0.012:.3f}" stop-color="{c}"/>'
                     f'<stop offset="{b - 0.012:.3f}" stop-color="{c}"/>')
    grad = (f'<linearGradient id="rainbow" gradientUnits="userSpaceOnUse" '
            f'x1="0" y1="0" x2="480" y2="300">{"".join(stops)}</linearGradient>')
    return (f"<defs>{grad}</defs>"
            '<rect width="580" height="350" fill="url(#rainbow)"/>'
            '<rect width="580" height="350" fill="url(#sun)"/>'
            '<rect width="580" height="175" fill="url(#gloss)"/>')


def key_icon():
    return ('<circle cx="0" cy="0" r="12" fill="url(#silver)" stroke="#5d6875" stroke-width="2"/>'
            '<circle cx="0" cy="0" r="4.5" fill="#8fa7c9" stroke="#5d6875" stroke-width="1.5"/>'
            '<path d="M11,-3 H44 V3 H40 V10 H35 V3 H31 V8 H26 V3 H11 Z" fill="url(#silver)" '
            'stroke="#5d6875" stroke-width="1.6" stroke-linejoin="round"/>')


def padlock_icon():
    return ('<path d="M-11,0 V-9 A11,11 0 0 1 11,-9 V0" fill="none" stroke="#8a94a3" '
            'stroke-width="5"/>'
            '<rect x="-17" y="-1" width="34" height="28" rx="5" fill="url(#silver)" '
            'stroke="#5d6875" stroke-width="1.6"/>'
            '<g stroke="#2c4f86" stroke-width="2" fill="none" stroke-linecap="round">'
            '<path d="M0,22 V4 M0,15 L-7,10 V7 M0,18 L7,12 V9"/></g>'
            '<circle cx="0" cy="23" r="2.6" fill="#2c4f86"/>'
            '<path d="M-2.5,5 L0,1 L2.5,5 Z" fill="#2c4f86"/>'
            '<circle cx="-7" cy="6" r="2" fill="#2c4f86"/>'
            '<rect x="5.2" y="6.5" width="3.6" height="3.6" fill="#2c4f86"/>')


def caption_box(x, y, w, h, label, size):
    return (f'<rect x="{x + 1}" y="{y + 1}" width="{w - 2}" height="{h - 2}" rx="7" '
            'fill="#173a74" fill-opacity="0.55" stroke="#ffffff" stroke-opacity="0.7"/>'
            + text(x + w / 2, y + h / 2 + size * 0.36, label, size, anchor="middle",
                   extra='filter="url(#tshadow)"'))


def maker_logo(x, y):
    mark = ('<path d="M-22,-16 C-14,-16 -4,-4 0,12 C-8,6 -18,-4 -22,-16 Z" fill="#2f86d8"/>'
            '<path d="M22,-16 C14,-16 4,-4 0,12 C8,6 18,-4 22,-16 Z" fill="#3cb04a"/>'
            '<circle cx="0" cy="-12" r="4" fill="#f2a33a"/>')
    return (f'<rect x="{x}" y="{y}" width="121" height="90" rx="8" fill="#ffffff" '
            'stroke="#cfd8e6"/>'
            + g(mark, f"translate({x + 60.5},{y + 30})")
            + text(x + 60.5, y + 64, "Velmora Studio", 15, fill="#234a86", anchor="middle")
            + text(x + 60.5, y + 80, "维尔莫拉工作室", 10.5, fill="#5b6f8e", anchor="middle"))


def microblog_logo(x, y):
    bubble = ('<path d="M0,-12 C9,-12 14,-6 14,0 C14,7 8,12 0,12 C-2,12 -4,11.6 -5,11 '
              'L-12,14 L-9.5,8 C-12,5.5 -14,3 -14,0 C-14,-6 -9,-12 0,-12 Z" fill="#f07a2a"/>'
              '<path d="M-6,0 A6,6 0 0 1 6,0" fill="none" stroke="#ffffff" stroke-width="2.2" '
              'stroke-linecap="round"/>'
              '<circle cx="0" cy="3" r="2.2" fill="#ffffff"/>')
    return (f'<rect x="{x}" y="{y}" width="120" height="36" rx="6" fill="#ffffff" '
            'stroke="#cfd8e6"/>'
            + g(bubble, f"translate({x + 19},{y + 17})")
            + text(x + 38, y + 17, "微言", 14, fill="#d5621c", weight="bold")
            + text(x + 38, y + 30, "micro.example.net", 9.5, fill="#4d5d78"))


def about_background():
    return (rainbow()
            + g(key_icon(), "translate(34,76) rotate(-35) scale(0.9)", 'filter="url(#dshadow)"')
            + caption_box(80, 57, 101, 31, "文件保险箱", 17)
            + g(padlock_icon(), "translate(44,138)", 'filter="url(#dshadow)"')
            + caption_box(82, 130, 96, 29, "Vaultick", 17)
            + g(maker_logo(21, 178), extra='filter="url(#dshadow)"')
            + g(microblog_logo(21, 280), extra='filter="url(#dshadow)"')
            + g(text(212, 140, "维尔莫拉", 48, weight="bold")
                + text(216, 184, "Velmora", 32)
                + text(218, 214, "Version 1.5", 16), extra='filter="url(#tshadow)"')
            + g(art.emblem(), "translate(438,62) scale(1.18)")
            + g(art.arrow("right"), "translate(491,267)")
            + text(516, 318, "收 起", 15, anchor="middle", extra='filter="url(#tshadow)"')
            + text(290, 341, "© Velmora Studio 版权所有", 11, anchor="middle",
                   extra='filter="url(#tshadow)"')
            + art.window_edge())


# ---------------------------------------------------------------- companion skins

def note_skin_fox():
    fox = ('<path d="M0,-2 L-9,-14 L-8,1 Z M0,-2 L9,-14 L8,1 Z" fill="#f08a2c"/>'
           '<path d="M-11,0 C-11,-8 11,-8 11,0 C11,6 4,12 0,13 C-4,12 -11,6 -11,0 Z" '
           'fill="#f08a2c"/>'
           '<path d="M-10,3 C-6,4 -2,8 0,13 C2,8 6,4 10,3 C7,10 3,13 0,13 C-3,13 -7,10 -10,3 Z" '
           'fill="#ffffff"/>'
           '<circle cx="-4.5" cy="1" r="1.4" fill="#5a3418"/>'
           '<circle cx="4.5" cy="1" r="1.4" fill="#5a3418"/>'
           '<circle cx="0" cy="9.5" r="1.3" fill="#5a3418"/>')
    sheet = "M6,12 H74 V88 H16 L6,78 Z"
    lines = "".join(f'<path d="M14,{y} H66" stroke="#e6c96a" stroke-width="0.8" opacity="0.6"/>'
                    for y in (30, 40, 50, 60))
    return (f'<path d="{sheet}" fill="#fff3a8" stroke="#e2c55f" stroke-width="1"/>' + lines
            + '<path d="M6,78 L16,88 C14,82 13,80 6,78 Z" fill="#f7e08a" stroke="#d2b24e" '
            'stroke-width="0.8"/>'
            + '<path d="M16,88 C14,82 13,80 6,78 L13,76 C15,80 16,84 16,88 Z" fill="#e9cf6c" '
            'opacity="0.7"/>'
            + g(fox, "translate(60,70)", 'opacity="0.45"')
            + '<rect x="25" y="3" width="30" height="14" fill="#9a6a3c" fill-opacity="0.9" '
            'transform="rotate(-4 40 10)"/>')


def note_skin_plain():
    tape = '<rect x="-14" y="-5.5" width="28" height="11" fill="#f5cf3c" fill-opacity="0.92"/>'
    return ('<rect x="7" y="8" width="66" height="81" fill="#fffaf0" stroke="#ddd2b6"/>'
            + g(tape, "translate(12,13) rotate(-45)") + g(tape, "translate(68,13) rotate(45)"))


# ---------------------------------------------------------------- catalogue

def catalogue():
    pics = []
    add = pics.append
    BG = (74, 114, 190)
    # Shared pieces of every page.
    add(Pic(PAGE, 580, 350, page_background(), outline=(0, 0),
            note="The sky of the setting pages."))
    add(Pic("common/titlebar", 580, 37, over=(PAGE, 0, 0), outline=(0, 0)))
    add(Pic("common/close_normal", 34, 18, art.close_button(), outline=(546, 0)))
    add(Pic("common/close_hover", 34, 18, art.close_button(True), outline=(546, 0)))
    for kind, h, x, y in (("save", 90, 480, 72), ("back", 80, 480, 208)):
        for state in ("normal", "hover", "pressed"):
            dx = 3 if state == "pressed" else 0
            add(Pic(f"common/{kind}_{state}", 55, h, page_button(kind, state),
                    over=(PAGE, x + dx, y + dx), note="Drawn over the page sky."))
    # Main window.
    add(Pic(MAIN, 580, 350, main_overlay(), over=(PAGE, 0, 0), outline=(0, 0),
            note="Drawn over common/page_background."))
    add(Pic("formmain/Image1", 27, 18, art.minimise_button()))
    for kind, (name, w, h, _, _), hover, (pname, pw, ph, _, _) in TILES:
        normal, pressed = TILE[kind]
        add(Pic(f"formmain/{name}", w, h, art.tile(kind, w, h), keep=[hexrgb(normal)]))
        add(Pic(f"formmain/{hover}", 234, 134, art.tile(kind, 234, 134, "hover"),
                keep=[hexrgb(normal)]))
        add(Pic(f"formmain/{pname}", pw, ph, art.tile(kind, pw, ph, "pressed"),
                keep=[hexrgb(pressed)]))
    for name, (x, y, w, h, side, title) in art.TABS.items():
        add(Pic(f"formmain/{name}", w, h, over=(MAIN, x, y), outline=(x, y)))
        # Hover tabs: right ones are 2 px wider (GY2 grows to the left, BZ2
        # sits 1 px lower); left ones have the size of the normal tab.
        hx, hy, hw = {"GY": (x - 1, y, w + 2), "BZ": (x, y + 1, w + 2)}.get(name, (x, y, w))
        add(Pic(f"formmain/{name}2", hw, h, art.tab_shape(0, 0, hw, h, side, title, hover=True),
                over=(PAGE, hx, hy), outline=(hx, hy), note="Drawn over the page sky."))
    # Other pages.
    add(Pic("loading/background", 580, 350, loading_overlay(), over=(PAGE, 0, 0),
            outline=(0, 0), note="Drawn over common/page_background."))
    add(Pic("form4/background", 580, 350, more_overlay(), over=(PAGE, 0, 0),
            outline=(0, 0), note="Drawn over common/page_background."))
    add(Pic("form5/Image3", 62, 62,
            help_back(),
            over=(PAGE, 497, 268), note="Drawn over the page sky."))
    # Many colours on the stripes: kept in full colour.
    add(Pic("form6/background", 580, 350, about_background(), outline=(0, 0),
            palette=False))
    for name, (x, y, w, h) in {"Image1": (80, 57, 101, 31), "Image2": (82, 130, 96, 29),
                               "Image3": (21, 178, 121, 90), "Image4": (21, 280, 120, 36),
                               "Image5": (486, 262, 60, 60)}.items():
        add(Pic(f"form6/{name}", w, h, over=("form6/background", x, y)))
    add(Pic("dlb/skinimage1", 80, 93, note_skin_fox(), matte=BG))
    add(Pic("dlb/skinimage2", 80, 93, note_skin_plain(), matte=BG))
    # Splash pictures (opaque, no outline).
    add(Pic("formload/background", 580, 350, splash_default()))
    add(Pic("formload/rnd2", 580, 350, splash_collage()))
    add(Pic("formload/rnd3", 580, 350, splash_ribbon()))
    add(Pic("formload/rnd4", 580, 350, splash_stack()))
    return pics


def icon_svg(size):
    """The program icon: detailed for 32 px and up, bolder below."""
    simple = size < 32
    body = g(art.emblem(simple), "translate(50,49) scale(1.08) translate(-50,-51)")
    return svg(100, 100, body, "Program icon (velmora.ico).")
