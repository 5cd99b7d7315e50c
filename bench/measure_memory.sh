#!/usr/bin/env bash
# Peak resident memory of the quillmark command exporting a one-path document, one path of
# 32767 segments (b) and 16191 paths of 100 segments (a). The documents are generated in a
# temporary folder and removed afterwards. Usage: bench/measure_memory.sh [path/to/quillmark]
set -euo pipefail
cd "$(dirname "$0")/.."
quillmark=${1:-build-bench/quillmark}
[ -x "$quillmark" ] || { echo "no $quillmark: build it first (cmake --build --preset bench)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
python3 bench/make_documents.py "$scratch"

for name in one-path b-long-path a-many-paths; do
    /usr/bin/time -v "$quillmark" export "$scratch/$name.json" -o "$scratch/$name.xaml" 2> "$scratch/$name.time" >/dev/null
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$scratch/$name.time")
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$scratch/$name.time")
    printf '%-14s json %9d bytes  xaml %10d bytes  peak RSS %8d KiB  wall %s\n' "$name" \
        "$(stat -c %s "$scratch/$name.json")" "$(stat -c %s "$scratch/$name.xaml")" "$peak" "$elapsed"
done
