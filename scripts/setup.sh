#!/usr/bin/env bash
# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian/Ubuntu packages the build needs (fonts-liberation2: the metric twin of
# Arial, the layouts' font, where Arial is missing).
PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
          fonts-dejavu-core fonts-liberation2 poppler-utils)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "Se necesitan permisos de administrador (sudo) para instalar: $*" >&2
    return 1
  fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    if ! command -v apt-get >/dev/null 2>&1; then
      echo "Faltan paquetes y no hay apt-get: ${missing[*]}" >&2
      return 1
    fi
    echo "Instalando: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# configure_build DIR [cmake args...]
configure_build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j "$(nproc 2>/dev/null || echo 2)"
}

if command -v dpkg-query >/dev/null 2>&1; then
  install_missing "${PACKAGES[@]}"
fi
