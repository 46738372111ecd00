#!/usr/bin/python3
"""Check that every dependency under src/ points down the layers.

  check-layers.py [--src DIR]
      Reads every #include "..." line under src/ and fails, naming the file
      and line, on an include that points up or sideways. The layers, bottom
      to top, each allowed to include only its own and the ones below:

        platform/          service interfaces and their plain data types
        shell/framework/   forms, controls, skin, switches, the window port
        screens            shell/ (the rest), tweaks/, companion/, info/
        program/           the composition root
        win32/             the Win32 services, view and entry point

      Within the screens, a folder includes no other screen folder, and no
      file includes the header of a screen (a window kind listed in
      shell/Screen.h) other than its own. platform/ also may not name a type
      of any layer above it, nor forward-declare a type it does not define.
      Prints one PASS line per clean layer and one FAIL line per finding,
      then "layers: N passed, N failed". Exit status 1 on any finding.

  check-layers.py --self-test
      Plants back-edges into copies of src/ (platform including the
      framework, the framework including a screen, a screen including
      another, tweaks including companion, a forward declaration of Form in
      platform/, and more) and proves each is caught at its file and line,
      and that the clean tree passes. Prints "layers-self-test: N passed,
      N failed".
"""
import argparse
import glob
import os
import re
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SRC = os.path.normpath(os.path.join(HERE, "..", "src"))

LAYERS = ["platform", "framework", "screens", "program", "win32"]
RANK = {name: i for i, name in enumerate(LAYERS)}
SCREEN_FOLDERS = ("shell", "tweaks", "companion", "info")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".rc")

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
TYPE_DECLARATION = re.compile(r"\b(?:class|struct|union|enum(?:\s+(?:class|struct))?)\s+([A-Za-z_]\w*)")
ALIAS = re.compile(r"\busing\s+([A-Za-z_]\w*)\s*=")
TEMPLATE_HEAD = re.compile(r"\btemplate\s*<[^>]*>")
FORWARD_DECLARATION = re.compile(r"^\s*(?:class|struct|union|enum(?:\s+(?:class|struct))?)\s+([A-Za-z_]\w*)\s*(?::[^;{]*)?;")
DEFINITION = re.compile(r"\b(?:class|struct|union|enum(?:\s+(?:class|struct))?)\s+([A-Za-z_]\w*)\s*(?:final\s*)?[:{]")
IDENTIFIER = re.compile(r"[A-Za-z_]\w*")
SCREEN_ENUM = re.compile(r"enum\s+class\s+Screen\b[^{;]*\{([^}]*)\}")


class Unit:
    """One file under src/: where it lies and what it is."""

    def __init__(self, rel):
        self.rel = rel
        parts = rel.split("/")
        self.stem = os.path.splitext(parts[-1])[0]
        self.folder = parts[0] if len(parts) > 1 else ""
        if self.folder == "shell" and len(parts) > 2 and parts[1] == "framework":
            self.layer, self.group = "framework", "shell/framework"
        elif self.folder in SCREEN_FOLDERS:
            self.layer, self.group = "screens", self.folder
        elif self.folder in ("platform", "program", "win32"):
            self.layer, self.group = self.folder, self.folder
        else:
            self.layer, self.group = None, None


def strip_comments_and_strings(text):
    """The text with comments, string and character literals blanked out,
    line breaks kept, so that line numbers stay."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def source_files(src):
    found = []
    for root, _, files in os.walk(src):
        for name in files:
            if name.endswith(SOURCE_SUFFIXES):
                found.append(os.path.relpath(os.path.join(root, name), src).replace(os.sep, "/"))
    return sorted(found)


def screen_names(src):
    """The window kinds, as shell/Screen.h lists them."""
    path = os.path.join(src, "shell", "Screen.h")
    if not os.path.isfile(path):
        return None
    m = SCREEN_ENUM.search(strip_comments_and_strings(read(path)))
    if not m:
        return None
    return {name.split("=")[0].strip() for name in m.group(1).split(",") if name.strip()}


def declared_types(text, top_level_only=False):
    """The type names a file declares; with top_level_only, only those at
    namespace scope (written unindented), not the nested ones."""
    code = TEMPLATE_HEAD.sub(" ", strip_comments_and_strings(text))
    if top_level_only:
        code = "\n".join(line for line in code.splitlines() if line[:1] not in (" ", "\t"))
    return set(TYPE_DECLARATION.findall(code)) | set(ALIAS.findall(code))


def resolve(src, including, target):
    """The src-relative path an include names, or None when it names no file
    under src/. Paths are taken from src/ first, then from the including
    file's folder (so "../x/y.h" is followed too)."""
    candidates = [os.path.join(src, target), os.path.join(src, os.path.dirname(including), target)]
    for candidate in candidates:
        full = os.path.normpath(candidate)
        if os.path.isfile(full):
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            if not rel.startswith("../"):
                return rel
    return None


