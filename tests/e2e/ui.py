"""Velmora's screens as the end-to-end tests see them: captions, window
sizes, where each screen opens, and the window-relative boxes and points
that the tests press. Every window opens centred on the 1024x768 display."""
from harness import SCREEN_H, SCREEN_W

SPLASH = "加载中..."
MAIN = "Velmora"
LOADING = ""  # Loading has no caption
DESKTOP, SECURITY, TITLE, MORE = "桌面及菜单", "系统", "其它", "更多"
PINNOTE, HELP, ABOUT = "Pinnote", "帮助", "更多"
NOTICE = "注意"
ERROR = "错误"  # the stop message's title

PAGE_SIZE = (580, 350)
# The help and about pictures are one pixel larger each way.
INFO_SIZE = (581, 351)


def centred(size=PAGE_SIZE):
    w, h = size
    return ((SCREEN_W - w) // 2, (SCREEN_H - h) // 2, w, h)


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def inside(box, point):
    x, y, w, h = box
    return x <= point[0] < x + w and y <= point[1] < y + h


# Main window (window-relative boxes x, y, w, h).
TILES = {  # the tile's normal picture, the page it opens
    "Desktop": ((48, 52, 231, 130), DESKTOP),
    "System": ((301, 52, 230, 130), SECURITY),
    "My Style": ((48, 199, 230, 130), TITLE),
    "More": ((301, 199, 230, 130), MORE),
}
TABS = {  # the tab's picture, what it opens
    "Pinnote": ((0, 43, 27, 105), PINNOTE),
    "text tool": ((0, 149, 27, 105), NOTICE),
    "about": ((552, 41, 27, 77), ABOUT),
    "help": ((552, 119, 27, 77), HELP),
}
MINIMISE_BOX = (518, 0, 27, 18)
CLOSE_BOX = (546, 0, 34, 18)

# Pages with the standard buttons.
SAVE_BOX = (480, 72, 55, 90)
BACK_BOX = (480, 208, 55, 80)
SAVE, BACK = centre(SAVE_BOX), centre(BACK_BOX)
# The help page's back picture and the about page's arrow.
HELP_BACK_BOX = (497, 268, 62, 62)
ABOUT_BACK_BOX = (486, 262, 60, 60)
# The about page's spots that start the browser.
ABOUT_WEB_SPOTS = [(80, 57, 101, 32), (21, 178, 121, 90), (21, 280, 120, 36)]
ABOUT_VAULTICK = (82, 130, 96, 29)

# Every page: caption, size, and the box that returns to the main window.
PAGES = {
    "Form1": (DESKTOP, PAGE_SIZE, BACK_BOX),
    "Form2": (SECURITY, PAGE_SIZE, BACK_BOX),
    "Form3": (TITLE, PAGE_SIZE, BACK_BOX),
    "Form4": (MORE, PAGE_SIZE, BACK_BOX),
    "DLB": (PINNOTE, PAGE_SIZE, BACK_BOX),
    "Form5": (HELP, INFO_SIZE, HELP_BACK_BOX),
    "Form6": (ABOUT, INFO_SIZE, ABOUT_BACK_BOX),
}
PAGE_CAPTIONS = sorted({caption for caption, _, _ in PAGES.values()})


def grown(box, margin):
    x, y, w, h = box
    return (x - margin, y - margin, w + 2 * margin, h + 2 * margin)


# Input that must never be sent at random: the main window's close picture
# ends the program and its minimise picture takes the window out of reach;
# a save button writes the registry or the settings store; the about page's
# spots start a browser. The boxes are a few pixels larger than the pictures.
# A box belongs to a window caption and size.
FORBIDDEN = [
    (MAIN, PAGE_SIZE, [grown(MINIMISE_BOX, 3), grown(CLOSE_BOX, 3)]),
    (DESKTOP, PAGE_SIZE, [grown(SAVE_BOX, 4)]),
    (SECURITY, PAGE_SIZE, [grown(SAVE_BOX, 4)]),
    (TITLE, PAGE_SIZE, [grown(SAVE_BOX, 4)]),
    (PINNOTE, PAGE_SIZE, [grown(SAVE_BOX, 4)]),
    (ABOUT, INFO_SIZE, [grown(b, 3) for b in ABOUT_WEB_SPOTS]),
]


def forbidden_boxes(caption, size):
    for c, s, boxes in FORBIDDEN:
        if c == caption and s == tuple(size):
            return boxes
    return []


def forbidden_on_screen(current=None):
    """Screen boxes where no press may land: those of every screen where it
    opens (centred; any of them can appear between a look and a press), and
    those of the window on view where it is now (it may have been dragged).
    current: (caption, (x, y, w, h)) or None."""
    boxes = []
    for caption, size, rel in FORBIDDEN:
        ox, oy, _, _ = centred(size)
        boxes += [(ox + x, oy + y, w, h) for x, y, w, h in rel]
    if current and current[0] is not None:
        caption, (gx, gy, gw, gh) = current
        boxes += [(gx + x, gy + y, w, h) for x, y, w, h in forbidden_boxes(caption, (gw, gh))]
    return boxes


# Points worth pressing on each screen (window-relative): the random run
# aims at them half of the time, so that the short runs of the test command
# still tick boxes, type, and leave pages by every way.
def _boxes(frame_top):
    return [(86, frame_top + 24 * n + 8) for n in range(1, 8)]


_STANDARD = [BACK, centre(CLOSE_BOX), centre(SAVE_BOX)]
HOTSPOTS = {
    (MAIN, PAGE_SIZE): [centre(b) for b, _ in TILES.values()] + [centre(b) for b, _ in TABS.values()],
    (DESKTOP, PAGE_SIZE): _boxes(56) + _STANDARD,
    (SECURITY, PAGE_SIZE): _boxes(48) + _STANDARD,
    (TITLE, PAGE_SIZE): [(244, 78)] * 3 + _STANDARD,
    (MORE, PAGE_SIZE): [BACK, centre(CLOSE_BOX)],
    (PINNOTE, PAGE_SIZE): [(24 + x, 56 + y) for x, y in
                           [(56, 70), (160, 70), (40, 132), (150, 132), (26, 164), (264, 164), (288, 164),
                            (312, 164)]] + _STANDARD,
    (HELP, INFO_SIZE): [centre(HELP_BACK_BOX), centre(CLOSE_BOX), (250, 100)],
    (ABOUT, INFO_SIZE): [centre(ABOUT_VAULTICK), centre(ABOUT_BACK_BOX)],
}
