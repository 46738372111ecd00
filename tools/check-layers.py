#!/usr/bin/python3
"""Check that every dependency of Velmora's code points down the layers.

  check-layers.py [--src DIR]
      The layers, bottom to top, each allowed to use only its own and the
      ones below (CMake library in brackets):

        platform/          service interfaces, their data types  (velmora_platform)
        shell/framework/   forms, controls, skin, switches, port (velmora_framework)
        screens            shell/ (the rest), tweaks/, companion/, info/
                                                                 (velmora_screens)
        program/           the composition root                  (velmora_program)
        win32/             Win32 services, view, entry point     (velmora_win32,
                           and on top of it the exes velmora and velmora_trace)

      Within the screens, a folder uses no other screen folder, and only a
      screen itself uses its header (a window kind of enum class Screen).

      Under src/ it reads every #include, "quoted" or <angled>, resolved as
      the compiler does (quoted ones from the including file's folder
      first, then from src/ and the repository root; a "../" path that
      resolves nowhere is read from src/ by what follows its "../"), and
      every type name outside comments and strings: a name that only a
      header of a higher layer, another screen folder or another screen
      defines is a finding (forward declarations included), unless a header
      the file may include, or the file itself, defines a type of that name
      too. platform/ also forward-declares nothing it does not define.
      Beside src/ it reads CMakeLists.txt and every file it includes or
      adds: a layer library (velmora_layer BELOW, target_link_libraries)
      linking a layer above or beside it, or built from folders or sources
      that are not its layer's, is a finding.

      Prints one FAIL line per finding (file and line), one PASS line per
      clean layer, then "layers: N passed, N failed" (clean layers,
      findings). Exit status 1 on any finding.

  check-layers.py --self-test
      Plants back-edges into copies of the tree (includes of every kind,
      forward declarations and type names, CMake links and folder lists)
      and proves each caught at its file and line; plants look-alikes that
      are not dependencies (comments, strings, qualified enumerators) and
      proves them left alone; and checks the tree as it is. Prints
      "layers-self-test: N passed, N failed".
"""
import argparse
import bisect
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
LAYER_FOLDERS = {"platform": ("platform",), "framework": ("shell/framework",), "screens": SCREEN_FOLDERS,
                 "program": ("program",), "win32": ("win32",)}
LIBRARY_LAYER = {"velmora_" + layer: layer for layer in LAYERS}
# The exes sit on top of every layer: they may link any, none may link them.
TOP_TARGETS = ("velmora", "velmora_trace")
TOP_RANK = len(LAYERS)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".rc")
HEADER_SUFFIXES = (".h", ".hpp")

INCLUDE_DIRECTIVE = re.compile(r"^\s*#\s*include\b")
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')
TYPE_KEYWORD = r"\b(?:class|struct|union|enum(?:\s+(?:class|struct))?)\s+"
# A definition has a body; "Outer::Inner" defines a nested type.
DEFINITION = re.compile(TYPE_KEYWORD + r"(?:\[\[[^\]]*\]\]\s*)?((?:\w+\s*::\s*)*)([A-Za-z_]\w*)\s*"
                        r"(?:final\s*)?(?::(?!:)[^;{}]*)?\{")
ALIAS = re.compile(r"\busing\s+([A-Za-z_]\w*)\s*=")
TYPEDEF = re.compile(r"\btypedef\b[^;(){}]*\b([A-Za-z_]\w*)\s*;")
FORWARD_DECLARATION = re.compile(r"(?:^|[;{}])\s*" + TYPE_KEYWORD + r"([A-Za-z_]\w*)\s*(?::(?!:)[^;{}]*)?;")
NAMESPACE = re.compile(r"(?<!\busing\s)\bnamespace\s+([A-Za-z_][\w:]*)")
NAMESPACE_HEAD = re.compile(r'(?:\bnamespace(?:\s+[\w:]+)?|\bextern\s*"\s*")\s*$')
TEMPLATE_HEAD = re.compile(r"\btemplate\s*<[^<>]*(?:<[^<>]*(?:<[^<>]*>[^<>]*)*>[^<>]*)*>")
IDENTIFIER = re.compile(r"\b[A-Za-z_]\w*")
QUALIFIER = re.compile(r"(\w+|>)?\s*::\s*$")
SCREEN_ENUM = re.compile(r"enum\s+class\s+Screen\b[^{;]*\{([^}]*)\}")


# --- the tree ---------------------------------------------------------------------------


class Unit:
    """One file under src/: where it lies and what it is."""

    def __init__(self, rel, screens):
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
        self.is_screen = self.layer == "screens" and self.stem in screens


