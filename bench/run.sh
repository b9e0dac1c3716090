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
