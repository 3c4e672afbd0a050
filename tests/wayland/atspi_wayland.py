#!/usr/bin/python3
"""Drives and reads Tallyhorn on a Wayland desktop over AT-SPI, as a screen reader user would:

    atspi_wayland.py WORK_FOLDER

WORK_FOLDER holds table.txt and schedule.txt, what `tallyhorn table --price 250000` and
`tallyhorn schedule --price 250000` write. The price is set through the field's editable-text
interface and Calculate pressed through its action; the table must then read as table.txt.
File > Loan Summary... must show the figures of schedule.txt; Help > About... must show the
program's name and close with its OK button. Prints what it read; exits 1 on a difference."""
import os
import re
import sys
import time

import pyatspi
from gi.repository import Atspi

# The X11 walk's helpers: fail, wait for a condition, walk a tree (node, depth).
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'accessibility'))
from atspi_walk import fail, wait_for, walk  # noqa: E402


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == 'tallyhorn':
            return app
    return None


def top_level(app, starts):
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and window.name.startswith(starts) and \
                window.getState().contains(pyatspi.STATE_VISIBLE):
            return window
    return None


def find(window, role, name):
    for node, _ in walk(window):
        if node.getRoleName() == role and node.name == name:
            return node
    fail('no %s named "%s" in "%s"' % (role, name, window.name))


def press(node, modal=False):
    """Presses through the node's first action. A command that opens a modal dialog answers
    only when the dialog closes, so then the call is left to time out while the dialog runs."""
    action = node.queryAction()
    if modal:
        Atspi.set_timeout(1000, 15000)
    try:
        action.doAction(0)
    except Exception:
        if not modal:
            raise
    finally:
        Atspi.set_timeout(25000, 60000)


def figures(window):
    """The dialog's figures: each caption label ("Loan Amount:") with the label after it."""
    labels = [n.name for n, _ in walk(window) if n.getRoleName() == 'label']
    return {labels[i][:-1]: labels[i + 1] for i in range(len(labels) - 1)
            if labels[i].endswith(':') and not labels[i + 1].endswith(':')}


def main(work):
    app = wait_for('the program on the accessibility bus', application)
    window = wait_for('the Tallyhorn window', lambda: top_level(app, 'Tallyhorn, '))
    print('Window: "%s"' % window.name)

    # The price through the editable-text interface, then Calculate through its action.
    price = find(window, 'text', 'Purchase Price')
    price.queryEditableText().setTextContents('250000')
    press(find(window, 'push button', 'Calculate'))
    lines = [l for l in open(os.path.join(work, 'table.txt'), encoding='utf-8')
             .read().splitlines() if l.strip()]
    header_at = next(i for i, l in enumerate(lines) if l.startswith('Loan / Fees'))
    rows = [re.split(r'\s{2,}', l.strip()) for l in lines[header_at:]]
    table_node = find(window, 'table', 'APR Table')
    table = table_node.queryTable()

    def read_table():
        out = [[table_node.getChildAtIndex(0).name] +
               [table.getColumnHeader(c).name for c in range(table.nColumns)]]
        for r in range(table.nRows):
            out.append([table.getRowHeader(r).name] +
                       [table.getAccessibleAt(r, c).name for c in range(table.nColumns)])
        return out

    got = wait_for('the table of the price set', lambda: read_table() == rows and rows)
    print('Table: %d rows, row 6 "%s"' % (len(got) - 1, ' | '.join(read_table()[6])))
    loan = find(window, 'text', 'Loan Amount').queryText()
    print('Loan Amount field: %s' % loan.getText(0, -1))

    # File > Loan Summary...: the figures of the schedule command for the same loan.
    expected = {}
    for line in open(os.path.join(work, 'schedule.txt'), encoding='utf-8'):
        if line.startswith('No.'):
            break
        m = re.match(r'(\S.*?)\s{2,}(\S+)$', line.rstrip())
        if m:
            expected[m.group(1)] = m.group(2)
    press(find(window, 'menu item', 'Loan Summary...'), modal=True)
    summary = wait_for('the Loan Summary', lambda: top_level(app, 'Loan Summary'))
    shown = wait_for('its figures', lambda: figures(summary) or None)
    for caption, value in expected.items():
        if shown.get(caption) != value:
            fail('Loan Summary: %s reads "%s", the command says "%s"' %
                 (caption, shown.get(caption), value))
    print('Loan Summary: %d figures as the command gives them' % len(expected))
    press(find(summary, 'push button', 'Close'))
    wait_for('the Loan Summary to close', lambda: not top_level(app, 'Loan Summary'))

    # Help > About...: the program's name, closed with its OK button.
    press(find(window, 'menu item', 'About...'), modal=True)
    about = wait_for('the About box', lambda: top_level(app, 'About Tallyhorn'))
    texts = [n.name for n, _ in walk(about) if n.getRoleName() == 'label']
    if not any('Tallyhorn' in t or 'Velmora' in t for t in texts):
        fail('About shows no text naming the program: %s' % texts)
    print('About: "%s"' % about.name)
    press(find(about, 'push button', 'OK'))
    wait_for('About to close', lambda: not top_level(app, 'About Tallyhorn'))
    print('OK: price set, table calculated, Loan Summary and About read on Wayland')


if __name__ == '__main__':
    main(sys.argv[1])
