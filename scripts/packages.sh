# The Debian packages each command needs; sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev fonts-dejavu-core)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" libgtest-dev clang libclang-rt-14-dev python3-ezdxf
  xvfb openbox xdotool x11-utils)
