#!/usr/bin/env bash
# Runs a command in a network namespace of its own that has only loopback, so that anything
# the command tries to reach off the machine fails at once instead of going out.
set -euo pipefail
if [ "${DUVUZEZERA_PRIVATE_NETWORK:-}" = 1 ]; then
  exec "$@"
fi
user=()
[ "$(id -u)" -eq 0 ] || user=(--map-root-user)
exec unshare --net "${user[@]}" -- bash -c '
  set -euo pipefail
  ip link set lo up
  # Only the loopback routes: no way off the machine.
  if ip route show | grep -q .; then
    echo "error: the private network has a route off the machine" >&2
    exit 1
  fi
  export DUVUZEZERA_PRIVATE_NETWORK=1
  exec "$@"' private-network "$@"
