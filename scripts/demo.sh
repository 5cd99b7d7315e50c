#!/usr/bin/env bash
# Builds the exporter and exports the showcase documents of examples/ to XAML, for WPF, for
# WPF/E and as a WPF drawing brush.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

cmake --preset default -DQUILLMARK_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default -j"$(nproc)"

out=build/examples-xaml
mkdir -p "$out"
for document in examples/*.json; do
    name=$(basename "$document" .json)
    build/quillmark export "$document" -o "$out/$name.wpf.xaml" --target wpf --left-shift-tapped
    build/quillmark export "$document" -o "$out/$name.wpfe.xaml" --target wpfe --left-shift-tapped
    build/quillmark export "$document" -o "$out/$name.drawingbrush.xaml" --target wpf --right-shift --left-shift-tapped
done
echo
echo "Exported $(ls "$out"/*.xaml | wc -l) XAML files to $(pwd)/$out:"
ls -1 "$out"
