"""Scenario runner: each scenario is a named function that takes the Session
and raises on failure (AssertionError / HarnessError) or Skip to be skipped."""
import time
import traceback


class Skip(Exception):
    pass


class Suite:
    def __init__(self, name):
        self.name = name
        self.scenarios = []

    def scenario(self, name):
        def register(fn):
            self.scenarios.append((name, fn))
            return fn
        return register

    def run(self, session, only=None, counts=None):
        counts = counts if counts is not None else {"passed": 0, "failed": 0, "skipped": 0}
        for name, fn in self.scenarios:
            full = "%s/%s" % (self.name, name)
            if only and not any(o in full for o in only):
                continue
            t0 = time.monotonic()
            try:
                fn(session)
            except Skip as e:
                counts["skipped"] += 1
                print("SKIP %s: %s" % (full, e), flush=True)
            except Exception as e:  # a scenario's failure must not stop the others
                counts["failed"] += 1
                print("FAIL %s (%.1f s): %s" % (full, time.monotonic() - t0, e), flush=True)
                if not isinstance(e, AssertionError):
                    traceback.print_exc()
            else:
                counts["passed"] += 1
                print("PASS %s (%.1f s)" % (full, time.monotonic() - t0), flush=True)
        return counts


def check(cond, message):
    if not cond:
        raise AssertionError(message)
