#!/usr/bin/env python3
"""`quillmark compare` as a user runs it: a drawing against its own export (a match, exit 0)
and against another drawing's (exit 1), the side-by-side picture, the options and bad input
(exit 2 with a message naming the file).

    compare_command_test.py QUILLMARK EXAMPLES
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

RESULT = re.compile(r'^([0-9.]+)% of the pixels differ \((\d+) of (\d+), (\d+) x (\d+), tolerance (\d+)/255\): '
                    r'(within|beyond) the threshold of ([0-9.]+)%$')
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAILED:', what)


def run(quillmark, *arguments):
    return subprocess.run([quillmark, *arguments], capture_output=True, text=True)


def read_png(path):
    """Width, height and rows of RGBA bytes of an 8-bit RGBA or RGB PNG, as cairo writes it."""
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    pos, idat = 8, b''
    while pos < len(data):
        size, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        pos += 12 + size
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
        elif kind == b'IDAT':
            idat += body
    channels = 4 if colour == 6 else 3
    raw, stride, rows, previous, at = zlib.decompress(idat), width * channels, [], bytearray(width * channels), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def main():
    quillmark, examples = sys.argv[1], sys.argv[2]
    badge, icons = os.path.join(examples, 'badge.svg'), os.path.join(examples, 'icons.svg')
    with tempfile.TemporaryDirectory(prefix='quillmark-compare-') as work:
        exports = {}
        for name, svg in (('badge', badge), ('icons', icons)):
            exports[name] = os.path.join(work, name + '.xaml')
            r = run(quillmark, 'export', svg, '-o', exports[name], '--left-shift-tapped')
            check(r.returncode == 0, f'export of {svg}: {r.stderr}')

        # A drawing against its own export matches, in both Canvas forms of the export.
        for flags in ([], ['--target', 'wpfe']):
            xaml = os.path.join(work, 'icons-form.xaml')
            run(quillmark, 'export', icons, '-o', xaml, '--left-shift-tapped', *flags)
            r = run(quillmark, 'compare', icons, xaml)
            match = RESULT.match(r.stdout)
            check(r.returncode == 0 and match and match[7] == 'within', f'icons {flags}: {r.returncode} {r.stdout}')
            check(match and float(match[1]) < 1 and max(int(match[4]), int(match[5])) == 256,
                  f'icons {flags}: the share under 1% at 256 pixels: {r.stdout}')

        # The drawing-brush form has no visibility: the icons' hidden column guides show there.
        run(quillmark, 'export', icons, '-o', xaml, '--left-shift-tapped', '--right-shift')
        r = run(quillmark, 'compare', icons, xaml)
        check(r.returncode == 1, f'icons as a drawing brush: {r.returncode} {r.stdout}')

        # Against another drawing's export it does not; the note says the sizes disagree.
        r = run(quillmark, 'compare', badge, exports['icons'])
        match = RESULT.match(r.stdout)
        check(r.returncode == 1 and match and match[7] == 'beyond', f'badge against icons: {r.returncode} {r.stdout}')
        check('not its export?' in r.stderr, f'badge against icons: no note of the sizes: {r.stderr}')
        # The tolerance and the threshold are the user's: everything within 255 steps, or a share of 100%.
        r = run(quillmark, 'compare', badge, exports['icons'], '--tolerance', '255')
        check(r.returncode == 0 and r.stdout.startswith('0.00% '), f'--tolerance 255: {r.returncode} {r.stdout}')
        r = run(quillmark, 'compare', badge, exports['icons'], '--threshold=100%')
        check(r.returncode == 0 and 'within the threshold of 100%' in r.stdout, f'--threshold 100: {r.stdout}')
        r = run(quillmark, 'compare', badge, exports['badge'], '--size', '40')
        match = RESULT.match(r.stdout)
        check(match and max(int(match[4]), int(match[5])) == 40, f'--size 40: {r.stdout}')

        # The side-by-side picture: three panels of the compared size, the third red exactly
        # where the pixels differ (the badge's text, which the host's document leaves out).
        side = os.path.join(work, 'side.png')
        r = run(quillmark, 'compare', badge, exports['badge'], '-o', side)
        match = RESULT.match(r.stdout)
        check(r.returncode == 0 and match and os.path.exists(side), f'-o: {r.returncode} {r.stdout} {r.stderr}')
        if match and os.path.exists(side):
            width, height, rows = read_png(side)
            check((width, height) == (3 * int(match[4]), int(match[5])), f'side-by-side of {width} x {height}')
            third = int(match[4])
            red = sum(1 for row in rows for pixel in row[2 * third:] if pixel == (255, 0, 0))
            check(red == int(match[2]) and red > 0, f'{red} red pixels for {match[2]} differing')
            check(all(pixel != (255, 0, 0) for row in rows for pixel in row[:third]), 'red in the SVG panel')
        r = run(quillmark, 'compare', badge, exports['badge'], '-o', os.path.join(work, 'missing', 'side.png'))
        check(r.returncode == 2 and 'missing/side.png' in r.stderr, f'unwritable -o: {r.returncode} {r.stderr}')

        # Bad input: exit 2 and a message that names the file.
        not_xaml = os.path.join(work, 'not.xaml')
        with open(not_xaml, 'w') as f:
            f.write('<Canvas Width="10" Height="10">\n<Ellipse/>\n</Canvas>')
        not_svg = os.path.join(work, 'not.svg')
        with open(not_svg, 'w') as f:
            f.write('<svg xmlns="http://www.w3.org/2000/svg"><rect')
        empty_svg = os.path.join(work, 'empty.svg')
        with open(empty_svg, 'w') as f:
            f.write('<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"/>')
        for arguments, named in (([os.path.join(work, 'none.svg'), exports['badge']], 'none.svg'),
                                 ([badge, os.path.join(work, 'none.xaml')], 'none.xaml'),
                                 ([badge, not_xaml], 'not.xaml:'),
                                 ([not_svg, exports['badge']], 'not.svg'),
                                 ([empty_svg, exports['badge']], 'empty.svg')):
            r = run(quillmark, 'compare', *arguments)
            check(r.returncode == 2 and named in r.stderr and r.stdout == '',
                  f'compare {arguments}: {r.returncode} {r.stderr!r}')
        for arguments, said in ((['--size', '0', badge, exports['badge']], "invalid value '0' of --size"),
                                (['--tolerance', 'x', badge, exports['badge']], '--tolerance'),
                                (['--threshold', '101', badge, exports['badge']], '--threshold'),
                                (['--bogus', badge, exports['badge']], "unknown option '--bogus'"),
                                ([badge], 'no XAML file given'),
                                ([badge, exports['badge'], badge], 'unexpected argument')):
            r = run(quillmark, 'compare', *arguments)
            check(r.returncode == 2 and said in r.stderr and 'quillmark compare --help' in r.stderr,
                  f'compare {arguments}: {r.returncode} {r.stderr!r}')
        r = run(quillmark, 'compare', '--help')
        check(r.returncode == 0 and r.stdout.startswith('Usage: quillmark compare'), 'compare --help')
        r = run(quillmark, '--help')
        check('compare DRAWING.svg FILE.xaml' in r.stdout, 'the main help lists compare')
    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
