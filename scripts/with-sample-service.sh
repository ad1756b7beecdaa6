#!/usr/bin/env bash
# Runs a command while the local sample service listens, for tests that talk to
# it (ctest's LAUNCHER). The command learns where the service is from:
#   MERRAVINE_SERVICE_HOST=127.0.0.1:PORT  MERRAVINE_SAMPLE_PORT=PORT
#   MERRAVINE_FAULT_HOST=127.0.0.1:FPORT   MERRAVINE_FAULT_PORT=FPORT (raw fault listener)
# The service binary is $MERRAVINE_SAMPLE_SERVICE, else the one of the native
# build. The exit status is the command's.
#
#   scripts/with-sample-service.sh COMMAND [ARGS...]
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
service="${MERRAVINE_SAMPLE_SERVICE:-$root/build/native/tools/sample-service/merravine-sample-service}"

if (($# == 0)); then
  echo "usage: with-sample-service.sh COMMAND [ARGS...]" >&2
  exit 2
fi
if [[ ! -x "$service" ]]; then
  echo "with-sample-service: no service binary at $service (build the native preset first)" >&2
  exit 1
fi

ports="$(mktemp)"
pid=""
stop_service() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null
    # The service ends every wait on SIGTERM; the hard kill is only a backstop.
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -f "$ports"
}
trap stop_service EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The service prints its HTTP port and its fault port once both listen.
"$service" --port 0 >"$ports" &
pid=$!
for _ in $(seq 200); do
  [[ "$(wc -l <"$ports")" -ge 2 ]] && break
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "with-sample-service: the service ended before it listened" >&2
    exit 1
  fi
  sleep 0.05
done
port="$(sed -n 1p "$ports")"
fault_port="$(sed -n 2p "$ports")"
if [[ ! "$port" =~ ^[0-9]+$ || ! "$fault_port" =~ ^[0-9]+$ ]]; then
  echo "with-sample-service: the service did not report its ports" >&2
  exit 1
fi

export MERRAVINE_SERVICE_HOST="127.0.0.1:$port" MERRAVINE_SAMPLE_PORT="$port"
export MERRAVINE_FAULT_HOST="127.0.0.1:$fault_port" MERRAVINE_FAULT_PORT="$fault_port"
"$@"
status=$?
exit "$status"
