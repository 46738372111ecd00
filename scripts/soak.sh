#!/usr/bin/env bash
# Random input for as long as asked, with new seeds every time: the
# headless random run (tests/unit) and the real-input run under Wine
# (tests/e2e/test_random.py) in turn, each with a fresh seed that is
# printed before it starts. Stops at the first failure and prints its seed
# and last inputs, so that the run can be repeated:
#   VELMORA_RANDOM_SEED=N build/native/tests/unit/velmora_tests --gtest_filter='RandomRun.*'
#   VELMORA_E2E_RANDOM_SEED=N tests/e2e/run_all.py --suite random
# Not part of the test command, whose seeds are fixed.
#   scripts/soak.sh [MINUTES]   (default 10)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
minutes=${1:-10}
[[ "${VELMORA_SKIP_SETUP:-}" == 1 ]] || bash scripts/setup.sh
bash scripts/build.sh native x86_64 >/dev/null
exec /usr/bin/python3 tests/e2e/run_all.py --soak "$minutes"
