#!/usr/bin/env python3
"""Checks the add-in package as its two readers read it.

1C:Enterprise reads MANIFEST.XML: every component it lists must be in the
archive and be the kind of binary the manifest says (OS and architecture), and
every binary in the archive must be listed. 1C's equipment library reads
INFO.XML: root "drivers", one "component" with progid, name, version (at most
16 characters) and type "ККТ". It keeps what follows the first dot of progid
as the driver's identifier and creates "AddIn.<name>.<identifier>", so the
identifier must be a class the packaged add-in answers in GetClassNames: the
add-in of this machine's kind is loaded from the package and asked."""
import ctypes
import os
import platform
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

NS = "{http://v8.1c.ru/8.2/addin/bundle}"
DESCRIPTIONS = ("MANIFEST.XML", "INFO.XML")


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


def check_manifest(archive, expected_components):
    names = set(archive.namelist())
    for required in DESCRIPTIONS:
        assert required in names, f"{required} missing"
    manifest = ET.fromstring(archive.read("MANIFEST.XML"))
    assert manifest.tag == NS + "bundle", manifest.tag
    components = manifest.findall(NS + "component")
    assert components, "the manifest lists no component"
    if expected_components is not None:
        assert len(components) == expected_components, \
            f"{len(components)} component(s), expected {expected_components}"
    listed = {}
    for component in components:
        attrs = component.attrib
        assert attrs["type"] == "native", attrs
        assert attrs["path"] in names, f"{attrs['path']} not in the archive"
        assert attrs["path"] not in listed, f"{attrs['path']} listed twice"
        kind = binary_kind(archive.read(attrs["path"]))
        assert kind == (attrs["os"], attrs["arch"]), f"{attrs['path']}: {kind} vs {attrs}"
        listed[attrs["path"]] = kind
    unlisted = names - set(listed) - set(DESCRIPTIONS)
    assert not unlisted, f"in the archive but not in the manifest: {sorted(unlisted)}"
    return listed


def check_info(archive, expected_version):
    info = ET.fromstring(archive.read("INFO.XML"))
    assert info.tag == "drivers", info.tag
    components = info.findall("component")
    assert len(components) == 1, f"{len(components)} component elements"
    component = components[0]
    for attribute in ("progid", "name", "version", "type"):
        assert component.get(attribute), f"INFO.XML: no {attribute}"
    assert component.get("type") == "ККТ", component.get("type")
    version = component.get("version")
    assert len(version) <= 16, f"version {version!r} is longer than 16 characters"
    if expected_version is not None:
        assert version == expected_version, f"version {version!r}, expected {expected_version!r}"
    progid = component.get("progid")
    prefix, _, identifier = progid.partition(".")
    assert prefix == "AddIn" and identifier, f"progid {progid!r}"
    # The library builds AddIn.<name>.<identifier>: a dot in the identifier names no class.
    assert "." not in identifier, f"identifier {identifier!r} of progid {progid!r}"
    return identifier


def native_kind():
    machine = {"x86_64": "x86_64", "AMD64": "x86_64"}.get(platform.machine())
    is_64 = sys.maxsize > 2**32
    if sys.platform.startswith("linux") and machine and is_64:
        return "Linux", "x86_64"
    return None


def host_text(pointer):
    """A zero-terminated UTF-16 text of the add-in (char16_t on Linux)."""
    units = []
    array = ctypes.cast(pointer, ctypes.POINTER(ctypes.c_uint16))
    while array[len(units)] != 0:
        units.append(array[len(units)])
    return b"".join(u.to_bytes(2, "little") for u in units).decode("utf-16-le")


def check_class(archive, listed, identifier):
    kind = native_kind()
    path = next((p for p, k in listed.items() if k == kind), None)
    if path is None:
        print(f"package: no add-in of this machine's kind to load; class {identifier!r} unchecked")
        return
    with tempfile.TemporaryDirectory() as folder:
        binary = os.path.join(folder, path)
        with open(binary, "wb") as out:
            out.write(archive.read(path))
        # The add-in reads its configuration under the shared data root when loaded.
        os.environ["PROGRAMDATA"] = folder
        addin = ctypes.CDLL(binary)
        addin.GetClassNames.restype = ctypes.c_void_p
        classes = host_text(addin.GetClassNames()).split("|")
        assert identifier in classes, f"identifier {identifier!r} not among classes {classes}"
        name = (ctypes.c_uint16 * (len(identifier) + 1))(*[ord(c) for c in identifier], 0)
        component = ctypes.c_void_p()
        addin.GetClassObject.restype = ctypes.c_long
        addin.GetClassObject.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p)]
        assert addin.GetClassObject(name, ctypes.byref(component)) != 0 and component.value, \
            f"GetClassObject({identifier!r}) created nothing"
        addin.DestroyObject.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
        addin.DestroyObject(ctypes.byref(component))


def main(path, expected_components=None, expected_version=None):
    with zipfile.ZipFile(path) as archive:
        listed = check_manifest(archive, expected_components)
        identifier = check_info(archive, expected_version)
        check_class(archive, listed, identifier)
    print(f"package ok: {len(listed)} component(s), class {identifier}")


if __name__ == "__main__":
    # check_package.py [--components N] [--version V] PACKAGE
    args = sys.argv[1:]
    options = {}
    while args[:1] in (["--components"], ["--version"]):
        options[args[0]] = args[1]
        args = args[2:]
    components = options.get("--components")
    main(args[0], int(components) if components else None, options.get("--version"))
