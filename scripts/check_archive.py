#!/usr/bin/env python3
"""Checks a release archive: exactly the files a driver vendor takes and
nothing else (no vendor library of the tests or the simulator), a module of
the archive's architecture whose version resource is the release's version,
debug information that belongs to that module, and import libraries that
carry the name callers of the header refer to.

    check_archive.py ZIPFILE VERSION x86|x64

Prints one line per problem and exits 1 when there is any.
"""
import struct
import sys
import zipfile
import zlib

FILES = ["CHANGELOG.md", "INTEGRATION.md", "LICENSE", "libqvoptinf.dll.a", "qvoptinf.def",
         "qvoptinf.dll", "qvoptinf.dll.debug", "qvoptinf.h", "qvoptinf.lib"]
MACHINE = {"x86": 0x14C, "x64": 0x8664}
# What callers compiled against qvoptinf.h refer to in each import library.
IMPORTED = {"x86": b"_QVOpenPrinterInf@28", "x64": b"QVOpenPrinterInf"}


def sections(image):
    """(name, raw data) of each section of a PE image."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    table = pe + 24 + optional_size
    strings = struct.unpack_from("<I", image, pe + 12)[0] + 18 * struct.unpack_from("<I", image, pe + 16)[0]
    for i in range(count):
        raw_name, size, offset = struct.unpack_from("<8s8xII", image, table + 40 * i)
        name = raw_name.rstrip(b"\0")
        if name.startswith(b"/"):   # a long name, kept in the string table
            start = strings + int(name[1:])
            name = image[start:image.index(b"\0", start)]
        yield name.decode(), image[offset:offset + size]


def check(path, version, arch):
    problems = []
    with zipfile.ZipFile(path) as archive:
        top = "qvoptinf-%s-%s/" % (version, arch)
        names = sorted(archive.namelist())
        expected = sorted(top + name for name in FILES)
        if names != expected:
            problems.append("files: expected %s, got %s" % (expected, names))
            return problems
        read = lambda name: archive.read(top + name)
        dll, debug = read("qvoptinf.dll"), read("qvoptinf.dll.debug")

    pe = struct.unpack_from("<I", dll, 0x3C)[0]
    machine = struct.unpack_from("<H", dll, pe + 4)[0]
    if machine != MACHINE[arch]:
        problems.append("qvoptinf.dll: machine 0x%x, expected 0x%x" % (machine, MACHINE[arch]))

    # VS_FIXEDFILEINFO starts with its signature; the file version follows
    # the structure version: MS (major, minor), LS (patch, build).
    at = dll.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        problems.append("qvoptinf.dll: no version resource")
    else:
        ms, ls = struct.unpack_from("<II", dll, at + 8)
        found = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if found != version + ".0":
            problems.append("qvoptinf.dll: file version %s, expected %s.0" % (found, version))

    # .gnu_debuglink: the debug file's name, padding to 4 bytes, its CRC-32.
    links = [data for name, data in sections(dll) if name == ".gnu_debuglink"]
    if not links:
        problems.append("qvoptinf.dll: no .gnu_debuglink")
    else:
        link = links[0]
        name = link[:link.index(b"\0")].decode()
        crc = struct.unpack_from("<I", link, (len(name) + 4) & ~3)[0]
        if name != "qvoptinf.dll.debug" or crc != zlib.crc32(debug):
            problems.append("qvoptinf.dll: debug link to %s (CRC %08x) does not match "
                            "qvoptinf.dll.debug (CRC %08x)" % (name, crc, zlib.crc32(debug)))

    for library in ("libqvoptinf.dll.a", "qvoptinf.lib"):
        with zipfile.ZipFile(path) as archive:
            data = archive.read(top + library)
        if b"__imp_" + IMPORTED[arch] not in data:
            problems.append("%s: no __imp_%s" % (library, IMPORTED[arch].decode()))
    return problems


def main():
    problems = check(*sys.argv[1:4])
    for problem in problems:
        print("%s: %s" % (sys.argv[1], problem))
    if not problems:
        print("%s: complete, version %s" % (sys.argv[1], sys.argv[2]))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