def back_edge(unit, target):
    """Why unit may not use target (include it or name its types), or None."""
    if RANK[target.layer] > RANK[unit.layer]:
        return "%s points up to %s" % (unit.layer, target.layer)
    if unit.layer == target.layer == "screens":
        if unit.group != target.group:
            return "%s/ points sideways to %s/" % (unit.group, target.group)
        if target.is_screen and target.stem != unit.stem:
            return "screen %s is used only by %s itself" % (target.stem, target.stem)
    return None


def blank(text):
    return re.sub(r"[^\n]", " ", text)


def strip_comments_and_strings(text):
    """The text with comments, string and character literals blanked out,
    line breaks kept, so that line numbers and offsets stay."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(blank(text[i:end]))
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if j < n and text[j] == c:
                out.append(c + " " * (j - i - 1) + c)
                i = j + 1
            else:  # unterminated on its line: the line break stays
                j = min(j, n)
                out.append(c + " " * (j - i - 1))
                i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def screen_names(src):
    """The window kinds, as enum class Screen lists them (shell/framework/Navigator.h)."""
    headers = sorted(glob.glob(os.path.join(src, "**", "*.h"), recursive=True))
    for path in [os.path.join(src, "shell", "framework", "Navigator.h")] + headers:
        m = os.path.isfile(path) and SCREEN_ENUM.search(strip_comments_and_strings(read(path)))
        if m:
            return {name.split("=")[0].strip() for name in m.group(1).split(",") if name.strip()}
    return None


class Code:
    """One file's code: comments, strings and template heads blanked, and
    the types and namespaces it defines."""

    def __init__(self, text):
        code = strip_comments_and_strings(text)
        self.code = TEMPLATE_HEAD.sub(lambda m: blank(m.group(0)), code)
        self.namespaces = {part for m in NAMESPACE.finditer(self.code) for part in m.group(1).split("::")}
        depth_at = self._class_depth()
        self.defined, self.top_level = set(), set()
        for m in DEFINITION.finditer(self.code):
            self.defined.add(m.group(2))
            if not m.group(1) and depth_at(m.start()) == 0:
                self.top_level.add(m.group(2))
        for m in list(ALIAS.finditer(self.code)) + list(TYPEDEF.finditer(self.code)):
            self.defined.add(m.group(1))
            if depth_at(m.start()) == 0:
                self.top_level.add(m.group(1))
        # Enumerators are no type names: their list is left out of the scan.
        lines = self._without_enum_bodies().split("\n")
        self.lines = lines

    def _class_depth(self):
        """A function: how many braces other than namespaces enclose an offset."""
        offsets, depths, stack, depth, head_start = [], [], [], 0, 0
        for i, c in enumerate(self.code):
            if c == "{":
                is_namespace = bool(NAMESPACE_HEAD.search(self.code[head_start:i]))
                stack.append(is_namespace)
                depth += 0 if is_namespace else 1
            elif c == "}":
                if stack and not stack.pop():
                    depth -= 1
            elif c != ";":
                continue
            offsets.append(i)
            depths.append(depth)
            head_start = i + 1

        def depth_at(offset):
            k = bisect.bisect_left(offsets, offset)
            return depths[k - 1] if k else 0
        return depth_at

    def _without_enum_bodies(self):
        code = self.code
        for m in DEFINITION.finditer(self.code):
            if not m.group(0).startswith("enum"):
                continue
            start = end = m.end() - 1
            depth = 0
            while end < len(code):
                depth += {"{": 1, "}": -1}.get(code[end], 0)
                end += 1
                if depth == 0:
                    break
            code = code[:start + 1] + blank(code[start + 1:end - 1]) + code[end - 1:]
        return code


class Tree:
    """The repository as the check sees it: src/ and the CMake files."""

    def __init__(self, src):
        self.src = src
        self.root = os.path.dirname(src)
        self.src_name = os.path.basename(src)
        self.screens = screen_names(self.src)
        self.files = []
        for folder, _, names in os.walk(self.src):
            for name in names:
                if name.endswith(SOURCE_SUFFIXES):
                    self.files.append(os.path.relpath(os.path.join(folder, name), self.src).replace(os.sep, "/"))
        self.files.sort()
        self.units = {rel: Unit(rel, self.screens or set()) for rel in self.files}
        self.text = {rel: read(os.path.join(self.src, rel)) for rel in self.files}
        self.code = {rel: Code(self.text[rel]) for rel in self.files}

    def unit(self, rel):
        return self.units.get(rel) or Unit(rel, self.screens or set())


# --- includes ---------------------------------------------------------------------------


def resolve(tree, including, target, quoted):
    """(src-relative path or None, note). Quoted paths are looked up from the
    including file's folder, then from src/ and the repository root (the
    exe's include folders); angled ones from src/ and the root. A path with
    "../" that names no file is read from src/ by what follows its "../"."""
    bases = ([os.path.join(tree.src, os.path.dirname(including))] if quoted else []) + [tree.src, tree.root]
    for base in bases:
        full = os.path.normpath(os.path.join(base, target))
        if os.path.isfile(full):
            rel = os.path.relpath(full, tree.src).replace(os.sep, "/")
            return (None, "lies outside src/") if rel.startswith("../") else (rel, "")
    parts = os.path.normpath(target).replace(os.sep, "/").split("/")
    if ".." in parts:
        tail = "/".join(parts[len(parts) - parts[::-1].index(".."):])
        if os.path.isfile(os.path.join(tree.src, tail)):
            return tail, "names no file from here, read as src/%s" % tail
    return None, "names no file under src/"


def include_findings(tree, rel):
    unit = tree.units[rel]
    raw = tree.text[rel].split("\n")
    code = tree.code[rel].code.split("\n")
    for lineno, line in enumerate(code, 1):
        if not INCLUDE_DIRECTIVE.match(line):
            continue
        m = INCLUDE.match(raw[lineno - 1])
        if not m:
            continue
        quoted = m.group(1) is not None
        path = m.group(1) if quoted else m.group(2)
        shown = '"%s"' % path if quoted else "<%s>" % path
        target_rel, note = resolve(tree, rel, path, quoted)
        if target_rel is None:
            if quoted:  # an angled include found nowhere here is a system header
                yield lineno, "includes %s, which %s" % (shown, note)
            continue
        note = " (%s)" % note if note else ""
        target = tree.unit(target_rel)
        if target.layer is None:
            yield lineno, "includes %s%s, which lies in no layer" % (shown, note)
            continue
        why = back_edge(unit, target)
        if why:
            yield lineno, "includes %s%s: %s" % (shown, note, why)


# --- type names -------------------------------------------------------------------------


def type_owners(tree):
    """Each type name defined at namespace scope in a header: the headers."""
    owners = {}
    for rel in tree.files:
        if rel.endswith(HEADER_SUFFIXES) and tree.units[rel].layer:
            for name in tree.code[rel].top_level:
                owners.setdefault(name, []).append(rel)
    return owners


def type_name_findings(tree, rel, owners, namespaces, visible_types, platform_types):
    """Names of types that rel's part may not use, forward declarations
    included; in platform/, also forward declarations of anything it does
    not define."""
    unit, code = tree.units[rel], tree.code[rel]
    own = visible_types | code.defined
    for lineno, line in enumerate(code.lines, 1):
        if INCLUDE_DIRECTIVE.match(line):
            continue
        forwards = {m.group(1) for m in FORWARD_DECLARATION.finditer(line)}
        if unit.layer == "platform":
            stray = sorted(name for name in forwards if name not in platform_types)
            if stray:
                yield lineno, "forward-declares %s, which platform/ does not define" % stray[0]
                continue
        for m in IDENTIFIER.finditer(line):
            name = m.group(0)
            if name not in owners or name in own:
                continue
            before = line[:m.start()].rstrip()
            if before.endswith((".", "->")):
                continue  # a member
            if line[m.end():].lstrip().startswith("("):
                continue  # a function (Control::Picture()); making an object of a type needs its header
            qualifier = QUALIFIER.search(before)
            if qualifier and qualifier.group(1) is not None and qualifier.group(1) not in namespaces:
                continue  # a member of a class or enum (Screen::Form1), or of std
            barred = [(owner, back_edge(unit, tree.units[owner])) for owner in owners[name]]
            barred = [(owner, why) for owner, why in barred if why]
            if barred:
                owner, why = barred[0]
                verb = "forward-declares" if name in forwards else "names"
                yield lineno, "%s %s, a type of %s/%s: %s" % (verb, name, tree.src_name, owner, why)
                break


def visible_types_of(tree, unit):
    """The types defined anywhere in the headers unit may include."""
    types = set()
    for rel in tree.files:
        target = tree.units[rel]
        if rel.endswith(HEADER_SUFFIXES) and target.layer and not back_edge(unit, target):
            types |= tree.code[rel].defined
    return types


# --- CMake ------------------------------------------------------------------------------


COMMAND = re.compile(r"([A-Za-z_]\w*)[ \t]*\(")
BRACKET_COMMENT = re.compile(r"#\[(=*)\[")
BRACKET_ARGUMENT = re.compile(r"\[(=*)\[")
UNQUOTED_ARGUMENT = re.compile(r"[^\s()]+")


def cmake_commands(text):
    """Every command invocation as (name, [(argument, line)], line)."""
    commands = []
    i, n, line = 0, len(text), 1

    def skip_blanks(i, line):
        while i < n:
            if text[i] == "\n":
                line += 1
                i += 1
            elif text[i] in " \t\r":
                i += 1
            elif text[i] == "#":
                bracket = BRACKET_COMMENT.match(text, i)
                close = "]%s]" % bracket.group(1) if bracket else "\n"
                end = text.find(close, i)
                end = n if end < 0 else end + (len(close) if bracket else 0)
                line += text.count("\n", i, end)
                i = end
            else:
                break
        return i, line

    while True:
        i, line = skip_blanks(i, line)
        if i >= n:
            return commands
        m = COMMAND.match(text, i)
        if not m:
            i += 1
            continue
        name, command_line, args, depth = m.group(1), line, [], 0
        i = m.end()
        while True:
            i, line = skip_blanks(i, line)
            if i >= n:
                break
            c = text[i]
            if c == "(":
                depth += 1
                i += 1
            elif c == ")":
                i += 1
                if depth == 0:
                    break
                depth -= 1
            elif c == '"':
                j = i + 1
                while j < n and text[j] != '"':
                    j += 2 if text[j] == "\\" else 1
                args.append((text[i + 1:j], line))
                line += text.count("\n", i, j)
                i = j + 1
            else:
                bracket = BRACKET_ARGUMENT.match(text, i)
                if bracket:
                    end = text.find("]%s]" % bracket.group(1), i)
                    end = n if end < 0 else end
                    args.append((text[i + len(bracket.group(0)):end], line))
                    line += text.count("\n", i, end)
                    i = end + len(bracket.group(0))
                else:
                    m = UNQUOTED_ARGUMENT.match(text, i)
                    args.append((m.group(0), line))
                    i = m.end()
        commands.append((name.lower(), args, command_line))


def expand(value, source_dir, list_dir, root):
    """value with the folder variables CMake sets filled in."""
    for variable, folder in (("CMAKE_SOURCE_DIR", root), ("PROJECT_SOURCE_DIR", root),
                             ("CMAKE_CURRENT_SOURCE_DIR", source_dir), ("CMAKE_CURRENT_LIST_DIR", list_dir)):
        value = value.replace("${%s}" % variable, folder)
    return value


def cmake_files(root):
    """CMakeLists.txt and every file it includes or adds, recursively, as
    [(root-relative path, its source folder, commands)]. A relative path is
    taken from the source folder, as CMake does."""
    found, pending = [], [("CMakeLists.txt", root)]
    while pending:
        rel, source_dir = pending.pop(0)
        path = os.path.join(root, rel)
        if any(rel == seen for seen, _, _ in found) or not os.path.isfile(path):
            continue
        commands = cmake_commands(read(path))
        found.append((rel, source_dir, commands))
        for name, args, _ in commands:
            if name not in ("include", "add_subdirectory") or not args:
                continue
            target = os.path.join(source_dir, expand(args[0][0], source_dir, os.path.dirname(path), root))
            added_dir = source_dir
            if name == "add_subdirectory":
                added_dir, target = target, os.path.join(target, "CMakeLists.txt")
            if "${" not in target and os.path.isfile(target):
                pending.append((os.path.relpath(os.path.normpath(target), root).replace(os.sep, "/"),
                                os.path.normpath(added_dir)))
    return found


def target_rank(name):
    if name in LIBRARY_LAYER:
        return RANK[LIBRARY_LAYER[name]]
    return TOP_RANK if name in TOP_TARGETS else None


def target_layer(name):
    return LIBRARY_LAYER.get(name, "win32" if name in TOP_TARGETS else None)


def targets_in(value, variables):
    """The layer libraries and exes an argument names: itself, the items of
    a list, what a generator expression or a set() variable holds."""
    value = re.sub(r"\$\{(\w+)\}", lambda m: ";".join(variables.get(m.group(1), [m.group(0)])), value)
    return [name for name in re.findall(r"[A-Za-z_][\w.+-]*", value) if target_rank(name) is not None]


def link_finding(target, item):
    """Why target may not link item, or None."""
    below, above = target_rank(target), target_rank(item)
    if below is None or above is None or above < below:
        return None
    return "%s links %s, which lies %s it" % (target, item, "above" if above > below else "beside")


def folder_layer(folder):
    folder = folder.strip("/")
    for layer, folders in LAYER_FOLDERS.items():
        if folder in folders:
            return layer
    return None


def cmake_findings(tree):
    """(file, line, message, layer) for every link or folder list in the
    CMake files that goes against the layers."""
    files = cmake_files(tree.root)
    if not files:
        yield "CMakeLists.txt", 0, "no CMakeLists.txt beside src/: the layer libraries cannot be checked", None
        return
    variables = {}
    for _, _, commands in files:
        for name, args, _ in commands:
            if name == "set" and args:
                variables.setdefault(args[0][0], []).extend(value for value, _ in args[1:])
    for rel, source_dir, commands in files:
        list_dir = os.path.dirname(os.path.join(tree.root, rel))
        for name, args, line in commands:
            target = args[0][0] if args else ""
            if name == "velmora_layer" and args:
                yield from layer_findings(rel, line, target, args[1:], variables)
            elif name == "target_link_libraries" and target_rank(target) is not None:
                for value, value_line in args[1:]:
                    for item in targets_in(value, variables):
                        why = link_finding(target, item)
                        if why:
                            yield rel, value_line, why, target_layer(target)
            elif name in ("add_library", "target_sources") and target in LIBRARY_LAYER:
                layer = LIBRARY_LAYER[target]
                for value, value_line in args[1:]:
                    source = os.path.join(source_dir, expand(value, source_dir, list_dir, tree.root))
                    in_src = os.path.relpath(os.path.normpath(source), tree.src).replace(os.sep, "/")
                    if "${" in source or in_src.startswith("../") or not in_src.endswith(SOURCE_SUFFIXES):
                        continue
                    source_layer = tree.unit(in_src).layer
                    if source_layer != layer:
                        yield (rel, value_line, "%s builds %s/%s, a file of %s, not of %s"
                               % (target, tree.src_name, in_src, source_layer or "no layer", layer), layer)


def layer_findings(rel, line, library, args, variables):
    """velmora_layer(NAME FOLDERS ... BELOW ... EXCLUDE ...): NAME is a layer
    library, FOLDERS are exactly its layer's, BELOW lies below it."""
    layer = LIBRARY_LAYER.get(library)
    if layer is None:
        yield rel, line, "velmora_layer(%s): a library that is no layer (the layers: %s)" % (
            library, ", ".join(LIBRARY_LAYER)), None
        return
    lists, keyword = {"FOLDERS": [], "BELOW": [], "EXCLUDE": []}, None
    for value, value_line in args:
        if value in lists:
            keyword = value
        elif keyword:
            lists[keyword].append((value, value_line))
    for folder, folder_line in lists["FOLDERS"]:
        owner = folder_layer(folder)
        if owner != layer:
            yield (rel, folder_line, "%s builds %s/, a folder of %s, not of %s" % (
                library, folder.strip("/"), owner or "no layer", layer), layer)
    given = {folder.strip("/") for folder, _ in lists["FOLDERS"]}
    for folder in LAYER_FOLDERS[layer]:
        if folder not in given:
            yield rel, line, "%s leaves out %s/, a folder of %s" % (library, folder, layer), layer
    for value, value_line in lists["BELOW"]:
        for item in targets_in(value, variables):
            why = link_finding(library, item)
            if why:
                yield rel, value_line, why, layer


