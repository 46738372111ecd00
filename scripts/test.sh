#!/usr/bin/env bash
# The single test command: sets up, builds, then runs every suite —
# native unit tests (ctest), the layer check, picture checks, the Windows
# XP import check, the exes' version resource, manifest and build
# independence, and the end-to-end scenarios under Wine on a virtual
# display — and ends with one line "N passed, N failed" that adds up all
# suites.
# Exit status is non-zero if anything failed.
#   VELMORA_SKIP_SETUP=1   do not run scripts/setup.sh
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
py=/usr/bin/python3
logs="$root/build/test-logs"

total_pass=0
total_fail=0
summary=()

count() {  # count SUITE PASSED FAILED
  total_pass=$((total_pass + $2))
  total_fail=$((total_fail + $3))
  summary+=("$(printf '%-20s %4d passed, %4d failed' "$1" "$2" "$3")")
}

# Reads "N passed, N failed" from the last such line of a log.
counts_from() {
  grep -Eo '[0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1 | sed -E 's/([0-9]+) passed, ([0-9]+) failed/\1 \2/'
}

step() { echo; echo "=== $* ==="; }

if [[ "${VELMORA_SKIP_SETUP:-}" != 1 ]]; then
  step setup
  if ! bash scripts/setup.sh; then
    echo "setup failed"
    count setup 0 1
  fi
fi
mkdir -p "$logs"

step build
for preset in native i686 x86_64; do
  if cmake --preset "$preset" >"$logs/configure-$preset.log" 2>&1 &&
     cmake --build --preset "$preset" >"$logs/build-$preset.log" 2>&1; then
    echo "PASS build $preset"
    count "build:$preset" 1 0
  else
    echo "FAIL build $preset (last lines of $logs/build-$preset.log):"
    tail -n 30 "$logs/configure-$preset.log" "$logs/build-$preset.log" 2>/dev/null
    count "build:$preset" 0 1
  fi
done

step "unit tests (ctest)"
ctest --preset native 2>&1 | tee "$logs/ctest.log"
line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/ctest.log" | tail -n 1)
if [[ -n "$line" ]]; then
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  count unit $((all - failed)) "$failed"
else
  echo "no unit test ran"
  count unit 0 1
fi

step "layer check"
$py tools/check-layers.py --self-test 2>&1 | tee "$logs/layers-self-test.log"
read -r p f <<<"$(counts_from "$logs/layers-self-test.log")"
count layers-self-test "${p:-0}" "${f:-1}"
$py tools/check-layers.py 2>&1 | tee "$logs/layers.log"
read -r p f <<<"$(counts_from "$logs/layers.log")"
count layers "${p:-0}" "${f:-1}"

if [[ -f tests/assets/check_pictures.py ]]; then
  step "picture checks"
  $py tests/assets/check_pictures.py 2>&1 | tee "$logs/pictures.log"
  rc=${PIPESTATUS[0]}
  read -r p f <<<"$(counts_from "$logs/pictures.log")"
  if [[ -n "${p:-}" ]]; then
    [[ $rc -ne 0 && ${f:-0} -eq 0 ]] && f=1
    count pictures "$p" "$f"
  elif [[ $rc -eq 0 ]]; then count pictures 1 0
  else count pictures 0 1
  fi
fi

step "Windows XP import check"
$py tools/check-xp-imports.py --self-test 2>&1 | tee "$logs/xp-self-test.log"
read -r p f <<<"$(counts_from "$logs/xp-self-test.log")"
count xp-self-test "${p:-0}" "${f:-1}"
$py tools/check-xp-imports.py build/i686/Velmora.exe 2>&1 | tee "$logs/xp-imports.log"
read -r p f <<<"$(counts_from "$logs/xp-imports.log")"
count xp-imports "${p:-0}" "${f:-1}"

step "version resource, manifest, nothing of the build machine"
$py tools/check-resources.py --self-test 2>&1 | tee "$logs/resources-self-test.log"
read -r p f <<<"$(counts_from "$logs/resources-self-test.log")"
count resources-self-test "${p:-0}" "${f:-1}"
$py tools/check-resources.py build/i686/Velmora.exe build/x86_64/Velmora.exe 2>&1 | tee "$logs/resources.log"
read -r p f <<<"$(counts_from "$logs/resources.log")"
count resources "${p:-0}" "${f:-1}"

step "end-to-end (Wine, Xvfb)"
$py tests/e2e/run_all.py 2>&1 | tee "$logs/e2e.log"
rc=${PIPESTATUS[0]}
read -r p f <<<"$(counts_from "$logs/e2e.log")"
[[ $rc -ne 0 && ${f:-0} -eq 0 ]] && f=1
count e2e "${p:-0}" "${f:-1}"

step summary
printf '%s\n' "${summary[@]}"
echo "screenshots: $root/build/e2e-screens/"
echo "$total_pass passed, $total_fail failed"
[[ $total_fail -eq 0 ]]
