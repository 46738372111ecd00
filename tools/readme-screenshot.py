#!/usr/bin/python3
"""Refresh docs/main-window.png, the main window the README shows, from the
screen tour's screenshot.

    tests/e2e/run_all.py --suite screens   # leaves build/e2e-screens/screen-main.png
    tools/readme-screenshot.py [--from PNG]

The tour shows the main window centred on the virtual display with the
pointer away from it, so nothing is hovered. The window is cut out along its
rounded outline (the corners become transparent); the cut refuses a
screenshot whose corners do not show the desktop, that is, one where the
window is not where it is looked for."""
import argparse
import importlib.util
import os
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tools", "assets"))

from PIL import Image  # noqa: E402

import ui  # noqa: E402

OUT = os.path.join(ROOT, "docs", "main-window.png")
TOUR_SHOT = os.path.join(ROOT, "build", "e2e-screens", "screen-main.png")


def _capture_tool():
    """tools/capture-main-window.py, whose cut along the outline this uses too."""
    spec = importlib.util.spec_from_file_location("capture_main_window",
                                                  os.path.join(ROOT, "tools", "capture-main-window.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--from", dest="source", default=TOUR_SHOT)
    args = ap.parse_args()
    if not os.path.isfile(args.source):
        raise SystemExit("%s is missing: run tests/e2e/run_all.py --suite screens first" % args.source)
    window = _capture_tool().cut(Image.open(args.source).convert("RGB"), ui.centred(ui.PAGE_SIZE))
    window.save(OUT, optimize=True)
    print("wrote", os.path.relpath(OUT, ROOT))
    return 0


if __name__ == "__main__":
    sys.exit(main())
