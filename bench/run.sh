#!/usr/bin/env bash
# bench/run.sh BUILD_DIR: the core benchmarks, then the start-up of `rusena` against a
# bare Qt window. `make bench` builds BUILD_DIR (the release preset) and runs this.
set -euo pipefail
build=${1:?usage: bench/run.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
runs=${STARTUP_RUNS:-20}

"$build/bench/rusena_bench" "${@:2}"

# A private HOME whose data folder holds the largest real day, as after an import.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
data="$home/競艇データ/ルセナデータ"
mkdir -p "$data"
cp "$here/../tests/data/k200105.txt" "$data/racek.dat"

mkdir -m 700 "$home/runtime"
export XDG_RUNTIME_DIR="$home/runtime"
export HOME="$home" QT_QPA_PLATFORM=offscreen RUSENA_QUIT_AFTER_FIRST_PAINT=1 LANG=C.UTF-8
bare="$build/bench/barewindow"
viewer="$build/src/app/rusena"

echo
if command -v hyperfine >/dev/null; then
  hyperfine -N --style basic --warmup 3 --runs "$runs" -n "bare window" "$bare" -n rusena "$viewer"
  echo
fi
# Time and peak memory of both, runs interleaved; the verdict against the targets.
"$build/bench/startupcompare" "$runs" 1.3 15 -- "$bare" -- "$viewer"

# Where the difference goes: the same comparison against a window that draws one line
# of Japanese text, so that both sides pay for the font system.
echo
echo "Against a bare window with one Japanese label (font system included on both sides):"
"$build/bench/startupcompare" "$runs" 1.3 15 -- "$bare" --label -- "$viewer"

# The race library: the organiser's half-year (182 LZH archives) against the floor of
# reading and decoding the same days; then the command-line round trip: import, export,
# rebuild, export again, and the two exports compared.
lzh=${LIBRARY_LZH:-$here/../../shared/realdata/lzh}
[ -d "$lzh" ] || lzh=/work/shared/realdata/lzh
if [ -d "$lzh" ]; then
  echo
  scratch="$home/library-bench"
  mkdir -p "$scratch"
  "$build/bench/librarybench" "$lzh" "$scratch"

  tool="$build/tools/rusena-library/rusena-library"
  lib="$scratch/cli"
  ms() { date +%s%3N; }
  echo
  echo "rusena-library round trip on $lzh"
  t0=$(ms); "$tool" --data-folder "$lib" import "$lzh" >"$scratch/import.log"; t1=$(ms)
  echo "  import   $((t1 - t0)) ms   $(tail -1 "$scratch/import.log")"
  t0=$(ms); "$tool" --data-folder "$lib" export "$scratch/export1"; t1=$(ms)
  echo "  export   $((t1 - t0)) ms (open and check included)"
  t0=$(ms); "$tool" --data-folder "$lib" rebuild >"$scratch/rebuild.log"; t1=$(ms)
  echo "  rebuild  $((t1 - t0)) ms   $(wc -l <"$scratch/rebuild.log") days"
  "$tool" --data-folder "$lib" export "$scratch/export2"
  if diff -r "$scratch/export1" "$scratch/export2" >/dev/null; then
    echo "  export after rebuild: identical ($(cat "$scratch"/export1/*.csv | wc -l) lines)"
  else
    echo "  export after rebuild: DIFFERENT"
  fi

  # The library windows: a player's history, the statistics, a day's payouts, and the
  # opening of each window with its chart, on that library.
  echo
  echo "Library windows on the half-year library:"
  "$build/bench/librarywindowsbench" "$lib/library.sqlite"

  # Start-up with that library in the data folder against start-up without it: the
  # library is opened on first use, never at start-up.
  cp "$lib/library.sqlite" "$data/library.sqlite"
  cp -r "$lib/days" "$data/days"
  bare_home=$(mktemp -d)
  trap 'rm -rf "$home" "$bare_home"' EXIT
  mkdir -p "$bare_home/競艇データ/ルセナデータ" && mkdir -m 700 "$bare_home/runtime"
  cp "$here/../tests/data/k200105.txt" "$bare_home/競艇データ/ルセナデータ/racek.dat"
  echo
  echo "Start-up without a library (first) against with the half-year library (second):"
  "$build/bench/startupcompare" "$runs" 1.05 5 -- env HOME="$bare_home" XDG_RUNTIME_DIR="$bare_home/runtime" "$viewer" \
    -- env HOME="$home" "$viewer"
fi
