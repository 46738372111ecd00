#!/usr/bin/python3
"""Check the version resource and the application manifest of built exes,
and that they carry nothing of the machine that built them.

  check-resources.py EXE...
      Reads each exe back (tools/pe.py, no Windows tools) and checks:
        - the version resource: file and product version 1.5.0.0, the
          strings of the Chinese (PRC, Unicode) table: versions "1.05",
          product, internal and original file name "Velmora", the Chinese
          file description; and a translation entry naming that table;
        - the manifest, resource 1 of type 24, as XML: runs asInvoker, with
          trustInfo in the asm.v2 namespace (Windows XP SP2 and SP3 refuse to
          start a program whose manifest uses asm.v3 there), the processor
          architecture of the exe itself, every supportedOS from Vista to
          Windows 10 and 11, no DPI awareness and no dependency on the
          version 6 common controls (which would change how the check boxes
          and option buttons look);
        - what a reproducible release rests on: no link time in the PE
          header or the resource directory, and no text naming this checkout's
          folder (scripts/release.sh --check builds in two clean clones and
          compares, which takes too long for the test command).
      Prints one PASS/FAIL line per check, then
      "resources: N passed, N failed". Exit status 1 on any failure.

  check-resources.py --self-test
      Plants one fault at a time in a good manifest and a good version table
      (asm.v3 trustInfo, no namespace, another execution level, a DPI
      setting, themed controls, a missing Windows, a wrong architecture,
      a garbled description, a link time, a build folder) and checks that
      exactly the matching checks fail.
"""
import argparse
import os
import struct
import sys
import time
import xml.etree.ElementTree as ElementTree

from pe import IMAGE_FILE_MACHINE_I386, RT_MANIFEST, RT_VERSION, PeError, PeFile, resource_timestamp, resources

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKOUT = os.path.normpath(os.path.join(HERE, ".."))
MANIFEST_TEMPLATE = os.path.join(HERE, "..", "src", "win32", "Velmora.manifest.in")

VERSION = (1, 5, 0, 0)
STRING_TABLE = "080404b0"  # Chinese (PRC), Unicode
TRANSLATION = (0x0804, 1200)
STRINGS = {
    "CompanyName": "Velmora",
    "FileDescription": "Velmora 系统设置工具",
    "FileVersion": "1.05",
    "InternalName": "Velmora",
    "OriginalFilename": "Velmora",
    "ProductName": "Velmora",
    "ProductVersion": "1.05",
}

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V2 = "urn:schemas-microsoft-com:asm.v2"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
ARCHITECTURE = {IMAGE_FILE_MACHINE_I386: "x86", 0x8664: "amd64"}


# --- the version resource -----------------------------------------------------------

