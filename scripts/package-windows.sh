#!/usr/bin/env bash
# Makes dist/Kelvo-<version>-win64.zip for Windows users: Kelvo.exe (static, no DLLs beside it),
# the catalogue files and a Russian README.txt. Builds what it needs first, the Windows Qt
# included (about 20 minutes the first time on a machine, see scripts/windows-qt.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${WINDOWS_GUI_PACKAGES[@]}"
bin=$(scripts/windows-gui-build.sh | tail -n 1)
version=$(sed -n 's/^project(Kelvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=Kelvo-$version-win64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
x86_64-w64-mingw32-strip -o "$stage/$name/Kelvo.exe" "$bin/Kelvo.exe"
cp "$bin"/Kelvo.dat "$bin"/Kelvo_*.dat "$bin"/Kelvo_*.ris "$stage/$name/"
# Notepad on an older Russian Windows reads a text file in the ANSI code page, 1251.
sed 's/$/\r/' scripts/windows-readme.txt | iconv -f UTF-8 -t CP1251 >"$stage/$name/README.txt"
mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -q -r -X "$OLDPWD/dist/$name.zip" "$name")
echo "dist/$name.zip ($(du -k "dist/$name.zip" | cut -f1) KiB)"
