#!/usr/bin/env bash
# Shared set-up of ./run and ./test: install the Debian packages a step needs (only those
# missing), then configure and build into build/.
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What building and running the game needs; ./run installs only these.
game_packages=(
  cmake make g++ pkg-config
  qt6-base-dev libqt6printsupport6 libgl-dev
  fonts-liberation2 fonts-dejavu-core  # the fonts the layout is measured for
  libchm-dev  # the help reader
  libxcb1-dev  # asks the X server what only it knows (held buttons, a destroyed window)
)

# What ./test adds: the test and benchmark libraries, the sanitizer and lint tool chain, the
# checks of the installed files and the Debian package, and the end-to-end runs under Xvfb.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev llvm-14  # sanitizer builds, fuzz targets, readable reports
  lld-14  # the sanitizer builds' linker (their debug binaries link faster than with ld)
  clang-tidy-14 python3  # tools/lint (tools/tidy_cached.py)
  desktop-file-utils appstream groff-base dpkg-dev file  # installed files, the .deb (file: for dpkg-shlibdeps)
  lintian  # the package check
  ccache  # the three builds of ./test reuse what an earlier run (in any clone) compiled
  xvfb openbox xdotool libx11-dev libxtst-dev x11-utils  # the game on a virtual X server with a window manager, driven by real input (XTEST)
)

packages=("${game_packages[@]}" "${test_packages[@]}")

ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing Debian packages: ${missing[*]}" >&2
    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# With ccache installed, every build goes through it. Paths are taken relative to the tree and
# the build folder is left out of the key (the sanitizer builds carry debug information), so
# another clone of the same sources finds the objects too; the debug information of such an
# object then names the folder of the clone that compiled it first. A new build folder is
# configured with the launcher; an existing one keeps what it was configured with.
use_compiler_cache() {
  if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
  fi
}

# Configures and builds one of CMakePresets.json's presets (build-asan/, build-tsan/, ...).
build_preset() {
  local preset="$1"
  use_compiler_cache
  (cd "$top" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
}

build() {
  local dir="$1"; shift
  use_compiler_cache
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
