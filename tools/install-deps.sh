#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Run as root on a fresh machine; does nothing more when they are present.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libssl-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-multimedia-dev libx11-dev
  libmagickcore-6.q16-dev libjpeg62-turbo-dev zlib1g-dev
  libmpg123-dev libsoundtouch-dev
  imagemagick espeak-ng sox chromium firefox-esr
  pulseaudio
  libreoffice-impress poppler-utils
  qt6-webengine-dev cabextract gcab xvfb xauth x11-utils procps
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev ffmpeg
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
