#!/usr/bin/python3
# A drag source of another toolkit: a small GTK window at a known place that
# offers one file as a uri-list when dragged, as a file manager does.
# Usage: drag_source.py FILE
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

uri = GLib.filename_to_uri(sys.argv[1], None)
window = Gtk.Window(title="drag-source")
window.set_default_size(200, 120)
window.move(640, 100)
box = Gtk.EventBox()
box.add(Gtk.Label(label="drag me"))
window.add(box)
box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
box.drag_source_add_uri_targets()
box.connect("drag-data-get", lambda w, ctx, data, info, time: data.set_uris([uri]))
window.connect("destroy", Gtk.main_quit)
window.show_all()
GLib.timeout_add_seconds(120, Gtk.main_quit)
Gtk.main()
