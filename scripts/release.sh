#!/usr/bin/env bash
# The release a Windows user downloads: dist/Velmora-<version>.zip holding
# the Windows XP exe (the i686 build), the Chinese user guide 说明.txt,
# BUILD-INFO.txt (the commit and the tools it was built with) and
# SHA256SUMS, and beside it dist/Velmora-<version>.zip.sha256.
#
#   scripts/release.sh              make the release of HEAD in dist/
#   scripts/release.sh --dist DIR   the same, written to DIR instead of dist/
#   scripts/release.sh --check      make it twice, at two different paths,
#                                   and compare the zips byte for byte
#
# The release is the commit: HEAD is exported (git archive) into a fresh
# temporary folder and built there, in that folder's own build/i686, with
# the zip writer, the checks and the guide of the commit. A changed,
# added or left-over file of the working tree never reaches the zip; when
# the working tree differs from HEAD this script says so and leaves it out.
#
# The zip's entries carry the commit's time and the exe is linked without a
# time stamp or build folder, so the same commit built with the same tools
# (BUILD-INFO.txt names them) gives the same bytes. Before the zip is
# written the exe must pass the Windows XP import check and the resource
# check (manifest, version); afterwards it is unpacked with unzip and
# SHA256SUMS verified.
set -euo pipefail
caller=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
py=/usr/bin/python3

commit=$(git rev-parse --verify HEAD)
version=$(git show "$commit:src/win32/velmora.rc" | sed -n 's/.*VALUE "FileVersion", "\([^"]*\)".*/\1/p')
[[ -n $version ]] || { echo "release: no FileVersion in src/win32/velmora.rc of $commit" >&2; exit 1; }
zip_name="Velmora-$version.zip"

# Every folder this run makes goes in here and is removed at the end.
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

say_if_tree_differs() {
  local changed
  changed=$(git status --porcelain --untracked-files=all | wc -l)
  if ((changed > 0)); then
    echo "release: the working tree differs from ${commit:0:12} in $changed file(s);" \
      "the release is built from the commit alone, without them" >&2
  fi
}

