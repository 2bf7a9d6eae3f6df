# Sourced by the screenshot scripts: installs what they need, builds the named targets,
# starts Xvfb and makes a work directory "$work", both removed again on exit.
prepare_screenshot() {
  source scripts/packages.sh
  scripts/deps.sh "${BUILD_PACKAGES[@]}" xvfb xdotool imagemagick
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_TESTS=OFF >/dev/null
  cmake --build build --target "$@" >/dev/null
  source scripts/xvfb.sh
  start_xvfb
  work=$(mktemp -d)
  trap 'rm -rf "$work"; kill $XVFB_PID 2>/dev/null' EXIT
  mkdir -p docs
}
