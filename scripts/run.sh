#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application with the
# simulated instrument reachable as a USB device (and on a pseudo-terminal).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
info=$(mktemp)
./build/tools/sim/kv2200sim --tcp 0 --pty --info "$info" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -f "$info"' EXIT
for _ in $(seq 50); do [ -s "$info" ] && grep -q '^pty=' "$info" && break; sleep 0.1; done
port=$(sed -n 's/^tcp=//p' "$info")
pty=$(sed -n 's/^pty=//p' "$info")
export KV2200_VISA_ALIASES="USB0::0x0400::0x05DC::SIM0001::INSTR=TCPIP::127.0.0.1::${port}::SOCKET"
[ -n "$pty" ] && export KV2200_COM1="$pty"
echo "Simulator: USB instrument USB0::0x0400::0x05DC::SIM0001::INSTR on TCP port ${port}; COM1 is ${pty:-not available}."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under a virtual X display (xvfb-run)."
  xvfb-run -a ./build/app/kv2200
else
  ./build/app/kv2200
fi
