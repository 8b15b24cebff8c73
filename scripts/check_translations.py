#!/usr/bin/env python3
"""Checks the program's catalogues (translations/vantle_LANG.ts).

Every catalogue: a filled translation has the placeholders of its source (%1..%9, %n, %@, counted
as a multiset; for plurals every form).
A complete catalogue (--complete LANG, given for each language whose translation is finished):
no entry unfinished, empty, vanished or obsolete, and none of the program's texts missing. The
source language (English) translates only its plurals: its other entries may stay empty, the
source text being the English one, but each plural entry has all its forms.

With --lupdate and --sources, the program's texts are read from the sources as update_translations
reads them, so a text the catalogues lack is found before a translator would miss it.

Prints one line per fault and exits 1 when there is any.
"""

import argparse
import collections
import pathlib
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%(?:[1-9]|n|@)")
DEAD_TYPES = ("vanished", "obsolete")


def placeholders(text):
    return collections.Counter(PLACEHOLDER.findall(text or ""))


def describe(counter):
    return " ".join(sorted(counter.elements())) or "none"


class Message:
    def __init__(self, context, element):
        self.context = context
        self.source = element.findtext("source") or ""
        self.numerus = element.get("numerus") == "yes"
        translation = element.find("translation")
        self.type = translation.get("type", "") if translation is not None else "missing"
        if translation is None:
            self.forms = []
        elif self.numerus:
            self.forms = [form.text or "" for form in translation.findall("numerusform")]
        else:
            self.forms = [translation.text or ""]

    @property
    def key(self):
        return (self.context, self.source, self.numerus)

    def where(self):
        return "%s: %r" % (self.context, self.source)


def read_catalogue(path):
    root = ET.parse(path).getroot()
    messages = []
    for context in root.iter("context"):
        name = context.findtext("name") or ""
        messages.extend(Message(name, element) for element in context.iter("message"))
    return root.get("language", ""), root.get("sourcelanguage", "en"), messages


def language_of(path):
    return path.stem.split("_", 1)[1] if "_" in path.stem else path.stem


def same_language(a, b):
    return a.split("_")[0].split("-")[0] == b.split("_")[0].split("-")[0]


def check_catalogue(path, complete, expected=None):
    """Faults of one catalogue, as lines; `expected` the keys of the program's texts."""
    faults = []
    language, source_language, messages = read_catalogue(path)
    is_source = same_language(language or language_of(path), source_language)

    def fault(message, text):
        faults.append("%s: %s: %s" % (path.name, message.where(), text))

    for message in messages:
        filled = [form for form in message.forms if form]
        for index, form in enumerate(message.forms):
            if form and placeholders(form) != placeholders(message.source):
                which = "form %d" % (index + 1) if message.numerus else "translation"
                fault(message, "%s has %s, the source %s" % (which, describe(placeholders(form)),
                                                             describe(placeholders(message.source))))
        if not complete:
            continue
        if message.type in DEAD_TYPES:
            fault(message, "%s entry (remove it: lupdate -no-obsolete)" % message.type)
            continue
        english_fallback = is_source and not message.numerus and not filled
        if english_fallback:
            continue
        if message.type == "unfinished":
            fault(message, "unfinished")
        elif message.type == "missing" or not message.forms or len(filled) < len(message.forms):
            fault(message, "plural forms missing" if message.numerus else "empty translation")

    if complete and expected is not None:
        present = {message.key for message in messages if message.type not in DEAD_TYPES}
        for context, source, _ in sorted(expected - present):
            faults.append("%s: %s: %r: not in the catalogue (build update_translations)"
                          % (path.name, context, source))
    return faults


def texts_in_sources(lupdate, sources, includes):
    """The keys of every text lupdate finds in the source folders."""
    with tempfile.TemporaryDirectory() as folder:
        catalogue = pathlib.Path(folder) / "vantle_en.ts"
        subprocess.run([lupdate, "-silent", "-source-language", "en", "-locations", "none",
                        "-extensions", "cpp,h", *("-I" + folder for folder in includes), *sources,
                        "-ts", str(catalogue)], check=True)
        return {message.key for message in read_catalogue(catalogue)[2]}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", type=pathlib.Path, help="the folder of the .ts files")
    parser.add_argument("--complete", default="",
                        help="languages whose catalogues are complete, e.g. 'en;de' or 'en,de'")
    parser.add_argument("--lupdate", help="lupdate, to read the program's texts from --sources")
    parser.add_argument("--sources", nargs="*", default=[], help="folders lupdate reads")
    parser.add_argument("--include", action="append", default=[],
                        help="a folder the sources' includes are found in")
    args = parser.parse_args(argv)

    complete = {name for name in re.split(r"[;,\s]+", args.complete) if name}
    catalogues = sorted(args.folder.glob("*.ts"))
    if not catalogues:
        print("no catalogues in %s" % args.folder)
        return 1
    unknown = complete - {language_of(path) for path in catalogues}
    expected = texts_in_sources(args.lupdate, args.sources, args.include) if args.lupdate else None
    faults = ["no catalogue for the complete language %s" % name for name in sorted(unknown)]
    for path in catalogues:
        faults += check_catalogue(path, language_of(path) in complete, expected)
    for line in faults:
        print(line)
    print("%d catalogue(s), complete: %s; %d fault(s)"
          % (len(catalogues), ", ".join(sorted(complete)) or "none", len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
