#!/usr/bin/env bash
# The Windows stage of the CI, on Debian 12 as root from the root of a clean
# clone: cross-builds the core, velarin-cli and the test suites for 64-bit
# Windows with MinGW-w64 (no window: Qt for MinGW is not in Debian) and runs the
# suites under wine with ctest, among them the Win32 serial back end against
# velarin-ecusim on a pseudo-terminal that wine serves as a COM port.
#
#   .ci/windows.sh          the whole stage
#   .ci/windows.sh prefix   only create the wine prefix (.ci/run starts this in
#                           the background early on: it costs CPU, not attention)
#   .ci/windows.sh build    everything up to the cross build (.ci/run runs this
#                           beside the native tests, which mostly wait on time)
#   .ci/windows.sh test     the suites under wine, on the tree that `build` made
#
# Optional environment: VELARIN_HOST_BUILD, a native build of this tree whose
# bin/velarin-ecusim can serve the serial test (built here otherwise).
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
export WINEPREFIX=$out/wineprefix
export WINEDEBUG=-all
# No display: wine must not open windows or offer to install Mono and Gecko.
unset DISPLAY WAYLAND_DISPLAY
export WINEDLLOVERRIDES="mscoree=;mshtml="

packages=(cmake make g++ g++-mingw-w64-x86-64-posix wine wine64 googletest)

# Creates the prefix once; a second caller waits for the first to finish.
make_prefix() {
  mkdir -p "$out"
  exec 9>"$out/wineprefix.lock"
  flock 9
  if [[ ! -e $WINEPREFIX/.velarin-ready ]]; then
    local start=$SECONDS
    wineboot -i </dev/null >"$out/wineboot.log" 2>&1
    wineserver -w
    touch "$WINEPREFIX/.velarin-ready"
    echo "wine prefix created in $((SECONDS - start)) s"
  fi
  flock -u 9
}

mode=${1:-all}
case $mode in
  prefix)
    make_prefix
    exit 0
    ;;
  all | build | test) ;;
  *)
    echo "usage: .ci/windows.sh [prefix|build|test]" >&2
    exit 2
    ;;
esac

stage_start=$SECONDS
step() { echo "== windows: $1 (at $((SECONDS - stage_start)) s)"; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  step "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

step "wine prefix"
make_prefix
# One server for the whole stage, and its services started by a program whose
# output goes nowhere: a service that inherited a pipe of ctest's or of a
# caller's would keep it open and hang the reader.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1

# -O1: this stage checks behaviour on Windows, not speed (the native build is -O3),
# and compiles in about 60 % of the time -O3 takes.
optimise=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG")

if [[ $mode != test ]]; then
  step "GoogleTest for MinGW"
  cmake -S /usr/src/googletest -B "$out/googletest" "${optimise[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$out/deps" >/dev/null
  cmake --build "$out/googletest" -j"$(nproc)" >/dev/null
  cmake --install "$out/googletest" >/dev/null

  step "host side of the serial test"
  ecusim=${VELARIN_HOST_BUILD:-}/bin/velarin-ecusim
  if [[ -z ${VELARIN_HOST_BUILD:-} || ! -x $ecusim ]]; then
    cmake -S . -B "$out/host" -DCMAKE_BUILD_TYPE=Release -DVELARIN_GUI=OFF -DBUILD_TESTING=OFF \
      >/dev/null
    cmake --build "$out/host" -j"$(nproc)" --target velarin-ecusim
    ecusim=$out/host/bin/velarin-ecusim
  fi
  shim=$out/libvelarin_pty_shim.so
  g++ -std=c++20 -O2 -Wall -Wextra -Werror -shared -fPIC -o "$shim" tests/wine/pty_serial_shim.cpp -ldl

  step "cross build"
  # WINEPREFIX is set: the build runs every test program once to list its tests.
  cmake -S . -B "$out/cross" "${optimise[@]}" -DVELARIN_GUI=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGTest_DIR="$out/deps/lib/cmake/GTest" \
    -DVELARIN_WINE_ECUSIM="$ecusim" -DVELARIN_WINE_PTY_SHIM="$shim"
  cmake --build "$out/cross" -j"$(nproc)"
fi

if [[ $mode != build ]]; then
  step "tests under wine"
  ctest --test-dir "$out/cross" --output-on-failure -j"$(nproc)"
fi

step "done"
