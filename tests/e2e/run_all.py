#!/usr/bin/python3
"""Runs the end-to-end suites on a private Xvfb display and Wine prefix.

  tests/e2e/run_all.py                 every suite (tests/e2e/test_*.py)
  tests/e2e/run_all.py --suite shell   one suite (repeatable)
  tests/e2e/run_all.py -k close        only scenarios whose name contains "close"
  tests/e2e/run_all.py --bench         launch/click times of Velmora beside the floor

Prints PASS/FAIL/SKIP per scenario and ends with
"e2e: N passed, N failed, N skipped". Exit status 1 on any failure.
Screenshots go to build/e2e-screens/. VELMORA_E2E_KEEP=1 keeps the prefixes."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import Session  # noqa: E402

# Every tests/e2e/test_NAME.py with a module-level `suite`; harness first so a
# broken harness shows before the scenarios that rely on it.
_HERE = os.path.dirname(os.path.abspath(__file__))
SUITES = sorted((f[5:-3] for f in os.listdir(_HERE) if f.startswith("test_") and f.endswith(".py")),
                key=lambda n: (n != "harness", n != "shell", n))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--suite", action="append", choices=SUITES)
    ap.add_argument("-k", action="append", dest="only")
    ap.add_argument("--bench", action="store_true")
    args = ap.parse_args()
    if args.bench:
        import bench
        with Session() as s:
            return bench.run(s)
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    with Session() as s:
        print("e2e: display %s, temp %s" % (s.display.name, s.tmp), flush=True)
        for name in args.suite or SUITES:
            module = __import__("test_" + name)
            module.suite.run(s, args.only, counts)
    print("e2e: %d passed, %d failed, %d skipped" % (counts["passed"], counts["failed"], counts["skipped"]))
    return 1 if counts["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
