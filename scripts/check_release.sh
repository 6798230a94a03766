#!/usr/bin/env bash
# Checks the release that scripts/release.sh left in dist/: an archive for each release target
# and a Debian package for each Linux one, all in SHA256SUMS; the Windows zip holding both
# programs and both manuals as text; and lintian finding no error or warning in any package.
#
#   scripts/check_release.sh            checks dist/
#   scripts/check_release.sh --rebuild  then builds the release again, without its suites, from
#                                       a clone of the same commit at another path, and
#                                       compares every file with dist/'s byte for byte
#
# CI runs it on every change, without --rebuild; the release steps of CONTRIBUTING.md run it
# with. Needs: lintian and unzip, and for --rebuild what scripts/release.sh needs.
set -euo pipefail
cd "$(dirname "$0")/.."

rebuild=no
case "${1:-}" in
  "") ;;
  --rebuild) rebuild=yes ;;
  *) echo "usage: scripts/check_release.sh [--rebuild]" >&2; exit 2 ;;
esac

[ -f dist/SHA256SUMS ] || { echo "dist/ holds no release: run scripts/release.sh" >&2; exit 1; }
(cd dist && sha256sum -c SHA256SUMS)

# An archive for each release target, a Debian package for each Linux one, and the sums.
files=$(cd dist && ls)
targets=$(scripts/release.sh --targets | wc -l)
archives=$(grep -cE '\.(tar\.gz|zip)$' <<<"$files")
packages=$(grep -c '\.deb$' <<<"$files")
tarballs=$(grep -c '\.tar\.gz$' <<<"$files")
if [ "$archives" -ne "$targets" ] || [ "$packages" -ne "$tarballs" ] ||
  [ "$(wc -l <<<"$files")" -ne $((archives + packages + 1)) ]; then
  printf 'dist/ should hold %d archives, a package for each tar.gz, and SHA256SUMS:\n%s\n' \
    "$targets" "$files" >&2
  exit 1
fi

echo "The Windows zip:"
zip_files=$(unzip -Z1 dist/shiftsum-*-windows-x86_64.zip | sort)
printf '%s\n' "$zip_files"
for name in shiftsum.exe shiftsheet.exe shiftsum.txt shiftsheet.txt README.md LICENSE; do
  grep -q "/$name\$" <<<"$zip_files" || { echo "the Windows zip lacks $name" >&2; exit 1; }
done
unzip -p dist/shiftsum-*-windows-x86_64.zip '*/shiftsheet.txt' | grep -q 'SHIFTSHEET(1)'

for package in dist/*.deb; do
  echo "lintian $(basename "$package")"
  lintian --fail-on error,warning "$package"
done

[ "$rebuild" = yes ] || exit 0

# The same commit, checked out where no path is like this one's.
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "--rebuild compares a commit's release: commit or stash the changes first" >&2
  exit 1
fi
other=$(mktemp -d)/a/longer/path/to/shiftsum
git clone -q . "$other"
git -C "$other" checkout -q --detach "$(git rev-parse HEAD)"
echo "Building the release again in $other"
if ! (cd "$other" && scripts/release.sh --no-tests >release.log 2>&1); then
  cat "$other/release.log"
  exit 1
fi
diff <(printf '%s\n' "$files") <(cd "$other/dist" && ls)
while read -r artifact; do
  cmp "dist/$artifact" "$other/dist/$artifact"
  echo "identical: $artifact"
done <<<"$files"
rm -rf "${other%/a/longer/path/to/shiftsum}"