def _version_node(data, at):
    """One VS_VERSIONINFO-style node at `at`: (key, value bytes, is text, children, end)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_at = at + 6
    key_end = key_at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_at:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if is_text else value_length
    value = data[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < end:
        node = _version_node(data, child)
        children.append(node)
        child = (node[4] + 3) & ~3
    return key, value, is_text, children, end


def read_version(blob):
    """{"fixed": (file version, product version), "tables": {table: {name: text}},
    "translations": [(language, code page)]} from an RT_VERSION resource."""
    key, value, _, children, _ = _version_node(blob, 0)
    if key != "VS_VERSION_INFO" or len(value) < 52:
        raise PeError("no VS_VERSION_INFO at the start of the version resource")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", value)
    if signature != 0xFEEF04BD:
        raise PeError("VS_FIXEDFILEINFO signature %#x" % signature)

    def four(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    info = {"fixed": (four(file_ms, file_ls), four(product_ms, product_ls)), "tables": {}, "translations": []}
    for child_key, _, _, grandchildren, _ in children:
        if child_key == "StringFileInfo":
            for table, _, _, strings, _ in grandchildren:
                info["tables"][table] = {name: text.decode("utf-16-le").rstrip("\0")
                                         for name, text, _, _, _ in strings}
        elif child_key == "VarFileInfo":
            for var, pairs, _, _, _ in grandchildren:
                if var == "Translation":
                    info["translations"] += [struct.unpack_from("<HH", pairs, i) for i in range(0, len(pairs), 4)]
    return info


def version_checks(info):
    """[(name, ok, detail)] for a version resource read by read_version."""
    fixed_file, fixed_product = info["fixed"]
    table = info["tables"].get(STRING_TABLE)
    results = [
        ("version-numbers", (fixed_file, fixed_product) == (VERSION, VERSION),
         "FILEVERSION %r, PRODUCTVERSION %r, want %r" % (fixed_file, fixed_product, VERSION)),
        ("version-string-table", table is not None,
         "string tables %s, want %s" % (sorted(info["tables"]), STRING_TABLE)),
        ("version-translation", TRANSLATION in info["translations"],
         "translations %r, want %r" % (info["translations"], TRANSLATION)),
    ]
    for name, want in STRINGS.items():
        got = (table or {}).get(name)
        results.append(("version-" + name, got == want, "%r, want %r" % (got, want)))
    return results


# --- the manifest ----------------------------------------------------------------------

def _local(tag):
    return tag.rsplit("}", 1)[-1]


def _namespace(tag):
    return tag[1:].split("}", 1)[0] if tag.startswith("{") else ""


def manifest_checks(text, machine):
    """[(name, ok, detail)] for the manifest text of an exe built for `machine`."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as e:
        return [("manifest-xml", False, str(e))]
    results = [("manifest-xml", root.tag == "{%s}assembly" % ASM_V1 and root.get("manifestVersion") == "1.0",
                "root %s manifestVersion %r, want the asm.v1 assembly, 1.0" % (root.tag, root.get("manifestVersion")))]
    everything = list(root.iter())

    identity = root.find("{%s}assemblyIdentity" % ASM_V1)
    want_arch = ARCHITECTURE.get(machine)
    got = None if identity is None else (identity.get("type"), identity.get("name"), identity.get("version"),
                                         identity.get("processorArchitecture"))
    want = ("win32", "Velmora", "%d.%d.%d.%d" % VERSION, want_arch)
    results.append(("manifest-identity", got == want, "%r, want %r" % (got, want)))

    trust = [e for e in everything if _local(e.tag) == "trustInfo"]
    namespaces = sorted(_namespace(e.tag) for e in trust)
    results.append(("manifest-trustinfo-asm.v2", namespaces == [ASM_V2] and trust[0] in list(root),
                    "trustInfo in %r, want one, in %s, under the assembly" % (namespaces, ASM_V2)))
    v3 = sorted({_local(e.tag) for e in everything if _namespace(e.tag) == ASM_V3})
    results.append(("manifest-no-asm.v3", not v3, "elements in asm.v3, which XP refuses: %s" % ", ".join(v3)))

    levels = [(e.get("level"), e.get("uiAccess")) for e in everything if _local(e.tag) == "requestedExecutionLevel"]
    results.append(("manifest-asInvoker", levels == [("asInvoker", "false")],
                    "requestedExecutionLevel %r, want asInvoker without uiAccess" % levels))

    ids = [e.get("Id", "").lower() for e in everything if _local(e.tag) == "supportedOS"]
    missing = [SUPPORTED_OS[g] for g in SUPPORTED_OS if g not in ids]
    unknown = [g for g in ids if g not in SUPPORTED_OS]
    results.append(("manifest-supportedOS", not missing and not unknown and len(ids) == len(SUPPORTED_OS),
                    "missing %s; unknown %s; %d entries" % (missing, unknown, len(ids))))

    dpi = sorted({_local(e.tag) for e in everything if _local(e.tag).lower().startswith("dpiaware")})
    results.append(("manifest-no-dpi-awareness", not dpi, "declares %s" % ", ".join(dpi)))

    dependencies = [e.get("name") for e in everything if _local(e.tag) == "assemblyIdentity" and e is not identity]
    themed = [d for d in dependencies if (d or "").lower() == "microsoft.windows.common-controls"]
    results.append(("manifest-no-common-controls-6", not themed, "depends on %s" % ", ".join(themed)))
    return results


# --- nothing of the build machine ----------------------------------------------------------

