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
import subprocess
import sys
import tempfile

from pe import PE32_MAGIC, IMAGE_FILE_MACHINE_I386, PeError, PeFile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_LIST = os.path.join(HERE, "xp-imports.txt")


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
