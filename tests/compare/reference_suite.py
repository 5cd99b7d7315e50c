#!/usr/bin/env python3
"""The reference suite: every one-feature drawing of the SVG reader's tests exported in each
mode and compared with its export's picture by `quillmark compare`.

    reference_suite.py QUILLMARK FEATURES KNOWN [--keep FOLDER]

Each (drawing, mode) must match, or stand in KNOWN with the behaviour that causes the
difference; a listed pair that matches fails the suite too, so that the list stays true.
KNOWN has one entry a line, '#' starting a comment:

    FEATURE/CASE MODES: BEHAVIOUR

MODES is 'all' or a comma-separated list of wpf, brush (WPF with the right Shift key: a
drawing brush) and wpfe. --keep writes every pair's side-by-side picture into FOLDER.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

MODES = {'wpf': [], 'brush': ['--right-shift'], 'wpfe': ['--target', 'wpfe']}
ENTRY = re.compile(r'^(?P<case>\S+)\s+(?P<modes>[a-z,]+):\s*(?P<why>\S.*)$')


def read_known(path):
    known = {}
    with open(path, encoding='utf-8') as lines:
        for number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            match = ENTRY.match(line)
            if not match:
                raise SystemExit(f'{path}:{number}: not "FEATURE/CASE MODES: BEHAVIOUR"')
            modes = list(MODES) if match['modes'] == 'all' else match['modes'].split(',')
            for mode in modes:
                if mode not in MODES:
                    raise SystemExit(f'{path}:{number}: unknown mode {mode!r}')
                known[(match['case'], mode)] = match['why']
    return known


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('quillmark')
    parser.add_argument('features')
    parser.add_argument('known')
    parser.add_argument('--keep')
    options = parser.parse_args()
    known = read_known(options.known)
    cases = sorted(os.path.relpath(os.path.join(d, n), options.features)[:-4]
                   for d, _, names in os.walk(options.features) for n in names if n.endswith('.svg'))
    for case, _ in known:
        if case not in cases:
            raise SystemExit(f'{options.known}: {case} is no drawing of {options.features}')

    faults, stale, listed, matched = [], [], 0, 0
    with tempfile.TemporaryDirectory(prefix='quillmark-reference-') as work:
        for case in cases:
            svg = os.path.join(options.features, case + '.svg')
            for mode, flags in MODES.items():
                name = f'{case} {mode}'
                xaml = os.path.join(work, case.replace('/', '-') + f'-{mode}.xaml')
                r = subprocess.run([options.quillmark, 'export', svg, '-o', xaml, '--left-shift-tapped'] + flags,
                                   capture_output=True, text=True)
                if r.returncode != 0:
                    faults.append(f'{name}: the export failed ({r.returncode}): {r.stderr.strip()}')
                    continue
                command = [options.quillmark, 'compare', svg, xaml]
                if options.keep:
                    os.makedirs(options.keep, exist_ok=True)
                    command += ['-o', os.path.join(options.keep, case.replace('/', '-') + f'-{mode}.png')]
                r = subprocess.run(command, capture_output=True, text=True)
                result = r.stdout.strip() or r.stderr.strip().splitlines()[-1]
                why = known.get((case, mode))
                if r.returncode == 0:
                    matched += 1
                    if why is not None:
                        stale.append(f'{name}: listed as differing ({why}) but matches now: {result}')
                elif r.returncode == 1 and why is not None:
                    listed += 1
                    print(f'{name}: differs as listed: {result}')
                else:
                    faults.append(f'{name}: {result}')
    for line in faults + stale:
        print(line)
    total = len(cases) * len(MODES)
    print(f'{total} exports of {len(cases)} drawings: {matched} match, {listed} differ as listed, '
          f'{len(faults)} differ unlisted or failed, {len(stale)} listed but matching')
    return 1 if faults or stale else 0


if __name__ == '__main__':
    sys.exit(main())
