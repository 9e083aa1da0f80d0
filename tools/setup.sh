#!/usr/bin/env bash
# Shared set-up of ./run and ./test: install the Debian packages the build needs
# (only those missing), then configure and build into build/.
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libqt6printsupport6 libgl-dev
  fonts-liberation2 fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev llvm-14  # sanitizer builds, fuzz targets, readable reports
  clang-tidy-14  # tools/lint
  libchm-dev libxcb1-dev
  desktop-file-utils appstream groff-base dpkg-dev file  # installed files, the .deb (file: for dpkg-shlibdeps)
  xvfb openbox libx11-dev libxtst-dev  # the end-to-end suite: a real X server, a window manager, XTEST
  lintian  # checks the .deb
)

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

# Configures and builds one of CMakePresets.json's presets (build-asan/, build-tsan/, ...).
build_preset() {
  local preset="$1"
  (cd "$top" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
}

build() {
  local dir="$1"; shift
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
