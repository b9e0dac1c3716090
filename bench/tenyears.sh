#!/usr/bin/env bash
# bench/tenyears.sh TEXT_DIR OUT_DIR: ten years of days from half a year's result files
# (KYYMMDD.TXT, as the organiser names them), each day's text copied under the same month
# and day of every year from 2001 to 2020 where that date exists (29 February only in leap
# years). A text file's date is taken from its name, so renaming the copies is enough; the
# copies keep the organiser's spelling of the name, which the library files under without
# a note of where a day came from.
set -euo pipefail
text=${1:?usage: bench/tenyears.sh TEXT_DIR OUT_DIR}
out=${2:?usage: bench/tenyears.sh TEXT_DIR OUT_DIR}
mkdir -p "$out"
for file in "$text"/[Kk][0-9][0-9][0-9][0-9][0-9][0-9].*; do
  name=$(basename "$file")
  letter=${name:0:1}
  mmdd=${name:3:4}
  ext=${name:7}
  for year in $(seq 2001 2020); do
    if [ "$mmdd" = 0229 ] && { [ $((year % 4)) -ne 0 ] || { [ $((year % 100)) -eq 0 ] && [ $((year % 400)) -ne 0 ]; }; }; then
      continue
    fi
    cp "$file" "$out/${letter}${year:2:2}${mmdd}${ext}"
  done
done
