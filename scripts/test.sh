#!/usr/bin/env bash
# Builds everything and runs every test: the release build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the conformance corpus when it is there.
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

