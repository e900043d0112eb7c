#!/usr/bin/env bash
# Installs the Debian packages the project needs, in two sets:
#
#   scripts/setup-deps.sh          what building and running orven and orven-cli needs
#                                  (compiler, CMake, Ninja, Qt, a Japanese font)
#   scripts/setup-deps.sh --tests  that, and what the tests, fuzzing and benchmarks add
#
# scripts/start.sh installs the first set, scripts/test.sh and CI both.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

# The window lays its controls out for IPA Gothic (ui/Fonts.cpp).
program_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-ipafont-gothic
)
# Unit and benchmark libraries; two clang versions with their sanitizer and fuzzer
# runtimes; the peers of the benchmarks; the virtual X server and the tools the window's
# end-to-end test drives; the documentation and packaging checks; GNU parallel for the
# documented many-host conversion; the other Japanese font the window may fall back to.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  clang-16 libclang-rt-16-dev
  libonig-dev libre2-dev nkf hyperfine locales
  xvfb xauth x11-apps imagemagick xdotool
  groff-base man-db lintian appstream desktop-file-utils
  parallel
  fonts-noto-cjk
)

packages=("${program_packages[@]}")
case "${1:-}" in
  "") ;;
  --tests) packages+=("${test_packages[@]}") ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
