#!/usr/bin/env bash
# The README's commands on a brand-new Debian 12, as a stranger's machine has them: makes a
# minimal bookworm root (debootstrap), gives it the host's Debian apt sources and locally
# added certificate authorities, clones this repository's HEAD into it with ../shared beside
# it, then inside it, as root, with no display and no sound card: scripts/play.sh (which
# must leave a playable video), then scripts/test.sh. The inside run has private mount and
# PID namespaces, so nothing stays mounted or running when it ends, however it ends. Prints
# each step's time and the test command's summary, and exits with the inside run's status.
# Only downloaded .deb files are kept between runs (each run works on its own copy, so runs
# side by side never share a lock); nothing else of the host is seen inside.
#
# Environment: FRESH_DIR (where the root and its log go, default /var/tmp), FRESH_DEB_CACHE
# (the .deb files, default /var/cache/orangefunk-fresh), FRESH_KEEP=1 keeps the root.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Inside the new root: the two commands of the README, in turn.
if [[ "${1:-}" == --inside ]]; then
  cd "$root"
  started=$SECONDS
  echo "fresh: scripts/play.sh (no display: a video of the whole show)"
  scripts/play.sh
  echo "fresh: time: scripts/play.sh $((SECONDS - started)) s"
  # The video is read back with ffprobe and ffmpeg, test tools that play.sh leaves out.
  begun=$SECONDS
  scripts/setup.sh
  echo "fresh: time: scripts/setup.sh (the test tools) $((SECONDS - begun)) s"
  video=build/orangefunk.mp4
  streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$video" | sort | tr '\n' ' ')
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video")
  if [[ "$streams" != "audio video " ]] || ! ffmpeg -nostdin -v error -i "$video" -f null - ||
     ! awk -v d="$duration" 'BEGIN { exit !(d > 240) }'; then
    echo "fresh: FAILED: $video is not a playable video of the show (streams: $streams, ${duration:-?} s)"
    exit 1
  fi
  echo "fresh: play gave $video, picture and sound, ${duration%.*} s, decoded in full ($((SECONDS - started)) s)"
  begun=$SECONDS
  status=0
  scripts/test.sh || status=$?
  echo "fresh: time: scripts/test.sh $((SECONDS - begun)) s"
  exit $status
fi

if [[ $(id -u) -ne 0 ]]; then
  exec sudo --preserve-env=FRESH_DIR,FRESH_DEB_CACHE,FRESH_KEEP "$0" "$@"
fi
log() { echo "fresh: $*"; }

# Debian's apt sources of the host: the files that name Debian's archive, and its mirror.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [[ -f $file ]] && grep -qsE '^[^#]*(debian\.org|/debian)' "$file" && sources+=("$file")
done
mirror=$(sed -nE 's/^URIs:[[:space:]]*([^[:space:]]+).*/\1/p; s/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+bookworm[[:space:]].*/\2/p' \
  "${sources[@]}" /dev/null | grep -v security | head -n 1)
if [[ -z "$mirror" ]]; then
  echo "fresh: no Debian mirror found in the host's apt sources (/etc/apt/sources.list*)" >&2
  exit 1
fi
if ! command -v debootstrap >/dev/null; then
  log "installing debootstrap"
  apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >&2
fi

base=${FRESH_DIR:-/var/tmp}
debs=${FRESH_DEB_CACHE:-/var/cache/orangefunk-fresh}
mkdir -p "$base" "$debs"
work=$(mktemp -d "$base/orangefunk-fresh.XXXXXX")
chmod 755 "$work"
fs=$work/root
output=$base/$(basename "$work").log
# Copies (hard links where it can) the .deb files of folder $1 that folder $2 lacks.
copy_debs() { find "$1" -maxdepth 1 -name '*.deb' -exec cp -n -l -t "$2" {} + 2>/dev/null ||
  find "$1" -maxdepth 1 -name '*.deb' -exec cp -n -t "$2" {} +; }
