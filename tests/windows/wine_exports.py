#!/usr/bin/env python3
"""Runs the Windows quillmark.exe under Wine and checks what a user of the Windows build sees:

    wine_exports.py WINE_RUN QUILLMARK_EXE MODULE EXAMPLES_DIR EXPECTED_DIR REFERENCE_COMMAND

- every golden document (the examples and their references in EXPECTED_DIR), exported for
  WPF, WPF/E and drawing-brush mode, has CR LF line ends, as text mode writes them on Windows,
  and is byte for byte its reference once CR LF is read as LF;
- the About box and the error dialog show the same texts as the build machine's command
  (REFERENCE_COMMAND), and those texts come from the module's own resources: the program runs
  without any Quillmark.res, and a module whose resource texts were altered shows the altered
  texts;
- the key states reach the plug-in and its open request reaches the host, not the desktop;
- every allocation of the module goes to the host, as many as on the build machine, and none
  is left after shut-down.

The program and module are copied into a scratch folder first, so nothing of the build tree
(such as Quillmark.res) lies beside them. Closes with 'N passed, N failed'.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

from checks import Checks

MODES = [('wpf', ['--target', 'wpf']), ('wpfe', ['--target', 'wpfe']),
         ('drawingbrush', ['--target', 'wpf', '--right-shift'])]

TRIANGLE = b'''{"layers": [{"type": "group", "children": [
    {"type": "path", "name": "triangle", "closed": true, "style": {"fillPaint": true},
     "segments": [{"anchor": [0, 0]}, {"anchor": [10, 0]}, {"anchor": [10, 10]}]}]}]}'''

# Texts of the module's resources, altered in a copy of the module to show where the
# command's texts come from. Each keeps its length: UTF-16 in the resource section.
ALTERED_TEXTS = [('Version 0.16', 'Version 9.87'), ('The XAML file is incomplete', 'THE XAML FILE IS INCOMPLETE')]
# More art objects than the plug-in's art list holds: it writes what fits and reports the file
# incomplete in its error dialog (the command itself refuses a folder that does not exist).
OVERFULL = json.dumps({'layers': [{'type': 'group', 'children': [
    {'type': 'path', 'segments': [[i, 0], [i + 1, 0], [i, 1]]} for i in range(16200)]}]}).encode()


def windows_path(path):
    """The build machine's absolute path as Wine's drive Z: shows it."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def unix_lines(data):
    return data.replace(b'\r\n', b'\n')


class Runner:
    """Runs the Windows command under Wine and the build machine's command, each in the
    scratch folder."""

    def __init__(self, wine_run, program, reference_command, scratch):
        self.wine_run = wine_run
        self.program = program
        self.reference_command = reference_command
        self.scratch = scratch

    def windows(self, *args):
        return subprocess.run([self.wine_run, self.program, *args], cwd=self.scratch, capture_output=True,
                              timeout=120)

    def reference(self, *args):
        return subprocess.run([self.reference_command, *args], cwd=self.scratch, capture_output=True, timeout=120)


def golden_documents(examples, expected):
    """{document name: json path or None} for every example and every reference."""
    documents = {name[:-5]: os.path.join(examples, name) for name in os.listdir(examples) if name.endswith('.json')}
    for reference in os.listdir(expected):
        if reference.endswith('.xaml'):
            documents.setdefault(reference.split('.')[0], None)
    return documents


def memory_line(stderr):
    """The host's memory report, without the document's name (a Z: path on Windows)."""
    line = next((line for line in unix_lines(stderr).splitlines() if b'host memory:' in line), b'')
    return line[line.find(b'host memory:'):]


def check_host_memory(checks, runner, documents):
    """The module's global operator new sends everything to the host; linked statically,
    the C++ runtime inside the module must use it too."""
    for document in documents:
        args = ['export', document, '-o', 'memory.xaml', '--left-shift-tapped', '--verbose']
        windows = memory_line(runner.windows(*[windows_path(a) if a == document else a for a in args]).stderr)
        reference = memory_line(runner.reference(*args).stderr)
        checks.expect(windows == reference and b' 0 still held' in windows,
                      f'{document}: the host counts the module\'s memory differently on Windows:\n'
                      f'{windows!r}\n{reference!r}')


def check_golden_exports(checks, runner, examples, expected):
    documents = golden_documents(examples, expected)
    checks.expect(documents, f'no golden documents in {examples} and {expected}')
    for name, document in sorted(documents.items()):
        if not checks.expect(document is not None, f'{name}: references without a document in {examples}'):
            continue
        for mode, args in MODES:
            output = f'{name}.{mode}.xaml'
            reference = os.path.join(expected, output)
            if not checks.expect(os.path.exists(reference), f'{output}: no reference in {expected}'):
                continue
            result = runner.windows('export', windows_path(document), '-o', output, '--left-shift-tapped', *args)
            if not checks.expect(result.returncode == 0,
                                 f'{output}: export failed ({result.returncode}): {result.stderr.decode(errors="replace")}'):
                continue
            with open(os.path.join(runner.scratch, output), 'rb') as f:
                actual = f.read()
            line_ends = actual.count(b'\n')
            bare = line_ends - actual.count(b'\r\n')
            checks.expect(line_ends > 0 and bare == 0, f'{output}: {bare} of {line_ends} line ends are not CR LF')
            with open(reference, 'rb') as f:
                checks.expect(unix_lines(actual) == f.read(), f'{output}: differs from {reference} beyond line ends')


