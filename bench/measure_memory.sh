#!/usr/bin/env bash
# Peak resident memory of the quillmark command exporting a one-path document, one path of
# 32767 segments (b) and 16191 paths of 100 segments (a). The documents are generated in a
# temporary folder and removed afterwards. Usage: bench/measure_memory.sh [path/to/quillmark]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
quillmark_install time  # /usr/bin/time reports the peak resident size
quillmark=${1:-build-bench/quillmark}
[ -x "$quillmark" ] || { echo "no $quillmark: build it first (cmake --build --preset bench)" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
python3 bench/make_documents.py "$scratch"

# Each document is run twice: exporting it, and loading it only (the command reads the
# document before it loads the plug-in, so naming a module that does not exist stops it right
# after the load). The difference is what the export itself adds to the peak.
peak_of() {  # time output file
    sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"
}
for name in one-path b-long-path a-many-paths; do
    /usr/bin/time -v "$quillmark" export "$scratch/$name.json" -o "$scratch/$name.xaml" 2> "$scratch/$name.time" >/dev/null
    /usr/bin/time -v "$quillmark" export "$scratch/$name.json" -o "$scratch/$name.none.xaml" \
        --plugin "$scratch/absent.aip" 2> "$scratch/$name.load.time" >/dev/null || true
    printf '%-13s json %9d bytes  xaml %9d bytes  peak RSS: export %8d KiB, load only %8d KiB\n' "$name" \
        "$(stat -c %s "$scratch/$name.json")" "$(stat -c %s "$scratch/$name.xaml")" \
        "$(peak_of "$scratch/$name.time")" "$(peak_of "$scratch/$name.load.time")"
done
