# The Debian packages each command needs; sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev fonts-dejavu-core fonts-liberation2)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" ccache libgtest-dev clang libclang-rt-14-dev python3-ezdxf python3-matplotlib
  xvfb openbox xdotool x11-utils)
# Cross-building for Windows and running it under wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine locales libgtest-dev googletest)
# Kelvo.exe's windows under wine on Xvfb, and its package.
WINDOWS_GUI_PACKAGES=(xvfb xdotool openbox imagemagick x11-utils zip)
WINDOWS_QT_PACKAGES=(g++-mingw-w64-x86-64-posix cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils patch gawk)
