#!/usr/bin/env bash
# Installs the Debian 12 packages Parcelo builds, tests and runs with.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # libraries
  libytnef0-dev libgsf-1-dev libgmime-3.0-dev qt6-base-dev libfontconfig-dev libgtest-dev libgmock-dev libbenchmark-dev
  # fonts metric-compatible with Outlook's (Carlito for Calibri, Caladea for Cambria, Liberation
  # for Arial, Times New Roman and Courier New), so a body breaks into lines and pages as the
  # sender saw it; DejaVu for everything else. The tests see only these (tests/fonts.conf).
  fonts-crosextra-carlito fonts-crosextra-caladea fonts-liberation2 fonts-dejavu-core
  # icons for the attachment list, and a display for screenshots
  adwaita-icon-theme hicolor-icon-theme xvfb xauth
  # the printing tests read the PDF files they print (pdfinfo, pdftotext, pdftoppm, pdfimages)
  poppler-utils
  # the association tests: the desktop's own openers and checkers, and the type database
  desktop-file-utils xdg-utils libglib2.0-bin shared-mime-info file
  # fuzzing and the sanitizer build
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
