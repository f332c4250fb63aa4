#!/usr/bin/python3
"""Checks the header, imports, exports and resources of a Windows launcher.

Usage: check_pe.py x64|arm64 LAUNCHER.exe
Prints one line per check and exits non-zero when any check fails.
"""
import sys

import pefile

MACHINES = {"x64": 0x8664, "arm64": 0xAA64}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
DLL_CHARACTERISTICS = {
    "high-entropy ASLR": 0x0020,
    "dynamic base": 0x0040,
    "NX compatible": 0x0100,
    "terminal-server aware": 0x8000,
}
EXPORTED = b"Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates"
# DLLs that would mean a runtime of the toolchain is not linked in statically,
# or that the launcher uses the old C runtime instead of jvm.dll's UCRT.
FORBIDDEN_DLL_PREFIXES = ("libstdc++", "libgcc", "libwinpthread", "libc++", "libunwind", "msvcrt")
RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
LANG_EN_US = 1033
ICON_SIZES = [16, 32, 64, 128, 256]


def header_checks(pe, arch):
    opt = pe.OPTIONAL_HEADER
    yield "machine", pe.FILE_HEADER.Machine == MACHINES[arch], hex(pe.FILE_HEADER.Machine)
    yield "PE32+", opt.Magic == 0x20B, hex(opt.Magic)
    yield "GUI subsystem", opt.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, opt.Subsystem
    os_version = (opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion)
    yield "OS version 6.2", os_version == (6, 2), os_version
    sub_version = (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion)
    yield "subsystem version 6.2", sub_version == (6, 2), sub_version
    for name, bit in DLL_CHARACTERISTICS.items():
        yield name, bool(opt.DllCharacteristics & bit), hex(opt.DllCharacteristics)
    yield "stack reserve 1 MiB", opt.SizeOfStackReserve == 1048576, opt.SizeOfStackReserve
    yield "stack commit 4 KiB", opt.SizeOfStackCommit == 4096, opt.SizeOfStackCommit


def export_checks(pe):
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if exports is None:
        yield "export directory", False, "none"
        return
    name = pe.get_string_at_rva(exports.struct.Name)
    yield "export name launcher.exe", name == b"launcher.exe", name
    names = [symbol.name for symbol in exports.symbols]
    yield "exports the update-check native", EXPORTED in names, names


def import_checks(pe):
    imports = {entry.dll.decode().lower(): [i.name for i in entry.imports]
               for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    yield "JNI_CreateJavaVM from jvm.dll", b"JNI_CreateJavaVM" in imports.get("jvm.dll", []), \
        sorted(imports)
    bad = [dll for dll in imports if dll.startswith(FORBIDDEN_DLL_PREFIXES)]
    yield "no toolchain runtime DLL, no msvcrt", not bad, bad
    ucrt = [dll for dll in imports if dll.startswith("api-ms-win-crt-") or dll == "ucrtbase.dll"]
    yield "uses the Universal CRT", bool(ucrt), ucrt


def resources(pe):
    """{(type, id, language): data} for every resource."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for rid in rtype.directory.entries:
            for lang in rid.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found[(rtype.id, rid.id, lang.id)] = data
    return found


def icon_group(data):
    count = int.from_bytes(data[4:6], "little")
    entries = []
    for i in range(count):
        entry = data[6 + 14 * i: 20 + 14 * i]
        width, height, planes, bits = entry[0], entry[1], entry[4:6], entry[6:8]
        icon_id = int.from_bytes(entry[12:14], "little")
        entries.append((width, height, int.from_bytes(planes, "little"),
                        int.from_bytes(bits, "little"), icon_id))
    return entries


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")


def resource_checks(pe):
    found = resources(pe)
    expected = {(RT_MANIFEST, 1, LANG_EN_US), (RT_GROUP_ICON, 2000, LANG_EN_US)}
    expected |= {(RT_ICON, i, LANG_EN_US) for i in range(1, 6)}
    yield "resources: manifest 1, icon group 2000, icons 1-5 (1033)", \
        set(found) == expected, sorted(found)
    manifest = found.get((RT_MANIFEST, 1, LANG_EN_US), b"")
    for needle in (b'level="asInvoker"', b"Microsoft.Windows.Common-Controls",
                   b">UTF-8</activeCodePage>", b"PerMonitorV2, PerMonitor, system",
                   b">true/PM</dpiAware>", b"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"):
        yield "manifest has " + needle.decode(), needle in manifest, ""
    group = icon_group(found.get((RT_GROUP_ICON, 2000, LANG_EN_US), b"\0" * 6))
    recorded = [(0 if s == 256 else s, 0 if s == 256 else s, 1, 32, i + 1)
                for i, s in enumerate(ICON_SIZES)]
    yield "icon group: 16..256 px, 1 plane, 32 bpp, ids 1-5", group == recorded, group
    sizes = [png_size(found.get((RT_ICON, i, LANG_EN_US), b"")) for i in range(1, 6)]
    yield "icons are PNGs of the listed sizes", sizes == [(s, s) for s in ICON_SIZES], sizes


def main():
    arch, path = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    failed = 0
    for group in (header_checks(pe, arch), export_checks(pe), import_checks(pe),
                  resource_checks(pe)):
        for name, ok, detail in group:
            print(("ok   " if ok else "FAIL ") + name + ("" if ok else f": {detail}"))
            failed += not ok
    print(f"{path}: {failed} of the checks failed" if failed else f"{path}: all checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
