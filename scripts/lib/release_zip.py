#!/usr/bin/env python3
"""Writes the release zip from the (possibly signed) exes and the text sources.

    release_zip.py ZIP FOLDER README LICENSE EPOCH EXE...

ZIP holds one folder FOLDER/ with the exes (each under its own file name, in
the order given), readme.txt, LICENSE.txt and SHA256SUMS.txt, in that
order. The texts are made for Notepad on every Windows version: readme.txt
(written in UTF-8 with LF ends) becomes code page 932 with CRLF ends,
LICENSE.txt gets CRLF ends. Every entry carries the
time EPOCH (seconds, UTC) and the same MS-DOS attributes, so the same inputs
always give the same bytes. Prints the zip's SHA-256.
"""
import hashlib
import os
import sys
import time
import zipfile

# MS-DOS attributes: a zip made for Windows carries no Unix modes, which
# would otherwise follow the umask of whoever ran the script.
ATTRIBUTE_DIRECTORY = 0x10
ATTRIBUTE_ARCHIVE = 0x20


def crlf(text):
    if "\r" in text:
        raise ValueError("the source already holds carriage returns")
    return text.replace("\n", "\r\n")


def read_text(path):
    with open(path, encoding="utf-8", newline="") as source:
        return source.read()


def entry(name, date_time, attributes):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = 0  # MS-DOS
    info.external_attr = attributes
    info.compress_type = zipfile.ZIP_STORED if name.endswith("/") else zipfile.ZIP_DEFLATED
    return info


def main():
    zip_path, folder, readme_path, license_path, epoch = sys.argv[1:6]
    exe_paths = sys.argv[6:]
    date_time = time.gmtime(int(epoch))[:6]

    files = []
    for exe_path in exe_paths:
        with open(exe_path, "rb") as exe:
            files.append((os.path.basename(exe_path), exe.read()))
    # Any character that code page 932 cannot hold stops the packaging here
    # rather than reaching the user as a question mark.
    files.append(("readme.txt", crlf(read_text(readme_path)).encode("cp932")))
    files.append(("LICENSE.txt", crlf(read_text(license_path)).encode("ascii")))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\r\n" for name, data in files)
    files.append(("SHA256SUMS.txt", sums.encode("ascii")))

    partial = zip_path + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        archive.writestr(entry(folder + "/", date_time, ATTRIBUTE_DIRECTORY), b"")
        for name, data in files:
            archive.writestr(entry(f"{folder}/{name}", date_time, ATTRIBUTE_ARCHIVE), data,
                             compresslevel=9)
    os.replace(partial, zip_path)

    with open(zip_path, "rb") as written:
        print(hashlib.sha256(written.read()).hexdigest())


if __name__ == "__main__":
    main()
