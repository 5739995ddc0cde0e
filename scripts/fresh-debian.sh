#!/usr/bin/env bash
# fresh-debian.sh 12|13: the README's two commands as a new contributor meets
# them. Makes a fresh minimal Debian tree (bookworm or trixie) under
# build/fresh/, installs only git in it, clones this repository's committed
# state into it and runs scripts/test.sh, then scripts/run.sh (no display
# there, so it saves a screenshot). Prints each command's wall time and result
# and where the screenshot is. Needs root (debootstrap, chroot, mounts).
# The tree is kept for a look afterwards and replaced by the next run.
set -euo pipefail

case "${1:-}" in
  12) SUITE=bookworm ;;
  13) SUITE=trixie ;;
  *) echo "usage: $0 12|13" >&2; exit 2 ;;
esac
VERSION=$1

if [ "$(id -u)" != 0 ]; then
  exec sudo "$0" "$@"
fi
# All mounts live in a mount namespace of this script's own: nothing bound
# here can show up in the host's /dev, and the kernel drops them all when the
# script ends, however it ends. The explicit unmounts below are tidiness.
if [ -z "${TARVOLO_FRESH_NAMESPACE:-}" ]; then
  TARVOLO_FRESH_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$@"
fi

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

TREES=$BUILD/fresh
TREE=$TREES/debian-$VERSION
LOGS=$TREES/debian-$VERSION-logs
MIRROR=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
MIRROR=${MIRROR:-http://deb.debian.org/debian}

# Mount points below the tree, deepest first.
tree_mounts() {
  awk -v t="$TREE" '$5 == t || index($5, t "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# Processes whose root is the tree: anything a command there left running
# (a Wine server, a display) would keep the mounts busy.
tree_processes() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$TREE" ] && echo "${p#/proc/}"
  done
  return 0
}

release_tree() {
  local pids m
  pids=$(tree_processes)
  if [ -n "$pids" ]; then
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null || true
    for _ in $(seq 50); do [ -z "$(tree_processes)" ] && break; sleep 0.1; done
    pids=$(tree_processes)
    # shellcheck disable=SC2086
    [ -z "$pids" ] || kill -9 $pids 2>/dev/null || true
  fi
  for m in $(tree_mounts); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
}
trap release_tree EXIT
trap 'exit 130' INT TERM

in_tree() {
  chroot "$TREE" env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$1"
}

total_start=$(date +%s)
apt_install debootstrap

if [ -e "$TREE" ]; then
  echo "== removing the previous tree $TREE"
  release_tree
  if [ -n "$(tree_mounts)" ]; then
    echo "== $TREE still has mounts; not removing it" >&2
    exit 1
  fi
  rm -rf --one-file-system "$TREE"
fi
mkdir -p "$TREES" "$LOGS"
rm -f "$LOGS"/*

echo "== debootstrap --variant=minbase $SUITE $TREE $MIRROR (a few minutes)"
if ! debootstrap --variant=minbase "$SUITE" "$TREE" "$MIRROR" >"$LOGS/debootstrap.log" 2>&1; then
  tail -n 30 "$LOGS/debootstrap.log"
  echo "== debootstrap failed; log in $LOGS/debootstrap.log" >&2
  exit 1
fi
cp /etc/resolv.conf "$TREE/etc/resolv.conf"
mount --bind /proc "$TREE/proc"
mount --bind /sys "$TREE/sys"
mount --bind /dev "$TREE/dev"
mount --bind /dev/pts "$TREE/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$TREE/dev/shm"

echo "== installing git in the tree"
in_tree 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq git >/dev/null' \
  >"$LOGS/git-install.log" 2>&1 || { cat "$LOGS/git-install.log"; exit 1; }

# A bundle carries the committed history into the tree as a fresh clone sees
# it; uncommitted edits stay behind.
if [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no)" ]; then
  echo "== note: uncommitted changes in $ROOT are not part of the clone"
fi
refs=(HEAD)
branch=$(git -C "$ROOT" symbolic-ref -q HEAD || true)
[ -z "$branch" ] || refs+=("$branch")
git -C "$ROOT" bundle create "$TREE/root/tarvolo.bundle" "${refs[@]}" 2>/dev/null
in_tree 'git -c init.defaultBranch=main clone -q /root/tarvolo.bundle /root/tarvolo'
echo "== cloned $(git -C "$ROOT" rev-parse --short HEAD) into $TREE/root/tarvolo"

results=()
status=0
# run_command NAME COMMAND: runs it in the clone, its output shown and logged.
run_command() {
  local name=$1 command=$2 start rc=0 took
  echo "== $SUITE: $command"
  start=$(date +%s)
  # In the background and waited for, so that an interrupt reaches the
  # trap at once instead of after the command.
  { in_tree "cd /root/tarvolo && $command" 2>&1 | tee "$LOGS/$name.log"; } &
  wait $! || rc=$?
  took=$(( $(date +%s) - start ))
  if [ "$rc" = 0 ]; then
    results+=("$command: PASS, $took s wall time")
  else
    results+=("$command: FAIL (exit $rc), $took s wall time")
    status=1
  fi
}
run_command test scripts/test.sh
run_command run scripts/run.sh

echo
echo "== Debian $VERSION ($SUITE), fresh tree $TREE"
for r in "${results[@]}"; do echo "   $r"; done
shot=$TREE/root/tarvolo/build/screenshot.png
if [ -f "$shot" ]; then
  echo "   screenshot: $shot"
else
  echo "   no screenshot was saved"
  status=1
fi
echo "   logs: $LOGS"
echo "   all of it, the tree included: $(( $(date +%s) - total_start )) s"
exit $status
