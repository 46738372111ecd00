#!/usr/bin/env bash
# The release a Windows user downloads: dist/Velmora-<version>.zip holding
# the Windows XP exe (the i686 build), the Chinese user guide 说明.txt and
# SHA256SUMS, and beside it dist/Velmora-<version>.zip.sha256.
#
#   scripts/release.sh           build build/i686/Velmora.exe, check it, write the zip
#   scripts/release.sh --check   clone this commit twice into two fresh folders,
#                                make the release in each and compare the zips
#
# The zip is made from the committed state: its entries carry the commit's
# time, so two builds of one commit give the same bytes (the exe is linked
# without a time stamp or build folder). Before the zip is written the exe
# must pass the Windows XP import check and the resource check (manifest,
# version); afterwards it is unpacked with unzip and SHA256SUMS verified.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
py=/usr/bin/python3

version=$(sed -n 's/.*VALUE "FileVersion", "\([^"]*\)".*/\1/p' src/win32/velmora.rc)
[[ -n $version ]] || { echo "release: no FileVersion in src/win32/velmora.rc" >&2; exit 1; }
zip_name="Velmora-$version.zip"

warn_if_changed() {
  if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "release: warning: files differ from the commit; $1" >&2
  fi
}

# Unpacks a release zip into a new folder and checks it there: exactly the
# three files, and every checksum of SHA256SUMS.
verify_zip() {  # verify_zip ZIP
  local unpacked
  unpacked=$(mktemp -d)
  # unzip takes the guide's name from the zip's UTF-8 field only in a UTF-8
  # locale; in the C locale it would write it as #U escapes.
  LC_ALL=C.UTF-8 unzip -q "$1" -d "$unpacked"
  local listed
  listed=$(cd "$unpacked" && find . -type f | sort | tr '\n' ' ')
  if [[ $listed != "./SHA256SUMS ./Velmora.exe ./说明.txt " ]]; then
    echo "release: $1 holds $listed" >&2
    rm -rf "$unpacked"
    return 1
  fi
  (cd "$unpacked" && sha256sum -c SHA256SUMS) || { rm -rf "$unpacked"; return 1; }
  rm -rf "$unpacked"
}

release() {
  warn_if_changed "the zip holds them but carries the commit's time"
  echo "release: building the i686 exe"
  cmake --preset i686 >/dev/null
  cmake --build --preset i686 >/dev/null
  local exe=build/i686/Velmora.exe
  $py tools/check-xp-imports.py "$exe" >/dev/null || { $py tools/check-xp-imports.py "$exe"; exit 1; }
  $py tools/check-resources.py "$exe" >/dev/null || { $py tools/check-resources.py "$exe"; exit 1; }
  echo "release: $exe passes the Windows XP import check and carries its manifest and version"
  mkdir -p dist
  $py tools/make-release.py --exe "$exe" --guide docs/guide.zh.txt \
    --time "$(git log -1 --format=%ct HEAD)" --out "dist/$zip_name"
  verify_zip "dist/$zip_name"
  (cd dist && sha256sum "$zip_name" >"$zip_name.sha256")
  echo "release: $root/dist/$zip_name"
  cat "dist/$zip_name.sha256"
}

check() {
  warn_if_changed "the check builds the commit without them"
  local commit t0
  commit=$(git rev-parse HEAD)
  clones=$(mktemp -d)  # global: the trap runs after this function has returned
  trap 'rm -rf "$clones"' EXIT
  # Two folders whose paths differ in length and name: a build folder
  # that leaked into the exe would show as a difference.
  local first="$clones/a/velmora" second="$clones/second-clone-in-a-longer-folder/velmora-$commit"
  for dir in "$first" "$second"; do
    t0=$SECONDS
    git clone --quiet --no-checkout "$root" "$dir"
    git -C "$dir" checkout --quiet --detach "$commit"
    echo "release --check: building $commit in $dir"
    bash "$dir/scripts/release.sh" >"$dir.log" 2>&1 || { cat "$dir.log"; exit 1; }
    echo "release --check: made in $((SECONDS - t0)) s: $(cat "$dir/dist/$zip_name.sha256")"
  done
  if cmp "$first/dist/$zip_name" "$second/dist/$zip_name"; then
    echo "release --check: the two zips are identical, byte for byte"
  else
    echo "release --check: FAIL: the two builds of $commit differ" >&2
    exit 1
  fi
  verify_zip "$first/dist/$zip_name"
  if [[ -f dist/$zip_name ]]; then
    if cmp -s "$first/dist/$zip_name" "dist/$zip_name"; then
      echo "release --check: dist/$zip_name here is the same zip"
    else
      echo "release --check: dist/$zip_name here differs: it was made from other files or another commit"
    fi
  fi
}

case "${1:-}" in
  "") release ;;
  --check) check ;;
  *) echo "usage: scripts/release.sh [--check]" >&2; exit 2 ;;
esac
