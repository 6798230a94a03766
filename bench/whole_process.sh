#!/usr/bin/env bash
# Measures whole runs of shiftsum beside /bin/true given the very same arguments: the
# kernel's cost of starting any program with them. Prints, for each case, instructions
# (callgrind, exact), median wall time, and peak resident memory. Then measures the
# shiftsheet beside each shiftsum on timesheets of 10 KB, 10 MB and 20 MB written as
# days.txt is: instructions, instructions per byte, and peak memory.
#
#   bench/whole_process.sh                      builds the benchmark presets (g++ and clang++,
#                                               each with and without link-time
#                                               optimisation) and measures each program
#   bench/whole_process.sh path/to/shiftsum...  measures the programs given, and the
#                                               shiftsheet in the same folder
set -euo pipefail

runs=${RUNS:-41}
true_program=/bin/true
source_dir=$(cd "$(dirname "$0")/.." && pwd)

for tool in valgrind /usr/bin/time c++ cmake; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
timer=$work/spawn_timer
c++ -O2 -o "$timer" "$source_dir/bench/spawn_timer.cpp"

programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  for preset in bench bench-clang bench-no-lto bench-clang-no-lto; do
    (cd "$source_dir" && cmake --preset "$preset" >/dev/null &&
      cmake --build --preset "$preset" -j2 >/dev/null)
    programs+=("$source_dir/build-$preset/shiftsum")
  done
fi

# The expression of `count` one-minute terms joined by `operators` in turn, cut into
# arguments of 120,000 bytes, each below Linux's limit of 128 KiB a word; sets `args`.
make_args()
{
  local count=$1 operators=$2 expression="0:1" i
  local -a terms=()
  for ((i = 1; i < count; i++)); do
    terms+=("${operators:i%${#operators}:1}0:1")
  done
  expression+=$(printf '%s' "${terms[@]}")
  args=()
  for ((i = 0; i < ${#expression}; i += 120000)); do
    args+=("${expression:i:120000}")
  done
}

# Both measure a run whatever its status: a timesheet with faults exits 1.
instructions()
{
  { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null || true; } |
    sed -n 's/.*refs: *//p' | tr -d ,
}

# Median wall time in microseconds, spawn to exit, timed by a small helper: hyperfine takes
# a command as one argument, which the kernel caps at 128 KiB, and a shell would add its
# own cost of copying the arguments to every run.
wall_us()
{
  "$timer" "$runs" "$@"
}

peak_kib()
{
  { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null || true; } | tail -1
}

measure()
{
  local name=$1 bytes=0 arg
  for arg in "${args[@]}"; do
    bytes=$((bytes + ${#arg}))
  done
  local si ti sw tw sm tm
  si=$(instructions "$program" "${args[@]}")
  ti=$(instructions "$true_program" "${args[@]}")
  sw=$(wall_us "$program" "${args[@]}")
  tw=$(wall_us "$true_program" "${args[@]}")
  sm=$(peak_kib "$program" "${args[@]}")
  tm=$(peak_kib "$true_program" "${args[@]}")
  printf '%-22s %9d %12d %12d %8s %8d %8d %6s %8d %8d\n' "$name" "$bytes" "$si" "$ti" \
    "$(awk -v i="$si" -v b="$bytes" 'BEGIN { if (b) printf "%.1f", i / b; else print "-" }')" \
    "$sw" "$tw" "$(awk -v s="$sw" -v t="$tw" 'BEGIN { printf "%.2f", s / t }')" "$sm" "$tm"
}

# A timesheet of about `bytes` bytes, a block of lines again and again: the README's days.txt,
# or the line given; sets `sheet`.
make_sheet()
{
  local bytes=$1 block repeat
  block=$'# day  hours\nMon    9:23-17:35 - 0:30\nTue    10:11am-6:17pm - 40m        # dentist at noon\nWed    8:00-12:00 12:30-17:00\n'
  [ $# -lt 2 ] || block=$2$'\n'
  repeat=$((bytes / ${#block}))
  sheet=$work/sheet-$bytes-${#block}.txt
  awk -v n="$repeat" -v block="$block" 'BEGIN { for (i = 0; i < n; i++) printf "%s", block }' \
    >"$sheet"
}

# Measures shiftsheet on a timesheet, with the options after it; prints a row and sets
# `per_byte` and `peak`.
measure_sheet()
{
  local name=$1 file=$2 bytes si
  shift 2
  bytes=$(wc -c <"$file")
  si=$(instructions "$sheet_program" "$@" "$file")
  peak=$(peak_kib "$sheet_program" "$@" "$file")
  per_byte=$(awk -v i="$si" -v b="$bytes" 'BEGIN { printf "%.1f", i / b }')
  printf '%-22s %9d %12d %8s %8d\n' "$name" "$bytes" "$si" "$per_byte" "$peak"
}

for program in "${programs[@]}"; do
  printf '\n%s\n' "${program#"$source_dir"/}"
  printf '%-22s %9s %12s %12s %8s %8s %8s %6s %8s %8s\n' case bytes instr instr_true \
    instr/B wall_us true_us ratio peak_KiB true_KiB
  args=('(9:23,17:35)' - 0:30 + '(10:11,18:17)' - 0:40)
  measure worked-example
  make_args 225000 +-
  measure "225k terms, +/-"
  make_args 450000 +
  measure "450k terms, +"
  make_args 450000 +-
  measure "450k terms, +/-"
done

make_sheet 10000
small=$sheet
make_sheet 10000000
medium=$sheet
make_sheet 20000000
large=$sheet
# A natural line of a freelancer's, with its note after a # and without, which every line
# then fails on.
make_sheet 10000000 '2026-12-07  09:00-17:30 - 0:30  # Acme website'
natural=$sheet
make_sheet 10000000 '2026-12-07  09:00-17:30 - 0:30  Acme website'
natural_faults=$sheet
for program in "${programs[@]}"; do
  sheet_program=$(dirname "$program")/shiftsheet
  printf '\n%s\n' "${sheet_program#"$source_dir"/}"
  printf '%-22s %9s %12s %8s %8s\n' case bytes instr instr/B peak_KiB
  measure_sheet "10 KB timesheet" "$small"
  small_peak=$peak
  measure_sheet "10 MB timesheet" "$medium"
  medium_per_byte=$per_byte
  medium_peak=$peak
  measure_sheet "20 MB timesheet" "$large"
  large_per_byte=$per_byte
  large_peak=$peak
  measure_sheet "10 MB natural lines" "$natural"
  measure_sheet "... --by day --format csv" "$natural" --by day --format csv
  measure_sheet "... without # (faults)" "$natural_faults"
  per_byte=$large_per_byte
  peak=$large_peak
  awk -v a="$medium_per_byte" -v b="$per_byte" -v p="$medium_peak" -v q="$peak" -v s="$small_peak" \
    'BEGIN { printf "20 MB costs %.3f times 10 MB a byte; peak memory over the 10 KB run: %d KiB at 10 MB, %d KiB at 20 MB\n", b / a, p - s, q - s }'
done
