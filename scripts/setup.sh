#!/usr/bin/env bash
# Installs the Debian packages the project needs; quiet and quick when all
# of them are there already.
set -euo pipefail

packages=(
  g++ cmake ninja-build            # compiler and build
  libgtest-dev libbenchmark-dev    # tests and benchmarks
  clang libclang-rt-14-dev         # the fuzz target (libFuzzer, sanitizers)
  qt6-base-dev qt6-qpa-plugins     # the windows; the offscreen platform for their tests
  qt6-svg-dev                      # plots exported as SVG
  qt6-datavisualization-dev        # the 3-D surface window (Q3DSurface)
  qt6-declarative-dev libqt6opengl6-dev   # what Data Visualization's CMake package asks for (Qml, Quick, OpenGL)
  libgl1-mesa-dri xvfb xauth       # the surface test: Mesa's software OpenGL on a virtual X display
  qt6-tools-dev qt6-l10n-tools     # the translation tools (lupdate, lrelease) and their CMake support
  qt6-translations-l10n            # Qt's own texts (file dialogs, standard buttons) in Russian
  fonts-dejavu-core                # a font for the windows when no desktop provides one
  dpkg-dev lintian desktop-file-utils appstream file   # the Debian package and its checks
  python3                          # qirt-batch's test reads its JSON with Python's json
  poppler-utils                    # the reports' tests read their PDF (pdftotext, pdfinfo)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
