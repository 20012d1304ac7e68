#!/usr/bin/env python3
"""Checks the release's winget manifest against the Windows Package Manager's schemas.

usage: winget_manifest_check.py RELEASE_FOLDER SCHEMA_FOLDER

Each file of RELEASE_FOLDER/winget must satisfy the schema of its ManifestType, all must name
one package and version, the default locale must have its file, and each installer's
InstallerSha256 must be the digest of the installer of that name in RELEASE_FOLDER. Says that it
skipped, and succeeds, when SCHEMA_FOLDER is not there.
"""
import hashlib
import json
import os
import sys

import jsonschema
import yaml


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: winget_manifest_check.py RELEASE_FOLDER SCHEMA_FOLDER")
    release, schemas = sys.argv[1], sys.argv[2]
    if not os.path.isdir(schemas):
        print("winget manifest check skipped: no schemas in %s" % schemas)
        return
    folder = os.path.join(release, "winget")
    manifests = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8") as stream:
            manifest = yaml.safe_load(stream)
        kind, version = manifest["ManifestType"], manifest["ManifestVersion"]
        schema_file = os.path.join(schemas, "manifest.%s.%s.json" % (kind, version))
        with open(schema_file, encoding="utf-8") as stream:
            schema = json.load(stream)
        errors = list(jsonschema.validators.validator_for(schema)(schema).iter_errors(manifest))
        for error in errors:
            print("%s: %s at %s" % (name, error.message, "/".join(map(str, error.path))))
        if errors:
            sys.exit(1)
        manifests.setdefault(kind, []).append(manifest)

    problems = []
    if sorted(manifests) != ["defaultLocale", "installer", "locale", "version"]:
        problems.append("manifest types %s" % sorted(manifests))
    everything = [m for group in manifests.values() for m in group]
    if len({(m["PackageIdentifier"], m["PackageVersion"]) for m in everything}) != 1:
        problems.append("more than one package or version")
    default = manifests.get("version", [{}])[0].get("DefaultLocale")
    if [m["PackageLocale"] for m in manifests.get("defaultLocale", [])] != [default]:
        problems.append("no defaultLocale file for %s" % default)
    for installer in manifests.get("installer", [{}])[0].get("Installers", []):
        path = os.path.join(release, installer["InstallerUrl"].rsplit("/", 1)[-1])
        with open(path, "rb") as stream:
            digest = hashlib.sha256(stream.read()).hexdigest()
        if installer["InstallerSha256"].lower() != digest:
            problems.append("InstallerSha256 of %s is not its digest" % path)
    for problem in problems:
        print("winget manifest: " + problem)
    if problems:
        sys.exit(1)
    print("winget manifest: %d files valid" % len(everything))


if __name__ == "__main__":
    main()
