#!/usr/bin/env python3
"""The catalogue check (scripts/check_translations.py) against small catalogues, one fault each."""

import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "scripts"))
import check_translations  # noqa: E402


def catalogue(language, *messages):
    body = "".join(messages)
    return ('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n'
            '<TS version="2.1" language="%s" sourcelanguage="en">\n'
            "<context><name>vantle::Pane</name>%s</context>\n</TS>\n" % (language, body))


def message(source, translation, kind=""):
    kind = ' type="%s"' % kind if kind else ""
    return ("<message><source>%s</source><translation%s>%s</translation></message>"
            % (source, kind, translation))


def plural(source, *forms, kind=""):
    kind = ' type="%s"' % kind if kind else ""
    body = "".join("<numerusform>%s</numerusform>" % form for form in forms)
    return ('<message numerus="yes"><source>%s</source><translation%s>%s</translation></message>'
            % (source, kind, body))


# (name, file name, catalogue, complete, what the faults must mention; none: no fault)
ROWS = [
    ("whole catalogue", "vantle_de.ts",
     catalogue("de_DE", message("Remove %1?", "%1 entfernen?"),
               plural("%n file(s) left", "%n Datei übrig", "%n Dateien übrig")),
     True, []),
    ("placeholder dropped", "vantle_de.ts",
     catalogue("de_DE", message("Connected to %1.", "Verbunden.")), True,
     ["translation has none, the source %1"]),
    ("placeholder doubled", "vantle_de.ts",
     catalogue("de_DE", message("%1 of %2", "%1 von %1")), True,
     ["translation has %1 %1, the source %1 %2"]),
    ("%@ kept as a multiset", "vantle_fr.ts",
     catalogue("fr_FR", message("%@ and %@", "%@ et")), True, ["the source %@ %@"]),
    ("plural form without %n", "vantle_fr.ts",
     catalogue("fr_FR", plural("Sending %n item(s)", "Envoi d'un élément", "Envoi de %n éléments")),
     True, ["form 1 has none, the source %n"]),
    ("unfinished", "vantle_es.ts",
     catalogue("es_ES", message("Stop", "", kind="unfinished")), True, ["unfinished"]),
    ("unfinished though filled", "vantle_es.ts",
     catalogue("es_ES", message("Stop", "Detener", kind="unfinished")), True, ["unfinished"]),
    ("empty translation", "vantle_es.ts",
     catalogue("es_ES", message("Stop", "")), True, ["empty translation"]),
    ("vanished entry", "vantle_pt_BR.ts",
     catalogue("pt_BR", message("Old text", "Texto antigo", kind="vanished")), True,
     ["vanished entry"]),
    ("obsolete entry", "vantle_pt_BR.ts",
     catalogue("pt_BR", message("Old text", "Texto antigo", kind="obsolete")), True,
     ["obsolete entry"]),
    ("English plural without its forms", "vantle_en.ts",
     catalogue("en_US", plural("%n file(s) were sent.", "", "", kind="unfinished")), True,
     ["unfinished"]),
    ("English plural with one form empty", "vantle_en.ts",
     catalogue("en_US", plural("%n file(s) were sent.", "%n file was sent.", "")), True,
     ["plural forms missing"]),
    ("English reads its other texts from the source", "vantle_en.ts",
     catalogue("en_US", message("Stop", "", kind="unfinished"),
               plural("%n file(s) were sent.", "%n file was sent.", "%n files were sent.")),
     True, []),
    ("an incomplete catalogue may be unfinished", "vantle_de.ts",
     catalogue("de_DE", message("Stop", "", kind="unfinished"),
               plural("%n file(s)", "", "", kind="unfinished")), False, []),
    ("an incomplete catalogue still keeps placeholders", "vantle_de.ts",
     catalogue("de_DE", message("Connected to %1.", "Verbunden.", kind="unfinished")), False,
     ["translation has none, the source %1"]),
]


class CheckerTest(unittest.TestCase):
    def test_rows(self):
        for name, file_name, text, complete, expected in ROWS:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                path = pathlib.Path(folder) / file_name
                path.write_text(text, encoding="utf-8")
                faults = check_translations.check_catalogue(path, complete)
                if not expected:
                    self.assertEqual(faults, [])
                for part in expected:
                    self.assertTrue(any(part in fault for fault in faults), (part, faults))

    def test_a_text_missing_from_a_complete_catalogue(self):
        with tempfile.TemporaryDirectory() as folder:
            path = pathlib.Path(folder) / "vantle_de.ts"
            path.write_text(catalogue("de_DE", message("Stop", "Anhalten")), encoding="utf-8")
            expected = {("vantle::Pane", "Stop", False), ("vantle::Pane", "Open", False)}
            faults = check_translations.check_catalogue(path, True, expected)
            self.assertEqual(len(faults), 1)
            self.assertIn("'Open': not in the catalogue", faults[0])


if __name__ == "__main__":
    unittest.main()
