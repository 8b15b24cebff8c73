#!/usr/bin/env python3
"""The file managers' "Send to Phone" entries: each is well formed for its file manager, and each
command, expanded as its file manager expands it, puts exactly the chosen paths in the queue of a
running vantle, whatever their names hold."""
import configparser
import os
import plistlib
import py_compile
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import types
import unittest
from unittest import mock

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import app_process_test as app  # noqa: E402  (takes the folder of the programs from argv)

PACKAGING = os.path.join(HERE, "..", "..", "packaging")
APPLICATION = os.path.join(PACKAGING, "invalid.vantle.Vantle.desktop")
ENTRIES = os.path.join(PACKAGING, "filemanagers")
DOLPHIN = os.path.join(ENTRIES, "dolphin", "vantle-send-to-phone.desktop")
NEMO = os.path.join(ENTRIES, "nemo", "vantle-send-to-phone.nemo_action")
THUNAR = os.path.join(ENTRIES, "thunar", "vantle-send-to-phone.desktop")
NAUTILUS = os.path.join(ENTRIES, "nautilus", "vantle_send_to_phone.py")
ICON = "invalid.vantle.Vantle"
# Spaces, both quotes, a leading "-", letters beyond ASCII, and a folder.
NAMES = ["Grüße ü.txt", "l'été \"x\".txt", "-x", "a folder"]


