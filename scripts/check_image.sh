#!/usr/bin/env bash
# Builds the dedicated server's container image from the project's Debian
# package with packaging/container/Containerfile, and checks it: the image's
# server starts as a non-root user, a wire-level peer on loopback joins it and
# is served, and SIGTERM ends it with status 0. Prints the image's size and
# the server's memory and CPU with 31 bots.
# The base image debian:bookworm-slim is made here from Debian's packages
# (mmdebstrap) when the local image store lacks it: these machines reach
# Debian's mirror but no image registry. Needs root (buildah, chroot isolation;
# podman's runtime is not usable in such sandboxes).
# Usage: scripts/check_image.sh [BUILD_DIR] (default build; built already).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
image=localhost/grimvale-server:test
base=debian:bookworm-slim

[ "$(id -u)" -eq 0 ] || { echo "the image stage needs root (buildah with chroot isolation)"; exit 1; }
for tool in buildah mmdebstrap python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/setup.sh test installs it)"; exit 1; }
done

work=$(mktemp -d)
container=""
cleanup() {
  [ -z "$container" ] || buildah rm "$container" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "-- base image"
if ! buildah inspect --type image "$base" >/dev/null 2>&1; then
  # As the registry's slim image: the minimal base without documentation or translations.
  mmdebstrap --variant=minbase --quiet \
    --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/doc/*' \
    --dpkgopt='path-include=/usr/share/doc/*/copyright' --dpkgopt='path-exclude=/usr/share/locale/*' \
    bookworm "$work/base.tar" http://deb.debian.org/debian
  ctr=$(buildah from scratch)
  buildah add "$ctr" "$work/base.tar" / >/dev/null
  buildah config --cmd /bin/bash "$ctr"
  buildah commit --quiet "$ctr" "$base" >/dev/null
  buildah rm "$ctr" >/dev/null
  rm -f "$work/base.tar"
fi

echo "-- package and image"
cmake --build "$build" --target grimvale lvltool guitool modeltool data levels manpages icons changelog >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/grimvale_*.deb | head -1)
cp packaging/container/Containerfile "$deb" "$work/"
buildah bud --quiet --isolation chroot --pull-never -t "$image" "$work" >/dev/null
size=$(buildah inspect --type image --format '{{.Size}}' "$image" 2>/dev/null || echo "")
[ -n "$size" ] || size=$(buildah images --noheading --format '{{.Size}}' "$image")
echo "image $image: $size"

echo "-- the image's server"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
container=$(buildah from --pull-never "$image")
# The container's entry point with the host's network; its standard input stays open, as a pod's does.
user=$(buildah run --isolation chroot "$container" id -un)
[ "$user" = grimvale ] || { echo "the server runs as $user, not as grimvale"; exit 1; }
mkfifo "$work/input"
exec 3<>"$work/input"
buildah run --isolation chroot --network host "$container" -- /usr/games/grimvale --dedicated --tcpport "$port" \
  --udpport "$port" --discoveryport -1 --bots 31 --maxplayers 32 <&3 >"$work/server.log" 2>&1 &
runner=$!
for _ in $(seq 600); do
  grep -q "type help for the commands" "$work/server.log" && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 0.1
done
grep -q "type help for the commands" "$work/server.log" || { cat "$work/server.log"; echo "the server did not start"; exit 1; }
# The server itself: the process below the runner that runs the game.
descendants() {
  local child
  for child in $(pgrep -P "$1" || true); do
    echo "$child"
    descendants "$child"
  done
}
server=""
for pid in $(descendants "$runner"); do
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = grimvale ] && server=$pid
done
[ -n "$server" ] || { echo "no server process below $runner"; exit 1; }

python3 - "$port" <<'PY'
# A wire-level peer: the start message (code 2) comes, the ready message
# (code 1, the peer's UDP port in its first single) goes, the start
# information (code 7) and the other characters' datagrams come.
import socket, struct, sys, time
port = int(sys.argv[1])
tcp = socket.create_connection(("127.0.0.1", port), timeout=10)
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
udp.bind(("127.0.0.1", 0))
udp.settimeout(10)
def message(code):
    data = b""
    while True:
        while len(data) < 104:
            chunk = tcp.recv(104 - len(data))
            if not chunk:
                sys.exit("the server closed the connection")
            data += chunk
        if data[0] == code:
            return data
        data = b""
start = message(2)
print("level:", start[2:2 + start[1]].decode())
ready = bytearray(104)
ready[0] = 1
ready[80:84] = struct.pack("<f", udp.getsockname()[1])
tcp.sendall(ready)
message(7)
datagram, _ = udp.recvfrom(64)
print("served: start information and a datagram of", len(datagram), "bytes")
PY

# Memory and CPU of the server with 31 bots over 10 s of play.
ticks=$(getconf CLK_TCK)
cpu0=$(awk '{print $14 + $15}' "/proc/$server/stat")
sleep 10
cpu1=$(awk '{print $14 + $15}' "/proc/$server/stat")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$server/status")
echo "server with 31 bots: $((rss / 1024)) MB resident, $(( (cpu1 - cpu0) * 1000 / ticks / 10 / 10 )).$(( (cpu1 - cpu0) * 1000 / ticks / 10 % 10 ))% of a core"

kill -TERM "$server"
status=0
wait "$runner" || status=$?
exec 3>&-
grep -q "Signal received, shutting down" "$work/server.log" || { cat "$work/server.log"; echo "no clean end"; exit 1; }
[ "$status" -eq 0 ] || { tail -n 20 "$work/server.log"; echo "the server ended with status $status"; exit 1; }
echo "SIGTERM: status 0"
