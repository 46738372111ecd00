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
