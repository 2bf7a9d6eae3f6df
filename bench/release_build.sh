# Sourced by the benchmarks that run the real programs: builds TARGETS in build/, the release
# build with debug information and without tests, after installing what it needs (and the
# packages EXTRA_PACKAGES names).
release_build() {
  source scripts/packages.sh
  # shellcheck disable=SC2086  # a list of package names
  scripts/deps.sh "${BUILD_PACKAGES[@]}" ${EXTRA_PACKAGES:-}
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_TESTS=OFF >/dev/null
  cmake --build build --target "$@" >/dev/null
}