def check(src):
    """Every finding as (file, line, message), and the files per layer."""
    findings = []
    files = source_files(src)
    units = {rel: Unit(rel) for rel in files}
    screens = screen_names(src)
    if screens is None:
        findings.append(("shell/Screen.h", 0, "no enum class Screen with its window kinds: screens cannot be told apart"))
        screens = set()

    def is_screen(unit):
        return unit.layer == "screens" and unit.stem in screens

    for rel in files:
        unit = units[rel]
        if unit.layer is None:
            findings.append((rel, 0, "lies in no layer (expected under %s)" % ", ".join(
                ["platform/", "shell/framework/"] + [f + "/" for f in SCREEN_FOLDERS] + ["program/", "win32/"])))
            continue
        for lineno, line in enumerate(read(os.path.join(src, rel)).splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target_rel = resolve(src, rel, m.group(1))
            if target_rel is None:
                findings.append((rel, lineno, 'includes "%s", which names no file under src/' % m.group(1)))
                continue
            target = units.get(target_rel) or Unit(target_rel)
            if target.layer is None:
                findings.append((rel, lineno, 'includes "%s", which lies in no layer' % m.group(1)))
            elif RANK[target.layer] > RANK[unit.layer]:
                findings.append((rel, lineno, 'includes "%s": %s points up to %s' % (m.group(1), unit.layer, target.layer)))
            elif unit.layer == target.layer == "screens" and unit.group != target.group:
                findings.append((rel, lineno, 'includes "%s": %s/ points sideways to %s/' % (m.group(1), unit.group, target.group)))
            elif unit.layer == "screens" and is_screen(target) and target.stem != unit.stem:
                findings.append((rel, lineno, 'includes "%s": the header of screen %s, which only %s itself may include'
                                 % (m.group(1), target.stem, target.stem)))

    # platform/ names nothing above it.
    above, own = {}, set()
    for rel in files:
        unit = units[rel]
        if unit.layer is None or not rel.endswith((".h", ".hpp")):
            continue
        text = read(os.path.join(src, rel))
        if unit.layer == "platform":
            own |= declared_types(text)
        else:
            for name in declared_types(text, top_level_only=True):
                above.setdefault(name, rel)
    defined_in_platform = set()
    for rel in files:
        if units[rel].layer == "platform":
            code = TEMPLATE_HEAD.sub(" ", strip_comments_and_strings(read(os.path.join(src, rel))))
            defined_in_platform |= set(DEFINITION.findall(code)) | set(ALIAS.findall(code))
    for rel in files:
        if units[rel].layer != "platform":
            continue
        code = strip_comments_and_strings(read(os.path.join(src, rel)))
        for lineno, line in enumerate(code.splitlines(), 1):
            if INCLUDE.match(line):
                continue
            forward = FORWARD_DECLARATION.match(line)
            if forward and forward.group(1) not in defined_in_platform:
                findings.append((rel, lineno, "forward-declares %s, which platform/ does not define" % forward.group(1)))
                continue
            for name in IDENTIFIER.findall(line):
                if name in above and name not in own:
                    findings.append((rel, lineno, "names %s, a type of %s (%s)" % (name, units[above[name]].layer, above[name])))
                    break
    return findings, units


def run(src):
    findings, units = check(src)
    failed_layers = set()
    for rel, lineno, message in findings:
        layer = units[rel].layer if rel in units else None
        failed_layers.add(layer)
        where = "src/%s:%d" % (rel, lineno) if lineno else "src/%s" % rel
        print("FAIL %s: %s" % (where, message))
    passed = 0
    for layer in LAYERS:
        count = sum(1 for u in units.values() if u.layer == layer)
        if count and layer not in failed_layers:
            passed += 1
            print("PASS %s: %d files, every include points down or within its own part" % (layer, count))
    print("layers: %d passed, %d failed" % (passed, len(findings)))
    return 0 if not findings else 1


# --- self-test -------------------------------------------------------------------------


def insert_after_first(path, pattern, text):
    """Inserts a line after the first line matching pattern; returns its line number."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for i, line in enumerate(lines):
        if re.match(pattern, line):
            lines.insert(i + 1, text)
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            return i + 2
    raise RuntimeError("no line matching %r in %s" % (pattern, path))


def first(src, pattern, exclude=None):
    for rel in sorted(glob.glob(os.path.join(src, pattern))):
        rel = os.path.relpath(rel, src).replace(os.sep, "/")
        if exclude is None or not exclude(rel):
            return rel
    raise RuntimeError("nothing matches %s" % pattern)


def screen_modules(src, folder):
    names = screen_names(src) or set()
    stems = sorted({os.path.splitext(os.path.basename(p))[0] for p in glob.glob(os.path.join(src, folder, "*.h"))})
    return [s for s in stems if s in names]


def plant_include(src, file_pattern, target_rel):
    rel = first(src, file_pattern)
    line = insert_after_first(os.path.join(src, rel), r'#\s*include\s+"|#\s*pragma\s+once', '#include "%s"' % target_rel)
    return rel, line


def plant_line(src, file_pattern, text):
    rel = first(src, file_pattern)
    line = insert_after_first(os.path.join(src, rel), r"namespace\s+velmora\b.*\{", text)
    return rel, line


def plants():
    """(what, plant): plant(src) changes the copy and returns the file and
    line where the finding must be reported."""
    def screen_header(src):
        return "shell/%s.h" % screen_modules(src, "shell")[0]

    def another_screen(folder):
        def plant(src):
            a, b = screen_modules(src, folder)[:2]
            return plant_include(src, "%s/%s.cpp" % (folder, a), "%s/%s.h" % (folder, b))
        return plant

    return [
        ("platform includes the framework",
         lambda src: plant_include(src, "platform/*.h", "shell/framework/Form.h")),
        ("platform includes the framework by a relative path",
         lambda src: plant_include(src, "platform/*.cpp", "../shell/framework/Control.h")),
        ("platform includes win32",
         lambda src: plant_include(src, "platform/*.h", first(src, "win32/*.h"))),
        ("the framework includes a screen",
         lambda src: plant_include(src, "shell/framework/*.cpp", screen_header(src))),
        ("the framework includes the program",
         lambda src: plant_include(src, "shell/framework/*.h", first(src, "program/*.h"))),
        ("a shell screen includes another screen's header", another_screen("shell")),
        ("a tweak page includes another tweak page's header", another_screen("tweaks")),
        ("tweaks includes companion",
         lambda src: plant_include(src, "tweaks/*.cpp", first(src, "companion/*.h"))),
        ("info includes tweaks",
         lambda src: plant_include(src, "info/*.h", first(src, "tweaks/*.h"))),
        ("companion includes a shell screen",
         lambda src: plant_include(src, "companion/*.cpp", screen_header(src))),
        ("a screen includes the program",
         lambda src: plant_include(src, "tweaks/*.h", first(src, "program/*.h"))),
        ("the program includes win32",
         lambda src: plant_include(src, "program/*.cpp", first(src, "win32/*.h"))),
        ("platform forward-declares Form",
         lambda src: plant_line(src, "platform/*.h", "class Form;")),
        ("platform forward-declares Control as a struct",
         lambda src: plant_line(src, "platform/*.h", "struct Control;")),
        ("platform names a framework type",
         lambda src: plant_line(src, "platform/*.h", "void show(const velmora::Control& control);")),
    ]


def self_test():
    passed = failed = 0

    def result(ok, text):
        nonlocal passed, failed
        print("%s %s" % ("PASS" if ok else "FAIL", text))
        if ok:
            passed += 1
        else:
            failed += 1

    with tempfile.TemporaryDirectory(prefix="velmora-layers-") as tmp:
        clean = os.path.join(tmp, "clean")
        shutil.copytree(DEFAULT_SRC, clean)
        findings, _ = check(clean)
        result(not findings, "the tree as it is passes" +
               "".join("\n     found: src/%s:%d: %s" % f for f in findings))

        for i, (what, plant) in enumerate(plants()):
            copy = os.path.join(tmp, "case%d" % i)
            shutil.copytree(DEFAULT_SRC, copy)
            try:
                rel, line = plant(copy)
            except (RuntimeError, IndexError, ValueError) as e:
                result(False, "%s: could not be planted (%s)" % (what, e))
                continue
            findings, _ = check(copy)
            caught = [f for f in findings if f[0] == rel and f[1] == line]
            result(bool(caught), "%s: %s" % (what, ("caught at src/%s:%d (%s)" % (rel, line, caught[0][2])) if caught
                                             else "not caught at src/%s:%d" % (rel, line)))
    print("layers-self-test: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--src", default=DEFAULT_SRC, help="the source tree (default: src/)")
    parser.add_argument("--self-test", action="store_true", help="prove the check on planted back-edges")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    return run(os.path.abspath(args.src))


if __name__ == "__main__":
    sys.exit(main())
