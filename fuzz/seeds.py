#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into a folder of the build tree.

Every seed is a fuzz input: the three-byte header (target, no host fault) and a document.
JSON seeds come from examples/, the documents written into the tests' sources and the
conformance corpus beside the repository; each is written once per export target. SVG seeds
are the tests' SVG files and a fixed sample of the smallest drawings of the system's clip-art
collection, when it is installed. XAML seeds are the expected exports of the tests (no header:
the previewer has no host). Seeds are named by the hash of their content, so the same
document found twice is kept once.

Usage: seeds.py OUTPUT_FOLDER [FORMAT...]   (formats: json svg xaml; all by default)
"""
import hashlib
import os
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CONFORMANCE = ROOT.parent / 'shared' / 'conformance'
CLIP_ART = pathlib.Path('/usr/share/openclipart/svg')
CLIP_ART_SAMPLE = 100
CLIP_ART_MAX_BYTES = 4096

NO_FAULT = 0xFF
TARGETS = (0, 1, 2)  # WPF, WPF/E, WPF drawing brush

# A raw string literal in C++ source that holds a JSON document.
RAW_DOCUMENT = re.compile(r'R"\((\{.*?)\)"', re.S)


def header(target):
    return bytes([target, NO_FAULT, 0])


def files(folder, pattern):
    return sorted(folder.rglob(pattern)) if folder.is_dir() else []


def json_documents():
    for path in files(ROOT / 'examples', '*.json') + files(ROOT / 'tests', '*.json') + \
            files(CONFORMANCE, '*.json'):
        yield path.read_bytes()
    for path in files(ROOT / 'tests', '*.cpp') + files(ROOT / 'tests', '*.h'):
        for match in RAW_DOCUMENT.finditer(path.read_text(encoding='utf-8', errors='replace')):
            if '"layers"' in match.group(1):
                yield match.group(1).encode('utf-8')


def clip_art_sample():
    """The smallest drawings of the collection, by size then name, so the sample is the same
    on every machine with the same package."""
    drawings = [(path.stat().st_size, str(path)) for path in files(CLIP_ART, '*.svg')]
    drawings = [d for d in drawings if d[0] <= CLIP_ART_MAX_BYTES]
    for _, path in sorted(drawings)[:CLIP_ART_SAMPLE]:
        yield pathlib.Path(path).read_bytes()


def svg_documents():
    for path in files(ROOT / 'tests', '*.svg') + files(ROOT / 'examples', '*.svg'):
        yield path.read_bytes()
    yield from clip_art_sample()


def xaml_documents():
    for path in files(ROOT / 'tests', '*.xaml') + files(CONFORMANCE, '*.xaml'):
        yield path.read_bytes()


def write(folder, content):
    name = hashlib.sha1(content).hexdigest()
    (folder / name).write_bytes(content)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    output = pathlib.Path(sys.argv[1])
    formats = sys.argv[2:] or ['json', 'svg', 'xaml']
    for name in formats:
        folder = output / name
        folder.mkdir(parents=True, exist_ok=True)
        count = 0
        if name == 'xaml':
            for document in xaml_documents():
                write(folder, document)
                count += 1
        else:
            documents = json_documents() if name == 'json' else svg_documents()
            for document in documents:
                for target in TARGETS:
                    write(folder, header(target) + document)
                count += 1
        print(f'{name}: {count} documents, {len(os.listdir(folder))} seeds in {folder}')


if __name__ == '__main__':
    main()
