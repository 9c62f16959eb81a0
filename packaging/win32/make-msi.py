"""Builds the Windows installer with wixl, the same bytes from every build of the same sources.

    /usr/bin/python3 make-msi.py WIXL WXS MSI SOURCE_DATE_EPOCH

wixl writes a random package code and the current time into the summary information, and each
input file's time into the cabinet. The files get the build's time, and the summary its time and
a package code made from the version and the package's own content: Windows Installer wants a new
code for every package that differs, and this one changes exactly when the package does.
"""

import hashlib
import os
import subprocess
import sys
import uuid
import xml.etree.ElementTree as ET

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

WIX = "{http://schemas.microsoft.com/wix/2006/wi}"
NO_CODE = "{00000000-0000-0000-0000-000000000000}"
FILETIME_1970 = 11644473600  # seconds from 1601, where Windows counts from, to 1970


def stamp(msi, package_code, filetime):
    db = Libmsi.Database.new(msi, Libmsi.DbFlags.TRANSACT, None)
    info = Libmsi.SummaryInfo.new(db, 3)
    info.set_string(Libmsi.Property.UUID, package_code)
    info.set_filetime(Libmsi.Property.CREATED_TM, filetime)
    info.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
    info.persist()
    db.commit()


def main(wixl, wxs, msi, epoch):
    here = os.path.dirname(os.path.abspath(wxs))
    tree = ET.parse(wxs)
    product = tree.find(f"{WIX}Product")
    sources = [e.get("Source") for e in tree.iter(f"{WIX}File")]
    sources += [e.get("SourceFile") for e in tree.iter(f"{WIX}Icon")]
    for source in sources:
        os.utime(os.path.join(here, source), (epoch, epoch))
    subprocess.run([wixl, "--arch", "x86", "--output", os.path.abspath(msi), wxs], cwd=here, check=True)

    filetime = (epoch + FILETIME_1970) * 10_000_000
    stamp(msi, NO_CODE, filetime)
    with open(msi, "rb") as f:
        content = hashlib.sha256(f.read()).hexdigest()
    name = f"package {product.get('Version')} {content}"
    code = uuid.uuid5(uuid.UUID(product.get("UpgradeCode")), name)
    stamp(msi, "{" + str(code).upper() + "}", filetime)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]))
