#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and benchmarking need.
# Only what is missing is installed, so a prepared machine starts at once.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-image-formats-plugins libgif-dev libdeflate-dev libwebp-dev libpng-dev zlib1g-dev libtiff-dev libjpeg-dev
  liblcms2-dev libexif-dev libheif-dev webp libimage-exiftool-perl
  fonts-wine fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth imagemagick hyperfine libvips-tools time python3
  clang libclang-rt-14-dev
  qt6-tools-dev qt6-tools-dev-tools libqt6opengl6-dev
  dpkg-dev file lintian desktop-file-utils appstream parallel
)
# ISA-L's fast inflater is packaged for amd64 only; elsewhere zlib's is used.
if [[ $(dpkg --print-architecture) == amd64 ]]; then packages+=(libisal-dev); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
