#!/usr/bin/env bash
# Builds the Windows exes (x86_64, i686) and the floor program, then measures
# Velmora beside the floor under Wine on a private virtual display and prints
# one table: start-up, every tile and tab to its page, every back button to
# the main window, resident memory over 200 round trips, and the exe sizes.
#   VELMORA_BENCH_RUNS=N          runs per median (default 7, at least 5)
#   VELMORA_BENCH_ROUND_TRIPS=N   round trips for the memory check (default 200)
# Exit status: 0 every target met, 2 a target missed, 1 a window never showed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
tests/e2e/floor/build.sh >/dev/null
exec /usr/bin/python3 tests/e2e/run_all.py --bench
