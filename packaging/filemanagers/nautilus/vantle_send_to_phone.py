"""Nautilus's "Send to Phone": adds the selected files and folders to Vantle's upload queue.

Loaded by nautilus-python (extension API 4.0). A running Vantle takes the paths from the `vantle`
started here; without one, that `vantle` starts with them in its queue."""
import os
import shutil
import subprocess

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import GObject, Nautilus  # noqa: E402

PROGRAM = "vantle"
ICON = "invalid.vantle.Vantle"
# Nautilus reads no key file, so its words live here: the same as the other entries'.
LABEL = "Send to Phone"
TIP = "Add the selected items to Vantle's queue for the phone"
WORDS = {
    "en": (LABEL, TIP),
    "de": ("An das Telefon senden",
           "Die ausgewählten Elemente zur Warteschlange von Vantle für das Telefon hinzufügen"),
    "fr": ("Envoyer au téléphone",
           "Ajouter les éléments sélectionnés à la file d’attente de Vantle pour le téléphone"),
    "es": ("Enviar al teléfono",
           "Añadir los elementos seleccionados a la cola de Vantle para el teléfono"),
    "pt_BR": ("Enviar para o celular",
              "Adicionar os itens selecionados à fila do Vantle para o celular"),
}


def words():
    """The label and tip in the user's language, looked up as gettext does: the LANGUAGE list
    first, then the first of LC_ALL, LC_MESSAGES and LANG that is set; "de_AT.UTF-8" finds "de"."""
    wanted = os.environ.get("LANGUAGE", "").split(":")
    wanted.append(next((os.environ[name] for name in ("LC_ALL", "LC_MESSAGES", "LANG")
                        if os.environ.get(name)), ""))
    for name in wanted:
        name = name.split(".")[0].split("@")[0]
        for candidate in (name, name.split("_")[0]):
            if candidate in WORDS:
                return WORDS[candidate]
    return WORDS["en"]


def local_paths(files):
    """The selection's paths, or None when an item has no local path (a phone, a share, the
    trash): Vantle sends only what this computer holds."""
    paths = []
    for info in files:
        location = info.get_location()
        path = location.get_path() if location is not None else None
        if not path:
            return None
        paths.append(path)
    return paths or None


def send(paths):
    # An argument list, no shell: any name arrives as it is. "--" ends the options, so a name
    # that starts with "-" is a file. Not waited for: the hand-over must not hold up the window;
    # Python's subprocess collects the ended child on a later start.
    subprocess.Popen([PROGRAM, "--", *paths], stdin=subprocess.DEVNULL,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                     start_new_session=True)


class VantleSendToPhone(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        paths = local_paths(files)
        if paths is None or shutil.which(PROGRAM) is None:
            return []
        label, tip = words()
        item = Nautilus.MenuItem(name="VantleSendToPhone::send", label=label, tip=tip, icon=ICON)
        item.connect("activate", lambda _item, chosen=paths: send(chosen))
        return [item]

    def get_background_items(self, current_folder):
        return []
