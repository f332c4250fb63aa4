#!/usr/bin/python3
"""Usage: check_pe.py x64|arm64 LAUNCHER.exe: header, imports, exports, resources."""
import sys

import pefile

MACHINES = {"x64": 0x8664, "arm64": 0xAA64}
DLL_CHARACTERISTICS = {"high-entropy ASLR": 0x20, "dynamic base": 0x40, "NX compatible": 0x100,
                       "terminal-server aware": 0x8000}
EXPORTED = b"Java_quorvatic_plenwick_updater_OnlineUpdater_nCheckForUpdates"
# A toolchain runtime not linked statically, or the old C runtime.
FORBIDDEN_DLL_PREFIXES = ("libstdc++", "libgcc", "libwinpthread", "libc++", "libunwind", "msvcrt")
RT_ICON, RT_GROUP_ICON, RT_MANIFEST, EN_US = 3, 14, 24, 1033
ICON_SIZES = [16, 32, 64, 128, 256]


def header_checks(pe, arch):
    opt = pe.OPTIONAL_HEADER
    yield "machine", pe.FILE_HEADER.Machine == MACHINES[arch], hex(pe.FILE_HEADER.Machine)
    yield "PE32+", opt.Magic == 0x20B, hex(opt.Magic)
    yield "GUI subsystem", opt.Subsystem == 2, opt.Subsystem
    for name, version in (("OS", (opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion)),
                          ("subsystem", (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion))):
        yield name + " version 6.2", version == (6, 2), version
    for name, bit in DLL_CHARACTERISTICS.items():
        yield name, bool(opt.DllCharacteristics & bit), hex(opt.DllCharacteristics)
    yield "stack reserve 1 MiB", opt.SizeOfStackReserve == 1048576, opt.SizeOfStackReserve
    yield "stack commit 4 KiB", opt.SizeOfStackCommit == 4096, opt.SizeOfStackCommit
    end = max(s.VirtualAddress + s.Misc_VirtualSize for s in pe.sections)
    yield "SizeOfImage covers every section", opt.SizeOfImage >= end, (hex(opt.SizeOfImage), hex(end))
    yield "checksum none, or correct", opt.CheckSum == 0 or pe.verify_checksum(), hex(opt.CheckSum)


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


def resource_checks(pe):
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    found = {(t.id, r.id, l.id): pe.get_data(l.data.struct.OffsetToData, l.data.struct.Size)
             for t in (root.entries if root else []) for r in t.directory.entries
             for l in r.directory.entries}
    expected = {(RT_MANIFEST, 1, EN_US), (RT_GROUP_ICON, 2000, EN_US)}
    expected |= {(RT_ICON, i, EN_US) for i in range(1, 6)}
    yield "resources: manifest 1, icon group 2000, icons 1-5 (1033)", \
        set(found) == expected, sorted(found)
    manifest = found.get((RT_MANIFEST, 1, EN_US), b"")
    for needle in (b'level="asInvoker"', b"Microsoft.Windows.Common-Controls",
                   b">UTF-8</activeCodePage>", b"PerMonitorV2, PerMonitor, system",
                   b">true/PM</dpiAware>", b"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"):
        yield "manifest has " + needle.decode(), needle in manifest, ""
    group = found.get((RT_GROUP_ICON, 2000, EN_US), b"\0" * 6)
    entries = [group[6 + 14 * i: 20 + 14 * i] for i in range(int.from_bytes(group[4:6], "little"))]
    entries = [(e[0], e[1], int.from_bytes(e[4:6], "little"), int.from_bytes(e[6:8], "little"),
                int.from_bytes(e[12:14], "little")) for e in entries]
    recorded = [(s % 256, s % 256, 1, 32, i + 1) for i, s in enumerate(ICON_SIZES)]
    yield "icon group: 16..256 px, 1 plane, 32 bpp, ids 1-5", entries == recorded, entries
    icons = [found.get((RT_ICON, i, EN_US), b"") for i in range(1, 6)]
    sizes = [(int.from_bytes(d[16:20], "big"), int.from_bytes(d[20:24], "big"))
             if d[:8] == b"\x89PNG\r\n\x1a\n" else None for d in icons]
    yield "icons are PNGs of the listed sizes", sizes == [(s, s) for s in ICON_SIZES], sizes


def main():
    arch, path = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    failed = 0
    for checks in (header_checks(pe, arch), export_checks(pe), import_checks(pe),
                   resource_checks(pe)):
        for name, ok, detail in checks:
            print(("ok   " if ok else "FAIL ") + name + ("" if ok else f": {detail}"))
            failed += not ok
    print(f"{path}: {failed} of the checks failed" if failed else f"{path}: all checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
