#!/usr/bin/env python3
"""Measures how much real artwork the export draws as the SVG does: a random sample of
Debian's openclipart-svg, each file exported with --strict (so only files the host's document
holds whole) and compared with its export by `quillmark compare`.

    artwork_share.py QUILLMARK [--folder DIR] [--sample N] [--seed S] [--keep DIR] [--jobs J]

Prints the share of the strictly exported files whose export matches (at compare's default
size, tolerance and threshold), the files that differ with the drawing's features that the
export is known to draw otherwise (a hint at the cause, to be confirmed on the side-by-side
pictures that --keep writes), and a table of every file's result (--table FILE, tab-separated).
Run it under nice: it draws every file twice.
"""
import argparse
import collections
import concurrent.futures
import os
import random
import re
import subprocess
import sys
import tempfile

SHARE = re.compile(r'^([0-9.]+)% of the pixels differ')

# What the export draws otherwise than SVG, found in the file's text: a hint, not a proof.
HINTS = {
    'group opacity': re.compile(r'<g\b[^>]*\bopacity\s*[:=]\s*"?\s*0?\.\d', re.S),
    'group opacity (style)': re.compile(r'<g\b[^>]*style="[^"]*(?<![-\w])opacity\s*:\s*0?\.\d', re.S),
    'dashes': re.compile(r'stroke-dasharray\s*[:=]\s*"?\s*[0-9.]'),
    'round or square caps': re.compile(r'stroke-linecap\s*[:=]\s*"?\s*(?:round|square)'),
    'hidden': re.compile(r'visibility\s*[:=]\s*"?\s*hidden|display\s*[:=]\s*"?\s*none'),
    'radial gradient': re.compile(r'<radialGradient\b'),
    'focal point': re.compile(r'<radialGradient\b[^>]*\bf[xy]\s*=', re.S),
    'spread method': re.compile(r'spreadMethod\s*=\s*"(?:reflect|repeat)"'),
    'clip path': re.compile(r'<clipPath\b'),
    'gradient on stroke': re.compile(r'stroke\s*[:=]\s*"?\s*url\('),
    'non-scaling transforms': re.compile(r'\bskewX|\bskewY'),
}


def sample_files(folder, size, seed):
    files = sorted(os.path.join(d, n) for d, _, names in os.walk(folder) for n in names
                   if n.lower().endswith(('.svg', '.svgz')))
    return files if size >= len(files) else sorted(random.Random(seed).sample(files, size)), len(files)


def measure(quillmark, svg, work, keep, folder):
    name = os.path.relpath(svg, folder)
    stem = name.replace('/', '-').rsplit('.', 1)[0]
    xaml = os.path.join(work, stem + '.xaml')
    r = subprocess.run([quillmark, 'export', svg, '-o', xaml, '--strict', '--left-shift-tapped'],
                       capture_output=True, text=True, errors='replace', timeout=300)
    if r.returncode != 0:
        return name, 'not strict', None, r.stderr.strip().splitlines()[-1:] or ['']
    command = [quillmark, 'compare', svg, xaml]
    if keep:
        command += ['-o', os.path.join(keep, stem + '.png')]
    r = subprocess.run(command, capture_output=True, text=True, errors='replace', timeout=300)
    os.remove(xaml)
    match = SHARE.match(r.stdout)
    if r.returncode not in (0, 1) or not match:
        return name, 'not compared', None, [r.stderr.strip()]
    try:
        with open(svg, encoding='utf-8', errors='replace') as f:
            text = f.read()
    except OSError:
        text = ''
    hints = [hint for hint, pattern in HINTS.items() if pattern.search(text)]
    return name, 'match' if r.returncode == 0 else 'differs', float(match.group(1)), hints


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('quillmark')
    parser.add_argument('--folder', default='/usr/share/openclipart/svg')
    parser.add_argument('--sample', type=int, default=400)
    parser.add_argument('--seed', type=int, default=20261209)
    parser.add_argument('--keep')
    parser.add_argument('--table')
    parser.add_argument('--jobs', type=int, default=2)
    options = parser.parse_args()
    if not os.path.isdir(options.folder):
        print(f'{options.folder} is missing (install openclipart-svg: scripts/setup.sh)')
        return 77
    if options.keep:
        os.makedirs(options.keep, exist_ok=True)
    chosen, total = sample_files(options.folder, options.sample, options.seed)
    print(f'{len(chosen)} of {total} files, seed {options.seed}')
    results = []
    with tempfile.TemporaryDirectory(prefix='quillmark-share-') as work, \
            concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        futures = [pool.submit(measure, options.quillmark, svg, work, options.keep, options.folder) for svg in chosen]
        for future in concurrent.futures.as_completed(futures):
            try:
                results.append(future.result())
            except subprocess.TimeoutExpired as timeout:
                results.append((str(timeout.cmd[2]), 'not compared', None, ['took longer than 300 s']))
    results.sort()
    counts = collections.Counter(status for _, status, _, _ in results)
    strict = counts['match'] + counts['differs'] + counts['not compared']
    print(f"{strict} exported with --strict ({len(chosen) - strict} left something out or failed); "
          f"{counts['match']} match ({100 * counts['match'] / max(strict, 1):.1f}%), "
          f"{counts['differs']} differ, {counts['not compared']} could not be compared")
    hints = collections.Counter(h for _, status, _, found in results if status == 'differs' for h in found)
    unhinted = sum(1 for _, status, _, found in results if status == 'differs' and not found)
    print('features of the differing files (a file may have several):')
    for hint, count in hints.most_common():
        print(f'  {count:4}  {hint}')
    print(f'  {unhinted:4}  none of these')
    for name, status, share, notes in results:
        if status == 'not compared':
            print(f'not compared: {name}: {notes[0]}')
    if options.table:
        with open(options.table, 'w', encoding='utf-8') as table:
            for name, status, share, notes in results:
                table.write(f"{name}\t{status}\t{'' if share is None else share}\t{'; '.join(notes)}\n")
    return 0


if __name__ == '__main__':
    sys.exit(main())
