#!/usr/bin/python3
# What a screen reader hears of a program (AT-SPI), and the English of a text in a .ts file:
#   a11y.py tree APP | focus APP SECONDS | english TS CONTEXT SOURCE
import sys
import xml.etree.ElementTree as ElementTree


def tree(node):
    yield "\t".join([node.getRoleName(), node.name, node.description])
    try:
        yield "\t\t\t" + node.queryText().getText(0, -1).replace("\n", " ")
    except NotImplementedError:
        pass
    for child in filter(None, node):
        yield from tree(child)


def focused(event):
    if event.detail1 and event.source.getApplication().name == sys.argv[2]:
        print("%s\t%s" % (event.source.getRoleName(), event.source.name), flush=True)


if sys.argv[1] == "english":
    path = "context[name='%s']/message[source='%s']/translation" % tuple(sys.argv[3:5])
    sys.exit(print(ElementTree.parse(sys.argv[2]).find(path).text))
import pyatspi  # noqa: E402, the accessibility bus is needed from here on
if sys.argv[1] == "tree":
    apps = [app for app in pyatspi.Registry.getDesktop(0) if app and app.name == sys.argv[2]]
    sys.exit(print("\n".join(tree(apps[0]))) if apps else "%s is not on the bus" % sys.argv[2])
from gi.repository import GLib  # noqa: E402
pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
print("listening", flush=True)
GLib.timeout_add(int(float(sys.argv[3]) * 1000), pyatspi.Registry.stop)
pyatspi.Registry.start()
