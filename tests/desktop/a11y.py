#!/usr/bin/python3
"""What a screen reader hears of a program, through the accessibility bus (AT-SPI).

  a11y.py tree APP           every object of the program's windows: role, name, description,
                             tab-separated, one a line; a text object's text follows on a
                             line of its own after three tabs
  a11y.py focus APP SECONDS  the role and name of each object of the program that takes the
                             focus within SECONDS, in order: a menu's entries as they are chosen
  a11y.py english TS CONTEXT SOURCE   the translation of one text in a Qt Linguist file
"""
import sys
import xml.etree.ElementTree as ElementTree


def program(name):
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    sys.exit("a11y.py: %s is not on the accessibility bus" % name)


def tree(node, lines):
    lines.append("\t".join([node.getRoleName(), node.name, node.description]))
    try:
        lines.append("\t\t\t" + node.queryText().getText(0, -1).replace("\n", " "))
    except NotImplementedError:
        pass
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            tree(child, lines)


def focus(name, seconds):
    import pyatspi
    from gi.repository import GLib

    def focused(event):
        if event.detail1 and event.source.getApplication().name == name:
            print("%s\t%s" % (event.source.getRoleName(), event.source.name), flush=True)

    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    print("listening", flush=True)
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()


def english(ts, context, source):
    for element in ElementTree.parse(ts).getroot().iter("context"):
        if element.findtext("name") == context:
            for message in element.iter("message"):
                if message.findtext("source") == source:
                    return message.findtext("translation")
    sys.exit("a11y.py: no translation of %r in %s" % (source, context))


if __name__ == "__main__":
    if sys.argv[1] == "tree":
        lines = []
        tree(program(sys.argv[2]), lines)
        print("\n".join(lines))
    elif sys.argv[1] == "focus":
        focus(sys.argv[2], float(sys.argv[3]))
    else:
        print(english(*sys.argv[2:5]))
