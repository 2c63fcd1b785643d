#!/usr/bin/env python3
"""Checks the add-in package: every component the manifest lists is in the
archive and is the kind of binary the manifest says (OS and architecture)."""
import sys
import xml.etree.ElementTree as ET
import zipfile

NS = "{http://v8.1c.ru/8.2/addin/bundle}"


def binary_kind(data: bytes):
    if data[:4] == b"\x7fELF":
        return "Linux", {1: "i386", 2: "x86_64"}.get(data[4])
    if data[:2] == b"MZ":
        pe = int.from_bytes(data[0x3C:0x40], "little")
        if data[pe:pe + 4] != b"PE\0\0":
            return None, None
        machine = int.from_bytes(data[pe + 4:pe + 6], "little")
        return "Windows", {0x14C: "i386", 0x8664: "x86_64"}.get(machine)
    return None, None


def main(path, expected_components=None):
    with zipfile.ZipFile(path) as archive:
        names = set(archive.namelist())
        for required in ("MANIFEST.XML", "INFO.XML"):
            assert required in names, f"{required} missing"
        manifest = ET.fromstring(archive.read("MANIFEST.XML"))
        assert manifest.tag == NS + "bundle", manifest.tag
        components = manifest.findall(NS + "component")
        assert components, "the manifest lists no component"
        if expected_components is not None:
            assert len(components) == expected_components, \
                f"{len(components)} component(s), expected {expected_components}"
        for component in components:
            attrs = component.attrib
            assert attrs["type"] == "native", attrs
            assert attrs["path"] in names, f"{attrs['path']} not in the archive"
            kind = binary_kind(archive.read(attrs["path"]))
            assert kind == (attrs["os"], attrs["arch"]), f"{attrs['path']}: {kind} vs {attrs}"
        info = ET.fromstring(archive.read("INFO.XML"))
        component = info.find("component")
        assert component.get("progid") == "AddIn.Korvant.AddInKorvant"
        assert component.get("version") == "1.0.36.326"
    print(f"package ok: {len(components)} component(s)")


if __name__ == "__main__":
    # check_package.py [--components N] PACKAGE
    args = sys.argv[1:]
    expected = None
    if args[:1] == ["--components"]:
        expected = int(args[1])
        args = args[2:]
    main(args[0], expected)
