#!/usr/bin/env python3
"""Checks the Windows package: a zip with quarvel.exe beside Data/ and Shaders/, the program
a 32-bit GUI executable for Intel 80386 that needs no DLL beyond those Windows has, that
carries the setup dialog (resource 101) and the asInvoker manifest, and whose float arithmetic
is SSE2 scalar math (single precision) rather than the x87 stack's extended precision.

usage: check_package.py PACKAGE.zip | PROGRAM.exe
"""
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

# DLLs that come with Windows 7 and later (the HLSL compiler's since Windows 8, and it is
# redistributed with the DirectX runtime before that).
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shlwapi.dll", "d3d11.dll", "dxgi.dll",
    "d3dcompiler_47.dll", "winmm.dll", "msacm32.dll", "msvcrt.dll", "advapi32.dll",
    "shell32.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll", "winspool.drv",
}
RT_DIALOG = 5
RT_MANIFEST = 24


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic != 0x10B:
            raise ValueError("not PE32 (optional header magic 0x%x)" % self.magic)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + 96
        self.directory = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("address 0x%x is in no section" % rva)

    def string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imported_dlls(self):
        rva, size = self.directory[1]
        dlls = []
        at = self.offset(rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                return dlls
            dlls.append(self.string(name).lower())
            at += 20

    def resources(self):
        """{(type, id): bytes} for resources named by number."""
        rva, size = self.directory[2]
        if rva == 0:
            return {}
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield ident, target

        found = {}
        for type_id, type_target in entries(0):
            if type_id & 0x80000000 or not type_target & 0x80000000:
                continue
            for res_id, res_target in entries(type_target & 0x7FFFFFFF):
                if res_id & 0x80000000 or not res_target & 0x80000000:
                    continue
                for _, leaf in entries(res_target & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(data_rva)
                    found[(type_id, res_id)] = self.data[at:at + data_size]
        return found


def check_program(data):
    problems = []
    image = Image(data)
    if image.machine != 0x14C:
        problems.append("machine 0x%x, not Intel 80386" % image.machine)
    if image.subsystem != 2:
        problems.append("subsystem %d, not the Windows GUI" % image.subsystem)
    foreign = [dll for dll in image.imported_dlls() if dll not in SYSTEM_DLLS]
    if foreign:
        problems.append("needs DLLs that Windows does not have: " + ", ".join(foreign))
    resources = image.resources()
    dialog = resources.get((RT_DIALOG, 101))
    if dialog is None:
        problems.append("no dialog resource 101")
    elif dialog[:4] != b"\x01\x00\xff\xff":
        problems.append("dialog 101 is not an extended template")
    manifest = resources.get((RT_MANIFEST, 1))
    if manifest is None:
        problems.append("no manifest (resource 1 of type 24)")
    elif b'level="asInvoker"' not in manifest or b'uiAccess="false"' not in manifest:
        problems.append("the manifest does not ask for asInvoker without UI access")
    return problems


# The program's own float arithmetic, compiled for SSE2, shows as hundreds of these; an x87
# build has none (the synthesizer's deliberate long double arithmetic stays on the x87 stack).
SSE_SCALAR = re.compile(r"\t(addss|subss|mulss|divss)\b")
MIN_SSE_SCALAR = 100


def check_float_math(data):
    objdump = shutil.which("i686-w64-mingw32-objdump")
    if not objdump:
        return ["i686-w64-mingw32-objdump (binutils-mingw-w64-i686) is missing: cannot check the float math"]
    with tempfile.NamedTemporaryFile(suffix=".exe") as program:
        program.write(data)
        program.flush()
        listing = subprocess.run([objdump, "-d", program.name], capture_output=True, text=True, check=True).stdout
    count = len(SSE_SCALAR.findall(listing))
    if count < MIN_SSE_SCALAR:
        return ["%d SSE scalar float instructions: float math is not compiled for SSE2 (-msse2 -mfpmath=sse)" % count]
    return []


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    path = sys.argv[1]
    problems = []
    if path.lower().endswith(".zip"):
        with zipfile.ZipFile(path) as package:
            names = set(package.namelist())
            if "quarvel.exe" not in names:
                print("%s: no quarvel.exe at the top" % path, file=sys.stderr)
                return 1
            if not any(n.startswith("Data/") and n.endswith(".mp3") for n in names):
                problems.append("no music in Data/")
            if not any(n.startswith("Shaders/") and n.endswith(".shader") for n in names):
                problems.append("no packed shaders in Shaders/")
            data = package.read("quarvel.exe")
    else:
        with open(path, "rb") as program:
            data = program.read()
    try:
        problems += check_program(data)
        problems += check_float_math(data)
    except (ValueError, struct.error) as error:
        problems.append("not a readable PE32 program: %s" % error)
    for problem in problems:
        print("%s: %s" % (path, problem), file=sys.stderr)
    if not problems:
        print("%s: PE32 GUI program for Intel 80386, system DLLs only, dialog 101 and manifest present, "
              "SSE2 float math" % path)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
