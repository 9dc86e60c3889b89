#!/usr/bin/python3
"""Times LibreOffice Calc's hard recalculation (calculateAll) of the sheets the formula
benchmark recalculates: a dependency chain (A1 = 1, A(i) = A(i-1) + 1) and a fan-out
(A1 = 1, B(i) = A1 * 2 + i), after A1 changes. Prints one line per sheet and size:
    chain|fanout CELLS SECONDS
Runs a private headless soffice with a throw-away profile. Exit code 77 when soffice or the
Python UNO bridge is missing."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import uno
    from com.sun.star.beans import PropertyValue
except ImportError:
    print("python3-uno missing", file=sys.stderr)
    sys.exit(77)

if shutil.which("soffice") is None:
    print("soffice missing", file=sys.stderr)
    sys.exit(77)


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.time() + 120
    while True:
        try:
            return resolver.resolve(
                "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            if time.time() > deadline:
                raise
            time.sleep(0.5)


def timed_recalc(desktop, cells, fanout):
    hidden = PropertyValue()
    hidden.Name, hidden.Value = "Hidden", True
    doc = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (hidden,))
    try:
        sheet = doc.Sheets.getByIndex(0)
        sheet.getCellRangeByName("A1").setValue(1)
        if fanout:
            formulas = tuple(("=A1*2+%d" % row,) for row in range(1, cells + 1))
            sheet.getCellRangeByName("B1:B%d" % cells).setFormulaArray(formulas)
        else:
            formulas = tuple(("=A%d+1" % (row - 1),) for row in range(2, cells + 1))
            sheet.getCellRangeByName("A2:A%d" % cells).setFormulaArray(formulas)
        doc.calculateAll()
        sheet.getCellRangeByName("A1").setValue(2)
        best = None
        for _ in range(3):
            start = time.perf_counter()
            doc.calculateAll()
            elapsed = time.perf_counter() - start
            best = elapsed if best is None else min(best, elapsed)
        return best
    finally:
        doc.close(True)


def main():
    sizes = [int(a) for a in sys.argv[1:]] or [10000, 100000]
    profile = tempfile.mkdtemp(prefix="ixo-lo-")
    pipe = "ixobench%d" % os.getpid()
    office = subprocess.Popen(
        ["soffice", "--headless", "--invisible", "--norestore", "--nologo",
         "--nodefault", "-env:UserInstallation=file://" + profile,
         "--accept=pipe,name=%s;urp;" % pipe],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        context = connect(pipe)
        desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        for cells in sizes:
            for name, fanout in (("chain", False), ("fanout", True)):
                print("%s %d %.6f" % (name, cells, timed_recalc(desktop, cells, fanout)),
                      flush=True)
        try:
            desktop.terminate()
        except Exception:
            pass
    finally:
        try:
            office.wait(timeout=20)
        except subprocess.TimeoutExpired:
            office.kill()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
