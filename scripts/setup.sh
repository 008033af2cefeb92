#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the
# desktop program need. Packages that are already present are skipped, so a
# second run costs only the dpkg queries.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang clang-format
  libclang-rt-14-dev llvm
  # Qt 6: widgets, image plugins (TIFF and friends), web view
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
  qt6-webengine-dev libqt6svg6 qt6-translations-l10n
  # Qt Linguist's lupdate and lrelease, for the English translation
  qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools
  # formats and platform libraries of the core
  libxml2-dev libfreetype-dev libfontconfig-dev libusb-dev libgif-dev
  libimagequant-dev libspng-dev libisal-dev libturbojpeg0-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3 valgrind
  # the peer the compile benchmark runs beside, and its timing
  imagemagick bc time
  # the Debian package: dependencies, manual pages, and the checks of the
  # package, its desktop entry and its AppStream data
  dpkg-dev file help2man lintian desktop-file-utils appstream shared-mime-info
  # CJK fonts for the font tools, a display for window screenshots
  fonts-wqy-zenhei fonts-arphic-uming xvfb xauth
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
