#!/usr/bin/env bash
# Installs everything the two builds and the tests need on Debian 12, then
# cross-builds libogg/libvorbis for Windows from Debian's own sources.
# Idempotent: whatever is already present is skipped.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# Every command the builds, the tests and the scripts run, as
# command:package. tools/check-tools.sh checks that every command the Wine
# test scripts check for (vx_require) is listed here.
tools=(
  cmake:cmake ninja:ninja-build g++:g++ clang++:clang pkg-config:pkg-config make:make
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
  x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
  dpkg-source:dpkg-dev
  wine:wine wineboot:wine wineserver:wine
  Xvfb:xvfb xdotool:xdotool xdpyinfo:x11-utils
  import:imagemagick convert:imagemagick compare:imagemagick
  python3:python3 cmp:diffutils timeout:coreutils awk:mawk
)
# Libraries, headers, fonts and drivers the commands above need (X11 headers
# for the start-time tool, tools/start_time.sh).
packages=(
  libclang-rt-14-dev mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine64 fonts-wine fonts-dejavu-core libgl1 libgl1-mesa-dri
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libvorbis-dev libogg-dev zlib1g-dev libx11-dev
)
for t in "${tools[@]}"; do packages+=("${t#*:}"); done

# apt-get that waits for the package manager's locks: a freshly booted
# machine often runs an automatic package job. dpkg's lock is waited for by
# apt itself; the package lists' lock is not, so a run refused for a lock is
# tried again, for up to 10 minutes.
apt_get() {
  local err rc try
  err=$(mktemp)
  for try in $(seq 60); do
    rc=0
    apt-get -o DPkg::Lock::Timeout=600 "$@" 2>"$err" || rc=$?
    cat "$err" >&2
    if [ "$rc" = 0 ] || ! grep -q "Could not get lock" "$err"; then rm -f "$err"; return "$rc"; fi
    [ "$try" = 1 ] && echo "setup: waiting for another package job to end" >&2
    sleep 10
  done
  rm -f "$err"
  return "$rc"
}

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt_get update
  apt_get install -y --no-install-recommends "${missing[@]}"
fi
for t in "${tools[@]}"; do
  command -v "${t%%:*}" >/dev/null || { echo "setup: missing tool: ${t%%:*} (package ${t#*:})" >&2; exit 1; }
done

# Windows libvorbisfile, built once into build/deps/win64.
prefix="$top/build/deps/win64"
if [ ! -f "$prefix/lib/libvorbisfile.a" ]; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    echo "setup: adding Debian source entries"
    # Mirror the machine's own Debian binary entries as source entries, so
    # setup works behind whatever mirror the machine is configured with.
    # Each entry file is written only when it has entries: a machine with a
    # one-line sources.list gets no empty .sources file, and the reverse.
    src=/etc/apt/sources.list.d/vexmoor-src.sources
    list=/etc/apt/sources.list.d/vexmoor-src.list
    entries=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$src" ] && awk -v RS= '/(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:[^\n]*bookworm/ && !/security/ {
          out=""; n=split($0, ls, "\n")
          for (i = 1; i <= n; i++) {
            if (ls[i] ~ /^#/) continue
            if (ls[i] ~ /^Types:/) ls[i] = "Types: deb-src"
            out = out ls[i] "\n"
          }
          printf "%s\n", out
        }' "$f" >> "$entries"
    done
    if [ -s "$entries" ]; then cp "$entries" "$src"; fi
    : > "$entries"
    if [ -f /etc/apt/sources.list ]; then
      # One-line entries, with or without "[options]".
      grep -E '^deb( \[[^]]*\])? [^ ]+ bookworm(-updates)? ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
        > "$entries" || true
    fi
    if [ -s "$entries" ]; then cp "$entries" "$list"; fi
    rm -f "$entries"
    if [ ! -s "$src" ] && [ ! -s "$list" ]; then
      echo "setup: no Debian package source is configured in /etc/apt" >&2; exit 1
    fi
    apt_get update
  fi
  work="$top/build/deps/src"
  rm -rf "$work"; mkdir -p "$work" "$prefix"
  ( cd "$work" && apt_get source --download-only libogg libvorbis >/dev/null )
  # With the distribution's patches: among them libvorbisfile's guard against
  # a division by zero in ov_read for a stream of zero bytes per sample.
  for pkg in libogg libvorbis; do
    ( cd "$work" && dpkg-source -x "$(ls ${pkg}_*.dsc | head -n1)" "$pkg" >/dev/null )
    ( cd "$work/$pkg" && ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" \
        --disable-shared --enable-static CC=x86_64-w64-mingw32-gcc-posix \
        PKG_CONFIG_PATH="$prefix/lib/pkgconfig" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
        >"$work/$pkg.configure.log" && make -j"$(nproc)" >"$work/$pkg.make.log" && make install >/dev/null )
  done
  echo "setup: Windows libvorbisfile in $prefix"
fi
