"""The quillmark command's inputs, import and batches, run as a user would (loaded by cli_test.py).

Documents are recognised by their content; `import` writes JSON that exports as the original;
a batch writes one XAML file per document, goes on past failures, shows progress only on a
terminal and ends with a summary; files are written whole or not at all.
"""
import json
import os
import pty
import re
import select
import shutil
import subprocess
import tempfile
import unittest

QUILLMARK = None
EXAMPLES = None
WITH_PLUGIN = False
READS_SVG = False

# A small SVG file with two things a JSON document cannot hold.
SVG = """<?xml version="1.0" encoding="UTF-8"?>
<!-- made by hand -->
<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1//EN" "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd" [
  <!ENTITY red "#f00">
]>
<svg xmlns="http://www.w3.org/2000/svg" width="100" height="80" viewBox="0 0 100 80">
  <mask id="m1"><rect width="10" height="10" fill="white"/></mask>
  <mask id="m2"><rect width="10" height="10" fill="white"/></mask>
  <rect id="r1" x="10" y="10" width="50" height="30" fill="&red;" mask="url(#m1)"/>
  <circle cx="70" cy="50" r="20" fill="blue" stroke="black" stroke-width="2" mask="url(#m2)"/>
</svg>
"""
CLEAN_SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="40" height="30">
  <path d="M 0 0 L 40 0 L 20 30 Z" fill="#0a0"/>
</svg>
"""


def configure(quillmark, examples, with_plugin):
    global QUILLMARK, EXAMPLES, WITH_PLUGIN, READS_SVG
    QUILLMARK, EXAMPLES, WITH_PLUGIN = quillmark, examples, with_plugin
    READS_SVG = 'SVG file' in run('export', '--help').stdout


def run(*args):
    return subprocess.run([QUILLMARK, *args], capture_output=True, text=True, timeout=300)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w') as f:
        f.write(text)


def overfull_document(paths=16500):
    """More art than the plug-in's list holds: it writes a file but reports it incomplete."""
    children = [{'type': 'path', 'segments': [[i, 0], [i, 1]]} for i in range(paths)]
    return json.dumps({'layers': [{'type': 'group', 'children': children}]})


SUMMARY = re.compile(r'^quillmark: (\d+) documents? in [0-9.]+ s: (\d+) exported, (\d+) exported with warnings, '
                     r'(\d+) failed$', re.M)


class Fixture(unittest.TestCase):
    needs_plugin = True
    needs_svg = False

    def setUp(self):
        if self.needs_plugin and not WITH_PLUGIN:
            self.skipTest('the plug-in module is not built')
        if self.needs_svg and not READS_SVG:
            self.skipTest('this build reads no SVG')
        self.folder = tempfile.mkdtemp(prefix='quillmark-cli-')
        self.addCleanup(shutil.rmtree, self.folder, True)

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def example(self, name):
        return os.path.join(EXAMPLES, name)

    def export(self, document, *options):
        output = self.path('out-%d.xaml' % len(os.listdir(self.folder)))
        r = run('export', document, '-o', output, '--left-shift-tapped', *options)
        self.assertEqual(r.returncode, 0, r.stderr)
        return read(output), r

    def summary(self, stderr):
        found = SUMMARY.findall(stderr)
        self.assertEqual(len(found), 1, stderr)
        return tuple(int(n) for n in found[0])

    def leftovers(self, folder):
        """Temporary files and the hidden folders exports are staged in, wherever they are."""
        found = []
        for parent, folders, names in os.walk(folder):
            found += [os.path.join(parent, name) for name in names if name.endswith('.tmp') or name.startswith('.')]
            found += [os.path.join(parent, name) for name in folders if name.startswith('.')]
        return found


