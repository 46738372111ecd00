#!/usr/bin/python3
"""Runs the end-to-end suites on a private Xvfb display and Wine prefix.

  tests/e2e/run_all.py                 every suite (tests/e2e/test_*.py)
  tests/e2e/run_all.py --suite shell   one suite (repeatable)
  tests/e2e/run_all.py -k close        only scenarios whose name contains "close"
  tests/e2e/run_all.py --bench         launch/click times of Velmora beside the floor
  tests/e2e/run_all.py --soak MINUTES  random runs with new seeds (headless and under
                                       Wine) until the time is up or one fails

Prints PASS/FAIL/SKIP per scenario and ends with
"e2e: N passed, N failed, N skipped". Exit status 1 on any failure.
Screenshots go to build/e2e-screens/. VELMORA_E2E_KEEP=1 keeps the prefixes."""
import argparse
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import ROOT, Session  # noqa: E402

# Every tests/e2e/test_NAME.py with a module-level `suite`; harness first so a
# broken harness shows before the scenarios that rely on it, and the slow
# i686 suite last, after the 64-bit tour it compares itself with.
_HERE = os.path.dirname(os.path.abspath(__file__))
SUITES = sorted((f[5:-3] for f in os.listdir(_HERE) if f.startswith("test_") and f.endswith(".py")),
                key=lambda n: (n != "harness", n != "shell", n == "i686", n))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--suite", action="append", choices=SUITES)
    ap.add_argument("-k", action="append", dest="only")
    ap.add_argument("--bench", action="store_true")
    ap.add_argument("--soak", type=float, metavar="MINUTES")
    args = ap.parse_args()
    if args.soak is not None:
        return soak(args.soak)
    if args.bench:
        import bench
        with Session() as s:
            return bench.run(s)
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    suites = args.suite or SUITES
    with Session() as s:
        print("e2e: display %s, temp %s" % (s.display.name, s.tmp), flush=True)
        if "i686" in suites:
            import test_i686
            if test_i686.why_no_32bit() is None:
                s.begin_i686_template()
        for name in suites:
            module = __import__("test_" + name)
            module.suite.run(s, args.only, counts)
    print("e2e: %d passed, %d failed, %d skipped" % (counts["passed"], counts["failed"], counts["skipped"]))
    return 1 if counts["failed"] else 0


def soak(minutes):
    """Random seeds, each printed before it runs, until the time is up or a run fails."""
    import test_random
    unit = os.path.join(ROOT, "build", "native", "tests", "unit", "velmora_tests")
    pick = random.SystemRandom()
    deadline = time.monotonic() + minutes * 60
    used = []
    with Session() as s:
        while time.monotonic() < deadline:
            seed = pick.randrange(1, 1000000)
            print("soak: headless random run, seed %d" % seed, flush=True)
            r = subprocess.run([unit, "--gtest_filter=RandomRun.*"], capture_output=True, text=True,
                               env=dict(os.environ, VELMORA_RANDOM_SEED=str(seed)))
            if r.returncode != 0:
                print(r.stdout[-6000:] + r.stderr[-2000:])
                print("soak: FAILED headless, seed %d; repeat with VELMORA_RANDOM_SEED=%d %s "
                      "--gtest_filter='RandomRun.*'" % (seed, seed, os.path.relpath(unit, ROOT)))
                return 1
            print("soak: random input under Wine, seed %d" % seed, flush=True)
            try:
                test_random.run_seed(s, seed)
            except AssertionError as e:
                print("soak: FAILED under Wine: %s" % e)
                print("soak: repeat with VELMORA_E2E_RANDOM_SEED=%d tests/e2e/run_all.py --suite random" % seed)
                return 1
            used.append(seed)
    print("soak: %d seeds in %.1f minutes, no failure: %s" % (len(used), minutes, " ".join(map(str, used))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
