#!/bin/bash
# Installs the Debian 12 packages that building, running and testing need (as root).
set -euo pipefail
PACKAGES="build-essential cmake pkg-config qtbase5-dev libqt5svg5-dev libqt5webkit5-dev
  qtdeclarative5-dev qttools5-dev qttools5-dev-tools libpoppler-private-dev libfreetype-dev
  libhpdf-dev libquazip1-qt5-dev zlib1g-dev xvfb xauth fonts-liberation2
  fonts-wqy-microhei fonts-dejavu-core
  poppler-utils clang libclang-rt-14-dev xdotool"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq $missing
fi
