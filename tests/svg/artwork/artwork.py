#!/usr/bin/env python3
"""Reads real artwork through the command: every SVG file of a folder (Debian's openclipart-svg)
exported in a batch by two workers, each file within a time limit, none crashing.

    artwork.py QUILLMARK FOLDER [--every N] [--timeout SECONDS]

--every N exports every N-th file of the sorted list only (the sanitizer build is slow).
Prints how many files were exported with nothing left out and which losses are the most
common; fails when a file crashed its worker or took longer than the limit, or when a
sanitizer reported anything (in the sanitizer build, a leak at a worker's exit too). Files that
are not valid SVG are listed but are not failures: the reader refuses them with a message.
Exits 77 (skipped) when the folder is missing.
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import tempfile
import time

SUMMARY = re.compile(r'^quillmark: (\d+) documents? in ([0-9.]+) s: (\d+) exported, (\d+) exported with warnings, '
                     r'(\d+) failed$', re.M)
WARNING = re.compile(r'^quillmark: .*?: warning: (.*?)(?: \((?:first: )?(?:id ".*"|line \d+)\))?$', re.M)
COUNTED = [re.compile(r'^(?P<count>\d+) (?P<kind>\S+) left out$'), re.compile(r'^(?P<kind>.*), (?P<count>\d+) times$')]


def loss_of(text):
    """The kind and count of a warning's text."""
    for pattern in COUNTED:
        match = pattern.match(text)
        if match:
            kind, count = match.group('kind'), int(match.group('count'))
            if pattern is COUNTED[0] and count > 1:
                kind = kind[:-3] + 'y' if kind.endswith('ies') else kind[:-2] if kind.endswith('ses') else kind[:-1]
            return kind, count
    return text, 1
CRASH = re.compile(r'^quillmark: (.*?): (made its worker process end: .*|took longer than .*)$', re.M)
# A sanitizer's report in any worker, even one that ends well (leaks are reported at exit).
SANITIZER = re.compile(r'^(?:==\d+==ERROR: \w+Sanitizer|SUMMARY: \w+Sanitizer|.*: runtime error: ).*$', re.M)
FAILURE = re.compile(r'^quillmark: (.*?\.svgz?): (.*)$', re.M)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('quillmark')
    parser.add_argument('folder')
    parser.add_argument('--every', type=int, default=1)
    parser.add_argument('--timeout', type=float, default=20)
    options = parser.parse_args()
    if not os.path.isdir(options.folder):
        print(f'{options.folder} is missing (install openclipart-svg: scripts/setup.sh); skipped')
        return 77

    files = sorted(os.path.join(d, n) for d, _, names in os.walk(options.folder) for n in names
                   if n.lower().endswith(('.svg', '.svgz')))
    chosen = files[::options.every]
    print(f'{len(chosen)} of {len(files)} files (every {options.every}), at most {options.timeout} s each')
    with tempfile.TemporaryDirectory(prefix='quillmark-artwork-') as out:
        # The list goes in through a folder of links, so that the command line stays short and the
        # outputs keep the artwork's sub-folders.
        links = os.path.join(out, 'in')
        for path in chosen:
            link = os.path.join(links, os.path.relpath(path, options.folder))
            os.makedirs(os.path.dirname(link), exist_ok=True)
            os.symlink(path, link)
        started = time.monotonic()
        r = subprocess.run([options.quillmark, 'export', links, '--out-dir', os.path.join(out, 'xaml'), '-j', '2',
                            '--timeout', str(options.timeout), '--left-shift-tapped'],
                           capture_output=True, text=True, errors='replace')
        elapsed = time.monotonic() - started
    summary = SUMMARY.search(r.stderr)
    if r.returncode not in (0, 1) or summary is None:
        print(r.stderr[-4000:])
        print(f'the batch ended with exit status {r.returncode} and no summary')
        return 1
    total, _, clean, warned, failed = summary.groups()
    losses = collections.Counter()
    files_with = collections.Counter()
    for text in WARNING.findall(r.stderr):
        kind, count = loss_of(text)
        losses[kind] += count
        files_with[kind] += 1
    crashes = CRASH.findall(r.stderr)
    refused = [(f, why) for f, why in FAILURE.findall(r.stderr) if not why.startswith('warning: ')
               and (f, why) not in crashes and not why.startswith('not exported')]

    print(f'{total} files in {elapsed:.1f} s: {clean} with nothing left out, {warned} with losses, {failed} failed')
    print('most common losses (elements; files):')
    for kind, count in losses.most_common(15):
        print(f'  {count:8d}  {files_with[kind]:6d}  {kind}')
    if refused:
        print(f'{len(refused)} files refused by the reader, for example:')
        for path, why in refused[:10]:
            print(f'  {os.path.basename(path)}: {why[:160]}')
    reports = SANITIZER.findall(r.stderr)
    if reports:
        print(f'{len(reports)} sanitizer reports, the first:')
        for line in reports[:5]:
            print(f'  {line}')
    if crashes:
        print(f'{len(crashes)} files crashed or took too long:')
        for path, why in crashes:
            print(f'  {path}: {why}')
    return 1 if crashes or reports else 0


if __name__ == '__main__':
    sys.exit(main())
