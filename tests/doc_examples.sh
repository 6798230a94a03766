#!/bin/sh
# Runs every example that a document shows, a command with its output, and checks that the
# command prints that output. Examples are what README.md shows in its indented code blocks
# and what a manual page shows between .EX and .EE: a line beginning "$ " is a command, lines
# indented by two blanks right after it continue it (so that the command pastes as it
# stands), and the lines up to the next command are its output (blank lines at the end of
# either do not count, as a Markdown block cannot show them). A command "cat FILE" shows a
# file, which the example thereby makes rather than runs; a shown file's first line is
# therefore never indented.
#
# Each document is run once with its files as shown, then once for each other way people
# save them, each in a folder of its own; in these runs only the examples that name a file
# are run. Saved as Windows does, after a megabyte of comments, or with one term just within
# the one-word limit, a file must give the output shown, with status 0 as always. With a
# typo, with shell code in a term, saved as UTF-16, or with a term past the limit, it must
# not: the command must fail loudly, printing the usage text or ending with a status other
# than 0, and the code must not run.
#
#   doc_examples.sh [--awk AWK] SHELL DOCUMENT [EMULATOR...] PROGRAM
#
# Commands run in SHELL, with its option -c, finding shiftsum on the PATH, and, with --awk,
# AWK as awk. Each is a command split at blanks ("busybox sh"). Exits 77 when either is
# missing here, or the UTF-8 locale that Windows files are read under.
set -eu
usage="usage: doc_examples.sh [--awk AWK] SHELL DOCUMENT [EMULATOR...] PROGRAM"
awk_command=
if [ "${1:-}" = --awk ]; then
  [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
  awk_command=$2
  shift 2
fi
[ $# -ge 3 ] || { echo "$usage" >&2; exit 2; }
shell=$1
document=$2
shift 2

# Says why nothing is run, and exits with the status that tells CTest the test was skipped.
skip()
{
  echo "skipped: $*"
  exit 77
}
for needed in "$shell" "$awk_command"; do
  [ -z "$needed" ] || command -v "${needed%% *}" >/dev/null || skip "${needed%% *} is not installed"
done
utf8=C.UTF-8
[ "$(LC_ALL=$utf8 locale charmap 2>/dev/null)" = UTF-8 ] || skip "there is no locale $utf8"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes a program on the PATH of the commands: NAME, then the words it runs, then its own.
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
mkdir "$work/bin"
# shiftsum starts the program, through its emulator where it has one. The commands run in
# folders of their own, so a relative path is made absolute.
program=$(eval "printf '%s' \"\${$#}\"")
case $program in
  /*) ;;
  */*) program=$PWD/$program ;;
esac
words=
while [ $# -gt 1 ]; do
  words="$words $1"
  shift
done
# shellcheck disable=SC2086 # the emulator's words, split at blanks as given
put_on_path shiftsum $words "$program"
if [ -n "$awk_command" ]; then
  # shellcheck disable=SC2086 # the command is split at its blanks
  put_on_path awk $awk_command
fi

# Writes the examples as numbered files, N.cmd and N.out for a command and its output.
mkdir "$work/examples"
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

# Prints a file less the blank lines at its end, which a Markdown block cannot show.
trim()
{
  awk '{ line[NR] = $0 } $0 != "" { last = NR } END { for (i = 1; i <= last; i++) print line[i] }' "$1"
}
# What each example shows, as it is compared and as a shown file is made from it.
for base in $examples; do
  trim "$work/examples/$base.out" >"$work/examples/$base.expected"
done

# The ways a file is saved: how each is told, and whether its examples must give the output
# shown (same) or fail loudly (loud).
variants="shown windows comments within typo code utf16 past"
describe()
{
  case $1 in
    shown) echo "as shown" ;;
    windows) echo "as Windows saves them: a byte-order mark, CR LF, tabs, Windows-1252 comments and no line end at the end, read under $utf8" ;;
    comments) echo "after a megabyte of comments" ;;
    within) echo "with 130,000 bytes more in one term, just within the one-word limit" ;;
    typo) echo "with a typo, a dot for the first colon" ;;
    code) echo "with shell code after the first colon, which must not run" ;;
    utf16) echo "saved as UTF-16" ;;
    past) echo "with 131,072 bytes more in one term, past the one-word limit" ;;
  esac
}
expect()
{
  case $1 in
    typo | code | utf16 | past) echo loud ;;
    *) echo same ;;
  esac
}

