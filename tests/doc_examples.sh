#!/bin/sh
# Runs every example that a document shows, a command with its output, and checks that the
# command prints that output.
#
#   doc_examples.sh SHELL DOCUMENT PROGRAMS [EMULATOR...]
#
# PROGRAMS is the folder that holds the built shiftsum and shiftsheet (build), or the path of
# either of them (build/shiftsum), relative or absolute.
#
# Examples are what README.md shows in its indented code blocks and what a manual page shows
# between .EX and .EE. A line beginning "$ " is a command, lines indented by two blanks right
# after it continue it, and the lines up to the next command are its output; blank lines at
# the end of an output do not count, as a Markdown block cannot show them. "cat FILE" shows a
# file, which is made from the text shown rather than run; a shown file's first line is
# therefore never indented by two blanks.
#
# Each command runs as SHELL -c COMMAND, SHELL being split at blanks ("busybox sh"), in one
# folder holding the files shown so far, with nothing on standard input, HOME an empty
# folder (so that no user's start-up files are read), and shiftsum and shiftsheet on its
# PATH: the programs in PROGRAMS, started through the EMULATOR words where there are any.
# What is shown must be what the command wrote to standard output, then what it wrote to
# standard error; and its status must be 0 exactly when it wrote nothing to standard error,
# so that a total shown comes with status 0 and an error shown with another. Exits 77 when
# SHELL is not installed, and 1 when an example fails or the document shows none.
set -eu
[ $# -ge 3 ] || { echo "usage: doc_examples.sh SHELL DOCUMENT PROGRAMS [EMULATOR...]" >&2; exit 2; }
shell=$1
document=$2
bindir=$3
shift 3

if ! command -v "${shell%% *}" >/dev/null; then
  echo "skipped: ${shell%% *} is not installed"
  exit 77
fi
# Given one program, the folder that holds both.
[ -d "$bindir" ] || bindir=$(dirname "$bindir")
# The commands run in a folder of their own.
case $bindir in
  /*) ;;
  *) bindir=$PWD/$bindir ;;
esac
for program in shiftsum shiftsheet; do
  [ -f "$bindir/$program" ] || { echo "$bindir/$program: no such program" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/examples" "$work/folder" "$work/home"

# Writes a program NAME on the PATH of the commands, which runs the words after NAME and then
# its own arguments.
put_on_path()
{
  name=$1
  shift
  {
    echo '#!/bin/sh'
    printf 'exec'
    for word in "$@"; do
      case $word in *\'*) echo "no quote may stand in $word" >&2; exit 2 ;; esac
      printf " '%s'" "$word"
    done
    echo ' "$@"'
  } >"$work/bin/$name"
  chmod +x "$work/bin/$name"
}
put_on_path shiftsum "$@" "$bindir/shiftsum"
put_on_path shiftsheet "$@" "$bindir/shiftsheet"

# Writes the examples as numbered files, N.cmd and N.out for a command and its output.
case $document in
  *.md) format=markdown ;;
  *) format=roff ;;
esac
awk -v format="$format" -v out="$work/examples" '
  # The text of a line of roff as it is shown; fails on an escape it does not know.
  function unescape(line,    shown, at) {
    shown = ""
    while ((at = index(line, "\\")) > 0) {
      shown = shown substr(line, 1, at - 1)
      line = substr(line, at + 1)
      if (substr(line, 1, 1) == "-") { shown = shown "-"; line = substr(line, 2) }
      else if (substr(line, 1, 1) == "e") { shown = shown "\\"; line = substr(line, 2) }
      else if (substr(line, 1, 1) == "&") { line = substr(line, 2) }
      else if (substr(line, 1, 3) == "(aq") { shown = shown "\047"; line = substr(line, 4) }
      else if (substr(line, 1, 3) == "(dq") { shown = shown "\""; line = substr(line, 4) }
      else {
        printf "%s:%d: an escape the examples do not read: \\%s\n", FILENAME, FNR, line
        failed = 1
        exit 1
      }
    }
    return shown line
  }
  # Ends the example being read.
  function finish(    i, base) {
    if (command == "")
      return
    base = out "/" sprintf("%03d", ++count)
    print command > (base ".cmd")
    close(base ".cmd")
    printf "" > (base ".out")
    for (i = 1; i <= lines; i++)
      print output[i] > (base ".out")
    close(base ".out")
    command = ""
    lines = 0
  }
  # Reads one line of an example block.
  function take(line) {
    if (line ~ /^\$ /) {
      finish()
      command = substr(line, 3)
    } else if (line ~ /^  / && command != "" && lines == 0) {
      command = command "\n" line
    } else if (command != "") {
      output[++lines] = line
    }
  }
  format == "markdown" {
    if (!in_block && /^    \$ /) in_block = 1
    if (!in_block) next
    if ($0 == "") { take(""); next }
    if (/^    /) { take(substr($0, 5)); next }
    finish()
    in_block = 0
    next
  }
  format == "roff" {
    if (/^\.EX/) { in_block = 1; next }
    if (/^\.EE/) { finish(); in_block = 0; next }
    if (in_block) take(unescape($0))
  }
  END {
    if (!failed) finish()
  }
' "$document"

examples=$(cd "$work/examples" && ls | sed -n 's/\.cmd$//p')
[ -n "$examples" ] || { echo "$document shows no example" >&2; exit 1; }

# Prints a file less the blank lines at its end.
trim()
{
  awk '{ line[NR] = $0 } $0 != "" { last = NR } END { for (i = 1; i <= last; i++) print line[i] }' "$1"
}

# Whether the example just run ended with status 0 exactly when it wrote nothing to standard
# error.
status_fits()
{
  if [ -s "$example.stderr" ]; then
    [ "$status" -ne 0 ]
  else
    [ "$status" -eq 0 ]
  fi
}

passed=0
failed=0
for base in $examples; do
  example=$work/examples/$base
  command=$(cat "$example.cmd")
  trim "$example.out" >"$example.shown"
  file=${command#cat }
  case $file in
    "$command" | "" | *[!A-Za-z0-9._-]*) ;;
    *)
      cp "$example.shown" "$work/folder/$file"
      continue
      ;;
  esac
  status=0
  # shellcheck disable=SC2086 # the shell's words, split at blanks as given
  (cd "$work/folder" && HOME=$work/home PATH=$work/bin:$PATH $shell -c "$command") \
    </dev/null >"$example.stdout" 2>"$example.stderr" || status=$?
  cat "$example.stdout" "$example.stderr" >"$example.both"
  trim "$example.both" >"$example.got"
  if status_fits && cmp -s "$example.shown" "$example.got"; then
    passed=$((passed + 1))
    continue
  fi
  failed=$((failed + 1))
  printf '\n%s, in %s:\n$ %s\n' "$document" "$shell" "$command"
  if ! status_fits && [ -s "$example.stderr" ]; then
    echo "It wrote to standard error, yet ended with status 0."
  elif ! status_fits; then
    echo "It wrote nothing to standard error, yet ended with status $status."
  fi
  if ! cmp -s "$example.shown" "$example.got"; then
    echo "What is shown (-) and what it printed (+), standard output then standard error:"
    diff -u -L shown -L printed "$example.shown" "$example.got" || true
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
