#!/usr/bin/env python3
"""Gathers the licence texts of the parts of Qt that the Windows programs carry.

Qt describes each third-party part it contains in a qt_attribution.json beside the code (name,
copyright, licence and the file holding the licence text). This copies those texts into
OUT/<part>/ and writes OUT/README.txt listing every part.
    notices.py QT_SOURCE_DIR OUT_DIR ATTRIBUTION_FILE...   (files relative to QT_SOURCE_DIR)
"""
import json
import pathlib
import shutil
import sys


def entries(path):
    # Qt's files are JSON with line breaks inside some strings: strict=False accepts them.
    data = json.loads(path.read_text(encoding="utf-8"), strict=False)
    return data if isinstance(data, list) else [data]


def main():
    source, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    lines = []
    for name in sys.argv[3:]:
        attribution = source / name
        for entry in entries(attribution):
            part = entry.get("Id") or attribution.parent.name
            files = entry.get("LicenseFiles") or [entry.get("LicenseFile")]
            copied = []
            for f in filter(None, files):
                text = (attribution.parent / f).resolve()
                if not text.is_file():
                    sys.exit(f"notices.py: {attribution}: licence file {f} not found")
                (out / part).mkdir(exist_ok=True)
                shutil.copyfile(text, out / part / text.name)
                copied.append(f"{part}/{text.name}")
            lines.append(f"{entry.get('Name', part)}\n"
                         f"  Used for: {entry.get('QtUsage', '').strip()}\n"
                         f"  Licence:  {entry.get('License', '').strip()} ({entry.get('LicenseId', '')})\n"
                         f"  Texts:    {', '.join(copied) or 'in the source file itself'}\n"
                         f"  {' '.join(entry.get('Copyright', '').split())}\n")
    (out / "README.txt").write_text(
        "Parts of Qt that come from other projects, as Qt lists them (qt_attribution.json).\n"
        "The list covers the Qt modules built in (Core, Gui, Widgets and their plugins); a part\n"
        "used only on other systems may be listed too.\n\n" + "\n".join(lines), encoding="utf-8")


if __name__ == "__main__":
    main()