# --- the check --------------------------------------------------------------------------


def check(src):
    """Every finding as (file relative to src/'s parent, line, message, layer),
    and the tree."""
    tree = Tree(src)
    findings = []
    if tree.screens is None:
        findings.append((tree.src_name + "/shell/framework/Navigator.h", 0,
                         "no enum class Screen with its window kinds under src/: screens cannot be told apart", "screens"))
    owners = type_owners(tree)
    namespaces = set().union(*(code.namespaces for code in tree.code.values()))
    platform_types = set().union(*(tree.code[rel].defined for rel in tree.files
                                   if tree.units[rel].layer == "platform"))
    visible = {}
    for rel in tree.files:
        unit = tree.units[rel]
        if unit.layer is None:
            findings.append((tree.src_name + "/" + rel, 0, "lies in no layer (expected under %s)" % ", ".join(
                ["platform/", "shell/framework/"] + [f + "/" for f in SCREEN_FOLDERS] + ["program/", "win32/"]), None))
            continue
        key = (unit.layer, unit.group, unit.stem if unit.layer == "screens" else "")
        if key not in visible:
            visible[key] = visible_types_of(tree, unit)
        per_line = dict(include_findings(tree, rel))
        for lineno, message in type_name_findings(tree, rel, owners, namespaces, visible[key], platform_types):
            per_line.setdefault(lineno, message)
        findings += [(tree.src_name + "/" + rel, lineno, per_line[lineno], unit.layer) for lineno in sorted(per_line)]
    findings += list(cmake_findings(tree))
    return findings, tree


