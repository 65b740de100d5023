#!/usr/bin/env python3
"""Checks the Windows program as a file, on the build machine, so that it is
checked also where it cannot be run: the expected PE format for its
architecture, the windowed (GUI) subsystem, imports from Windows' own DLLs
only (everything else is linked in, nothing has to be shipped beside it), and
a size of at most 1 MB.
Usage: pe_file_check.py OBJDUMP EXECUTABLE i686|x86_64"""
import os
import re
import subprocess
import sys

# DLLs that every Windows installation has.
WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "comdlg32.dll", "uxtheme.dll", "ole32.dll", "oleaut32.dll", "oleacc.dll",
    "version.dll", "ws2_32.dll", "ntdll.dll",
}
PE_MAGIC = {"i686": "010b", "x86_64": "020b"}  # PE32, PE32+
MAX_BYTES = 1_000_000


def main():
    objdump, executable, architecture = sys.argv[1:4]
    headers = subprocess.run([objdump, "-p", executable], check=True, capture_output=True, text=True).stdout
    problems = []

    magic = re.search(r"^Magic\s+([0-9a-f]+)", headers, re.M)
    if not magic or magic.group(1) != PE_MAGIC[architecture]:
        problems.append(f"PE magic {magic.group(1) if magic else 'missing'}, expected {PE_MAGIC[architecture]}")
    subsystem = re.search(r"^Subsystem\s+([0-9a-f]+)", headers, re.M)
    if not subsystem or int(subsystem.group(1), 16) != 2:
        problems.append(f"subsystem {subsystem.group(1) if subsystem else 'missing'}, expected 2 (Windows GUI)")

    imports = sorted({name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)})
    foreign = [name for name in imports if name not in WINDOWS_DLLS]
    if foreign:
        problems.append(f"imports DLLs that Windows does not have: {', '.join(foreign)}")
    if "kernel32.dll" not in imports:
        problems.append(f"no import table read ({imports})")

    size = os.path.getsize(executable)
    if size > MAX_BYTES:
        problems.append(f"{size} bytes, more than {MAX_BYTES}")

    for problem in problems:
        print("FAIL " + problem)
    if problems:
        return 1
    print(f"ok   {os.path.basename(executable)}: PE for {architecture}, GUI subsystem, {size} bytes, "
          f"imports {', '.join(imports)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
