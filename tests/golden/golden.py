#!/usr/bin/env python3
"""Exports every example document with the quillmark command for WPF, WPF/E and drawing-brush
mode and compares each file byte for byte with its reference in expected/.

    golden.py QUILLMARK EXAMPLES_DIR EXPECTED_DIR [--regenerate] [--only NAME]

--regenerate writes the current output as the new references: read every changed file
(git diff) against what the exporter must write before committing it.
Every output must also be well-formed XML.
"""
import argparse
import difflib
import os
import subprocess
import sys
import tempfile
import xml.dom.minidom

MODES = [('wpf', ['--target', 'wpf']), ('wpfe', ['--target', 'wpfe']),
         ('drawingbrush', ['--target', 'wpf', '--right-shift'])]


def export(quillmark, document, args, output):
    result = subprocess.run([quillmark, 'export', document, '-o', output, '--left-shift-tapped'] + args,
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f'export of {document} failed with exit {result.returncode}: {result.stderr}')
    with open(output, 'rb') as f:
        return f.read()


def readable_diff(expected, actual, name):
    lines = difflib.unified_diff(expected.decode('utf-8', 'replace').splitlines(keepends=True),
                                 actual.decode('utf-8', 'replace').splitlines(keepends=True),
                                 f'expected/{name}', f'actual/{name}', n=2)
    return ''.join(list(lines)[:60])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('quillmark')
    parser.add_argument('examples')
    parser.add_argument('expected')
    parser.add_argument('--regenerate', action='store_true')
    parser.add_argument('--only')
    options = parser.parse_args()

    documents = sorted(f[:-5] for f in os.listdir(options.examples) if f.endswith('.json'))
    if options.only:
        documents = [d for d in documents if d == options.only]
    failures = passes = 0
    with tempfile.TemporaryDirectory() as scratch:
        for document in documents:
            for mode, args in MODES:
                name = f'{document}.{mode}.xaml'
                actual = export(options.quillmark, os.path.join(options.examples, document + '.json'), args,
                                os.path.join(scratch, name))
                try:
                    xml.dom.minidom.parseString(actual)
                except Exception as error:  # the parser's own error types vary
                    print(f'FAIL {name}: not well-formed XML: {error}')
                    failures += 1
                    continue
                reference = os.path.join(options.expected, name)
                if options.regenerate:
                    with open(reference, 'wb') as f:
                        f.write(actual)
                    passes += 1
                    continue
                if not os.path.exists(reference):
                    print(f'FAIL {name}: no reference (run with --regenerate, then read it)')
                    failures += 1
                    continue
                with open(reference, 'rb') as f:
                    expected = f.read()
                if expected == actual:
                    passes += 1
                else:
                    failures += 1
                    print(f'FAIL {name}: differs from its reference\n{readable_diff(expected, actual, name)}')
    print(f'{passes} passed, {failures} failed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
