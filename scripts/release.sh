#!/usr/bin/env bash
# Builds the release: every target, each with its whole test suite run (under its emulator
# where it is not this machine's), then its archive and, for Linux, its Debian package, all in
# dist/ with their SHA256SUMS. Stops at the first failure.
#
#   scripts/release.sh
#
# Anyone can rebuild the artifacts bit for bit from the same commit, wherever the clone lies:
# every timestamp is SOURCE_DATE_EPOCH (by default the last commit's time), no path of the
# build machine is embedded, and archives list their files sorted, owned by root.
# Needs: cmake, g++, the cross compilers, qemu-user-static, wine64, googletest, zip.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export LC_ALL=C TZ=UTC
umask 022
jobs=${JOBS:-2}

# name, toolchain file (none: this machine), Debian architecture (none: no package)
targets=(
  "linux-x86_64 - amd64"
  "linux-aarch64 linux-aarch64 arm64"
  "linux-armhf linux-armhf armhf"
  "linux-i686 linux-i686 i386"
  "linux-s390x linux-s390x s390x"
  "linux-riscv64 linux-riscv64 riscv64"
  "windows-x86_64 mingw-w64 -"
)

rm -rf build-release dist
mkdir -p build-release dist

# A Wine prefix of this release's own, so that two releases can run side by side.
export WINEPREFIX=$top/build-release/wine

# Builds a target and runs its suite; the build goes in build-release/NAME.
build_and_test()
{
  local name=$1 toolchain=$2 build=build-release/$1
  local options=(-DCMAKE_BUILD_TYPE=Release)
  [ "$toolchain" = - ] || options+=("-DCMAKE_TOOLCHAIN_FILE=$top/cmake/$toolchain.cmake")
  printf '\n=== %s\n' "$name"
  cmake -S . -B "$build" "${options[@]}" >/dev/null
  cmake --build "$build" -j "$jobs" >/dev/null
  scripts/run-tests.sh "$build"
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
  chmod 0755 "$build/archive/$folder/shiftsum"
  tar --sort=name --owner=0 --group=0 --numeric-owner --format=gnu \
    --mtime="@$SOURCE_DATE_EPOCH" -C "$build/archive" -cf - "$folder" |
    gzip -9n >"dist/$folder.tar.gz"
}

# The Debian package of an installed tree: program, compressed man page, copyright,
# changelog and the reason the program is static.
pack_deb()
{
  local installed=$1 arch=$2 root=$1/../deb
  rm -rf "$root"
  mkdir -p "$root/DEBIAN" "$root/usr/share/lintian/overrides"
  cp -R "$installed/." "$root/usr/"
  gzip -9n "$root/usr/share/man/man1/shiftsum.1"
  sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" \
    -e "s|@DATE@|$(date -R -d "@$SOURCE_DATE_EPOCH")|" packaging/changelog.in |
    gzip -9n >"$root/usr/share/doc/shiftsum/changelog.gz"
  cp packaging/lintian-overrides "$root/usr/share/lintian/overrides/shiftsum"
  normalise "$root"
  chmod 0755 "$root/usr/bin/shiftsum"
  (cd "$root" && find usr -type f | sort | xargs md5sum) >"$root/DEBIAN/md5sums"
  sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" -e "s|@ARCH@|$arch|" \
    -e "s|@SIZE@|$(du -sk --apparent-size "$root/usr" | cut -f1)|" packaging/control.in \
    >"$root/DEBIAN/control"
  normalise "$root/DEBIAN"
  dpkg-deb --root-owner-group -Zxz --build "$root" "dist/shiftsum_${version}_$arch.deb" \
    >/dev/null
}

for target in "${targets[@]}"; do
  read -r name toolchain arch <<<"$target"
  build=build-release/$name
  build_and_test "$name" "$toolchain"
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  maintainer=$(sed -n 's/^SHIFTSUM_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
  installed=$build/installed
  cmake --install "$build" --prefix "$installed" --strip >/dev/null
  if [ "$arch" = - ]; then
    pack_archive "$build" zip "$installed/bin/shiftsum.exe" README.md LICENSE
  else
    pack_archive "$build" tar.gz "$installed/bin/shiftsum" \
      "$installed/share/man/man1/shiftsum.1" README.md LICENSE
    pack_deb "$installed" "$arch"
  fi
done

(cd dist && sha256sum -- * >SHA256SUMS && sha256sum -c --quiet SHA256SUMS)
printf '\n=== dist/\n'
ls -l dist
