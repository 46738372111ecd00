#!/usr/bin/env bash
# Shows that the random run's fixed seeds catch real faults: each patch of
# tests/e2e/planted/ plants one (a save fired by a release that began
# elsewhere, a close that writes, ...) into an export of the committed
# tree, which is built (x86_64) in a folder of its own; then the random run
# of this checkout drives that exe with each fixed seed of
# tests/e2e/random-seeds.txt, one seed at a time, and must fail.
#
#   scripts/planted-faults.sh [PATCH...]   default: every tests/e2e/planted/*.patch
#
# Prints, per fault and seed, "caught" with the run's first lines of
# failure, or "MISSED"; exits 1 when a fault is caught by no seed, or when
# a patch no longer applies. About 2 minutes per fault on two idle cores.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
py=/usr/bin/python3

patches=("$@")
[[ ${#patches[@]} -gt 0 ]] || patches=(tests/e2e/planted/*.patch)
seeds=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' tests/e2e/random-seeds.txt)

# The layout tool and the test tools come from this checkout: a planted
# fault changes behaviour, not where the controls are.
cmake --preset native >/dev/null && cmake --build --preset native --target velmora_layout >/dev/null || {
  echo "planted: the native build failed" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  tree="$work/$name"
  mkdir -p "$tree"
  git archive HEAD | tar -x -C "$tree"
  if ! git -C "$tree" apply "$root/$patch" 2>"$tree.apply.log" && ! (cd "$tree" && patch -p1 -s <"$root/$patch"); then
    echo "planted $name: the patch no longer applies"
    cat "$tree.apply.log"
    status=1
    continue
  fi
  echo "planted $name: building"
  if ! (cd "$tree" && cmake --preset x86_64 >"$tree.build.log" 2>&1 && cmake --build --preset x86_64 >>"$tree.build.log" 2>&1); then
    echo "planted $name: the build failed (last lines of $tree.build.log):"
    tail -n 20 "$tree.build.log"
    status=1
    continue
  fi
  caught=0
  for seed in $seeds; do
    log="$work/$name-$seed.log"
    VELMORA_E2E_EXE="$tree/build/x86_64/Velmora.exe" VELMORA_E2E_RANDOM_SEED="$seed" \
      $py tests/e2e/run_all.py --suite random >"$log" 2>&1
    if grep -q '^FAIL random/' "$log"; then
      caught=$((caught + 1))
      echo "planted $name: caught by seed $seed:"
      sed -n '/^FAIL random\//,/last inputs:/p' "$log" | sed -E 's/^FAIL random\/.*\([0-9.]+ s\): /  /' | head -n 6
    else
      echo "planted $name: MISSED by seed $seed"
    fi
  done
  if [[ $caught -eq 0 ]]; then
    echo "planted $name: caught by no seed"
    status=1
  fi
done
exit $status
