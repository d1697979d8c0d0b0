#!/usr/bin/env python3
"""Writes one folder into a zip file that depends on nothing but the files'
bytes: entries in name order, each dated SOURCE_DATE_EPOCH (or 1980-01-01),
with fixed permissions.

    zip_folder.py FOLDER ZIPFILE

The zip holds the folder itself as its top entry (qvoptinf-1.1.0-x86/...).
"""
import os
import sys
import time
import zipfile


def main():
    folder, target = sys.argv[1], sys.argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    stamp = time.gmtime(max(epoch, 315532800))[:6]   # zip dates start in 1980
    top = os.path.basename(os.path.normpath(folder))
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in sorted(os.listdir(folder)):
            info = zipfile.ZipInfo(top + "/" + name, stamp)
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(info, f.read())


if __name__ == "__main__":
    main()