cleanup() {
  [[ -d "$fs/var/cache/apt/archives" ]] && copy_debs "$fs/var/cache/apt/archives" "$debs"
  [[ -d "$work/debs" ]] && copy_debs "$work/debs" "$debs"
  if [[ "${FRESH_KEEP:-}" == 1 ]]; then log "root kept in $fs"; else rm -rf "$work"; fi
}
trap cleanup EXIT
mkdir -p "$work/debs"
copy_debs "$debs" "$work/debs"

commit=$(git -C "$root" rev-parse HEAD)
[[ -z "$(git -C "$root" status --porcelain)" ]] || log "note: uncommitted changes are not tested, only $commit"
log "making a Debian 12 root from $mirror in $fs"
started=$SECONDS
# debootstrap mounts proc in the new root while it works: in a mount namespace of its own,
# that mount goes with it even when it is killed.
unshare --mount --propagation private --kill-child \
  debootstrap --variant=minbase --include=ca-certificates,git --cache-dir="$work/debs" bookworm "$fs" "$mirror" \
  >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log"; exit 1; }
rm -f "$fs/etc/apt/sources.list"
cp "${sources[@]}" "$fs/etc/apt/sources.list.d/"
if compgen -G "/usr/local/share/ca-certificates/*" >/dev/null; then
  cp -r /usr/local/share/ca-certificates/. "$fs/usr/local/share/ca-certificates/"
  chroot "$fs" update-ca-certificates >/dev/null 2>&1
fi
copy_debs "$work/debs" "$fs/var/cache/apt/archives"
git clone -q "$root" "$fs/work/orangefunk"
git -C "$fs/work/orangefunk" checkout -q --detach "$commit"
if [[ -d "$root/../shared" ]]; then
  cp -r "$root/../shared" "$fs/work/shared"
  chmod -R a-w "$fs/work/shared"
fi
made=$((SECONDS - started))
log "root ready in $made s; the test command runs inside it (log: $output)"

# Private mount and PID namespaces: proc, sys and dev, a /tmp, /run and /dev/shm of its own,
# no sound devices; nothing of the host is shared. When this script or the namespace's
# first process dies, every process in it is killed.
inside=(env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
        TERM=dumb CI=true /work/orangefunk/scripts/test-fresh.sh --inside)
status=0
unshare --mount --pid --fork --kill-child --propagation private bash -euc '
  fs=$1; shift
  mount -t proc proc "$fs/proc"
  mount -t sysfs sysfs "$fs/sys"
  mount --rbind /dev "$fs/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$fs/dev/shm"
  [[ -d "$fs/dev/snd" ]] && mount -t tmpfs tmpfs "$fs/dev/snd"
  mount -t tmpfs -o mode=1777 tmpfs "$fs/tmp"
  mount -t tmpfs -o mode=755 tmpfs "$fs/run"
  exec chroot "$fs" "$@"' fresh "$fs" "${inside[@]}" >"$output" 2>&1 || status=$?
# The steps' own lines, the end of the log when it failed, and last the test command's
# summary (whose closing line counts the tests).
grep -E '^(fresh|web|package):|^  [^ ].*: (ok|FAILED|skipped)' "$output" | cut -c 1-300 || true
if [[ $status -ne 0 ]]; then
  echo "--- the last lines of $output:"
  sed '/^=== test summary/,$d' "$output" | tail -n 60 | cut -c 1-300
fi
log "inside run exited $status after $((SECONDS - started)) s"
# The wall time of each step of this run, the inside run's from its own lines.
{
  echo "making the Debian 12 root"$'\t'"$made"
  sed -nE 's/^fresh: time: (.*) ([0-9]+) s$/\1\t\2/p' "$output"
  echo "whole run"$'\t'"$((SECONDS - started))"
} | awk -F '\t' 'BEGIN { print "fresh: wall time of each step, in seconds:" } { printf "  %-40s %5d\n", $1, $2 }'
grep -q '^=== test summary' "$output" && sed -n '/^=== test summary/,$p' "$output" ||
  log "no test summary: the test command did not get that far"
exit $status