def key_file(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return parser


def desktop_entry_argv(exec_line, paths):
    """Exec as freedesktop desktop entries have it expanded (KIO for Dolphin, GLib for
    Thunar): arguments split as a shell would, then %F, standing alone, one argument per path."""
    argv = []
    for argument in shlex.split(exec_line):
        if argument == "%F":
            argv.extend(paths)
        else:
            assert "%" not in argument.replace("%%", ""), argument
            argv.append(argument.replace("%%", "%"))
    return argv


def nemo_argv(action, paths):
    """Nemo's expansion with Quote=double: each path in double quotes, its quotes and backslashes
    escaped, joined by spaces into the Exec text, which is then split as g_shell_parse_argv does."""
    assert action["Quote"] == "double"
    quoted = " ".join('"' + re.sub(r'(["\\])', r"\\\1", path) + '"' for path in paths)
    return shlex.split(action["Exec"].replace("%F", quoted))


class Location:
    def __init__(self, path):
        self.path = path

    def get_path(self):
        return self.path


class FileInfo:
    """Nautilus.FileInfo as the extension sees it; a None path is an item with no local path."""

    def __init__(self, path):
        self.location = Location(path)

    def get_location(self):
        return self.location


class MenuItem:
    def __init__(self, **properties):
        self.properties = properties
        self.handlers = {}

    def connect(self, signal, handler, *data):
        self.handlers[signal] = (handler, data)

    def activate(self):
        handler, data = self.handlers["activate"]
        handler(self, *data)


def load_nautilus_extension():
    """The extension, imported against a stand-in of nautilus-python's gi modules."""
    versions = {}
    gi = types.ModuleType("gi")
    gi.require_version = versions.__setitem__
    repository = types.ModuleType("gi.repository")
    repository.GObject = types.SimpleNamespace(GObject=type("GObject", (), {}))
    repository.Nautilus = types.SimpleNamespace(MenuProvider=type("MenuProvider", (), {}),
                                                MenuItem=MenuItem)
    gi.repository = repository
    with mock.patch.dict(sys.modules, {"gi": gi, "gi.repository": repository}):
        namespace = {"__name__": "vantle_send_to_phone"}
        with open(NAUTILUS, encoding="utf-8") as f:
            exec(compile(f.read(), NAUTILUS, "exec"), namespace)
    return versions, namespace


class EntriesAreWellFormed(unittest.TestCase):
    @unittest.skipUnless(shutil.which("desktop-file-validate"), "needs desktop-file-validate")
    def test_thunar_entry_validates(self):
        result = subprocess.run(["desktop-file-validate", THUNAR], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_dolphin_service_menu_has_one_action_for_local_files_and_folders(self):
        # desktop-file-validate knows only applications, links and folders, not KIO's services.
        menu = key_file(DOLPHIN)
        entry = menu["Desktop Entry"]
        self.assertEqual(entry["Type"], "Service")
        self.assertIn("all/all", entry["MimeType"].split(";"))
        self.assertEqual(entry["X-KDE-Protocols"], "file")
        actions = [a for a in entry["Actions"].split(";") if a]
        self.assertEqual(len(actions), 1)
        action = menu["Desktop Action " + actions[0]]
        self.assertEqual((action["Name"], action["Icon"]), ("Send to Phone", ICON))

    def test_nemo_action_is_offered_for_any_selection_of_files_and_folders(self):
        action = key_file(NEMO)["Nemo Action"]
        self.assertEqual(action["Name"], "Send to Phone")
        self.assertEqual(action["Icon-Name"], ICON)
        self.assertEqual(action["Selection"], "notnone")
        self.assertEqual(action["Extensions"], "any;")

    def test_nautilus_extension_compiles_and_asks_for_api_4(self):
        with tempfile.TemporaryDirectory() as folder:
            py_compile.compile(NAUTILUS, cfile=os.path.join(folder, "x.pyc"), doraise=True)
        versions, _ = load_nautilus_extension()
        self.assertEqual(versions, {"Nautilus": "4.0"})


class EntriesSpeakTheUsersLanguage(unittest.TestCase):
    """Every file manager offers the same words in each language Vantle speaks; Nautilus, which
    reads no key file, picks them from the environment as gettext would."""

    LANGUAGES = ["de", "fr", "es", "pt_BR"]

    def nautilus_item(self, environment):
        _, extension = load_nautilus_extension()
        with mock.patch.dict(os.environ, environment, clear=True), \
                mock.patch.object(extension["shutil"], "which", lambda _program: "/bin/vantle"):
            [item] = extension["VantleSendToPhone"]().get_file_items([FileInfo("/tmp/a")])
        return item.properties["label"], item.properties["tip"]

    def test_each_language_has_its_own_words_in_every_entry(self):
        dolphin = key_file(DOLPHIN)["Desktop Action sendToPhone"]
        nemo = key_file(NEMO)["Nemo Action"]
        thunar = key_file(THUNAR)["Desktop Entry"]
        application = key_file(APPLICATION)["Desktop Entry"]
        for language in self.LANGUAGES:
            with self.subTest(language=language):
                for key in ("GenericName", "Comment", "Keywords"):
                    self.assertNotEqual(application[f"{key}[{language}]"], application[key])
                label, tip = self.nautilus_item({"LANGUAGE": language})
                self.assertNotEqual(label, dolphin["Name"])
                self.assertEqual(dolphin[f"Name[{language}]"], label)
                self.assertEqual(nemo[f"Name[{language}]"], label)
                self.assertEqual(nemo[f"Comment[{language}]"], tip)
                self.assertEqual(thunar[f"Comment[{language}]"], tip)
                self.assertNotEqual(thunar[f"Name[{language}]"], thunar["Name"])

    def test_nautilus_takes_the_first_language_it_knows(self):
        dolphin = key_file(DOLPHIN)["Desktop Action sendToPhone"]
        rows = [
            ({"LANGUAGE": "de"}, "de"),
            ({"LANGUAGE": "de_AT.UTF-8"}, "de"),
            ({"LANGUAGE": "ja:fr", "LANG": "es_ES.UTF-8"}, "fr"),
            ({"LC_ALL": "es_MX.UTF-8", "LANG": "de_DE.UTF-8"}, "es"),
            ({"LC_MESSAGES": "pt_BR.UTF-8"}, "pt_BR"),
            ({"LANG": "pt_PT.UTF-8"}, None),
            ({"LANGUAGE": "en_GB:de", "LANG": "de_DE.UTF-8"}, None),
            ({"LANG": "C.UTF-8"}, None),
            ({}, None),
        ]
        for environment, language in rows:
            with self.subTest(environment=environment):
                expected = dolphin[f"Name[{language}]"] if language else dolphin["Name"]
                self.assertEqual(self.nautilus_item(environment)[0], expected)


class EntriesQueueTheChosenPaths(unittest.TestCase):
    """One running vantle; every file manager's command adds the items of a folder of its own to
    its queue."""

    @classmethod
    def setUpClass(cls):
        cls.profile = app.Profile({"AutoConnect": 0, "DontWarnAboutManual": 1})
        cls.profile.env["PATH"] = app.BIN + os.pathsep + os.environ.get("PATH", "")
        cls.program = cls.profile.start()
        cls.out = app.Output(cls.program)
        if not cls.out.shows(r"setStatusToConnectionStatus"):
            app.stop(cls.program)
            raise AssertionError("vantle did not start: " + cls.out.read())

    @classmethod
    def tearDownClass(cls):
        app.stop(cls.program)
        cls.profile.dir.cleanup()

    def chosen(self, manager):
        folder = os.path.join(self.profile.home, "chosen", manager)
        os.makedirs(os.path.join(folder, "a folder"))
        for name in NAMES[:-1]:
            with open(os.path.join(folder, name), "w") as f:
                f.write(name)
        with open(os.path.join(folder, "a folder", "inside.txt"), "w") as f:
            f.write("inside")
        return [os.path.join(folder, name) for name in NAMES]

    def queued_from(self, manager):
        """The queue's items among those chosen in `manager`'s folder."""
        text = self.profile.queue_file()
        folder = os.path.join(self.profile.home, "chosen", manager) + os.sep
        return {p for p in (plistlib.loads(text.encode()) if text else {}) if p.startswith(folder)}

    def assert_queued(self, manager, paths):
        app.wait_for(lambda: self.queued_from(manager) == set(paths))
        self.assertEqual(self.queued_from(manager), set(paths), self.out.read()[-2000:])

    def run_as_file_manager(self, argv):
        self.assertEqual(argv[:2], ["vantle", "--"])
        result = subprocess.run(argv, env=self.profile.env, cwd=self.profile.home,
                                capture_output=True, text=True, timeout=app.WAIT_S)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_dolphin(self):
        paths = self.chosen("dolphin")
        exec_line = key_file(DOLPHIN)["Desktop Action sendToPhone"]["Exec"]
        self.run_as_file_manager(desktop_entry_argv(exec_line, paths))
        self.assert_queued("dolphin", paths)

    def test_thunar(self):
        paths = self.chosen("thunar")
        self.run_as_file_manager(desktop_entry_argv(key_file(THUNAR)["Desktop Entry"]["Exec"],
                                                    paths))
        self.assert_queued("thunar", paths)

    def test_nemo(self):
        paths = self.chosen("nemo")
        self.run_as_file_manager(nemo_argv(key_file(NEMO)["Nemo Action"], paths))
        self.assert_queued("nemo", paths)

    def test_nautilus(self):
        paths = self.chosen("nautilus")
        _, extension = load_nautilus_extension()
        provider = extension["VantleSendToPhone"]()
        offers = {
            "a file": [paths[0]], "a folder": [paths[-1]], "a mix": paths,
            "an item with no local path": [None], "a mix with one": [paths[0], None],
        }
        started = []
        real_popen = subprocess.Popen

        def recorded(*args, **kwargs):
            started.append(real_popen(*args, **kwargs))
            return started[-1]

        # The file manager's environment is the profile's, where `vantle` is on the PATH, in
        # English whatever the language of the one running the test.
        with mock.patch.dict(os.environ, {**self.profile.env, "LANGUAGE": "en"}, clear=True), \
                mock.patch.object(extension["subprocess"], "Popen", recorded):
            self.assertEqual(provider.get_background_items(FileInfo(paths[0])), [])
            items = {what: provider.get_file_items([FileInfo(p) for p in chosen])
                     for what, chosen in offers.items()}
            for what in ("a file", "a folder", "a mix"):
                [item] = items[what]
                self.assertEqual(item.properties["label"], "Send to Phone", what)
                self.assertEqual(item.properties["icon"], ICON, what)
            self.assertEqual(items["an item with no local path"], [])
            self.assertEqual(items["a mix with one"], [])
            # Activated, it starts the real vantle, which hands the paths to the running one.
            items["a mix"][0].activate()
        try:
            [handing_over] = started
            self.assertEqual(handing_over.args, ["vantle", "--", *paths])
            self.assertEqual(handing_over.wait(app.WAIT_S), 0)
        finally:
            for process in started:
                if process.poll() is None:
                    process.kill()  # our own child, by its process id
                    process.wait(app.WAIT_S)
        self.assert_queued("nautilus", paths)


if __name__ == "__main__":
    unittest.main(verbosity=2)
