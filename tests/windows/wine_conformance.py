#!/usr/bin/env python3
"""Exports every document of the conformance corpus with the Windows quillmark.exe under Wine
and with the build machine's command, in all three modes, and compares the two:

    wine_conformance.py WINE_RUN QUILLMARK_EXE MODULE CORPUS_DIR REFERENCE_COMMAND [--jobs N]

CORPUS_DIR holds the documents in docs/*.json. For every document and mode both commands must
succeed alike, the Windows file must end every line with CR LF (text mode on Windows), and
once CR LF is read as LF it must be the build machine's file byte for byte. The Windows runs go
to one Wine server, kept running for the whole test (Wine's start-up is the slow part), a few
side by side. Closes with 'N passed, N failed'.
"""
import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile

from checks import Checks

MODES = [('wpf', ['--target', 'wpf']), ('wpfe', ['--target', 'wpfe']),
         ('drawingbrush', ['--target', 'wpf', '--right-shift'])]


def windows_path(path):
    """The build machine's absolute path as Wine's drive Z: shows it."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def export(command, document, output, mode_args, scratch):
    return subprocess.run([*command, 'export', document, '-o', output, '--left-shift-tapped', *mode_args],
                          cwd=scratch, capture_output=True, timeout=300)


def compare(checks, name, windows_result, reference_result, windows_file, reference_file):
    if not checks.expect(windows_result.returncode == reference_result.returncode == 0,
                         f'{name}: the export answered {windows_result.returncode} on Windows and '
                         f'{reference_result.returncode} here: {windows_result.stderr.decode(errors="replace")}'
                         f'{reference_result.stderr.decode(errors="replace")}'):
        return
    with open(windows_file, 'rb') as f:
        actual = f.read()
    with open(reference_file, 'rb') as f:
        expected = f.read()
    line_ends = actual.count(b'\n')
    bare = line_ends - actual.count(b'\r\n')
    checks.expect(line_ends > 0 and bare == 0, f'{name}: {bare} of {line_ends} line ends are not CR LF')
    unix = actual.replace(b'\r\n', b'\n')
    if unix != expected:
        at = next((i for i, (a, b) in enumerate(zip(unix, expected)) if a != b), min(len(unix), len(expected)))
        checks.expect(False, f'{name}: differs from the build machine\'s output at byte {at} (after CR LF):\n'
                             f'  windows: {unix[max(0, at - 60):at + 60]!r}\n'
                             f'  here:    {expected[max(0, at - 60):at + 60]!r}')
    else:
        checks.expect(True, '')


def main():
    parser = argparse.ArgumentParser()
    for name in ('wine_run', 'program', 'module', 'corpus', 'reference_command'):
        parser.add_argument(name)
    parser.add_argument('--jobs', type=int, default=2)
    options = parser.parse_args()
    wine_run, program, module, corpus, reference_command = map(
        os.path.abspath, (options.wine_run, options.program, options.module, options.corpus,
                          options.reference_command))
    checks = Checks()
    if not checks.expect(os.access(reference_command, os.X_OK),
                         f'the build machine\'s command {reference_command} is missing: build the default preset first'):
        return checks.summary()
    documents_dir = os.path.join(corpus, 'docs')
    documents = sorted(name[:-5] for name in os.listdir(documents_dir) if name.endswith('.json'))
    if not checks.expect(documents, f'no documents in {documents_dir}'):
        return checks.summary()

    with tempfile.TemporaryDirectory(prefix='quillmark-wine-corpus-') as scratch:
        # Beside nothing of the build tree, as a user installs it.
        program_folder = os.path.join(scratch, 'program')
        os.makedirs(program_folder)
        shutil.copy(program, program_folder)
        shutil.copy(module, program_folder)
        windows = [wine_run, os.path.join(program_folder, os.path.basename(program))]
        for folder in ('windows', 'here'):
            os.makedirs(os.path.join(scratch, folder))

        def run(document, mode, mode_args):
            source = os.path.join(documents_dir, document + '.json')
            output = f'{document}.{mode}.xaml'
            windows_file = os.path.join(scratch, 'windows', output)
            reference_file = os.path.join(scratch, 'here', output)
            return (f'{document} {mode}',
                    export(windows, windows_path(source), windows_path(windows_file), mode_args, scratch),
                    export([reference_command], source, reference_file, mode_args, scratch),
                    windows_file, reference_file)

        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
            runs = [pool.submit(run, document, mode, args) for document in documents for mode, args in MODES]
            for finished in runs:
                compare(checks, *finished.result())
    return checks.summary()


if __name__ == '__main__':
    sys.exit(main())
