#!/usr/bin/env bash
# Starts or stops the Firebird server on 127.0.0.1:3050 without a service manager
# (as on a CI machine). "start" prints the server's process id once it answers,
# or nothing when a server already answers there.
set -euo pipefail

case "${1:-}" in
  start)
    # A server that already runs (a service of this computer) serves the tests.
    if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then
      exit 0
    fi
    install -d -o firebird -g firebird -m 0770 /tmp/firebird
    chown -R firebird:firebird /tmp/firebird
    # The server keeps its lock memory in its own folder (/tmp/firebird), never in
    # a lock folder of the programs or tests that start it.
    setsid env -u FIREBIRD_LOCK setpriv --reuid=firebird --regid=firebird --init-groups /usr/sbin/firebird \
      </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then
        echo "$pid"
        exit 0
      fi
      sleep 0.1
    done
    echo "the Firebird server did not start" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
    ;;
  stop)
    pid="${2:?process id}"
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || exit 0
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start | stop PID" >&2
    exit 2
    ;;
esac
