#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need, when missing.
# Sourced by run.sh and test.sh.

LENTAVO_PACKAGES=(
  cmake g++ make pkg-config python3
  qt6-base-dev libsqlite3-dev sqlite3
  xvfb xauth xdotool imagemagick x11-apps x11-utils openbox
  fonts-noto-cjk fonts-ipafont-mincho fonts-ipafont-gothic qt6-translations-l10n
  libbenchmark-dev
  qt6-charts-dev libqt6opengl6-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools fonts-dejavu-core
  postgresql libpq-dev
)

lentavo_install_packages() {
  local missing=() p
  for p in "${LENTAVO_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo="sudo"; else
      echo "These packages are missing and I am not root: ${missing[*]}" >&2; return 1
    fi
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
