#!/usr/bin/python3
"""Archives whose bytes depend on their files' names and contents alone: entries in
a fixed order, every time SOURCE_DATE_EPOCH (UTC), no owner, no extra fields.
  deterministic_archive.py zip OUTPUT FILE...   a .zip of FILEs in the order given
                                                (cmake/KelvorZip.cmake)
  deterministic_archive.py retar ARCHIVE        a .tar.gz rewritten in place, its
                                                entries sorted by name (the Python
                                                source archive, make release)"""

import gzip
import io
import os
import sys
import tarfile
import time
import zipfile

EPOCH = int(os.environ["SOURCE_DATE_EPOCH"])


def make_zip(output: str, files: list[str]) -> None:
    stamp = time.gmtime(EPOCH)[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for name in files:
            entry = zipfile.ZipInfo(name, stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = (0o755 if name.endswith(".exe") else 0o644) << 16
            with open(name, "rb") as f:
                archive.writestr(entry, f.read())


def retar(path: str) -> None:
    with tarfile.open(path, "r:gz") as old:
        members = sorted(((m, old.extractfile(m)) for m in old.getmembers()), key=lambda p: p[0].name)
        contents = [(m, f.read() if f else None) for m, f in members]
    packed = io.BytesIO()
    with tarfile.open(fileobj=packed, mode="w", format=tarfile.PAX_FORMAT) as new:
        for member, data in contents:
            member.mtime, member.uid, member.gid, member.uname, member.gname = EPOCH, 0, 0, "", ""
            member.pax_headers = {}
            new.addfile(member, io.BytesIO(data) if data is not None else None)
    with open(path, "wb") as f, gzip.GzipFile(filename="", mode="wb", fileobj=f, mtime=0) as z:
        z.write(packed.getvalue())


if __name__ == "__main__":
    if sys.argv[1] == "zip":
        make_zip(sys.argv[2], sys.argv[3:])
    else:
        retar(sys.argv[2])
