#!/usr/bin/python3
"""Reads the Tallyhorn window as a screen reader does, over AT-SPI, and checks it:

    atspi_walk.py EXPECTED_TABLE_TEXT_FILE

The program must be running on the same display and accessibility bus. The named controls
and their roles are checked; the Calculate button is pressed through its accessible action;
then every cell of the APR table, headers included, must read as in EXPECTED_TABLE_TEXT_FILE
(the table part of `tallyhorn table --format text` for the same settings). File > Compare
Offers... must read as a table of figures (rows) by offers (columns) with their headers, its
fields named by offer. Prints what it read; exits 1 on the first difference."""
import re
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib


def fail(message):
    print('FAIL: ' + message)
    sys.exit(1)


def wait_for(what, find, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail('timed out waiting for ' + what)


def walk(node, depth=0):
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == 'tallyhorn':
            for j in range(app.childCount):
                window = app.getChildAtIndex(j)
                if window is not None and window.name.startswith('Tallyhorn, '):
                    return window
    return None


def main(expected_path):
    window = wait_for('the Tallyhorn window on the accessibility bus', application)
    nodes = list(walk(window))
    print('Read %d objects' % len(nodes))
    named = {}
    for node, depth in nodes:
        role = node.getRoleName()
        if role not in ('table cell', 'column header', 'row header'):
            print('%s%s "%s"' % ('  ' * depth, role, node.name))
        named.setdefault((role, node.name), node)

    expected = [
        ('text', 'Purchase Price'), ('text', 'Percent Down'), ('text', 'Term in Years'),
        ('text', 'Interest Rate'), ('text', 'Loan Amount'), ('text', 'Payment (P&I)'),
        ('text', 'Total Fixed Fees'), ('text', 'Down Payment'), ('text', 'APR'),
        ('text', 'Origination Fees'), ('text', 'Points'), ('text', 'Prepaid Interest'),
        ('text', 'Insurance Premiums'), ('text', 'Buydown Funds'), ('text', 'Flood Check Fee'),
        ('text', 'Tax Servicing Fee'), ('text', 'Other Fees'),
        ('push button', 'Print Preview'), ('push button', 'Printer Setup'),
        ('push button', 'Reset'), ('push button', 'Disclaimer'),
        ('push button', 'Check for Updates'), ('push button', 'Help'),
        ('push button', 'Calculate'), ('push button', 'AutoCalc Grid: OFF'),
        ('push button', 'Exit'), ('push button', 'Itemize Fixed Fees'),
        ('radio button', '1000'), ('table', 'APR Table'),
    ]
    for role, name in expected:
        if (role, name) not in named:
            fail('no %s named "%s"' % (role, name))
    # Every control a user operates has a name.
    for node, depth in nodes:
        if node.getRoleName() in ('push button', 'text', 'radio button', 'check box', 'menu item'):
            state = node.getState()
            if state.contains(pyatspi.STATE_SHOWING) and not node.name.strip():
                fail('an unnamed %s' % node.getRoleName())

    # Panels and groups inside the window are groupings, not frames (the role of windows);
    # names and descriptions carry no blanks that only space them on the screen.
    for node, depth in nodes:
        if depth > 0 and node.getRoleName() == 'frame':
            fail('a %s "%s" inside the window has the role of a window' %
                 (node.getRoleName(), node.name))
        for what, text in (('name', node.name), ('description', node.description)):
            if text != text.strip():
                fail('the %s of a %s starts or ends with a blank: "%s"' %
                     (what, node.getRoleName(), text))
    total = named.get(('text', 'Total'))
    if total is None or total.description != 'Total of the fixed fees entered':
        fail('the fees total is not read as its caption "Total" with what it totals')

    # The table is read-only, and the Calculate button fills it.
    table_node = named[('table', 'APR Table')]
    table = table_node.queryTable()
    calculate = named[('push button', 'Calculate')].queryAction()
    names = [calculate.getName(i) for i in range(calculate.nActions)]
    if 'Press' not in names and 'press' not in names:
        fail('the Calculate button offers no press action: %s' % names)
    # A cell read before the calculation announces its new text.
    announced = []
    watched = table.getAccessibleAt(5, 1)
    # The status line says once what was calculated, and for which loan.
    statuses = []
    def on_event(event):
        if event.source.getRoleName() == 'table cell':
            announced.append(event.source.name)
        elif event.source.getRoleName() == 'status bar':
            statuses.append(event.source.name)
    pyatspi.Registry.registerEventListener(on_event, 'object:property-change:accessible-name')
    calculate.doAction(names.index('Press') if 'Press' in names else names.index('press'))

    lines = [l for l in open(expected_path, encoding='utf-8').read().splitlines() if l.strip()]
    header_at = next(i for i, l in enumerate(lines) if l.startswith('Loan / Fees'))
    rows = [re.split(r'\s{2,}', l.strip()) for l in lines[header_at:]]

    def read_table():
        out = []
        first = [table_node.getChildAtIndex(0).name]
        first += [table.getColumnHeader(c).name for c in range(table.nColumns)]
        out.append(first)
        for r in range(table.nRows):
            out.append([table.getRowHeader(r).name] +
                       [table.getAccessibleAt(r, c).name for c in range(table.nColumns)])
        return out

    if (table.nRows + 1, table.nColumns + 1) != (len(rows), len(rows[0])):
        fail('the table has %d x %d cells, the command %d x %d' %
             (table.nRows, table.nColumns, len(rows) - 1, len(rows[0]) - 1))
    got = wait_for('the table to fill', lambda: (lambda t: t if t == rows else None)(read_table()))
    for row in got:
        print(' | '.join(row))
    context = GLib.MainContext.default()
    wait_for('the table cell to announce its text',
             lambda: context.iteration(False) and False or watched.name in announced)
    print('Announced: the cell in row 6, column 2 now reads "%s"' % watched.name)
    wanted = 'APR table calculated for a loan of %s' % rows[6][0]
    wait_for('the status line to announce the calculation',
             lambda: context.iteration(False) and False or
             any(s.startswith(wanted) for s in statuses))
    print('Announced: status bar "%s"' % statuses[-1])
    # A reader reads the table rather than skipping it as disabled.
    state = table_node.getState()
    if not (state.contains(pyatspi.STATE_ENABLED) and state.contains(pyatspi.STATE_SENSITIVE)):
        fail('the table is not enabled to a reader')
    cell = table.getAccessibleAt(0, 0)
    if cell.getRoleName() != 'table cell' or not cell.getState().contains(pyatspi.STATE_READ_ONLY):
        fail('a cell is not a read-only table cell: %s' % cell.getRoleName())
    if not table_node.getState().contains(pyatspi.STATE_READ_ONLY):
        fail('the table is not marked read-only')
    if table.getColumnDescription(0) != rows[0][1] or table.getRowDescription(0) != rows[1][0]:
        fail('the header descriptions differ')
    # The splash, once hidden after its five seconds, is no longer listed.
    app = window.parent
    wait_for('the hidden splash to leave the tree', lambda: all(
        app.getChildAtIndex(i) is None or app.getChildAtIndex(i).name != 'Tallyhorn'
        for i in range(app.childCount)), seconds=15)
    print('OK: %d named controls, a %d x %d table with its headers' %
          (len(expected), table.nRows, table.nColumns))
    check_compare_offers(window)


def check_compare_offers(window):
    """File > Compare Offers...: two offers of the window's loan, read as a table."""
    app = window.parent
    item = next((n for n, _ in walk(window)
                 if n.getRoleName() == 'menu item' and n.name == 'Compare Offers...'), None)
    if item is None:
        fail('no menu item "Compare Offers..."')
    # The command answers only when its modal dialog closes: the call is left to time out.
    Atspi.set_timeout(1000, 15000)
    try:
        item.queryAction().doAction(0)
    except Exception:
        pass
    finally:
        Atspi.set_timeout(25000, 60000)

    def dialog():
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and w.name == 'Compare Offers' and \
                    w.getState().contains(pyatspi.STATE_VISIBLE):
                return w
        return None
    offers = wait_for('the Compare Offers dialog', dialog)
    nodes = [n for n, _ in walk(offers)]
    for offer in (1, 2):
        for field in ('Loan Amount', 'Term in Years', 'Note Rate', 'Points',
                      'Other Prepaid Finance Charges', 'Other Loan Costs', 'Mortgage Insurance',
                      'Mortgage Insurance Payments'):
            name = 'Offer %d, %s' % (offer, field)
            if not any(n.getRoleName() == 'text' and n.name == name for n in nodes):
                fail('Compare Offers: no field named "%s"' % name)
    table_node = next((n for n in nodes if n.getRoleName() == 'table'), None)
    if table_node is None or table_node.name != 'Figures of the offers':
        fail('Compare Offers: the figures are not a table named "Figures of the offers"')
    table = table_node.queryTable()
    columns = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    if columns != ['Figure', 'Offer 1', 'Offer 2', 'Lowest']:
        fail('Compare Offers: the column headers read %s' % columns)
    rows = [table.getRowHeader(r).name for r in range(table.nRows)]
    for wanted in ('Monthly Principal & Interest', 'Annual Percentage Rate (APR)',
                   'Total Interest Percentage (TIP)', 'In 5 Years: Total Paid',
                   'In 5 Years: Principal Paid Off'):
        if wanted not in rows:
            fail('Compare Offers: no row header "%s" in %s' % (wanted, rows))
    apr = rows.index('Annual Percentage Rate (APR)')
    # The row reads whole with its figure's caption first.
    if table.getAccessibleAt(apr, 0).name != 'Annual Percentage Rate (APR)':
        fail('Compare Offers: the APR row does not begin with its caption')
    for c in range(2):
        cell = table.getAccessibleAt(apr, c + 1)
        if not re.fullmatch(r'\d+\.\d{3}%', cell.name):
            fail('Compare Offers: the APR of offer %d reads "%s"' % (c + 1, cell.name))
    print('Compare Offers: %d figures x %s; APRs %s, %s' %
          (table.nRows, columns, table.getAccessibleAt(apr, 1).name,
           table.getAccessibleAt(apr, 2).name))
    close = next((n for n in nodes if n.getRoleName() == 'push button' and n.name == 'Close'),
                 None)
    if close is None:
        fail('Compare Offers: no Close button')
    close.queryAction().doAction(0)
    wait_for('the Compare Offers dialog to close', lambda: dialog() is None)


if __name__ == '__main__':
    main(sys.argv[1])
