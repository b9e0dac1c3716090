#!/usr/bin/env bash
# bench/fetch.sh BUILD_DIR RESULTS_DIR PROGRAMMES_DIR: fetches every archive of the two
# folders from a server on 127.0.0.1 (tests' archiveserver) with --interval 0, imports the
# same archives directly into another library, and compares the wall times and the exports.
# The period is the span of the archives' dates.
set -euo pipefail
build=${1:?usage: bench/fetch.sh BUILD_DIR RESULTS_DIR PROGRAMMES_DIR}
results=$(cd "${2:?}" && pwd)
programmes=$(cd "${3:?}" && pwd)
tool="$build/tools/rusena-library/rusena-library"
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT

"$build/tests/archiveserver" "$results" "$programmes" >"$work/source" &
server=$!
for _ in $(seq 50); do [ -s "$work/source" ] && break; sleep 0.1; done
source=$(head -1 "$work/source")
# kYYMMDD.lzh -> 20YY-MM-DD
day() { local n; n=$(basename "$1"); echo "20${n:1:2}-${n:3:2}-${n:5:2}"; }
first=$(day "$(ls "$results"/k*.lzh | head -1)")
last=$(day "$(ls "$results"/k*.lzh | tail -1)")

now() { date +%s%N; }
t0=$(now)
"$tool" --data-folder "$work/fetched" fetch --from "$first" --to "$last" --source "$source" \
  --interval 0 --yes >"$work/fetch.log" || true
t1=$(now)
"$tool" --data-folder "$work/imported" import "$results" "$programmes" >"$work/import.log" || true
t2=$(now)
tail -1 "$work/fetch.log"
tail -1 "$work/import.log"
echo "fetch $first to $last from $source: $(( (t1 - t0) / 1000000 )) ms"
echo "import of the same archives: $(( (t2 - t1) / 1000000 )) ms"
"$tool" --data-folder "$work/fetched" export "$work/export-fetched" >/dev/null
"$tool" --data-folder "$work/imported" export "$work/export-imported" >/dev/null
if diff -r "$work/export-fetched" "$work/export-imported" >/dev/null; then
  echo "exports: identical ($(ls "$work/export-fetched" | tr '\n' ' '))"
else
  echo "exports: DIFFER"; exit 1
fi
