#!/usr/bin/env python3
"""Checks the manifest that Windows reads from a built executable, not the source file.

Reads the PE file's resource section, takes RT_MANIFEST (24) resource 1 and checks that it is
well-formed XML (Windows refuses to start a program whose manifest is not) holding the supported
Windows versions and, with --dpi, the DPI awareness with its fallbacks.

usage: check-exe-manifest.py [--dpi] EXE
exit: 0 every entry present, 1 an entry missing or the manifest unreadable, 2 usage error,
77 EXE not built.
"""

import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
MANIFEST_ID = 1
RESOURCE_DIRECTORY = 2  # index in the optional header's data directories

SUPPORTED_OS = {
    "Windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "Windows 8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "Windows 8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "Windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
DPI_AWARE = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware"
DPI_AWARENESS = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness"


class NotPe(Exception):
    pass


def _unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise NotPe(f"truncated at offset {offset}")
    return struct.unpack_from(fmt, data, offset)


def _file_offset(sections, rva):
    for virtual_address, virtual_size, raw_pointer, raw_size in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_pointer + rva - virtual_address
    raise NotPe(f"RVA {rva:#x} lies in no section")


def _directory_entries(data, offset):
    """(id or None for a named entry, is_directory, offset relative to the resource root)."""
    named, numbered = _unpack("<12xHH", data, offset)
    for index in range(named + numbered):
        name, target = _unpack("<II", data, offset + 16 + 8 * index)
        yield (None if name & 0x80000000 else name, bool(target & 0x80000000),
               target & 0x7FFFFFFF)


def _find(data, root, directory, wanted):
    for entry_id, is_directory, target in _directory_entries(data, root + directory):
        if wanted is None or entry_id == wanted:
            return is_directory, target
    return None


def read_resource(data, type_id, name_id):
    """The bytes of resource type_id/name_id in its first language, or None."""
    (e_lfanew,) = _unpack("<60xI", data, 0)
    if data[:2] != b"MZ" or _unpack("<4s", data, e_lfanew)[0] != b"PE\0\0":
        raise NotPe("no PE signature")
    section_count, optional_size = _unpack("<2xH12xH", data, e_lfanew + 4)
    optional = e_lfanew + 24
    (magic,) = _unpack("<H", data, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise NotPe(f"unknown optional header magic {magic:#x}")
    resource_rva, _ = _unpack("<II", data, directories + 8 * RESOURCE_DIRECTORY)
    if resource_rva == 0:
        return None
    sections = [_unpack("<8xIIII", data, optional + optional_size + 40 * index)
                for index in range(section_count)]
    # Each header is VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData.
    sections = [(address, size, pointer, raw) for size, address, raw, pointer in sections]
    root = _file_offset(sections, resource_rva)

    directory = 0
    for wanted in (type_id, name_id):
        found = _find(data, root, directory, wanted)
        if found is None or not found[0]:
            return None
        directory = found[1]
    # The language level points at a data entry, not at another directory.
    found = _find(data, root, directory, None)
    if found is None or found[0]:
        return None
    data_rva, size = _unpack("<II", data, root + found[1])
    start = _file_offset(sections, data_rva)
    if start + size > len(data):
        raise NotPe("the manifest runs past the end of the file")
    return data[start:start + size]


def problems_of(manifest_bytes, want_dpi):
    """What is missing or wrong in the manifest, as sentences; empty when it is complete."""
    try:
        root = ElementTree.fromstring(manifest_bytes)
    except ElementTree.ParseError as error:
        return [f"the manifest is not well-formed XML ({error}); Windows would not start the "
                "program"]
    problems = []
    ids = {element.get("Id", "").lower()
           for element in root.iter(COMPATIBILITY + "supportedOS")}
    for name, guid in SUPPORTED_OS.items():
        if guid not in ids:
            problems.append(f"no supportedOS entry for {name} ({guid})")
    if want_dpi:
        aware = [element.text for element in root.iter(DPI_AWARE)]
        if [text.strip().lower() if text else "" for text in aware] != ["true/pm"]:
            problems.append(f"dpiAware should be \"true/pm\" once, is {aware}")
        awareness = [element.text for element in root.iter(DPI_AWARENESS)]
        values = [[part.strip().lower() for part in (text or "").split(",")]
                  for text in awareness]
        if values != [["permonitorv2", "permonitor"]]:
            problems.append("dpiAwareness should be \"PerMonitorV2, PerMonitor\" once, is "
                            f"{awareness}")
    return problems


def main(argv):
    args = argv[1:]
    want_dpi = "--dpi" in args
    args = [arg for arg in args if arg != "--dpi"]
    if len(args) != 1:
        print("usage: check-exe-manifest.py [--dpi] EXE", file=sys.stderr)
        return 2
    path = args[0]
    try:
        with open(path, "rb") as exe:
            data = exe.read()
    except FileNotFoundError:
        print(f"check-exe-manifest: skipped: {path} does not exist (build it with the windows "
              "preset)")
        return 77
    try:
        manifest = read_resource(data, RT_MANIFEST, MANIFEST_ID)
    except NotPe as error:
        print(f"not ok - {path} is not a readable PE file: {error}")
        return 1
    if manifest is None:
        print(f"not ok - {path} holds no RT_MANIFEST resource {MANIFEST_ID}")
        return 1
    problems = problems_of(manifest, want_dpi)
    for problem in problems:
        print(f"not ok - {path}: {problem}")
    if not problems:
        print(f"ok - the manifest of {path} names every supported Windows version"
              + (" and the DPI awareness" if want_dpi else ""))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
