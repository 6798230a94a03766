#!/bin/sh
# Runs every example that a document shows, a command with its output, and checks that the
# command prints that output. Examples are what README.md shows in its indented code blocks
# and what a manual page shows between .EX and .EE: a line beginning "$ " is a command, "> "
# continues it, and the lines up to the next command are its output (blank lines at the end
# of either do not count, as a Markdown block cannot show them). A command "cat FILE" shows a
# file, which the example thereby makes rather than runs.
#
# Each document is run twice, in a folder of its own: with its files as shown, and with them
# saved with CR LF line ends, as Windows editors write them, and tabs for blanks; both must
# give the output shown. Commands run in the shell named, finding shiftsum on the PATH.
#
#   doc_examples.sh SHELL DOCUMENT [EMULATOR...] PROGRAM
set -eu
[ $# -ge 3 ] || { echo "usage: doc_examples.sh SHELL DOCUMENT [EMULATOR...] PROGRAM" >&2; exit 2; }
shell=$1
document=$2
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shiftsum on the PATH starts the program, through its emulator where it has one.
mkdir "$work/bin"
{
  echo '#!/bin/sh'
  printf 'exec'
  for word in "$@"; do
    case $word in *\'*) echo "no quote may stand in $word" >&2; exit 2 ;; esac
    printf " '%s'" "$word"
  done
  echo ' "$@"'
} >"$work/bin/shiftsum"
chmod +x "$work/bin/shiftsum"
PATH=$work/bin:$PATH
export PATH

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
    } else if (line ~ /^> / && command != "" && lines == 0) {
      command = command "\n" substr(line, 3)
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
tab=$(printf '\t')
cr=$(printf '\r')

# Prints a file less the blank lines at its end, which a Markdown block cannot show.
trim()
{
  awk '{ line[NR] = $0 } $0 != "" { last = NR } END { for (i = 1; i <= last; i++) print line[i] }' "$1"
}

passed=0
failed=0
for saved in "as shown" "with CR LF line ends and tabs"; do
  folder=$(mktemp -d "$work/run.XXXXXX")
  for base in $examples; do
    example=$work/examples/$base
    command=$(cat "$example.cmd")
    file=${command#cat }
    case $file in
      "$command" | "" | *[!A-Za-z0-9._-]*) ;;
      *)
        # A file shown: made, not run.
        if [ "$saved" = "as shown" ]; then
          trim "$example.out" >"$folder/$file"
        else
          trim "$example.out" | sed -e "s/ /$tab/g" -e "s/\$/$cr/" >"$folder/$file"
        fi
        continue
        ;;
    esac
    (cd "$folder" && "$shell" -c "$command") >"$example.got" 2>&1 || true
    trim "$example.out" >"$example.expected"
    trim "$example.got" >"$example.trimmed"
    if cmp -s "$example.expected" "$example.trimmed"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      printf '\n%s, files %s, in %s:\n$ %s\n' "$document" "$saved" "$shell" "$command"
      diff -u "$example.expected" "$example.trimmed" || true
    fi
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
