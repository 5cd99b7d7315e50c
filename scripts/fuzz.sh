#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each over its seeds, its kept corpus and the inputs
# that once crashed it (tests/crash/<format>), failing on any crash, hang or sanitizer report.
#
#   scripts/fuzz.sh [--seconds N] [FORMAT...]     FORMAT: json svg xaml (all that are built)
#
# By default each target runs 20 seconds, as the test script does. A long campaign runs one
# target for longer, e.g. `nice scripts/fuzz.sh --seconds 3600 json` (docs/testing.md).
# Skips, saying why, when clang or its fuzzer runtime is missing; answers 0 then.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
formats=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds="$2"; shift 2 ;;
        -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) formats+=("$1"); shift ;;
    esac
done
[ ${#formats[@]} -gt 0 ] || formats=(json svg xaml)

# A one-line fuzz target tells whether clang can build fuzz targets at all.
probe=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-fuzz-probe.XXXXXX")
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' > "$probe/probe.cpp"
if ! command -v clang++-14 >/dev/null ||
   ! clang++-14 -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    echo "== SKIPPED: the fuzz targets need clang 14 with its fuzzer runtime (packages clang, libclang-rt-14-dev)"
    exit 0
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
python3 fuzz/seeds.py build-fuzz/seeds "${formats[@]}" >/dev/null

status=0
for format in "${formats[@]}"; do
    target=build-fuzz/fuzz_$format
    if [ ! -x "$target" ]; then
        echo "== fuzz_$format: not built (its reader is not part of this build), skipped"
        continue
    fi
    corpus=build-fuzz/corpus/$format
    artifacts=build-fuzz/artifacts/$format
    mkdir -p "$corpus" "$artifacts"
    echo "== fuzz_$format: $seconds s over $corpus, build-fuzz/seeds/$format and tests/crash/$format"
    # New inputs go into the first folder, the kept corpus; the others are only read.
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
            -dict="fuzz/dict/$format.dict" -artifact_prefix="$artifacts/" -print_final_stats=1 \
            "$corpus" "build-fuzz/seeds/$format" "tests/crash/$format" > "build-fuzz/fuzz_$format.log" 2>&1; then
        echo "== fuzz_$format FAILED; the input is in $artifacts/, the report in build-fuzz/fuzz_$format.log:"
        grep -v '^    #' "build-fuzz/fuzz_$format.log" | grep -E 'ERROR|error|fault|what\(\)|Test unit' | head -5
        echo "   keep it: minimise it and copy it to tests/crash/$format/ (docs/testing.md)"
        status=1
    else
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "build-fuzz/fuzz_$format.log" | tr '\n' ' '
        echo
    fi
done
exit $status