def run(src):
    findings, tree = check(src)
    failed_layers = set()
    for path, lineno, message, layer in findings:
        failed_layers.add(layer)
        print("FAIL %s: %s" % ("%s:%d" % (path, lineno) if lineno else path, message))
    passed = 0
    for layer in LAYERS:
        count = sum(1 for u in tree.units.values() if u.layer == layer)
        if count and layer not in failed_layers:
            passed += 1
            print("PASS %s: %d files and velmora_%s; every include, type name and link points down "
                  "or within its own part" % (layer, count, layer))
    print("layers: %d passed, %d failed" % (passed, len(findings)))
    return 0 if not findings else 1


# --- self-test --------------------------------------------------------------------------


def edit(root, rel, pattern, change):
    """Changes the first line of rel matching pattern with change(lines, i),
    which returns the index of the line the finding must name."""
    path = os.path.join(root, rel)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for i, line in enumerate(lines):
        if re.search(pattern, line):
            at = change(lines, i)
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            return rel, at + 1
    raise RuntimeError("no line matching %r in %s" % (pattern, rel))


def insert_after(root, rel, pattern, text):
    """Inserts text after the first line matching pattern; the finding must
    name its last line."""
    def change(lines, i):
        lines.insert(i + 1, text)
        return i + 1 + text.count("\n")
    return edit(root, rel, pattern, change)


