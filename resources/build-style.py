#!/usr/bin/env python3
"""Compiles a style source (name, version, [colors] and [fonts] tables) into the embedded
form the style manager reads: the signature "DZSTYLE1", then a zlib stream of lines
"name=...", "version=...", "color.<Element>=#RRGGBB" and "font.<Element>=#RRGGBB".
Usage: build-style.py SOURCE.style OUT.bin"""
import re
import sys
import zlib

SIGNATURE = b"DZSTYLE1"


def main(source, out):
    fields, tables, section = {}, {"colors": {}, "fonts": {}}, None
    for number, raw in enumerate(open(source, encoding="utf-8"), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            section = line.strip("[]")
            if section not in tables:
                sys.exit(f"{source}:{number}: unknown section [{section}]")
            continue
        if "=" not in line:
            sys.exit(f"{source}:{number}: expected name = value")
        key, value = (part.strip() for part in line.split("=", 1))
        if section is None:
            if key not in ("name", "version"):
                sys.exit(f"{source}:{number}: unknown field '{key}'")
            fields[key] = value
        else:
            if not re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
                sys.exit(f"{source}:{number}: '{value}' is not a colour #RRGGBB")
            tables[section][key] = value.upper()
    if not fields.get("name"):
        sys.exit(f"{source}: the style has no name")
    lines = [f"name={fields['name']}", f"version={fields.get('version', '')}"]
    lines += [f"color.{k}={v}" for k, v in sorted(tables["colors"].items())]
    lines += [f"font.{k}={v}" for k, v in sorted(tables["fonts"].items())]
    with open(out, "wb") as f:
        f.write(SIGNATURE + zlib.compress(("\n".join(lines) + "\n").encode("utf-8"), 9))


if __name__ == "__main__":
    main(*sys.argv[1:])
