#!/usr/bin/env python3
"""Reads the manifest, version information and icon back from the built executable.

Usage: check_resources.py EXECUTABLE VERSION [unittest arguments]: VERSION is the project's,
four numbers with dots."""
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

import pefile

EXECUTABLE, VERSION = sys.argv.pop(1), sys.argv.pop(1)
MAJOR, MINOR, PATCH, TWEAK = (int(n) for n in VERSION.split("."))


def resource_data(pe, type_id, name=None):
    """The data of every resource of a type (optionally of one name), in order."""
    found = []
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != type_id and str(entry.name) != str(type_id):
            continue
        for item in entry.directory.entries:
            if name is not None and str(item.name or item.id) != str(name):
                continue
            for language in item.directory.entries:
                rva, size = language.data.struct.OffsetToData, language.data.struct.Size
                found.append(pe.get_data(rva, size))
    return found


class Resources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(EXECUTABLE, fast_load=True)
        cls.pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])

    def test_manifest(self):
        manifests = resource_data(self.pe, pefile.RESOURCE_TYPE["RT_MANIFEST"], 1)
        self.assertEqual(len(manifests), 1)
        root = ElementTree.fromstring(manifests[0])
        ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
              "c": "urn:schemas-microsoft-com:compatibility.v1",
              "ws": "http://schemas.microsoft.com/SMI/2005/WindowsSettings"}
        self.assertEqual(root.find(".//v3:windowsSettings/ws:dpiAware", ns).text, "True/PM")
        controls = root.find(".//v1:dependentAssembly/v1:assemblyIdentity", ns)
        self.assertEqual(controls.get("name"), "Microsoft.Windows.Common-Controls")
        self.assertEqual(controls.get("version"), "6.0.0.0")
        level = root.find(".//v3:requestedExecutionLevel", ns)
        self.assertEqual((level.get("level"), level.get("uiAccess")), ("asInvoker", "false"))
        systems = [e.get("Id") for e in root.findall(".//c:supportedOS", ns)]
        self.assertEqual(systems, ["{e2011457-1546-43c5-a5fe-008deee3d3f0}",   # Vista
                                   "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   # 7
                                   "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   # 8
                                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   # 8.1
                                   "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"])  # 10

    def test_version(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS),
                         (MAJOR << 16 | MINOR, PATCH << 16 | TWEAK))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010003, 0x00000000))
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0x3F, 0))
        self.assertEqual((fixed.FileOS, fixed.FileType), (0x4, 0x1))  # 32-bit Windows, application
        tables = [t for info in self.pe.FileInfo[0] if hasattr(info, "StringTable") for t in info.StringTable]
        self.assertEqual(len(tables), 1)
        self.assertEqual(tables[0].LangID.upper(), b"040904E4")
        strings = {k.decode(): v.decode() for k, v in tables[0].entries.items()}
        self.assertEqual(sorted(strings), ["CompanyName", "FileDescription", "FileVersion", "ProductVersion"])
        self.assertEqual(strings["FileDescription"], "Кабинет Duvuzezera")
        self.assertEqual(strings["FileVersion"], VERSION)
        self.assertEqual(strings["ProductVersion"], "1.3.0.0")
        self.assertEqual(strings["CompanyName"], "Duvuzezera")
        translations = [v.entry for info in self.pe.FileInfo[0] if hasattr(info, "Var") for v in info.Var]
        self.assertEqual(translations, [{b"Translation": "0x0409 0x04e4"}])

    def test_icon(self):
        groups = resource_data(self.pe, pefile.RESOURCE_TYPE["RT_GROUP_ICON"], "MAINICON")
        self.assertEqual(len(groups), 1)
        reserved, kind, count = struct.unpack_from("<HHH", groups[0])
        self.assertEqual((kind, count), (1, 1))
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", groups[0], 6)
        self.assertEqual((width, height, colours, bits), (32, 32, 16, 4))
        image = resource_data(self.pe, pefile.RESOURCE_TYPE["RT_ICON"], icon_id)[0]
        header_size, bmp_width, bmp_height, _, bmp_bits = struct.unpack_from("<IiiHH", image)
        self.assertEqual((bmp_width, bmp_bits), (32, 4))
        self.assertEqual(bmp_height, 64, "colour bits and a transparency mask")
        mask = image[header_size + 16 * 4 + 32 * 32 // 2:]
        self.assertEqual(len(mask), 32 * 4)
        self.assertIn(0xFF, mask, "some pixels are transparent")
        self.assertNotEqual(set(mask), {0xFF}, "some are not")


if __name__ == "__main__":
    unittest.main()
