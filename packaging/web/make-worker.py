# SPDX-FileCopyrightText: The Vornak developers
# SPDX-License-Identifier: MIT
"""Writes the page's service worker into the staged web folder, with the list of the files it
precaches: every file of the folder, each by the address the page asks for it and its SHA-256,
but for the licence texts, which nobody needs offline.

Usage: make-worker.py STAGE TEMPLATE
"""
import base64
import hashlib
import json
import os
import sys
import urllib.parse

LEFT_OUT = ("THIRD-PARTY.txt", "LICENSES/")


def address(path):
    # The page escapes every byte of a file name but the unreserved ones; so does the list.
    return "/".join(urllib.parse.quote(part, safe="-._~") for part in path.split("/"))


def main(stage, template):
    files = []
    for folder, _, names in os.walk(stage):
        for name in names:
            path = os.path.relpath(os.path.join(folder, name), stage).replace(os.sep, "/")
            if path == "service-worker.js" or path.startswith(LEFT_OUT):
                continue
            with open(os.path.join(folder, name), "rb") as source:
                digest = hashlib.sha256(source.read()).digest()
            files.append([address(path), base64.b64encode(digest).decode()])
    files.sort()
    listed = json.dumps(files, separators=(",", ":"))
    with open(template, encoding="utf-8") as source:
        worker = source.read()
    worker = worker.replace("[/* the build's list */]", listed)
    worker = worker.replace("/* the list's hash */", hashlib.sha256(listed.encode()).hexdigest()[:16])
    with open(os.path.join(stage, "service-worker.js"), "w", encoding="utf-8") as out:
        out.write(worker)


if __name__ == "__main__":
    main(*sys.argv[1:])
