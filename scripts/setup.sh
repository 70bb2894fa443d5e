#!/usr/bin/env bash
# Shared by the scripts: install what is missing, then build. Sourcing it
# installs PACKAGES unless SETUP_PACKAGES=none is set first (scripts/run and
# scripts/package install only what the program needs).
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

# Qt's Spanish translation, compiled into the program.
PACKAGES+=(qt6-translations-l10n)
# The program and its tools alone, without tests or benchmarks
# (fonts-liberation2: the metric twin of Arial, the window layouts' font).
PROGRAM_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev qt6-translations-l10n
                  fonts-dejavu-core fonts-liberation2)

# What apt prints goes to this log, shown only when something fails.
SETUP_LOG=${SETUP_LOG:-$ROOT/build/instalacion.log}

# The named packages that are not installed, one a line (one dpkg-query).
missing_packages() {
  local installed p
  installed=$(dpkg-query -W -f='${db:Status-Abbrev}${Package}\n' "$@" 2>/dev/null | sed -n 's/^ii *//p' || true)
  for p in "$@"; do
    grep -qxF "$p" <<<"$installed" || echo "$p"
  done
}

# The named packages that this system's archives offer (an installable
# candidate version).
offered_packages() {
  local p candidate
  for p in "$@"; do
    candidate=$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: *//p')
    [ -n "$candidate" ] && [ "$candidate" != "(none)" ] && echo "$p"
  done
  return 0
}

apt_log() {
  mkdir -p "$(dirname "$SETUP_LOG")"
  echo "+ apt-get $*" >>"$SETUP_LOG"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get "$@" >>"$SETUP_LOG" 2>&1 || {
    tail -n 25 "$SETUP_LOG" >&2
    echo "La instalación de paquetes falló (registro completo: $SETUP_LOG)" >&2
    return 1
  }
}

# install_packages required|optional PACKAGE...: installs what is missing.
# Only packages this system's archives offer are asked for; a required one
# they lack is an error, an optional one is left out.
install_packages() {
  local kind=$1; shift
  command -v dpkg-query >/dev/null 2>&1 || return 0
  local missing
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Faltan paquetes y no hay apt-get: ${missing[*]}" >&2
    return 1
  fi
  if [ -z "${SETUP_APT_UPDATED:-}" ]; then
    [ "$(id -u)" -eq 0 ] || echo "Se instalarán paquetes con sudo; puede pedirle su contraseña."
    apt_log update || return 1
    SETUP_APT_UPDATED=1
  fi
  local p offered absent=()
  mapfile -t offered < <(offered_packages "${missing[@]}")
  for p in "${missing[@]}"; do
    grep -qxF "$p" <<<"$(printf '%s\n' "${offered[@]}")" || absent+=("$p")
  done
  if [ ${#absent[@]} -gt 0 ] && [ "$kind" = required ]; then
    echo "Este sistema no ofrece los paquetes: ${absent[*]}" >&2
    return 1
  fi
  [ ${#offered[@]} -gt 0 ] || return 0
  echo "Instalando ${offered[*]} (registro: ${SETUP_LOG#"$ROOT"/})"
  apt_log install -y --no-install-recommends "${offered[@]}"
}

install_missing() { install_packages required "$@"; }
install_optional() { install_packages optional "$@"; }

# configure_program DIR LOG [cmake args...]: a Release build of the program
# and its tools alone (no tests, no benchmarks) with Ninja, configured once;
# CMake's output goes to LOG.
configure_program() {
  local dir=$1 log=$2; shift 2
  [ -f "$dir/build.ninja" ] && return 0
  mkdir -p "$dir"
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DZELTAR_BUILD_TESTS=OFF -DZELTAR_BUILD_BENCH=OFF "$@" >"$log" 2>&1
}

# configure_build DIR [cmake args...]
configure_build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j "$(nproc 2>/dev/null || echo 2)"
}

if [ "${SETUP_PACKAGES:-all}" != none ]; then
  install_missing "${PACKAGES[@]}"
fi
