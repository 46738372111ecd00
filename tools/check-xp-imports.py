#!/usr/bin/python3
"""Check that a Windows exe can be loaded by Windows XP SP3.

  check-xp-imports.py [--list tools/xp-imports.txt] EXE
      Reads the PE file itself (no objdump needed) and checks:
        - it is a 32-bit x86 image (PE32, machine i386);
        - the subsystem version is 5.1 (the XP loader refuses 6.0);
        - every imported DLL is in the list and every function imported
          from it is listed for that DLL (imports by ordinal are refused:
          ordinals differ between Windows versions).
      Prints one PASS/FAIL line per check, then
      "xp-imports: N passed, N failed". Exit status 1 on any failure.

  check-xp-imports.py --self-test
      Builds small programs with the i686 MinGW compiler, each with one known
      fault (a Vista-only import, a 64-bit image, subsystem 6.0, an unknown
      DLL, an import by ordinal) and one clean one, and checks that the
      checker flags exactly the faulty ones.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_LIST = os.path.join(HERE, "xp-imports.txt")

IMAGE_FILE_MACHINE_I386 = 0x014C
PE32_MAGIC = 0x10B
PE32PLUS_MAGIC = 0x20B


class PeError(Exception):
    pass


def load_allowed(path):
    allowed = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                current = allowed.setdefault(line[1:-1].strip().lower(), set())
                continue
            if current is None:
                raise SystemExit(f"{path}:{lineno}: function listed before any [dll] section")
            current.add(line)
    return allowed


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("not an MZ/PE file")
        (pe_off,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_off:pe_off + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_off + 4
        (self.machine, nsections, _, _, _, opt_size, self.characteristics) = struct.unpack_from(
            "<HHIIIHH", data, coff)
        opt = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, opt)
        if self.magic not in (PE32_MAGIC, PE32PLUS_MAGIC):
            raise PeError(f"unknown optional header magic {self.magic:#x}")
        # Fields at the same offsets in PE32 and PE32+.
        (self.major_os, self.minor_os, _, _, self.major_subsys, self.minor_subsys) = struct.unpack_from(
            "<HHHHHH", data, opt + 40)
        (self.subsystem,) = struct.unpack_from("<H", data, opt + 68)
        if self.magic == PE32_MAGIC:
            (self.image_base,) = struct.unpack_from("<I", data, opt + 28)
        else:
            (self.image_base,) = struct.unpack_from("<Q", data, opt + 24)
        dirs = opt + (96 if self.magic == PE32_MAGIC else 112)
        (ndirs,) = struct.unpack_from("<I", data, dirs - 4)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        sec = opt + opt_size
        for i in range(nsections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, sec + 40 * i)
            self.sections.append((va, max(vsize, rawsize), rawptr, rawsize))

    @property
    def is_pe32_i386(self):
        return self.magic == PE32_MAGIC and self.machine == IMAGE_FILE_MACHINE_I386

    def offset(self, rva):
        for va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise PeError(f"RVA {rva:#x} lies in uninitialised data")
                return rawptr + rva - va
        raise PeError(f"RVA {rva:#x} is outside every section")

    def cstr(self, rva):
        off = self.offset(rva)
        end = self.data.index(b"\0", off)
        return self.data[off:end].decode("ascii", "replace")

    def _thunks(self, rva):
        off = self.offset(rva)
        wide = self.magic == PE32PLUS_MAGIC
        fmt, size = ("<Q", 8) if wide else ("<I", 4)
        ordinal_flag = 1 << (63 if wide else 31)
        while True:
            (v,) = struct.unpack_from(fmt, self.data, off)
            if v == 0:
                return
            if v & ordinal_flag:
                yield ("#%d" % (v & 0xFFFF))
            else:
                yield self.cstr((v & 0x7FFFFFFF) + 2)  # skip the hint
            off += size

    def imports(self):
        """[(dll, [function or '#ordinal', ...], kind)] for normal and delay-load imports."""
        result = []
        if len(self.dirs) > 1 and self.dirs[1][0]:
            off = self.offset(self.dirs[1][0])
            while True:
                oft, _, _, name_rva, ft = struct.unpack_from("<IIIII", self.data, off)
                if not (oft or name_rva or ft):
                    break
                result.append((self.cstr(name_rva), list(self._thunks(oft or ft)), "import"))
                off += 20
        if len(self.dirs) > 13 and self.dirs[13][0]:
            off = self.offset(self.dirs[13][0])
            while True:
                attrs, name_rva, _, _, int_rva = struct.unpack_from("<IIIII", self.data, off)
                if not name_rva:
                    break
                # Old-style (attrs bit 0 clear) descriptors hold VAs, not RVAs.
                base = 0 if attrs & 1 else self.image_base
                result.append((self.cstr(name_rva - base), list(self._thunks(int_rva - base)), "delay-load"))
                off += 32
        return result


def check(exe, allowed):
    """Returns [(name, ok, detail)]."""
    results = []
    with open(exe, "rb") as f:
        data = f.read()
    try:
        pe = PeFile(data)
    except PeError as e:
        return [("pe-format", False, str(e))]
    results.append(("pe-format", True, ""))
    results.append(("32-bit-x86", pe.is_pe32_i386,
                    f"magic {pe.magic:#x}, machine {pe.machine:#06x} (want PE32 {PE32_MAGIC:#x}, i386 {IMAGE_FILE_MACHINE_I386:#06x})"))
    results.append(("subsystem-version-5.1", (pe.major_subsys, pe.minor_subsys) == (5, 1),
                    f"MajorSubsystemVersion {pe.major_subsys}, MinorSubsystemVersion {pe.minor_subsys} (want 5.1)"))
    try:
        imports = pe.imports()
    except PeError as e:
        results.append(("import-table", False, str(e)))
        return results
    bad_dlls, bad_funcs = [], []
    for dll, funcs, kind in imports:
        listed = allowed.get(dll.lower())
        if listed is None:
            bad_dlls.append(f"{dll} ({kind})")
            continue
        for fn in funcs:
            if fn not in listed:
                bad_funcs.append(f"{dll}!{fn}" + (" (by ordinal)" if fn.startswith("#") else "") +
                                 ("" if kind == "import" else f" ({kind})"))
    results.append(("imported-dlls-on-xp", not bad_dlls, "not on XP or not listed: " + ", ".join(bad_dlls)))
    results.append(("imported-functions-on-xp", not bad_funcs, "not on XP SP3 or not listed: " + ", ".join(bad_funcs)))
    return results


def report(exe, results, label="xp-imports"):
    passed = failed = 0
    for name, ok, detail in results:
        if ok:
            passed += 1
            print(f"PASS {name}")
        else:
            failed += 1
            print(f"FAIL {name}: {detail}")
    print(f"{label}: {passed} passed, {failed} failed")
    return failed == 0


# --- self-test -------------------------------------------------------------

CLEAN = r"""
#include <windows.h>
__INCLUDE__
#include <string>
#include <vector>
#include <functional>
#include <stdexcept>
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR cmd, int) {
  std::vector<std::wstring> v{L"a", cmd};
  std::function<int(int)> f = [&](int x) { return x + (int)v.size(); };
  int r = 0;
  try { if (v.size() > 1) throw std::runtime_error("x"); } catch (const std::exception&) { r = f(1); }
  __IMPORT__
  return r;
}
"""

XP_FLAGS = ["-Wl,--subsystem,windows:5.01", "-Wl,--major-os-version,5", "-Wl,--minor-os-version,1"]

# name, compiler, _WIN32_WINNT, extra #include, extra source line, link flags,
# the checks that must fail (all others must pass)
SELF_TEST_CASES = [
    ("clean xp build", "i686", "0x0501", "", 'MessageBoxW(nullptr, L"", L"", 0);', XP_FLAGS, set()),
    ("vista-only kernel32 import", "i686", "0x0600", "", "r += (int)GetTickCount64();", XP_FLAGS,
     {"imported-functions-on-xp"}),
    ("vista-only advapi32 import", "i686", "0x0600", "",
     'DWORD n = 0; RegGetValueW(HKEY_CURRENT_USER, L"a", L"b", RRF_RT_ANY, nullptr, nullptr, &n);',
     XP_FLAGS + ["-ladvapi32"], {"imported-functions-on-xp"}),
    ("secure crt function (not in xp msvcrt)", "i686", "0x0501", "#include <wchar.h>",
     'wchar_t b[8]; wcscpy_s(b, 8, cmd); r += b[0];', XP_FLAGS, {"imported-functions-on-xp"}),
    ("dll missing on xp", "i686", "0x0600", "#include <dwmapi.h>",
     "BOOL on = FALSE; DwmIsCompositionEnabled(&on);", XP_FLAGS + ["-ldwmapi"], {"imported-dlls-on-xp"}),
    ("subsystem 6.0", "i686", "0x0501", "", 'MessageBoxW(nullptr, L"", L"", 0);',
     ["-Wl,--subsystem,windows:6.0"], {"subsystem-version-5.1"}),
    # A 64-bit MinGW runtime also imports x64-only unwinding functions.
    ("64-bit image", "x86_64", "0x0501", "", 'MessageBoxW(nullptr, L"", L"", 0);', XP_FLAGS,
     {"32-bit-x86", "imported-functions-on-xp"}),
]


def self_test(allowed):
    tmp = tempfile.mkdtemp(prefix="xpcheck-")
    passed = failed = 0
    try:
        for i, (name, arch, winnt, include, line, flags, must_fail) in enumerate(SELF_TEST_CASES):
            src = os.path.join(tmp, f"case{i}.cpp")
            exe = os.path.join(tmp, f"case{i}.exe")
            with open(src, "w") as f:
                f.write(CLEAN.replace("__INCLUDE__", include).replace("__IMPORT__", line))
            cmd = [f"{arch}-w64-mingw32-g++-win32", "-std=c++20", "-Os", "-municode", "-mwindows",
                   f"-D_WIN32_WINNT={winnt}", "-static", "-static-libgcc", "-static-libstdc++",
                   src, "-o", exe] + flags
            build = subprocess.run(cmd, capture_output=True, text=True)
            if build.returncode != 0:
                failed += 1
                print(f"FAIL self-test[{name}]: build failed: {build.stderr.strip()[-400:]}")
                continue
            got_fail = {n for n, ok, _ in check(exe, allowed) if not ok}
            if got_fail == must_fail:
                passed += 1
                print(f"PASS self-test[{name}]")
            else:
                failed += 1
                print(f"FAIL self-test[{name}]: failed checks {sorted(got_fail)}, expected {sorted(must_fail)}")
                for n, ok, d in check(exe, allowed):
                    if not ok:
                        print(f"     {n}: {d}")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print(f"xp-imports-self-test: {passed} passed, {failed} failed")
    return failed == 0


def main():
    ap = argparse.ArgumentParser(description="Check a Windows exe against the Windows XP SP3 import list.")
    ap.add_argument("exe", nargs="?")
    ap.add_argument("--list", default=DEFAULT_LIST)
    ap.add_argument("--self-test", action="store_true")
    args = ap.parse_args()
    allowed = load_allowed(args.list)
    if args.self_test:
        return 0 if self_test(allowed) else 1
    if not args.exe:
        ap.error("give an exe or --self-test")
    if not os.path.isfile(args.exe):
        print(f"FAIL exists: {args.exe} not found")
        print("xp-imports: 0 passed, 1 failed")
        return 1
    print(f"checking {args.exe}")
    return 0 if report(args.exe, check(args.exe, allowed)) else 1


if __name__ == "__main__":
    sys.exit(main())
