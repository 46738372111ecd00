#!/usr/bin/env bash
# Builds the Windows exes (x86_64, its trace build, i686) and the floor
# programs, then measures Velmora, under Wine on a private virtual display,
# beside floors that make the same windows and texts as each page (read off
# the trace build) and do the same switches, and prints: start-up, every
# tile and tab to its page, every back button to the main window (median,
# 95th percentile and ratio to the page's matched floor; then beside the
# bare floor), memory after a tour and every seven tours after it,
# Velmora's own memory over the heaviest matched floor by owner, the exe
# sizes, and where each switch's time goes.
#   VELMORA_BENCH_RUNS=N          start-up runs per median (default 7)
#   VELMORA_BENCH_ROUND_TRIPS=N   round trips after the tour (default 200,
#                                 rounded up to whole tours)
# Exit status: 0 every target met, 2 a target missed, 1 a window never showed.
# Run it on an otherwise idle machine: it measures milliseconds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
cmake --build --preset x86_64 --target velmora_trace >/dev/null
tests/e2e/floor/build.sh >/dev/null
exec /usr/bin/python3 tests/e2e/run_all.py --bench
