#!/usr/bin/env bash
# Set-up of a Debian 12 machine for Quillane 2013.
#   scripts/quillane.sh run    install what is missing, build, start the program
#   scripts/quillane.sh test   install what is missing, build, run every test
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLANE_BUILD_DIR:-$here/build}"
mode="${1:-run}"

# Everything the program and its tests need, from Debian's own packages.
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core fonts-urw-base35 qt6-translations-l10n
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libjpeg62-turbo-dev pxlib-dev libcurl4-openssl-dev
)
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  firebird3.0-server xvfb xauth xdotool python3
)

sysdba_password="${QUILLANE_SYSDBA_PASSWORD:-masterkey}"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  # The server's administrator password is the program's own.
  echo "firebird3.0-server shared/firebird/sysdba_password/first_install password $sysdba_password" \
    | as_root debconf-set-selections
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

build() {
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --parallel "$(nproc)"
}

case "$mode" in
  run)
    install_missing "${packages[@]}"
    build
    # The manual made by the build goes into the installation folder when none is there.
    home="${QUILLANE_HOME:-$HOME/.local/share/Quillane2010}"
    mkdir -p "$home"
    [ -e "$home/Help.pdf" ] || cp "$build/Help.pdf" "$home/Help.pdf"
    exec "$build/quillane"
    ;;
  test)
    install_missing "${packages[@]}" "${test_packages[@]}"
    build
    server_pid=""
    aliases_saved=""
    aliases=/etc/firebird/3.0/databases.conf
    if [ "$(id -u)" -eq 0 ] && [ -x /usr/sbin/firebird ]; then
      # The server's alias tovelx names the tests' database for the whole run;
      # the alias file is put back afterwards.
      cp -p "$aliases" "$build/databases.conf.saved"
      aliases_saved=1
      install -d -o firebird -g firebird /tmp/quillane-server
      rm -f /tmp/quillane-server/tovelx.fdb
      awk -v line="tovelx = /tmp/quillane-server/tovelx.fdb" \
        '!done && /tovelx/ { print line; done = 1; next } { print } END { if (!done) print line }' \
        "$build/databases.conf.saved" > "$aliases"
      server_pid="$("$here/scripts/firebird-server.sh" start)"
    fi
    if [ -n "$server_pid" ]; then
      # A test restarts this server and writes the new process id here.
      echo "$server_pid" > "$build/firebird-server.pid"
      export QUILLANE_TEST_SERVER_PID_FILE="$build/firebird-server.pid"
    fi
    finish() {
      if [ -n "$server_pid" ]; then
        "$here/scripts/firebird-server.sh" stop "$(cat "$build/firebird-server.pid")"
      fi
      if [ -n "$aliases_saved" ]; then
        cp -p "$build/databases.conf.saved" "$aliases"
        rm -rf /tmp/quillane-server
      fi
    }
    trap finish EXIT
    cd "$build"
    ctest --output-on-failure --parallel "$(nproc)" --timeout 900
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