def replace_in(root, rel, pattern, old, new):
    def change(lines, i):
        if old not in lines[i]:
            raise RuntimeError("%r not in line %d of %s" % (old, i + 1, rel))
        lines[i] = lines[i].replace(old, new, 1)
        return i
    return edit(root, rel, pattern, change)


def first(root, pattern):
    found = sorted(glob.glob(os.path.join(root, pattern)))
    if not found:
        raise RuntimeError("nothing matches %s" % pattern)
    return os.path.relpath(found[0], root).replace(os.sep, "/")


def screen_modules(root, folder):
    names = screen_names(os.path.join(root, "src")) or set()
    stems = sorted({os.path.splitext(os.path.basename(p))[0] for p in glob.glob(os.path.join(root, "src", folder, "*.h"))})
    return [s for s in stems if s in names]


def include_line(root, file_pattern, directive):
    """Adds an include directive after the first include (or #pragma once)."""
    return insert_after(root, first(root, file_pattern), r"#\s*(include|pragma\s+once)\b", directive)


def code_line(root, file_pattern, text):
    """Adds a line of code just inside namespace velmora."""
    return insert_after(root, first(root, file_pattern), r"namespace\s+velmora\b.*\{", text)


def in_src(path):
    return os.path.relpath(path, "src")


def plants():
    """(what, plant[, phrase]): plant(root) changes the copy and returns the
    file and line where the finding must be reported; its message must hold
    phrase when given."""
    def screen_header(root):
        return "shell/%s.h" % screen_modules(root, "shell")[0]

    def another_screen(folder):
        def plant(root):
            a, b = screen_modules(root, folder)[:2]
            return include_line(root, "src/%s/%s.cpp" % (folder, a), '#include "%s/%s.h"' % (folder, b))
        return plant

    def include(file_pattern, target):
        return lambda root: include_line(root, file_pattern, '#include "%s"' % target(root))

    def layer_line(library, old, new):
        return lambda root: replace_in(root, "CMakeLists.txt", r"^\s*velmora_layer\(%s\b" % library, old, new)

    return [
        # Quoted includes.
        ("platform includes the framework", include("src/platform/*.h", lambda r: "shell/framework/Form.h")),
        ("platform includes the framework by a relative path",
         include("src/platform/*.cpp", lambda r: "../shell/framework/Control.h")),
        ("platform includes win32", include("src/platform/*.h", lambda r: in_src(first(r, "src/win32/*.h")))),
        ("the framework includes a screen", include("src/shell/framework/*.cpp", screen_header)),
        ("the framework includes the program",
         include("src/shell/framework/*.h", lambda r: in_src(first(r, "src/program/*.h")))),
        ("a shell screen includes another screen's header", another_screen("shell")),
        ("a tweak page includes another tweak page's header", another_screen("tweaks")),
        ("tweaks includes companion", include("src/tweaks/*.cpp", lambda r: in_src(first(r, "src/companion/*.h")))),
        ("info includes tweaks", include("src/info/*.h", lambda r: in_src(first(r, "src/tweaks/*.h")))),
        ("companion includes a shell screen", include("src/companion/*.cpp", screen_header)),
        ("a screen includes the program", include("src/tweaks/*.h", lambda r: in_src(first(r, "src/program/*.h")))),
        ("the program includes win32", include("src/program/*.cpp", lambda r: in_src(first(r, "src/win32/*.h")))),
        # Angled and "../" includes.
        ("the framework includes <program/Program.h>",
         lambda r: include_line(r, "src/shell/framework/Form.h", "#include <program/Program.h>")),
        ("platform includes <win32/Handles.h>",
         lambda r: include_line(r, "src/platform/User32Api.h", "#include <win32/Handles.h>")),
        ("a tweak page includes <companion/DLB.h>",
         lambda r: include_line(r, "src/tweaks/Form1.cpp", "#include <companion/DLB.h>")),
        ('the framework includes "../../win32/Handles.h"',
         lambda r: include_line(r, "src/shell/framework/Form.h", '#include "../../win32/Handles.h"')),
        ('the framework includes "../program/Program.h", which resolves nowhere',
         lambda r: include_line(r, "src/shell/framework/Form.h", '#include "../program/Program.h"'),
         "points up to program"),
        ('platform includes "../../win32/Handles.h", which resolves nowhere',
         lambda r: include_line(r, "src/platform/User32Api.h", '#include "../../win32/Handles.h"'),
         "points up to win32"),
        # Forward declarations and type names.
        ("platform forward-declares Form", lambda r: code_line(r, "src/platform/*.h", "class Form;")),
        ("platform forward-declares Control as a struct", lambda r: code_line(r, "src/platform/*.h", "struct Control;")),
        ("platform names a framework type",
         lambda r: code_line(r, "src/platform/*.h", "void show(const velmora::Control& control);")),
        ("platform names a screen type", lambda r: code_line(r, "src/platform/*.h", "void show(FormMain& page);")),
        ("the framework forward-declares FormMain", lambda r: code_line(r, "src/shell/framework/Control.h", "class FormMain;")),
        ("the framework names the program", lambda r: code_line(r, "src/shell/framework/*.cpp", "Program* owner = nullptr;")),
        ("a screen names a win32 type", lambda r: code_line(r, "src/shell/*.cpp", "Win32View* view = nullptr;")),
        ("a tweak page names another tweak page", lambda r: code_line(r, "src/tweaks/Form2.cpp", "Form1* other = nullptr;")),
        ("tweaks names the companion page", lambda r: code_line(r, "src/tweaks/*.h", "class DLB;")),
        ("the program names a win32 type", lambda r: code_line(r, "src/program/*.cpp", "using View = Pictures;")),
        # The CMake link graph and folder lists.
        ("velmora_framework BELOW velmora_screens",
         layer_line("velmora_framework", "BELOW velmora_platform", "BELOW velmora_screens")),
        ("velmora_platform links velmora_program",
         lambda r: insert_after(r, "CMakeLists.txt", r"^\s*velmora_layer\(velmora_program\b",
                                "target_link_libraries(velmora_platform PUBLIC velmora_program)")),
        ("velmora_framework FOLDERS shell/framework tweaks",
         layer_line("velmora_framework", "FOLDERS shell/framework", "FOLDERS shell/framework tweaks")),
        ("velmora_screens leaves out info/", layer_line("velmora_screens", " info", "")),
        ("velmora_screens links velmora_win32 in WindowsExe.cmake",
         lambda r: insert_after(r, "cmake/WindowsExe.cmake", r"^\s*velmora_layer\(velmora_win32\b",
                                "target_link_libraries(velmora_screens PRIVATE velmora_win32)")),
        ("velmora_screens links velmora_program through a variable",
         lambda r: insert_after(r, "CMakeLists.txt", r"^\s*velmora_layer\(velmora_program\b",
                                "set(VELMORA_ABOVE velmora_program)\n"
                                "target_link_libraries(velmora_screens PUBLIC ${VELMORA_ABOVE})")),
        ("velmora_framework is given a tweak page's source",
         lambda r: insert_after(r, "CMakeLists.txt", r"^\s*velmora_layer\(velmora_program\b",
                                "target_sources(velmora_framework PRIVATE ${CMAKE_SOURCE_DIR}/src/tweaks/Form1.cpp)")),
        ("a library outside the layers built by velmora_layer",
         lambda r: insert_after(r, "CMakeLists.txt", r"^\s*velmora_layer\(velmora_program\b",
                                "velmora_layer(velmora_tweaks FOLDERS tweaks BELOW velmora_program)")),
        ("velmora_win32 links the trace exe in Trace.cmake",
         lambda r: insert_after(r, "tests/bench/Trace.cmake", r"^\s*target_link_libraries\(velmora_trace\b",
                                "target_link_libraries(velmora_win32 PUBLIC velmora_trace)")),
    ]


