#!/usr/bin/env bash
# Builds everything and runs every test: the release build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the conformance corpus when it is there, each
# fuzz target for a short while (skipped, saying so, without clang's fuzzer runtime), and
# the 32-bit Windows build with its tests under Wine when its tools are there or can be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

jobs=$(nproc)

echo "== Release build and tests"
cmake --preset default -DQUILLMARK_BUILD_TESTS=ON >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"

conformance=../shared/conformance/check
if [ -f "$conformance" ]; then
    echo "== Conformance corpus"
    python3 "$conformance" build/quillmark
else
    echo "== Conformance corpus: not found beside the repository, skipped"
fi

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake --preset asan -DQUILLMARK_BUILD_TESTS=ON >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

echo "== Fuzz targets, 20 seconds each, over their seeds, corpus and kept crash files"
scripts/fuzz.sh

echo "== 32-bit Windows build (mingw-w64) and its tests under Wine"
if quillmark_install_windows_tools; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 -j"$jobs"
    # A fresh Wine prefix for every run, in a temporary folder; it and its Wine server go when
    # the script ends, however it ends.
    wine_home=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-wine.XXXXXX")
    trap 'WINEPREFIX="$wine_home/prefix" wineserver -k 2>/dev/null || true; rm -rf "$wine_home"' EXIT
    QUILLMARK_WINEPREFIX="$wine_home/prefix" ctest --preset win32 -j"$jobs"
    if ! wine --version >/dev/null 2>&1; then
        echo "== SKIPPED: Wine is missing or cannot start on this machine (see above), so only the module's"
        echo "   files were checked; the Windows programs' tests under Wine did not run"
    fi
else
    echo "== SKIPPED: the 32-bit Windows build and its Wine tests did not run (the cross compiler above is missing)"
fi