def build_machine_checks(link_time, resource_time, data, folders):
    """[(name, ok, detail)]: the time stamps are zero and no folder is named in data."""
    named = sorted({folder for folder in folders for encoding in ("utf-8", "utf-16-le")
                    if folder.encode(encoding) in data})
    return [
        ("no-link-time", link_time == 0, "the PE header says %s" % time.strftime("%Y-%m-%d %H:%M:%S",
                                                                                   time.gmtime(link_time))),
        ("no-resource-time", resource_time == 0, "the resource directory's time stamp is %#x" % resource_time),
        ("no-build-folder", not named, "names %s" % ", ".join(named)),
    ]


# --- one exe -----------------------------------------------------------------------------

def check(exe):
    """[(name, ok, detail)] for one exe."""
    with open(exe, "rb") as f:
        data = f.read()
    try:
        pe = PeFile(data)
        found = resources(pe)
    except PeError as e:
        return [("resources", False, str(e))]
    results = build_machine_checks(pe.timestamp, resource_timestamp(pe), data, [CHECKOUT])
    versions = [blob for (kind, _), entries in found.items() if kind == RT_VERSION for _, blob in entries]
    results.append(("version-resource", len(versions) == 1, "%d version resources, want 1" % len(versions)))
    if len(versions) == 1:
        try:
            results += version_checks(read_version(versions[0]))
        except (PeError, struct.error, UnicodeDecodeError) as e:
            results.append(("version-readable", False, str(e)))
    manifests = {name: entries for (kind, name), entries in found.items() if kind == RT_MANIFEST}
    one = list(manifests) == [1] and len(manifests[1]) == 1
    results.append(("manifest-resource-1", one, "manifest resources %r, want one, id 1" %
                    {name: len(entries) for name, entries in manifests.items()}))
    if one:
        blob = manifests[1][0][1]
        results.append(("manifest-no-bom", not blob.startswith(b"\xef\xbb\xbf"), "starts with a byte order mark"))
        results += manifest_checks(blob, pe.machine)
    return results


def report(results, label):
    passed = failed = 0
    for name, ok, detail in results:
        if ok:
            passed += 1
            print("PASS %s" % name)
        else:
            failed += 1
            print("FAIL %s: %s" % (name, detail))
    print("%s: %d passed, %d failed" % (label, passed, failed))
    return failed == 0


# --- self-test ------------------------------------------------------------------------------

def _good_manifest(arch="x86"):
    with open(MANIFEST_TEMPLATE, encoding="utf-8") as f:
        return f.read().replace("@VELMORA_MANIFEST_ARCH@", arch)


_TRUST_V2 = '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2">'
_APPLICATION = "<application>"
_WINDOWS_10 = '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'
_DPI = ('<application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings>'
        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>'
        '</windowsSettings></application>')
_THEMED = ('<dependency><dependentAssembly><assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" '
           'version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>'
           '</dependentAssembly></dependency>')

# name, how the good manifest is changed, machine, the checks that must fail
MANIFEST_CASES = [
    ("good 32-bit", lambda m: m, IMAGE_FILE_MACHINE_I386, set()),
    ("good 64-bit", lambda m: m.replace('"x86"', '"amd64"'), 0x8664, set()),
    ("trustInfo in asm.v3", lambda m: m.replace(_TRUST_V2, _TRUST_V2.replace("asm.v2", "asm.v3")),
     IMAGE_FILE_MACHINE_I386, {"manifest-trustinfo-asm.v2", "manifest-no-asm.v3"}),
    ("trustInfo without a namespace", lambda m: m.replace(_TRUST_V2, "<trustInfo>"),
     IMAGE_FILE_MACHINE_I386, {"manifest-trustinfo-asm.v2"}),
    ("requireAdministrator", lambda m: m.replace('"asInvoker"', '"requireAdministrator"'),
     IMAGE_FILE_MACHINE_I386, {"manifest-asInvoker"}),
    ("DPI aware", lambda m: m.replace("</assembly>", _DPI + "</assembly>"),
     IMAGE_FILE_MACHINE_I386, {"manifest-no-dpi-awareness", "manifest-no-asm.v3"}),
    ("themed common controls", lambda m: m.replace("</assembly>", _THEMED + "</assembly>"),
     IMAGE_FILE_MACHINE_I386, {"manifest-no-common-controls-6"}),
    ("Windows 10 left out", lambda m: m.replace(_WINDOWS_10, ""), IMAGE_FILE_MACHINE_I386,
     {"manifest-supportedOS"}),
    ("a 64-bit exe claiming x86", lambda m: m, 0x8664, {"manifest-identity"}),
    ("not XML", lambda m: m.replace(_APPLICATION, "<application", 1), IMAGE_FILE_MACHINE_I386,
     {"manifest-xml"}),
]