def look_alikes():
    """(what, plant): lines that name a higher layer's type or folder without
    depending on it; no finding may name their line."""
    return [
        ("a comment and a string naming screens in the framework",
         lambda r: code_line(r, "src/shell/framework/Control.h",
                             'inline const char* kAbout = "FormMain <program/Program.h>";  // not a FormMain')),
        ("an include inside a comment block",
         lambda r: code_line(r, "src/platform/Types.h", "/* an include left in a comment:\n#include <program/Program.h> */")),
        ("an enumerator qualified by its enum (Screen::Form1 in shell/)",
         lambda r: code_line(r, "src/shell/FormMain.cpp", "constexpr auto kTweaks = Screen::Form1;")),
        ("a member of the same name as a higher type",
         lambda r: code_line(r, "src/tweaks/Form3.cpp", "inline int count(const Rect& r) { return r.Program; }")),
        ("a function named like a higher type",
         lambda r: code_line(r, "src/shell/framework/Control.h", "const char* Picture();")),
        ("an enum in shell/ listing other screens",
         lambda r: code_line(r, "src/shell/FormMain.h", "enum class Order { Form1, DLB, Form5 };")),
        ("the framework defining a type of the name of a win32 type",
         lambda r: code_line(r, "src/shell/framework/Control.h", "struct Picture { int id = 0; };")),
        ("system headers",
         lambda r: include_line(r, "src/tweaks/Form1.cpp", "#include <gtest/gtest.h>")),
        ("the exe linking a layer and a system library",
         lambda r: insert_after(r, "cmake/WindowsExe.cmake", r"^\s*target_link_libraries\(velmora\b",
                                "target_link_libraries(velmora PRIVATE velmora_program gdi32)")),
    ]


