#!/usr/bin/env bash
# Builds the release: every release target of CMakePresets.json, each with its whole test suite
# run (under its emulator where it is not this machine's), then its archive and, for Linux, its
# Debian package, all in dist/ with their SHA256SUMS. Stops at the first failure.
#
#   scripts/release.sh               the release, each target tested
#   scripts/release.sh --no-tests    the same artifacts, no suite run: for rebuilding a
#                                    release whose suites have passed, to compare it, as
#                                    scripts/check_release.sh --rebuild does
#   scripts/release.sh --targets     lists the release targets, one a line, and builds nothing
#
# Anyone can rebuild the artifacts bit for bit from the same commit, wherever the clone lies:
# every timestamp is SOURCE_DATE_EPOCH (by default the last commit's time), no path of the
# build machine is embedded, and archives list their files sorted, owned by root.
# Needs: cmake, g++, the cross compilers, qemu-user-static, wine64, googletest, zip, dpkg-dev
# and groff.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

# The release targets are the configure presets that say so; each builds in build-NAME.
targets=$(cmake --list-presets | sed -n 's/^ *"\([^"]*\)" *- Release target:.*/\1/p')
[ -n "$targets" ] || { echo "CMakePresets.json names no release target" >&2; exit 1; }

test_each=yes
case "${1:-}" in
  "") ;;
  --no-tests) test_each=no ;;
  --targets) echo "$targets"; exit 0 ;;
  *) echo "usage: scripts/release.sh [--no-tests | --targets]" >&2; exit 2 ;;
esac

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export LC_ALL=C TZ=UTC
umask 022
jobs=${JOBS:-2}

# A Wine prefix of this release's own, so that two releases can run side by side.
export WINEPREFIX=$top/build-wine
rm -rf dist "$WINEPREFIX"
mkdir -p dist

# Runs a target's suite; prints CTest's summary, and the reason each test skipped there gave.
run_tests()
{
  local name=$1 log=build-$1/ctest.log
  if ! ctest --preset "$name" -j "$jobs" >"$log" 2>&1; then
    cat "$log"
    return 1
  fi
  sed -n '/tests passed/,$p' "$log"
  # GoogleTest writes a skipped test's reason on the line after "Skipped".
  grep -h -A1 ': Skipped$' "build-$name/Testing/Temporary/LastTest.log" |
    grep -v -e '^--$' -e ': Skipped$' | sed 's/^/  skipped because: /' || true
}

# Builds a target afresh and, unless told not to, runs its suite.
build_and_test()
{
  local name=$1
  printf '\n=== %s\n' "$name"
  rm -rf "build-$name"
  cmake --preset "$name" >/dev/null
  cmake --build --preset "$name" -j "$jobs" >/dev/null
  [ "$test_each" = no ] || run_tests "$name"
}

# The Debian architecture of a Linux build, from its compiler's multiarch triple.
debian_arch()
{
  local triple
  triple=$(sed -n 's/^SHIFTSUM_MULTIARCH:INTERNAL=//p' "$1/CMakeCache.txt")
  [ -n "$triple" ] || { echo "$1: its compiler names no multiarch triple" >&2; return 1; }
  # i386's triple is not its compiler's (i686), which dpkg-architecture warns of.
  dpkg-architecture -t "$triple" -qDEB_HOST_ARCH 2>/dev/null
}

# Gives every file under a folder the release's time and plain permissions.
normalise()
{
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  find "$1" -type d -exec chmod 0755 {} +
  find "$1" -type f -exec chmod 0644 {} +
}

# The archive of one target: its files in a folder named after the release and the target.
# Takes the build folder, the archive's kind (tar.gz or zip) and the files to put in.
pack_archive()
{
  local build=$1 kind=$2 folder=shiftsum-$version-$name
  shift 2
  rm -rf "$build/archive"
  mkdir -p "$build/archive/$folder"
  cp "$@" "$build/archive/$folder/"
  normalise "$build/archive"
  if [ "$kind" = zip ]; then
    (cd "$build/archive" && zip -X -q -9 "$top/dist/$folder.zip" "$folder" "$folder"/*)
    return
  fi
  chmod 0755 "$build/archive/$folder/shiftsum" "$build/archive/$folder/shiftsheet"
  tar --sort=name --owner=0 --group=0 --numeric-owner --format=gnu \
    --mtime="@$SOURCE_DATE_EPOCH" -C "$build/archive" -cf - "$folder" |
    gzip -9n >"dist/$folder.tar.gz"
}

# The Debian package of an installed tree: the programs, their compressed man pages,
# copyright, changelog and the reason the programs are static.
pack_deb()
{
  local installed=$1 arch=$2 root=$1/../deb
  rm -rf "$root"
  mkdir -p "$root/DEBIAN" "$root/usr/share/lintian/overrides"
  cp -R "$installed/." "$root/usr/"
  gzip -9n "$root/usr/share/man/man1/shiftsum.1" "$root/usr/share/man/man1/shiftsheet.1"
  sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@DATE@|$(date -R -d "@$SOURCE_DATE_EPOCH")|" packaging/changelog.in |
    gzip -9n >"$root/usr/share/doc/shiftsum/changelog.gz"
  cp packaging/lintian-overrides "$root/usr/share/lintian/overrides/shiftsum"
  normalise "$root"
  chmod 0755 "$root/usr/bin/shiftsum" "$root/usr/bin/shiftsheet"
  (cd "$root" && find usr -type f | sort | xargs md5sum) >"$root/DEBIAN/md5sums"
  sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" -e "s|@ARCH@|$arch|" \
    -e "s|@SIZE@|$(du -sk --apparent-size "$root/usr" | cut -f1)|" packaging/control.in \
    >"$root/DEBIAN/control"
  normalise "$root/DEBIAN"
  dpkg-deb --root-owner-group -Zxz --build "$root" "dist/shiftsum_${version}_$arch.deb" \
    >/dev/null
}

for name in $targets; do
  build=build-$name
  build_and_test "$name"
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  maintainer=$(sed -n 's/^SHIFTSUM_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
  installed=$build/installed
  cmake --install "$build" --prefix "$installed" --strip >/dev/null
  if [ -f "$installed/bin/shiftsum.exe" ]; then
    pack_archive "$build" zip "$installed"/bin/shiftsum.exe "$installed"/bin/shiftsheet.exe \
      "$installed"/share/doc/shiftsum/shiftsum.txt \
      "$installed"/share/doc/shiftsum/shiftsheet.txt README.md LICENSE
  else
    pack_archive "$build" tar.gz "$installed"/bin/shiftsum "$installed"/bin/shiftsheet \
      "$installed"/share/man/man1/shiftsum.1 "$installed"/share/man/man1/shiftsheet.1 \
      README.md LICENSE
    arch=$(debian_arch "$build")
    pack_deb "$installed" "$arch"
  fi
done

(cd dist && sha256sum -- * >SHA256SUMS && sha256sum -c --quiet SHA256SUMS)
printf '\n=== dist/\n'
ls -l dist
