#!/bin/sh
# Totals a file the way the README shows: one expression over several lines, read with
# shiftsum $(cat week.txt). Takes the command that starts the program (an emulator's words,
# then the program).
set -eu
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cat >"$folder/week.txt" <<'WEEK'
(9:23,17:35) - 0:30
+ (10:11,18:17) - 0:40
WEEK
# Unquoted, so that the shell splits the file into words.
"$@" $(cat "$folder/week.txt") >"$folder/out"
printf '\nTotal time: 15:8\n\n' | cmp - "$folder/out"