def copy_tree(root, to):
    shutil.copytree(os.path.join(root, "src"), os.path.join(to, "src"))
    for rel, _, _ in cmake_files(root):
        os.makedirs(os.path.dirname(os.path.join(to, rel)), exist_ok=True)
        shutil.copy(os.path.join(root, rel), os.path.join(to, rel))


def self_test():
    passed = failed = 0
    root = os.path.dirname(DEFAULT_SRC)

    def result(ok, text):
        nonlocal passed, failed
        print("%s %s" % ("PASS" if ok else "FAIL", text))
        if ok:
            passed += 1
        else:
            failed += 1

    with tempfile.TemporaryDirectory(prefix="velmora-layers-") as tmp:
        clean = os.path.join(tmp, "clean")
        copy_tree(root, clean)
        findings, _ = check(os.path.join(clean, "src"))
        result(not findings, "the tree as it is passes" +
               "".join("\n     found: %s:%d: %s" % f[:3] for f in findings))

        cases = [(case[0], case[1], case[2] if len(case) > 2 else "") for case in plants()] + \
                [(what, plant, None) for what, plant in look_alikes()]
        for i, (what, plant, phrase) in enumerate(cases):
            copy = os.path.join(tmp, "case%d" % i)
            copy_tree(root, copy)
            try:
                rel, line = plant(copy)
            except (RuntimeError, IndexError, ValueError) as e:
                result(False, "%s: could not be planted (%s)" % (what, e))
                continue
            findings, _ = check(os.path.join(copy, "src"))
            at = [f for f in findings if f[0] == rel and f[1] == line]
            where = "%s:%d" % (rel, line)
            if phrase is not None:
                caught = [f for f in at if phrase in f[2]]
                result(bool(caught), "%s: %s" % (what, "caught at %s (%s)" % (where, caught[0][2]) if caught
                                                 else "not caught at %s%s" % (where, " as %r" % phrase if at else "")))
            else:
                result(not at, "%s: %s" % (what, "left alone at %s" % where if not at
                                           else "taken for a dependency at %s (%s)" % (where, at[0][2])))
    print("layers-self-test: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--src", default=DEFAULT_SRC,
                        help="the source tree; the CMake files are read from its parent folder (default: src/)")
    parser.add_argument("--self-test", action="store_true", help="prove the check on planted back-edges")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    return run(os.path.abspath(args.src))


if __name__ == "__main__":
    sys.exit(main())
