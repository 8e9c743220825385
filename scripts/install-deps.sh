#!/usr/bin/env bash
# Installs the Debian 12 packages the panel needs to build, run and be tested.
# Idempotent: asks apt only for what is missing. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libyaml-cpp-dev
  xvfb xauth x11-utils imagemagick desktop-file-utils
  python3 python3-pyvisa python3-pil python3-jsonschema
  clang libclang-rt-14-dev valgrind
  lintian appstream ccache systemd
  libavahi-client-dev avahi-daemon avahi-utils
  libtirpc-dev rpcsvc-proto rpcbind python3-pyvisa-py lxi-tools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: these packages are missing and neither root nor sudo is available:" >&2
  echo "  ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
