#!/usr/bin/env bash
# Benchmarks of tessane-cli against everyday tools (not run in CI):
#   1. show over 1,000 small JPEG files, against "exiftool -Comment" and
#      "jhead" over the same files (target: at least as fast as jhead);
#   2. set on a 100 MB JPEG, against cp of the same file (target: within 3x).
# Needs hyperfine, jhead, exiftool, cjpeg, ImageMagick's convert and jq
# (Debian: hyperfine jhead libimage-exiftool-perl libjpeg-turbo-progs
# imagemagick jq).
#
# Usage: bench/cli/run.sh [BUILD_DIR]
# BUILD_DIR defaults to build/bench-cli, a release build made here when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/bench-cli}"
runs="${TESSANE_BENCH_RUNS:-10}"

for tool in hyperfine jhead exiftool cjpeg convert jq; do
    command -v "$tool" >/dev/null || { echo "run.sh: $tool is needed" >&2; exit 2; }
done

if [ ! -x "$build/bin/tessane-cli" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DTESSANE_BUILD_TESTS=OFF -DTESSANE_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" -j 2 --target tessane-cli gif jpeg
fi
cli="$build/bin/tessane-cli"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/small"

# Mean time in seconds of command $2 from hyperfine's JSON export $1.
mean() { jq -r ".results[] | select(.command == \"$2\") | .mean" "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== show over 1,000 small JPEG files"
convert -size 160x120 plasma:fractal -quality 85 "$work/base.jpg"
"$cli" set "$work/base.jpg" --no-backup --text "A comment of a few words, as a camera or a person writes it."
for i in $(seq -w 1 1000); do cp "$work/base.jpg" "$work/small/img$i.jpg"; done
(
    cd "$work/small"
    hyperfine --warmup 2 --runs "$runs" --export-json "$work/show.json" \
        -n tessane-cli "$cli show *.jpg" \
        -n jhead "jhead *.jpg" \
        -n exiftool "exiftool -Comment *.jpg" >&2
)
show="$(mean "$work/show.json" tessane-cli)"
jhead_time="$(mean "$work/show.json" jhead)"
exiftool_time="$(mean "$work/show.json" exiftool)"

echo "== set on a 100 MB JPEG"
# Noise does not compress: 5760 x 4320 random colour pixels at full quality
# without subsampling make about 100 MB. cjpeg works row by row, so no
# image of that size is ever held in memory.
{ printf 'P6\n5760 4320\n255\n'; head -c $((5760 * 4320 * 3)) /dev/urandom; } |
    cjpeg -quality 100 -sample 1x1 >"$work/big.jpg"
ls -l "$work/big.jpg" >&2
hyperfine --warmup 1 --runs "$runs" --export-json "$work/set.json" \
    -n cp "cp $work/big.jpg $work/copy.jpg" \
    -n set-no-backup "$cli set $work/big.jpg --no-backup --text bench" \
    -n set-backup "$cli set $work/big.jpg --backup --text bench" >&2
cp_time="$(mean "$work/set.json" cp)"
set_time="$(mean "$work/set.json" set-no-backup)"
set_backup_time="$(mean "$work/set.json" set-backup)"

echo
echo "show, 1,000 files: tessane-cli $(ratio "$show" "$jhead_time") x jhead (target <= 1), $(ratio "$show" "$exiftool_time") x exiftool"
echo "set, 100 MB:       tessane-cli $(ratio "$set_time" "$cp_time") x cp without backup (target <= 3), $(ratio "$set_backup_time" "$cp_time") x cp with backup"
