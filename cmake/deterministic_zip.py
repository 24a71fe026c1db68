#!/usr/bin/python3
"""A .zip whose bytes depend on its files' names and contents alone: the entries
in the order given, each stamped with SOURCE_DATE_EPOCH (UTC) and carrying no
extra fields (no access or change times, no owner).
Usage: deterministic_zip.py OUTPUT FILE... (run by cmake/KelvorZip.cmake)."""

import os
import sys
import time
import zipfile

output, *files = sys.argv[1:]
stamp = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
with zipfile.ZipFile(output, "w") as archive:
    for name in files:
        entry = zipfile.ZipInfo(name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = (0o755 if name.endswith(".exe") else 0o644) << 16
        with open(name, "rb") as f:
            archive.writestr(entry, f.read())
