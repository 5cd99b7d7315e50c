#!/usr/bin/env python3
"""Runs the built quillmark command as a user would and checks its exit status and messages.

    cli_test.py QUILLMARK EXAMPLES_DIR [--with-plugin]

--with-plugin: the plug-in module and its resources are built beside the command, so exports
and the About box run end to end.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

QUILLMARK = None
EXAMPLES = None
WITH_PLUGIN = False


def run(*args):
    return subprocess.run([QUILLMARK, *args], capture_output=True, text=True, timeout=120)


class Usage(unittest.TestCase):
    def test_no_command_is_a_usage_error(self):
        r = run()
        self.assertEqual(r.returncode, 2)
        self.assertIn('no command given', r.stderr)
        self.assertIn("Try 'quillmark --help'", r.stderr)

    def test_help_for_the_command_and_each_subcommand(self):
        for args, first_line in [(['--help'], 'Usage: quillmark COMMAND'), (['-h'], 'Usage: quillmark COMMAND'),
                                 (['export', '--help'], 'Usage: quillmark export '),
                                 (['import', '--help'], 'Usage: quillmark import '),
                                 (['about', '-h'], 'Usage: quillmark about')]:
            r = run(*args)
            self.assertEqual(r.returncode, 0, args)
            self.assertTrue(r.stdout.startswith(first_line), r.stdout)
            self.assertEqual(r.stderr, '')
        self.assertIn('--left-shift-tapped', run('export', '--help').stdout)

    def test_unknown_commands_options_and_arguments(self):
        cases = [(['draw'], "unknown command 'draw'"),
                 (['--frobnicate'], "unknown option '--frobnicate'"),
                 (['export', 'a.json', '-o', 'a.xaml', '--frobnicate'], "unknown option '--frobnicate'"),
                 (['export', 'a.json'], 'no output file given'),
                 (['export', '-o', 'a.xaml'], 'no document given'),
                 (['export', 'a.json', 'b.json', '-o', 'a.xaml'], "unexpected argument 'b.json'"),
                 (['export', 'a.json', '-o'], "option '--output' needs a value"),
                 (['export', 'a.json', '-o', 'a.xaml', '--target', 'svg'], "invalid target 'svg'"),
                 (['about', '--open'], "unknown option '--open'"),
                 (['export', 'a.json', '-o', 'a.xaml', '--out-dir', 'out'], '-o names one file'),
                 (['export', 'a.json', '--out-dir', 'out', '--open'], '--open opens one exported file'),
                 (['export', 'a.json', '--out-dir', 'out', '-j', '0'], "invalid number of jobs '0'"),
                 (['export', 'a.json', '--out-dir', 'out', '--jobs=x'], "invalid number of jobs 'x'"),
                 (['export', 'a.json', 'b.json', '-o', 'a.xaml'], 'with --out-dir DIR'),
                 (['import', 'a.svg'], 'no output file given'),
                 (['import', 'a.svg', 'b.svg', '-o', 'x.json'], "unexpected argument 'b.svg'"),
                 (['import', 'a.svg', '-o', 'x.json', '--target', 'wpf'], "unknown option '--target'"),
                 (['about', 'extra'], "unexpected argument 'extra'")]
        for args, message in cases:
            r = run(*args)
            self.assertEqual(r.returncode, 2, args)
            self.assertIn(message, r.stderr, args)
            self.assertIn('--help', r.stderr, args)

    def test_output_paths_must_fit_the_hosts_message(self):
        r = run('export', os.path.join(EXAMPLES, 'badge.json'), '-o', '/tmp/' + 'x' * 300)
        self.assertEqual(r.returncode, 2)
        self.assertIn('longer than 299 bytes', r.stderr)


class BadDocuments(unittest.TestCase):
    def export(self, text):
        with tempfile.TemporaryDirectory() as folder:
            document = os.path.join(folder, 'bad.json')
            with open(document, 'w') as f:
                f.write(text)
            output = os.path.join(folder, 'out.xaml')
            r = run('export', document, '-o', output, '--plugin', '/nonexistent/Quillmark.aip')
            self.assertFalse(os.path.exists(output))
            return r, document

    def test_invalid_json_names_file_line_and_column(self):
        r, document = self.export('{"layers": [\n  {"type": "group",}\n]}')
        self.assertEqual(r.returncode, 2)
        self.assertIn(document + ': invalid JSON at line 2, column 20', r.stderr)

    def test_bad_values_name_their_json_path(self):
        r, _ = self.export('{"layers": [{"type": "group", "children": [{"type": "path", "segments": [[0, 0], [1]]}]}]}')
        self.assertEqual(r.returncode, 2)
        self.assertIn('layers[0].children[0].segments[1]: expected 2 numbers, found 1', r.stderr)
        r, _ = self.export('{"layers": [], "colours": {}}')
        self.assertIn('unknown key "colours"', r.stderr)

    def test_large_files_of_white_space_are_told_apart_by_all_their_text(self):
        # Larger than the first bytes the kind is told from.
        r, document = self.export(' \n' * (1 << 20))
        self.assertEqual(r.returncode, 2)
        self.assertIn(document + ': not a document quillmark reads (the file holds only white space', r.stderr)
        r, document = self.export(' ' * (3 << 20) + '{"layers": [\n  {"type": "group",}\n]}')
        self.assertEqual(r.returncode, 2)
        self.assertIn(document + ': invalid JSON at line 2, column 20', r.stderr)

    def test_the_root_element_is_found_however_far_it_is_and_wherever_its_name_is_cut(self):
        # A file larger than the window is first told from its first 64 KiB; where they do not
        # tell it (a long comment, a name cut at their end), from the window's megabyte, and it
        # is told again from all its text when read whole.
        svg = '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 10 10"><rect width="5" height="5"/></svg>\n'
        head = '<?xml version="1.0"?>\n<!--'
        for total in (100 << 10, 3 << 20):  # held by the window, and read whole after it
            for name_ends_at in (None, 64 << 10):
                with self.subTest(total=total, name_ends_at=name_ends_at):
                    with tempfile.TemporaryDirectory() as folder:
                        padding = (name_ends_at or 80 << 10) - len(head) - len('--><svg')
                        text = head + 'x' * padding + '--><svg' + svg[4:]
                        if name_ends_at:
                            self.assertEqual(text.index('<svg') + 4, name_ends_at)
                        text = text.replace('</svg>', '<!--' + 'y' * (total - len(text)) + '--></svg>')
                        path = os.path.join(folder, 'far.svg')
                        with open(path, 'w') as f:
                            f.write(text)
                        r = run('import', path, '-o', os.path.join(folder, 'far.json'))
                        self.assertEqual(r.returncode, 0, r.stderr)
                        with open(os.path.join(folder, 'far.json')) as f:
                            self.assertIn('"type": "path"', f.read())
                        with open(path, 'w') as f:
                            f.write(text.replace('<svg xmlns', '<svgx xmlns'))
                        r = run('import', path, '-o', os.path.join(folder, 'far.json'))
                        self.assertEqual(r.returncode, 2)
                        self.assertIn('XML whose root element is <svgx>, not <svg>', r.stderr)

    def test_deep_nesting_is_refused_not_crashed_on(self):
        r, _ = self.export('[' * 200000 + ']' * 200000)
        self.assertEqual(r.returncode, 2)
        self.assertIn('nested more than', r.stderr)

    def test_a_missing_document(self):
        r = run('export', '/nonexistent/drawing.json', '-o', '/tmp/out.xaml')
        self.assertEqual(r.returncode, 2)
        self.assertIn('/nonexistent/drawing.json: cannot open the file', r.stderr)


class MissingPlugin(unittest.TestCase):
    def test_a_missing_module_is_named(self):
        with tempfile.TemporaryDirectory() as folder:
            r = run('export', os.path.join(EXAMPLES, 'badge.json'), '-o', os.path.join(folder, 'out.xaml'),
                    '--plugin', os.path.join(folder, 'Quillmark.aip'))
            self.assertEqual(r.returncode, 2)
            self.assertIn('the plug-in module ' + os.path.join(folder, 'Quillmark.aip') + ' does not exist', r.stderr)

    def test_a_file_that_is_no_module(self):
        with tempfile.TemporaryDirectory() as folder:
            fake = os.path.join(folder, 'Quillmark.aip')
            with open(fake, 'w') as f:
                f.write('not a module')
            r = run('export', os.path.join(EXAMPLES, 'badge.json'), '-o', os.path.join(folder, 'out.xaml'),
                    '--plugin', fake)
            self.assertEqual(r.returncode, 2)
            self.assertIn('cannot load the plug-in module', r.stderr)

    def test_about_needs_the_resources(self):
        r = run('about', '--resources', '/nonexistent/Quillmark.res')
        self.assertEqual(r.returncode, 2)
        self.assertIn('/nonexistent/Quillmark.res do not exist', r.stderr)


@unittest.skipUnless(WITH_PLUGIN or '--with-plugin' in sys.argv, 'the plug-in module is not built')
class EndToEnd(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def export(self, *options, document='badge.json'):
        output = os.path.join(self.folder.name, 'out.xaml')
        r = run('export', os.path.join(EXAMPLES, document), '-o', output, *options)
        return r, output

    def test_every_example_exports_for_each_target(self):
        for document in sorted(f for f in os.listdir(EXAMPLES) if f.endswith('.json')):
            for options in (['--target', 'wpf'], ['--target', 'wpfe'], ['--right-shift']):
                r, output = self.export('--left-shift-tapped', *options, document=document)
                self.assertEqual(r.returncode, 0, (document, options, r.stderr))
                self.assertEqual(r.stderr, '')
                with open(output, 'rb') as f:
                    text = f.read()
                root = b'<Canvas Width=' if '--target' in options and 'wpfe' in options else b'<Viewbox Width='
                self.assertIn(root, text, (document, options))
                if '--right-shift' in options:
                    self.assertIn(b'<DrawingBrush ', text)

    def test_a_document_after_much_white_space_exports_as_itself(self):
        r, output = self.export('--left-shift-tapped')
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(output, 'rb') as f:
            expected = f.read()
        with open(os.path.join(EXAMPLES, 'badge.json'), 'rb') as f:
            text = f.read()
        spaced = os.path.join(self.folder.name, 'spaced.json')
        with open(spaced, 'wb') as f:
            f.write(b'\n' * (3 << 20) + text)
        output = os.path.join(self.folder.name, 'spaced.xaml')
        r = run('export', spaced, '-o', output, '--left-shift-tapped')
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(output, 'rb') as f:
            self.assertEqual(f.read(), expected)

    def test_the_open_request_depends_on_the_left_shift_key(self):
        r, output = self.export('-v')
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn('the plug-in asks to open ' + output, r.stderr)
        self.assertIn('format registered: "Windows Presentation Foundation XAML"', r.stderr)
        self.assertIn('0 still held', r.stderr)  # the plug-in gave back all the host's memory
        r, _ = self.export('-v', '--left-shift-tapped')
        self.assertNotIn('asks to open', r.stderr)

    def test_a_file_that_cannot_be_written_is_an_error_that_writes_nothing(self):
        output = os.path.join(self.folder.name, 'no such folder', 'out.xaml')
        r = run('export', os.path.join(EXAMPLES, 'badge.json'), '-o', output, '--left-shift-tapped')
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn('cannot write ' + output, r.stderr)
        self.assertIn('no such folder', r.stderr)
        self.assertFalse(os.path.exists(os.path.dirname(output)))

    def test_about_shows_the_about_box(self):
        r = run('about')
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn('Version 0.16', r.stdout)
        self.assertIn('Exports Illustrator artwork to XAML', r.stdout)


class LargeDocuments(unittest.TestCase):
    """A drawing of a megabyte or more is read with the heap grown ahead for it, and every drawing
    in a file is parsed where it was read: what the command writes and says must be the same as
    for the drawing read from a pipe, which is read from a copy, into the heap as it is."""

    def setUp(self):
        if not WITH_PLUGIN:
            self.skipTest('needs the plug-in module')
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.svg = os.path.join(self.folder.name, 'large.svg')
        with open(self.svg, 'w') as f:
            f.write('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1000 1000">\n<mask id="m"/>\n'
                    '<rect width="5" height="5" mask="url(#m)"/>\n')
            for i in range(16000):
                f.write(f'<path id="p{i}" d="M {i % 997} {i % 991} l 10 0 l 0 10 l -10 0 z" fill="#{i % 4096:03x}"/>\n')
            f.write('</svg>\n')
        self.assertGreater(os.path.getsize(self.svg), 1 << 20)

    def test_a_file_parsed_where_it_was_read_exports_as_one_read_from_a_pipe(self):
        # A file is parsed in the memory it was read into; what a pipe gives is parsed from a copy.
        # A file declined midway (a value with "&lt;") or refused must be read again to be read
        # the same: by expat, or for an error's column.
        with open(self.svg) as f:
            large = f.read()
        small = large[:large.index('<path id="p2000"')] + '</svg>\n'
        variants = {
            'plain': lambda text: text,
            'declined_midway': lambda text: text.replace('</svg>', '<rect width="1" height="1" fill="1&lt;2"/></svg>'),
            'refused': lambda text: text.replace('</svg>', '</svgx>'),
            'error_at_a_column': lambda text: text.replace(
                '</svg>', '<text>\u00e9\u00e9</text>' + '<g>' * 32768 + '</g>' * 32768 + '</svg>'),
        }
        for size, text in (('small', small), ('large', large)):
            for name, change in variants.items():
                with self.subTest(size=size, variant=name):
                    svg = os.path.join(self.folder.name, 'in.svg')
                    with open(svg, 'w') as f:
                        f.write(change(text))
                    outcomes = []
                    for source in ('file', 'pipe'):
                        xaml = os.path.join(self.folder.name, source + '.xaml')
                        if source == 'file':
                            r = run('export', svg, '-o', xaml)
                        else:
                            with open(svg) as f:
                                r = subprocess.run([QUILLMARK, 'export', '/dev/stdin', '-o', xaml], input=f.read(),
                                                   capture_output=True, text=True, timeout=120)
                        written = None
                        if os.path.exists(xaml):
                            with open(xaml, 'rb') as f:
                                written = f.read()
                            os.remove(xaml)
                        outcomes.append((r.returncode, r.stderr.replace(svg, 'IN').replace('/dev/stdin', 'IN')
                                         .replace(xaml, 'OUT'), written))
                    self.assertEqual(outcomes[0], outcomes[1])
                    self.assertEqual(outcomes[0][0], 0 if name in ('plain', 'declined_midway') else 2, outcomes[0][1])
                    if outcomes[0][0] == 0:
                        self.assertIn('1 mask left out', outcomes[0][1])
        self.assertRegex(outcomes[0][1], r'line \d+, column 98314: elements are nested deeper than 32767 levels')


class Preview(unittest.TestCase):
    """The previewer from the command: a PNG beside the export, and bad XAML refused whole."""

    def setUp(self):
        if not WITH_PLUGIN or run('preview', '--help').returncode != 0:
            self.skipTest('the command has no previewer or no plug-in in this build')
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def test_export_writes_the_preview_of_what_it_wrote(self):
        r = run('export', os.path.join(EXAMPLES, 'badge.json'), '-o', self.path('b.xaml'), '--preview',
                self.path('b.png'), '--left-shift-tapped')
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(self.path('b.png'), 'rb') as f:
            self.assertEqual(f.read(8), b'\x89PNG\r\n\x1a\n')
        r = run('preview', self.path('b.xaml'), '-o', self.path('c.png'), '--width', '64')
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(self.path('c.png'), 'rb') as f:
            header = f.read(24)
        self.assertEqual(int.from_bytes(header[16:20], 'big'), 64)  # the PNG's width

    def test_bad_xaml_names_the_line_and_leaves_no_picture(self):
        namespace = 'xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"'
        cases = [('empty.xaml', '', 'empty.xaml:1:'),
                 ('unknown.xaml', '<Canvas ' + namespace + '>\n<Bogus/>\n</Canvas>', 'unknown.xaml:2:'),
                 ('broken.xaml', '<Canvas ' + namespace + '>\n\n<Path Data="M 0,0 L"', 'broken.xaml:'),
                 ('value.xaml', '<Canvas ' + namespace + ' Width="wide"/>', 'value.xaml:1:')]
        for name, text, where in cases:
            with open(self.path(name), 'w') as f:
                f.write(text)
            png = self.path(name + '.png')
            with open(png, 'wb') as f:
                f.write(b'earlier picture')
            r = run('preview', self.path(name), '-o', png)
            self.assertEqual(r.returncode, 2, (name, r.stderr))
            self.assertIn(where, r.stderr)
            with open(png, 'rb') as f:
                self.assertEqual(f.read(), b'earlier picture', name)
            self.assertEqual(sorted(os.listdir(self.folder.name)).count(name + '.png'), 1)


class PicturesModule(unittest.TestCase):
    """The picture features live in quillmark-pictures.so beside the command, loaded only to draw."""

    MODULE = 'quillmark-pictures.so'

    def setUp(self):
        if not WITH_PLUGIN or not os.path.exists(os.path.join(os.path.dirname(QUILLMARK), self.MODULE)):
            self.skipTest('this build has no pictures module or no plug-in')
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def lone_command(self):
        """The command and the plug-in copied into the folder, without the pictures module."""
        built = os.path.dirname(QUILLMARK)
        for name in ('quillmark', 'Quillmark.aip', 'Quillmark.res'):
            shutil.copy2(os.path.join(built, name), self.path(name))
        return self.path('quillmark')

    def loaded_files(self, *args):
        """The shared objects the dynamic loader opens while the command runs (glibc's LD_DEBUG)."""
        r = subprocess.run([QUILLMARK, *args], capture_output=True, text=True, timeout=120,
                           env=dict(os.environ, LD_DEBUG='files'))
        return r, re.findall(r'file=(\S+)', r.stderr)

    def test_only_a_command_that_draws_loads_the_picture_libraries(self):
        badge = os.path.join(EXAMPLES, 'badge.json')
        r, files = self.loaded_files('export', badge, '-o', self.path('b.xaml'), '--left-shift-tapped')
        self.assertEqual(r.returncode, 0, r.stderr)
        drawing = [f for f in files if self.MODULE in f or re.search(r'lib(cairo|rsvg|pango)', f)]
        self.assertEqual(drawing, [])
        r, files = self.loaded_files('preview', self.path('b.xaml'), '-o', self.path('b.png'))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertTrue(any(f.endswith('/' + self.MODULE) for f in files), files)
        self.assertTrue(any(f.startswith('libcairo') for f in files), files)

    def test_without_the_module_exports_work_and_drawing_fails_clearly(self):
        quillmark = self.lone_command()
        missing = 'cannot load the pictures module ' + self.path(self.MODULE) + ': '
        badge = os.path.join(EXAMPLES, 'badge.json')
        r = subprocess.run([quillmark, 'export', badge, '-o', self.path('a.xaml'), '--left-shift-tapped'],
                           capture_output=True, text=True, timeout=120)
        self.assertEqual((r.returncode, r.stderr), (0, ''))
        self.assertTrue(os.path.exists(self.path('a.xaml')))

        r = subprocess.run([quillmark, 'preview', self.path('a.xaml'), '-o', self.path('a.png')],
                           capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertIn(missing, r.stderr)
        self.assertFalse(os.path.exists(self.path('a.png')))

        if 'compare DRAWING.svg' in run('--help').stdout:
            r = subprocess.run([quillmark, 'compare', os.path.join(EXAMPLES, 'badge.svg'), self.path('a.xaml')],
                               capture_output=True, text=True, timeout=120)
            self.assertEqual(r.returncode, 2, r.stderr)
            self.assertIn(missing, r.stderr)

        # The export is written; the missing picture fails it, as any failed preview does.
        r = subprocess.run([quillmark, 'export', badge, '-o', self.path('b.xaml'), '--preview', self.path('b.png'),
                            '--left-shift-tapped'], capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn('exported to ' + self.path('b.xaml') + ', but its preview was not written: ' + missing,
                      r.stderr)
        self.assertTrue(os.path.exists(self.path('b.xaml')))
        self.assertFalse(os.path.exists(self.path('b.png')))

        # In a batch's worker processes too, each file's failure is told.
        icons = os.path.join(EXAMPLES, 'icons.json')
        r = subprocess.run([quillmark, 'export', badge, icons, '--out-dir', self.path('out'), '--preview', '-j', '2',
                            '--left-shift-tapped'], capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 1, r.stderr)
        for name in ('badge', 'icons'):
            self.assertIn('exported to ' + os.path.join(self.path('out'), name + '.xaml') +
                          ', but its preview was not written: ' + missing, r.stderr)
        self.assertEqual(sorted(os.listdir(self.path('out'))), ['badge.xaml', 'icons.xaml'])

    def test_a_file_that_is_no_module_is_named_and_leaves_exports_alone(self):
        quillmark = self.lone_command()
        with open(self.path(self.MODULE), 'w') as f:
            f.write('not a module')
        r = subprocess.run([quillmark, 'export', os.path.join(EXAMPLES, 'badge.json'), '-o', self.path('a.xaml'),
                            '--left-shift-tapped'], capture_output=True, text=True, timeout=120)
        self.assertEqual((r.returncode, r.stderr), (0, ''))
        r = subprocess.run([quillmark, 'preview', self.path('a.xaml'), '-o', self.path('a.png')],
                           capture_output=True, text=True, timeout=120)
        self.assertEqual(r.returncode, 2, r.stderr)
        self.assertIn('cannot load the pictures module ' + self.path(self.MODULE) + ': ', r.stderr)


if __name__ == '__main__':
    QUILLMARK, EXAMPLES = sys.argv[1], sys.argv[2]
    WITH_PLUGIN = '--with-plugin' in sys.argv
    import batch_test
    batch_test.configure(QUILLMARK, EXAMPLES, WITH_PLUGIN)
    from batch_test import *  # noqa: F401,F403  the batch, import and input tests run with these
    unittest.main(argv=[sys.argv[0], '-v'])