# Writes a shown file, read on standard input, as VARIANT saves it.
save()
{
  case $1 in
    shown) cat ;;
    windows)
      printf '\357\273\277'
      awk '{ sub(/#/, "# caf\351 \226"); gsub(/ /, "\t"); printf "%s%s", end, $0; end = "\r\n" }'
      ;;
    comments)
      awk 'BEGIN { for (i = 0; i < 16384; i++) printf "# %061d\n", i } { print }'
      ;;
    within) lengthen 32500 ;;
    typo) awk '!done && /^[^#]*:/ { sub(/:/, "."); done = 1 } { print }' ;;
    code) awk '!done && /^[^#]*:/ { sub(/:/, ":\047$(>ran)\047"); done = 1 } { print }' ;;
    utf16)
      printf '\377\376'
      iconv -f UTF-8 -t UTF-16LE
      ;;
    past) lengthen 32768 ;;
  esac
}

# Adds N terms of nothing, "+0:0", to the first term of its input, before its comment.
lengthen()
{
  awk -v n="$1" '
    !done && /^[^#]*[0-9]/ {
      more = "+0:0"
      while (length(more) < 4 * n) more = more more
      more = substr(more, 1, 4 * n)
      at = index($0, "#")
      if (at == 0) at = length($0) + 1
      $0 = substr($0, 1, at - 1) more " " substr($0, at)
      done = 1
    }
    { print }'
}

# Whether the example just run did what its variant asks of it.
passes()
{
  if [ "$expected" = same ]; then
    cmp -s "$example.expected" "$example.trimmed" && [ "$status" -eq 0 ]
  else
    ! cmp -s "$example.expected" "$example.trimmed" && [ ! -e "$folder/ran" ] &&
      { [ "$status" -ne 0 ] || grep -q '^Usage:$' "$example.got"; }
  fi
}

passed=0
failed=0
shown_files=
for variant in $variants; do
  folder=$(mktemp -d "$work/run.XXXXXX")
  expected=$(expect "$variant")
  locale=${LC_ALL:-}
  [ "$variant" != windows ] || locale=$utf8
  for base in $examples; do
    example=$work/examples/$base
    command=$(cat "$example.cmd")
    file=${command#cat }
    case $file in
      "$command" | "" | *[!A-Za-z0-9._-]*) ;;
      *)
        # A file shown: made, not run.
        save "$variant" <"$example.expected" >"$folder/$file"
        [ "$variant" != shown ] || shown_files="$shown_files $file"
        continue
        ;;
    esac
    if [ "$variant" != shown ]; then
      names_file=false
      for shown_file in $shown_files; do
        case $command in *"$shown_file"*) names_file=true ;; esac
      done
      [ "$names_file" = true ] || continue
    fi
    status=0
    (cd "$folder" && PATH=$work/bin:$PATH LC_ALL=$locale $shell -c "$command") \
      >"$example.got" 2>&1 || status=$?
    trim "$example.got" >"$example.trimmed"
    if passes; then
      passed=$((passed + 1))
      continue
    fi
    failed=$((failed + 1))
    printf '\n%s, files %s, in %s:\n$ %s\n' "$document" "$(describe "$variant")" "$shell" "$command"
    if [ "$expected" = same ]; then
      echo "should print what is shown, with status 0; status $status, and this much differs:"
      diff -u "$example.expected" "$example.trimmed" || true
    else
      echo "should print other than what is shown, and the usage text or end with a status other than 0,"
      echo "running nothing that it read ($(ls "$folder" | tr '\n' ' '));"
      echo "status $status, and it printed (its first lines, cut short):"
      head -n 20 "$example.got" | cut -c 1-200
    fi
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