class Inputs(Fixture):
    def test_documents_are_recognised_by_content_not_by_name(self):
        original, _ = self.export(self.example('badge.json'))
        shutil.copy(self.example('badge.json'), self.path('badge.svg'))
        shutil.copy(self.example('badge.json'), self.path('badge'))
        with open(self.example('badge.json'), 'rb') as f:
            text = f.read()
        with open(self.path('bom.xaml'), 'wb') as f:
            f.write(b'\xef\xbb\xbf\n  ' + text)
        for name in ('badge.svg', 'badge', 'bom.xaml'):
            exported, _ = self.export(self.path(name))
            self.assertEqual(exported, original, name)

    def test_unknown_content_is_named_and_nothing_is_written(self):
        cases = [('empty.json', '', 'the file is empty'),
                 ('page.svg', '<?xml version="1.0"?>\n<!-- x --><html><body/></html>', 'XML whose root element is <html>, not <svg>'),
                 ('notes.json', 'just words', 'neither SVG nor JSON')]
        for name, text, message in cases:
            write(self.path(name), text)
            output = self.path(name + '.xaml')
            r = run('export', self.path(name), '-o', output)
            self.assertEqual(r.returncode, 2, (name, r.stderr))
            self.assertIn(self.path(name) + ': not a document quillmark reads (' + message, r.stderr)
            self.assertFalse(os.path.exists(output))

    def test_a_folder_needs_out_dir(self):
        r = run('export', EXAMPLES, '-o', self.path('x.xaml'))
        self.assertEqual(r.returncode, 2)
        self.assertIn('is a folder; a folder is exported with --out-dir DIR', r.stderr)


class SvgInputs(Fixture):
    needs_svg = True

    def test_svg_named_json_is_read_as_svg_and_its_losses_are_warned_once_per_kind(self):
        write(self.path('drawing.json'), SVG)
        output = self.path('drawing.xaml')
        r = run('export', self.path('drawing.json'), '-o', output, '--left-shift-tapped')
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(b'<Path ', read(output))
        # The first is named by the mask's id or by the id of the element that uses it.
        self.assertRegex(r.stderr, '^quillmark: %s: warning: 2 masks left out \\(first: id "(m1|r1)"\\)\n'
                         % re.escape(self.path('drawing.json')))
        self.assertEqual(r.stderr.count('warning:'), 1, r.stderr)

    def test_strict_refuses_losses_and_writes_nothing(self):
        write(self.path('drawing.svg'), SVG)
        output = self.path('drawing.xaml')
        r = run('export', self.path('drawing.svg'), '-o', output, '--strict')
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertIn('error: 2 masks left out', r.stderr)
        self.assertFalse(os.path.exists(output))
        r = run('import', self.path('drawing.svg'), '-o', self.path('drawing.json'), '--strict')
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertFalse(os.path.exists(self.path('drawing.json')))
        write(self.path('clean.svg'), CLEAN_SVG)
        r = run('export', self.path('clean.svg'), '-o', output, '--strict', '--left-shift-tapped')
        self.assertEqual((r.returncode, r.stderr), (0, ''))

    def test_import_then_export_writes_the_same_xaml_as_the_svg(self):
        write(self.path('drawing.svg'), SVG)
        r = run('import', self.path('drawing.svg'), '-o', self.path('drawing.json'))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn('warning: 2 masks left out', r.stderr)
        for options in ([], ['--target', 'wpfe'], ['--right-shift']):
            direct, _ = self.export(self.path('drawing.svg'), *options)
            imported, _ = self.export(self.path('drawing.json'), *options)
            self.assertEqual(direct, imported, options)


class Import(Fixture):
    def test_imported_json_exports_byte_identical_xaml(self):
        for name in sorted(f for f in os.listdir(EXAMPLES) if f.endswith('.json')):
            written = self.path(name)
            r = run('import', self.example(name), '-o', written)
            self.assertEqual((r.returncode, r.stderr), (0, ''), name)
            for options in ([], ['--target', 'wpfe'], ['--right-shift']):
                self.assertEqual(self.export(written, *options)[0], self.export(self.example(name), *options)[0],
                                 (name, options))

    def test_import_to_standard_output_and_errors(self):
        r = run('import', self.example('icons.json'), '-o', '-')
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, read(self.path_of_import('icons.json')).decode())
        r = run('import', self.path('missing.svg'), '-o', self.path('x.json'))
        self.assertEqual(r.returncode, 2)
        self.assertIn('missing.svg: cannot open the file', r.stderr)

    def path_of_import(self, name):
        output = self.path('imported-' + name)
        self.assertEqual(run('import', self.example(name), '-o', output).returncode, 0)
        return output


