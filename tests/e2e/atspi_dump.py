#!/usr/bin/env python3
"""Prints the accessible tree of one application as a screen reader sees it over AT-SPI:
one line a node, indented by depth: role, "name", [description], the start of a text's
content, and "focused" for the node with the keyboard focus.  atspi_dump.py APP-NAME"""
import sys
import time

import pyatspi


def find_app(name):
    for _ in range(50):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    sys.exit(f"no application {name!r} on the accessibility bus")


def dump(node, depth, out, budget=[3000]):
    budget[0] -= 1
    if budget[0] < 0 or node is None:
        return
    states = node.getState()
    line = f"{'  ' * depth}{node.getRoleName()} \"{node.name}\""
    if node.description:
        line += f" [{node.description}]"
    if node.getRoleName() == "text":
        try:
            text = node.queryText()
            line += " text=" + repr(text.getText(0, min(text.characterCount, 80)))
        except NotImplementedError:
            pass
    if states.contains(pyatspi.STATE_FOCUSED):
        line += " focused"
    out.append(line)
    for child in node:
        dump(child, depth + 1, out)


out = []
dump(find_app(sys.argv[1]), 0, out)
print("\n".join(out))
