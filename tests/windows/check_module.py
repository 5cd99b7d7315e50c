#!/usr/bin/env python3
"""Checks the built Windows files with the mingw objdump, without running them:

    check_module.py OBJDUMP MODULE [--program EXE] [--plugin-code OBJECT_OR_ARCHIVE ...]

- the module is a 32-bit x86 DLL whose export table holds PluginMain and nothing else;
- the module and the program import only system DLLs (the C and C++ runtimes are inside);
- the module takes the key-state query and the shell's open request from the system DLLs
  themselves, where a test host can redirect them;
- the plug-in's compiled code does its floating-point arithmetic in SSE registers: x87
  arithmetic rounds to 80 bits first and would make the output differ from the 64-bit build.

Prints one line per failed check and closes with 'N passed, N failed'.
"""
import argparse
import re
import subprocess
import sys

from checks import Checks

# DLLs that every Windows installation has; nothing else may be needed beside the module.
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'shell32.dll', 'msvcrt.dll', 'advapi32.dll', 'gdi32.dll'}

# x87 instructions that round their result (loads, stores, fabs, fchs and control-word
# moves are exact and appear in SSE code too: the 32-bit calling convention returns reals
# in st(0), and 64-bit integer conversions go through the x87 unit).
X87_ROUNDING = re.compile(
    r'^f(add|sub|subr|mul|div|divr|iadd|isub|isubr|imul|idiv|idivr)p?[lsqt]?$'
    r'|^f(sqrt|sin|cos|sincos|ptan|patan|yl2x|yl2xp1|2xm1|scale|prem|prem1|rndint)$')
SSE_ARITHMETIC = re.compile(r'^(add|sub|mul|div|sqrt)s[sd]$')


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def exported_names(private_headers):
    """Names of the export name table, in order."""
    match = re.search(r'\[Ordinal/Name Pointer\] Table\n((?:\s+\[\s*\d+\] .*\n?)*)', private_headers)
    if match is None:
        return []
    return re.findall(r'\[\s*\d+\] (\S+)', match.group(1))


def imports_by_dll(private_headers):
    """{dll name: [imported function names]} from the interpreted import tables."""
    imports = {}
    current = None
    for line in private_headers.splitlines():
        dll = re.match(r'\s*DLL Name: (\S+)', line)
        if dll:
            current = imports.setdefault(dll.group(1), [])
            continue
        function = re.match(r'\s+[0-9a-f]+\s+\d+\s+(\S+)$', line)
        if function and current is not None:
            current.append(function.group(1))
        elif not line.strip():
            current = None  # a blank line ends each DLL's list
    return imports


def mnemonics(disassembly):
    for line in disassembly.splitlines():
        fields = line.split('\t')
        if len(fields) >= 2 and re.match(r'\s*[0-9a-f]+:$', fields[0]):
            words = fields[-1].split()
            if words:
                yield words[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('objdump')
    parser.add_argument('module')
    parser.add_argument('--program')
    parser.add_argument('--plugin-code', nargs='*', default=[])
    options = parser.parse_args()
    checks = Checks()

    header = objdump(options.objdump, '-f', options.module)
    headers = objdump(options.objdump, '-p', options.module)
    checks.expect('file format pei-i386' in header and 'architecture: i386,' in header,
                  f'{options.module} is not a 32-bit x86 PE file:\n{header}')
    checks.expect(re.search(r'Magic\s+010b\s+\(PE32\)', headers) is not None, 'the module is not PE32')
    checks.expect(re.search(r'Characteristics 0x[0-9a-f]+\n(?:\t.*\n)*\tDLL\n', headers) is not None,
                  'the module is not marked as a DLL')

    exports = exported_names(headers)
    checks.expect(exports == ['PluginMain'], f'the module exports {exports}, not just PluginMain')

    module_imports = imports_by_dll(headers)
    foreign = sorted(dll for dll in module_imports if dll.lower() not in SYSTEM_DLLS)
    checks.expect(not foreign, f'the module needs DLLs that are not part of Windows: {foreign}')
    user32 = next((names for dll, names in module_imports.items() if dll.lower() == 'user32.dll'), [])
    shell32 = next((names for dll, names in module_imports.items() if dll.lower() == 'shell32.dll'), [])
    checks.expect('GetAsyncKeyState' in user32, 'the module does not import GetAsyncKeyState from USER32.dll')
    checks.expect('ShellExecuteA' in shell32, 'the module does not import ShellExecuteA from SHELL32.dll')

    if options.program:
        program_imports = imports_by_dll(objdump(options.objdump, '-p', options.program))
        foreign = sorted(dll for dll in program_imports if dll.lower() not in SYSTEM_DLLS)
        checks.expect(program_imports and not foreign,
                      f'{options.program} needs DLLs that are not part of Windows: {foreign}')

    if options.plugin_code:
        used = list(mnemonics(objdump(options.objdump, '-d', '--no-show-raw-insn', *options.plugin_code)))
        x87 = sorted({m for m in used if X87_ROUNDING.match(m)})
        checks.expect(not x87, f"the plug-in's code rounds in the x87 unit: {x87}")
        checks.expect(any(SSE_ARITHMETIC.match(m) for m in used),
                      "the plug-in's code has no SSE arithmetic at all: the disassembly was not read")

    return checks.summary()


if __name__ == '__main__':
    sys.exit(main())