class Batch(Fixture):
    def batch(self, *arguments, env=None):
        return subprocess.run([QUILLMARK, 'export', *arguments, '--left-shift-tapped'], capture_output=True,
                              text=True, timeout=300, env=env)

    def test_every_document_becomes_a_file_named_after_it_in_each_mode(self):
        for mode in ([], ['--target', 'wpfe'], ['--right-shift']):
            out = self.path('out' + ''.join(mode))
            r = self.batch(self.example('badge.json'), self.example('icons.json'), '--out-dir', out, *mode)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(self.summary(r.stderr), (2, 2, 0, 0))
            self.assertEqual(sorted(os.listdir(out)), ['badge.xaml', 'icons.xaml'])
            for name in ('badge', 'icons'):
                self.assertEqual(read(os.path.join(out, name + '.xaml')), self.export(self.example(name + '.json'), *mode)[0])

    def test_a_failing_document_does_not_stop_the_batch(self):
        write(self.path('in', 'a.json'), read(self.example('badge.json')).decode())
        write(self.path('in', 'b.json'), '{"layers": [{"type": "grop"}]}')
        write(self.path('in', 'c.json'), read(self.example('icons.json')).decode())
        for jobs in ('1', '2'):
            out = self.path('out' + jobs)
            r = self.batch(self.path('in'), '--out-dir', out, '-j', jobs)
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertEqual(self.summary(r.stderr), (3, 2, 0, 1))
            self.assertIn(self.path('in', 'b.json') + ': layers[0].type: unknown art type "grop"', r.stderr)
            self.assertEqual(sorted(os.listdir(out)), ['a.xaml', 'c.xaml'])

    def test_two_workers_write_the_same_files_and_messages_as_one(self):
        source = self.path('in')
        for i in range(7):
            name = ['badge.json', 'icons.json', 'city-map.json'][i % 3]
            write(os.path.join(source, 'sub%d' % (i % 2), 'doc%d.json' % i), read(self.example(name)).decode())
        write(os.path.join(source, 'bad.json'), '{')
        results = {}
        for jobs in ('1', '2'):
            out = self.path('out' + jobs)
            r = self.batch(source, '--out-dir', out, '-j', jobs)
            self.assertEqual(r.returncode, 1, r.stderr)
            files = {}
            for folder, _, names in os.walk(out):
                for name in names:
                    files[os.path.relpath(os.path.join(folder, name), out)] = read(os.path.join(folder, name))
            results[jobs] = (files, SUMMARY.sub('', r.stderr))
        self.assertEqual(len(results['1'][0]), 7)
        self.assertEqual(results['1'], results['2'])

    def test_folders_are_walked_recursively_keeping_sub_folders(self):
        source = self.path('art')
        badge = read(self.example('badge.json')).decode()
        for relative in ('top.json', 'b/two.JSON', 'b/c/three.json', '.hidden/h.json', 'b/.h.json', 'b/readme.txt',
                         'b/image.png'):
            write(os.path.join(source, relative), badge)
        out = self.path('out')
        r = self.batch(source, '--out-dir', out)
        self.assertEqual(r.returncode, 0, r.stderr)
        found = sorted(os.path.relpath(os.path.join(d, n), out) for d, _, names in os.walk(out) for n in names)
        self.assertEqual(found, ['b/c/three.xaml', 'b/two.xaml', 'top.xaml'])
        self.assertEqual(self.summary(r.stderr), (3, 3, 0, 0))
        self.assertEqual(self.leftovers(out), [])

    def test_two_documents_with_one_output_name_are_an_error_for_the_second(self):
        write(self.path('x', 'drawing.json'), read(self.example('badge.json')).decode())
        write(self.path('y', 'drawing.svg'), read(self.example('icons.json')).decode())
        out = self.path('out')
        r = self.batch(self.path('x', 'drawing.json'), self.path('y', 'drawing.svg'), '--out-dir', out)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(self.path('y', 'drawing.svg') + ': its output ' + os.path.join(out, 'drawing.xaml') +
                      ' is also the output of ' + self.path('x', 'drawing.json'), r.stderr)
        self.assertEqual(read(os.path.join(out, 'drawing.xaml')), self.export(self.example('badge.json'))[0])
        self.assertEqual(self.summary(r.stderr), (2, 1, 0, 1))

    def test_no_progress_bar_unless_standard_error_is_a_terminal(self):
        r = self.batch(self.example('badge.json'), '--out-dir', self.path('out'))
        self.assertNotIn('\r', r.stderr)
        self.assertNotIn('[#', r.stderr)
        # With a terminal as standard error the bar is drawn, and cleared before the summary.
        main, secondary = pty.openpty()
        process = subprocess.Popen([QUILLMARK, 'export', self.example('badge.json'), self.example('icons.json'),
                                    '--out-dir', self.path('tty'), '--left-shift-tapped'],
                                   stdout=subprocess.DEVNULL, stderr=secondary)
        os.close(secondary)
        seen = b''
        while True:
            ready, _, _ = select.select([main], [], [], 60)
            if not ready:
                break
            try:
                chunk = os.read(main, 4096)
            except OSError:
                break
            if not chunk:
                break
            seen += chunk
        process.wait(timeout=60)
        os.close(main)
        self.assertEqual(process.returncode, 0, seen)
        self.assertIn(b'[########################] 2/2', seen)
        self.assertIn(b'\r\x1b[K', seen)
        self.assertIn(b'\r\x1b[Kquillmark: 2 documents in ', seen)

    def test_a_failed_export_leaves_the_previous_file_and_no_partial_one(self):
        out = self.path('out')
        os.makedirs(out)
        previous = b'the file that was here before'
        for name in ('full.xaml', 'single.xaml'):
            with open(os.path.join(out, name), 'wb') as f:
                f.write(previous)
        write(self.path('full.json'), overfull_document())
        for jobs in ('1', '2'):
            r = self.batch(self.path('full.json'), self.example('badge.json'), '--out-dir', out, '-j', jobs)
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertIn('full.json: not exported; ' + os.path.join(out, 'full.xaml') + ' is left as it was', r.stderr)
            self.assertEqual(read(os.path.join(out, 'full.xaml')), previous)
            self.assertEqual(self.leftovers(out), [])
        r = run('export', self.path('full.json'), '-o', os.path.join(out, 'single.xaml'), '--left-shift-tapped')
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertEqual(read(os.path.join(out, 'single.xaml')), previous)
        self.assertEqual(self.leftovers(out), [])

    def test_a_failure_among_good_documents_replaces_only_the_good_ones_and_reports_each(self):
        # Documents of one folder and of a sub-folder in turn (the order of their paths), the
        # overfull ones failing after the plug-in wrote part of them.
        source = self.path('in')
        names = ['a.json', 'b-full.json', 'c.json', 'd/e.json', 'd/f-full.json', 'g.json']
        for name in names:
            text = overfull_document() if 'full' in name else read(self.example('badge.json')).decode()
            write(os.path.join(source, name), text)
        expected = self.export(self.example('badge.json'))[0]
        previous = b'the file that was here before'
        for jobs in ('1', '2'):
            out = self.path('out' + jobs)
            for name in names:
                write(os.path.join(out, name.replace('.json', '.xaml')), previous.decode())
            r = self.batch(source, '--out-dir', out, '-j', jobs)
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertEqual(self.summary(r.stderr), (6, 4, 0, 2))
            for name in names:
                output = os.path.join(out, name.replace('.json', '.xaml'))
                if 'full' in name:
                    self.assertIn(os.path.join(source, name) + ': not exported; ' + output + ' is left as it was',
                                  r.stderr)
                    self.assertEqual(read(output), previous, name)
                else:
                    self.assertNotIn(os.path.join(source, name) + ':', r.stderr)
                    self.assertEqual(read(output), expected, name)
            self.assertEqual(self.leftovers(out), [])

    def test_one_process_writes_what_single_exports_write_for_every_example(self):
        # The plug-in stays started from one document to the next: nothing of one may show in
        # another.
        names = sorted(f for f in os.listdir(EXAMPLES) if f.endswith('.json'))
        self.assertGreater(len(names), 2)
        for mode in ([], ['--target', 'wpfe'], ['--right-shift']):
            out = self.path('out' + ''.join(mode))
            r = self.batch(*[self.example(name) for name in names], '--out-dir', out, *mode)
            self.assertEqual(r.returncode, 0, r.stderr)
            for name in names:
                self.assertEqual(read(os.path.join(out, name.replace('.json', '.xaml'))),
                                 self.export(self.example(name), *mode)[0], (name, mode))

    def test_each_document_reports_its_own_open_request_and_memory(self):
        write(self.path('in', 'a.json'), read(self.example('badge.json')).decode())
        write(self.path('in', 'b-full.json'), overfull_document())
        write(self.path('in', 'c.json'), read(self.example('icons.json')).decode())
        write(self.path('in', 'd.json'), read(self.example('badge.json')).decode())
        for jobs in ('1', '2'):
            out = self.path('out' + jobs)
            # Without --left-shift-tapped the plug-in asks to open every file it writes.
            r = subprocess.run([QUILLMARK, 'export', self.path('in'), '--out-dir', out, '-v', '-j', jobs],
                               capture_output=True, text=True, timeout=300)
            self.assertEqual(r.returncode, 1, r.stderr)
            for name in ('a', 'c', 'd'):
                prefix = 'quillmark: ' + self.path('in', name + '.json') + ': '
                lines = [line for line in r.stderr.splitlines() if line.startswith(prefix)]
                self.assertEqual([line for line in lines if 'asks to open' in line],
                                 [prefix + 'the plug-in asks to open ' + os.path.join(out, name + '.xaml')], r.stderr)
                self.assertEqual(len([line for line in lines if 'format registered' in line]), 2, r.stderr)
                self.assertRegex('\n'.join(lines), 'host memory: [1-9][0-9]* blocks allocated, [0-9]+ freed, '
                                 '0 still held \\(0 bytes\\)')
            full = [line for line in r.stderr.splitlines() if 'b-full.json' in line]
            self.assertFalse([line for line in full if 'asks to open' in line], r.stderr)
            self.assertTrue([line for line in full if 'the export failed' in line], r.stderr)

    def test_an_output_folder_that_cannot_be_written_fails_its_documents_only(self):
        if os.geteuid() == 0:
            self.skipTest('the superuser writes in any folder')
        source = self.path('in')
        for name in ('locked/a.json', 'open/b.json'):
            write(os.path.join(source, name), read(self.example('badge.json')).decode())
        out = self.path('out')
        os.makedirs(os.path.join(out, 'locked'))
        os.chmod(os.path.join(out, 'locked'), 0o555)
        self.addCleanup(os.chmod, os.path.join(out, 'locked'), 0o755)
        r = self.batch(source, '--out-dir', out)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(os.path.join(source, 'locked', 'a.json') + ': cannot write ' +
                      os.path.join(out, 'locked', 'a.xaml') + ': cannot create a file in the folder', r.stderr)
        self.assertEqual(self.summary(r.stderr), (2, 1, 0, 1))
        self.assertTrue(os.path.exists(os.path.join(out, 'open', 'b.xaml')))

    def test_a_batch_without_its_plugin_is_a_usage_error(self):
        for jobs in ('1', '2'):
            r = self.batch(self.example('badge.json'), self.example('icons.json'), '--out-dir', self.path('out'),
                           '-j', jobs, '--plugin', self.path('none.aip'))
            self.assertEqual(r.returncode, 2, r.stderr)
            self.assertIn('none.aip does not exist', r.stderr)

    def test_an_output_folder_in_the_way_is_a_usage_error(self):
        write(self.path('file'), 'x')
        r = self.batch(self.example('badge.json'), '--out-dir', self.path('file'))
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertIn('cannot make the output folder', r.stderr)

    def test_a_file_over_the_time_limit_is_stopped_and_the_batch_goes_on(self):
        write(self.path('in', 'a-full.json'), overfull_document())
        write(self.path('in', 'b-full.json'), overfull_document())
        out = self.path('out')
        os.makedirs(out)
        with open(os.path.join(out, 'a-full.xaml'), 'wb') as f:
            f.write(b'before')
        r = self.batch(self.path('in'), '--out-dir', out, '--timeout', '0.001')
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(self.path('in', 'a-full.json') + ': took longer than 0.001 s and was stopped; not exported',
                      r.stderr)
        self.assertIn(self.path('in', 'b-full.json') + ': took longer than 0.001 s', r.stderr)
        self.assertEqual(self.summary(r.stderr), (2, 0, 0, 2))
        self.assertEqual(read(os.path.join(out, 'a-full.xaml')), b'before')
        self.assertEqual(self.leftovers(out), [])
