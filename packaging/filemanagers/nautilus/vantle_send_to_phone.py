"""Nautilus's "Send to Phone": adds the selected files and folders to Vantle's upload queue.

Loaded by nautilus-python (extension API 4.0). A running Vantle takes the paths from the `vantle`
started here; without one, that `vantle` starts with them in its queue."""
import shutil
import subprocess

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import GObject, Nautilus  # noqa: E402

PROGRAM = "vantle"
ICON = "invalid.vantle.Vantle"


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
        item = Nautilus.MenuItem(name="VantleSendToPhone::send", label="Send to Phone",
                                 tip="Add the selected items to Vantle's queue for the phone",
                                 icon=ICON)
        item.connect("activate", lambda _item, chosen=paths: send(chosen))
        return [item]

    def get_background_items(self, current_folder):
        return []
