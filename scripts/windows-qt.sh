#!/usr/bin/env bash
# Builds the static Qt 6 for Windows (mingw-w64) from Debian's own qt6-base source package into a
# cache folder outside the repository, once per machine. Does nothing when a complete build is
# already there. Prints the Qt prefix as its last line.
#   KELVO_WINQT_DIR  where the build is kept (default: ~/.cache/kelvo/qt6-win64)
# About 20 minutes and 2.5 GB of disk on two cores the first time; 115 MB are kept afterwards.
set -euo pipefail
# Built once, its objects would only fill the compiler cache that ./test keeps for Kelvo's own.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${KELVO_WINQT_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvo/qt6-win64}
prefix=$cache/qt
stamp=$prefix/.complete

say() { echo "windows-qt: $*" >&2; }

if [ -f "$stamp" ]; then
  say "using the Windows Qt in $prefix"
  echo "$prefix"
  exit 0
fi

source "$repo/scripts/packages.sh"
"$repo/scripts/deps.sh" "${WINDOWS_QT_PACKAGES[@]}" >&2

start=$(date +%s)
elapsed() { local s=$(( $(date +%s) - start )); printf '%d:%02d' $((s / 60)) $((s % 60)); }

mkdir -p "$cache"
cd "$cache"

# apt-get source needs a deb-src entry; Debian 12's images ship deb lines only.
if ! grep -rqsE '^(Types: *deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  say "adding deb-src entries for bookworm to apt's sources"
  cat >/etc/apt/sources.list.d/kelvo-deb-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -qq
fi

if ! ls qt6-base_*.orig.tar.xz >/dev/null 2>&1; then
  say "[1/5] downloading Debian's qt6-base source ($(elapsed))"
  apt-get source --download-only qt6-base >&2
fi

# A build cut off after configuring goes on where it stopped.
if [ -f build/build.ninja ] && [ -f build/.configured ]; then
  say "going on with the build in $cache/build"
  cd build
else
say "[2/5] unpacking and applying Debian's security patches ($(elapsed))"
rm -rf src build
mkdir src
tar -xf qt6-base_*.orig.tar.xz -C src --strip-components=1
mkdir debian-files
tar -xf qt6-base_*.debian.tar.xz -C debian-files
for p in debian-files/debian/patches/cve-2023-*; do
  [ -f "$p" ] || continue
  patch -d src -p1 --quiet <"$p"
done
rm -rf debian-files

# Qt's own toolchain file loads this one by absolute path: keep a copy in the cache, without the
# test emulator (Qt's configure must not start wine).
sed '/^# Tests run under wine/,$d' "$repo/cmake/mingw-w64.cmake" >"$cache/mingw-w64.cmake"

say "[3/5] configuring ($(elapsed))"
mkdir build
cd build
../src/configure -prefix "$prefix" -release -static -static-runtime -opensource -confirm-license \
  -xplatform win32-g++ -qt-host-path /usr -nomake tests -nomake examples -no-opengl -no-dbus \
  -no-icu -no-glib -no-pkg-config -no-openssl -schannel -no-zstd -qt-zlib -qt-libpng \
  -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion -no-feature-sql \
  -no-feature-printsupport -no-feature-concurrent -no-feature-xml -no-feature-tabletevent \
  -no-feature-vulkan -no-feature-jpeg -no-feature-tuiotouch \
  -- -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >configure.log 2>&1 ||
  { tail -n 40 configure.log >&2; say "configure failed (log: $cache/build/configure.log)"; exit 1; }
touch .configured
fi

say "[4/5] compiling, about 1,100 steps ($(elapsed))"
# ninja's status line is one line per step: show one line every 50 steps.
ninja -j "$(nproc)" 2>&1 | awk -v t0="$start" '
  /^\[[0-9]+\/[0-9]+\]/ { s = $1; gsub(/[^0-9/]/, "", s); split(s, a, "/"); n = a[1] + 0
    if (n % 50 == 0 || n == a[2] + 0) { printf "windows-qt:   step %s of %s (%d min)\n", n, a[2], (systime() - t0) / 60 > "/dev/stderr"; fflush() } next }
  /FAILED|error:/ { print > "/dev/stderr" }' || true
if ! ninja -n 2>/dev/null | grep -q 'no work to do'; then
  say "the build failed; see $cache/build"
  exit 1
fi

say "[5/5] installing into $prefix ($(elapsed))"
cmake --install . >/dev/null
cd "$cache"
rm -rf build src
touch "$stamp"
say "done in $(elapsed)"
echo "$prefix"