def altered_module(module, folder):
    """A copy of the module with the texts of ALTERED_TEXTS changed in its resources."""
    with open(module, 'rb') as f:
        data = f.read()
    for original, altered in ALTERED_TEXTS:
        encoded = original.encode('utf-16-le')
        if data.count(encoded) != 1:
            raise RuntimeError(f'the module holds "{original}" {data.count(encoded)} times, not once')
        data = data.replace(encoded, altered.encode('utf-16-le'))
    os.makedirs(folder)
    path = os.path.join(folder, 'Quillmark.aip')
    with open(path, 'wb') as f:
        f.write(data)
    return path


def check_dialogs(checks, runner, altered):
    about = runner.windows('about')
    reference = runner.reference('about')
    checks.expect(about.returncode == 0 and reference.returncode == 0,
                  f'about failed: {about.stderr.decode(errors="replace")} {reference.stderr.decode(errors="replace")}')
    checks.expect(unix_lines(about.stdout) == reference.stdout and b'Version 0.16' in reference.stdout,
                  f'the About box differs from the build machine\'s:\n{about.stdout!r}\n{reference.stdout!r}')
    altered_about = runner.windows('about', '--plugin', altered)
    checks.expect(b'Version 9.87' in altered_about.stdout and b'0.16' not in altered_about.stdout,
                  f'the About box does not come from the module\'s resources:\n{altered_about.stdout!r}')

    # Too many art objects: the plug-in reports the file incomplete in its error dialog.
    failing = ['export', 'overfull.json', '-o', 'overfull.xaml', '--left-shift-tapped']
    error = runner.windows(*failing)
    reference = runner.reference(*failing)
    checks.expect(error.returncode == 1 and reference.returncode == 1,
                  f'a failed export answers {error.returncode} on Windows, {reference.returncode} here (1 expected)')
    checks.expect(b'Plug-in Error' in reference.stderr and b'XFUL' in reference.stderr
                  and unix_lines(error.stderr) == reference.stderr,
                  f'the error dialog differs from the build machine\'s:\n{error.stderr!r}\n{reference.stderr!r}')
    altered_error = runner.windows(*failing, '--plugin', altered)
    checks.expect(b'THE XAML FILE IS INCOMPLETE' in altered_error.stderr,
                  f'the error message does not come from the module\'s resources:\n{altered_error.stderr!r}')


def check_keys_and_open_requests(checks, runner, expected_open):
    opened = runner.windows('export', 'triangle.json', '-o', 'opened.xaml', '--verbose')
    checks.expect(opened.returncode == 0 and expected_open in opened.stderr,
                  f'the plug-in\'s open request did not reach the host:\n{opened.stderr!r}')
    tapped = runner.windows('export', 'triangle.json', '-o', 'tapped.xaml', '--verbose', '--left-shift-tapped')
    checks.expect(tapped.returncode == 0 and b'asks to open' not in tapped.stderr,
                  f'a tapped left Shift key did not stop the open request:\n{tapped.stderr!r}')

    # The right Shift key selects the drawing brush for WPF only.
    outputs = {}
    for name, args in [('canvas', []), ('brush', ['--right-shift']), ('wpfe', ['--target', 'wpfe', '--right-shift'])]:
        runner.windows('export', 'triangle.json', '-o', f'{name}.xaml', '--left-shift-tapped', *args)
        with open(os.path.join(runner.scratch, f'{name}.xaml'), 'rb') as f:
            outputs[name] = f.read()
    checks.expect(b'<GeometryDrawing ' in outputs['brush'] and b'<GeometryDrawing ' not in outputs['canvas'],
                  'the right Shift key held does not select the drawing brush')
    checks.expect(b'<GeometryDrawing ' not in outputs['wpfe'], 'WPF/E with the right Shift key held is not a Canvas')


def main():
    if len(sys.argv) != 7:
        print(__doc__)
        return 2
    # The commands run in a scratch folder.
    wine_run, program, module, examples, expected, reference_command = map(os.path.abspath, sys.argv[1:])
    if not os.access(reference_command, os.X_OK):
        print(f'FAIL the build machine\'s command {reference_command} is missing: build the default preset first')
        print('0 passed, 1 failed')
        return 1
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix='quillmark-wine-') as scratch:
        program_folder = os.path.join(scratch, 'program')
        os.makedirs(program_folder)
        shutil.copy(program, program_folder)
        shutil.copy(module, program_folder)
        with open(os.path.join(scratch, 'triangle.json'), 'wb') as f:
            f.write(TRIANGLE)
        with open(os.path.join(scratch, 'overfull.json'), 'wb') as f:
            f.write(OVERFULL)
        runner = Runner(wine_run, os.path.join(program_folder, os.path.basename(program)), reference_command, scratch)
        altered = altered_module(module, os.path.join(scratch, 'altered'))

        check_golden_exports(checks, runner, examples, expected)
        check_dialogs(checks, runner, os.path.relpath(altered, scratch))
        check_keys_and_open_requests(checks, runner, b'asks to open opened.xaml')
        check_host_memory(checks, runner, sorted(document for document in golden_documents(examples, expected).values()
                                                 if document is not None))
        checks.expect(not any(name.lower().endswith('.res') for name in os.listdir(program_folder)),
                      'a resource file lies beside the program')
    return checks.summary()


if __name__ == '__main__':
    sys.exit(main())