def _good_version():
    return {"fixed": (VERSION, VERSION), "tables": {STRING_TABLE: dict(STRINGS)}, "translations": [TRANSLATION]}


def _changed(change):
    info = _good_version()
    change(info)
    return info


VERSION_CASES = [
    ("good version", lambda i: None, set()),
    # The description read in the wrong code page: what windres makes of a
    # UTF-8 file without its code page.
    ("garbled description", lambda i: i["tables"][STRING_TABLE].update(
        FileDescription=STRINGS["FileDescription"].encode("utf-8").decode("latin-1")), {"version-FileDescription"}),
    ("1.0.5.0", lambda i: i.update(fixed=((1, 0, 5, 0), VERSION)), {"version-numbers"}),
    ("English table only", lambda i: i["tables"].update({"040904b0": i["tables"].pop(STRING_TABLE)}),
     {"version-string-table"} | {"version-" + n for n in STRINGS}),
    ("no translation", lambda i: i.update(translations=[]), {"version-translation"}),
]


_FOLDER = "/home/builder/velmora"
# name, link time, resource time, the exe's bytes, the checks that must fail
BUILD_MACHINE_CASES = [
    ("nothing of the build machine", 0, 0, b"MZ...Velmora.exe...", set()),
    ("a link time", 0x65A0B1C2, 0, b"MZ", {"no-link-time"}),
    ("a resource time", 0, 0x65A0B1C2, b"MZ", {"no-resource-time"}),
    ("the folder in a source file name", 0, 0, b"MZ.." + (_FOLDER + "/src/a.cpp").encode() + b"\0",
     {"no-build-folder"}),
    ("the folder in wide text", 0, 0, b"MZ.." + _FOLDER.encode("utf-16-le"), {"no-build-folder"}),
]


def self_test():
    passed = failed = 0
    cases = [(n, manifest_checks(change(_good_manifest()).encode("utf-8"), machine), want)
             for n, change, machine, want in MANIFEST_CASES]
    cases += [(n, version_checks(_changed(change)), want) for n, change, want in VERSION_CASES]
    cases += [(n, build_machine_checks(link, res, data, [_FOLDER]), want)
              for n, link, res, data, want in BUILD_MACHINE_CASES]
    for name, results, must_fail in cases:
        got = {n for n, ok, _ in results if not ok}
        if got == must_fail:
            passed += 1
            print("PASS self-test[%s]" % name)
        else:
            failed += 1
            print("FAIL self-test[%s]: failed checks %s, expected %s" % (name, sorted(got), sorted(must_fail)))
    print("resources-self-test: %d passed, %d failed" % (passed, failed))
    return failed == 0


def main():
    ap = argparse.ArgumentParser(description="Check the version resource and the manifest of built exes.")
    ap.add_argument("exe", nargs="*")
    ap.add_argument("--self-test", action="store_true")
    args = ap.parse_args()
    if args.self_test:
        return 0 if self_test() else 1
    if not args.exe:
        ap.error("give one or more exes, or --self-test")
    results = []
    for exe in args.exe:
        print("checking %s" % exe)
        if not os.path.isfile(exe):
            results.append(("%s exists" % exe, False, "not found"))
            continue
        results += [("%s %s" % (exe, name), ok, detail) for name, ok, detail in check(exe)]
    return 0 if report(results, "resources") else 1


if __name__ == "__main__":
    sys.exit(main())
