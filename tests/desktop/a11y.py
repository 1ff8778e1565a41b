#!/usr/bin/python3
# What a screen reader hears of a program, through the accessibility bus (AT-SPI):
#   a11y.py tree APP           role, name and description of every object, tab-separated, one a
#                              line; a text object's text follows on a line of its own
#   a11y.py focus APP SECONDS  role and name of each object that takes the focus, in order
# and the English of a text: a11y.py english TS CONTEXT SOURCE
import sys
import xml.etree.ElementTree as ElementTree


def tree(node):
    yield "\t".join([node.getRoleName(), node.name, node.description])
    try:
        yield "\t\t\t" + node.queryText().getText(0, -1).replace("\n", " ")
    except NotImplementedError:
        pass
    for child in node:
        if child is not None:
            yield from tree(child)


def focused(event):
    if event.detail1 and event.source.getApplication().name == sys.argv[2]:
        print("%s\t%s" % (event.source.getRoleName(), event.source.name), flush=True)


if sys.argv[1] == "english":
    path = "context[name='%s']/message[source='%s']/translation" % tuple(sys.argv[3:5])
    print(ElementTree.parse(sys.argv[2]).getroot().find(path).text)
    sys.exit()
import pyatspi  # noqa: E402 (not needed for the above)
from gi.repository import GLib  # noqa: E402
if sys.argv[1] == "tree":
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == sys.argv[2]:
            sys.exit(print("\n".join(tree(app))))
    sys.exit("%s is not on the accessibility bus" % sys.argv[2])
pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
print("listening", flush=True)
GLib.timeout_add(int(float(sys.argv[3]) * 1000), pyatspi.Registry.stop)
pyatspi.Registry.start()
