#!/usr/bin/env python3
"""Checks that the module loads on Windows XP SP2, reading its file with the mingw objdump:

    check_xp_imports.py OBJDUMP MODULE ALLOW_LIST

- every function of the module's import table is on the allow-list under its DLL (the
  list holds only functions that XP SP2's system DLLs export); an import by ordinal, which
  objdump names <none>, is never on it;
- the PE header asks for no later system than XP (operating system and subsystem 5.1 at most).

Prints one line per failed check and closes with 'N passed, N failed'.
"""
import re
import subprocess
import sys

from check_module import imports_by_dll, objdump
from checks import Checks

# Windows XP is system version 5.1.
XP_VERSION = (5, 1)


def read_allow_list(path):
    """{dll name in lower case: {function names}}; a line ending in .dll starts a DLL's list."""
    allowed = {}
    current = None
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            if line.lower().endswith('.dll'):
                current = allowed.setdefault(line.lower(), set())
            elif current is None:
                raise ValueError(f'{path}: "{line}" comes before any DLL')
            else:
                current.add(line)
    return allowed


def header_version(headers, name):
    major = re.search(rf'Major{name}Version\s+(\d+)', headers)
    minor = re.search(rf'Minor{name}Version\s+(\d+)', headers)
    if major is None or minor is None:
        return None
    return int(major.group(1)), int(minor.group(1))


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    tool, module, allow_list = sys.argv[1:]
    checks = Checks()
    allowed = read_allow_list(allow_list)
    headers = objdump(tool, '-p', module)

    imports = imports_by_dll(headers)
    checks.expect(imports, f'no import table found in {module}: the objdump output was not read')
    for dll, functions in sorted(imports.items()):
        permitted = allowed.get(dll.lower())
        if not checks.expect(permitted is not None, f'{dll} is not a DLL the module may import from'):
            continue
        missing = sorted(set(functions) - permitted)
        checks.expect(not missing, f'{dll}: {missing} not known to be in Windows XP SP2 (allow-list {allow_list})')

    for name in ('OSystem', 'Subsystem'):
        version = header_version(headers, name)
        checks.expect(version is not None and version <= XP_VERSION,
                      f'the module asks for {name} version {version}, later than Windows XP')
    return checks.summary()


if __name__ == '__main__':
    sys.exit(main())