# Unpacks a release zip into a new folder and checks it there: exactly the
# four files, and every checksum of SHA256SUMS.
verify_zip() {  # verify_zip ZIP
  local unpacked listed
  unpacked=$(mktemp -d "$work/unpacked.XXXXXX")
  # unzip takes the guide's name from the zip's UTF-8 field only in a UTF-8
  # locale; in the C locale it would write it as #U escapes.
  LC_ALL=C.UTF-8 unzip -q "$1" -d "$unpacked"
  listed=$(cd "$unpacked" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
  if [[ $listed != "./BUILD-INFO.txt ./SHA256SUMS ./Velmora.exe ./说明.txt " ]]; then
    echo "release: $1 holds $listed" >&2
    return 1
  fi
  (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || return 1
}

# "PACKAGE VERSION" of the Debian package that holds FILE, or nothing.
package_of() {  # package_of FILE
  local package
  [[ -n $1 ]] || return 0
  package=$(dpkg -S "$(readlink -f "$1")" 2>/dev/null | sed -n '1s/: .*//p') || true
  [[ -z $package ]] || dpkg-query -W -f='${Package} ${Version}' "$package" 2>/dev/null || true
}

# One line of BUILD-INFO.txt: "LABEL  VERSION; PACKAGE VERSION".
tool_line() {  # tool_line LABEL VERSION FILE
  local package
  package=$(package_of "$3")
  printf '%-9s%s%s\n' "$1" "$2" "${package:+; $package}"
}

# The MinGW-w64 runtime's version, as its headers give it to the compiler.
mingw_version() {  # mingw_version CXX
  printf '#include <_mingw.h>\n__MINGW64_VERSION_STR\n' | "$1" -E -P -x c++ - | tail -n 1 | tr -d '" '
}

# BUILD-INFO.txt: the commit and the tools the exe and the zip depend on:
# the compiler and linker CMake used for BUILD_DIR, the MinGW-w64 runtime
# they link in, CMake, and the Python and zlib that write the zip. No date
# and no folder: the same commit and tools give the same file.
build_info() {  # build_info BUILD_DIR
  local cxx ld
  cxx=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$1"/CMakeFiles/*/CMakeCXXCompiler.cmake)
  ld=$(sed -n 's/^CMAKE_LINKER:FILEPATH=//p' "$1/CMakeCache.txt")
  echo "Velmora $version"
  echo "commit $commit"
  echo
  echo "Built with these tools. The same commit built with the same tools gives the same zip, byte for byte."
  tool_line g++ "$("$cxx" --version | head -n 1)" "$cxx"
  tool_line ld "$("$ld" --version | head -n 1)" "$ld"
  tool_line runtime "mingw-w64 $(mingw_version "$cxx")" "$("$cxx" -print-file-name=libmingw32.a)"
  tool_line cmake "$(cmake --version | head -n 1)" "$(command -v cmake)"
  tool_line python "Python $($py -c 'import platform; print(platform.python_version())')" "$py"
  tool_line zlib "$($py -c 'import zlib; print(zlib.ZLIB_RUNTIME_VERSION, "(Python built with", zlib.ZLIB_VERSION + ")")')" ""
}

# Exports the commit into the new folder SRC, builds the i686 exe there
# (its own build/i686; the build's output goes to SRC.log), checks it and
# writes the zip to OUT.
make_zip() {  # make_zip SRC OUT
  local src=$1 out=$2 t0=$SECONDS
  mkdir -p "$src"
  git archive --format=tar "$commit" | tar -x -C "$src"
  echo "release: building the i686 exe of ${commit:0:12} in $src"
  if ! (cd "$src" && cmake --preset i686 && cmake --build --preset i686) >"$src.log" 2>&1; then
    tail -n 30 "$src.log" >&2
    echo "release: the build failed" >&2
    exit 1
  fi
  local exe=$src/build/i686/Velmora.exe
  $py "$src/tools/check-xp-imports.py" "$exe" >/dev/null || { $py "$src/tools/check-xp-imports.py" "$exe"; exit 1; }
  $py "$src/tools/check-resources.py" "$exe" >/dev/null || { $py "$src/tools/check-resources.py" "$exe"; exit 1; }
  echo "release: the exe passes the Windows XP import check and carries its manifest and version"
  build_info "$src/build/i686" >"$src/BUILD-INFO.txt"
  $py "$src/tools/make-release.py" --exe "$exe" --guide "$src/docs/guide.zh.txt" \
    --build-info "$src/BUILD-INFO.txt" --time "$(git log -1 --format=%ct "$commit")" --out "$out"
  verify_zip "$out"
  echo "release: made in $((SECONDS - t0)) s"
}

release() {  # release DIST_DIR
  say_if_tree_differs
  local dist
  dist=$(mkdir -p "$1" && cd "$1" && pwd)
  make_zip "$work/velmora" "$work/$zip_name"
  mv "$work/$zip_name" "$dist/$zip_name"
  (cd "$dist" && sha256sum "$zip_name" >"$zip_name.sha256")
  echo "release: $dist/$zip_name"
  cat "$dist/$zip_name.sha256"
}

check() {
  say_if_tree_differs
  # Two folders whose paths differ in length and name: a build folder
  # that leaked into the exe would show as a difference.
  local first="$work/a/velmora" second="$work/second-export-in-a-longer-folder/velmora-$commit"
  make_zip "$first" "$work/first.zip"
  make_zip "$second" "$work/second.zip"
  if cmp "$work/first.zip" "$work/second.zip"; then
    echo "release --check: the two zips of $commit are identical, byte for byte:" \
      "$(sha256sum "$work/first.zip" | cut -d' ' -f1)"
  else
    echo "release --check: FAIL: the two builds of $commit differ" >&2
    exit 1
  fi
  if [[ -f dist/$zip_name ]]; then
    if cmp -s "$work/first.zip" "dist/$zip_name"; then
      echo "release --check: dist/$zip_name here is the same zip"
    else
      echo "release --check: dist/$zip_name here differs: it was made from another commit or with other tools"
    fi
  fi
}

case "${1:-}" in
  "") release dist ;;
  --dist)
    [[ -n ${2:-} ]] || { echo "usage: scripts/release.sh --dist DIR" >&2; exit 2; }
    if [[ $2 == /* ]]; then release "$2"; else release "$caller/$2"; fi ;;
  --check) check ;;
  *) echo "usage: scripts/release.sh [--dist DIR | --check]" >&2; exit 2 ;;
esac
