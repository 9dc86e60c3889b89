#!/usr/bin/python3
"""Times LibreOffice Calc's hard recalculation (calculateAll) of the sheets the formula
benchmark recalculates: a dependency chain (A1 = 1, A(i) = A(i-1) + 1, i = 2..CELLS) and a
fan-out (A1 = 1, B(i) = A1 * 2 + i, i = 1..CELLS), after A1 changes. Prints one line per sheet
and size:
    chain|fanout CELLS SECONDS
The sheets are written as flat OpenDocument files and loaded by a Basic macro run in a private
headless soffice with a throw-away profile, so no UNO bridge is needed and a million cells load
as fast as Calc reads a file. SECONDS is the mean of as many recalculations as fit in half a
second (at least three); the last cell's value is checked. Exit code 77 when soffice is missing."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

HEADER = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Sheet1">
<table:table-column table:number-columns-repeated="2"/>
"""
FOOTER = "</table:table></office:spreadsheet></office:body></office:document>\n"
NUMBER = '<table:table-cell office:value-type="float" office:value="1"/>'

MACRO = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1"
 script:language="StarBasic">
Sub Bench(listFile As String)
    Dim jobs(0) As String
    Dim count As Long, f As Integer, line As String
    f = FreeFile
    Open listFile For Input As #f
    Do While Not EOF(f)
        Line Input #f, line
        If Len(line) &gt; 0 Then
            ReDim Preserve jobs(count)
            jobs(count) = line
            count = count + 1
        End If
    Loop
    Close #f
    Dim hidden(0) As New com.sun.star.beans.PropertyValue
    hidden(0).Name = "Hidden"
    hidden(0).Value = True
    Dim i As Long
    For i = 0 To count - 1
        Dim parts
        parts = Split(jobs(i), " ")
        Dim doc As Object
        doc = StarDesktop.loadComponentFromURL(ConvertToURL(parts(2)), "_blank", 0, hidden())
        doc.calculateAll()
        doc.Sheets.getByIndex(0).getCellByPosition(0, 0).setValue(2)
        Dim start As Long, runs As Long
        runs = 0
        start = GetSystemTicks()
        Do
            doc.calculateAll()
            runs = runs + 1
        Loop While runs &lt; 3 Or GetSystemTicks() - start &lt; 500
        Dim micros As Double, last As Long, column As Long
        micros = (GetSystemTicks() - start) * 1000.0 / runs
        column = IIf(parts(0) = "fanout", 1, 0)
        last = CLng(doc.Sheets.getByIndex(0).getCellByPosition(column, CLng(parts(1)) - 1).getValue())
        doc.close(True)
        f = FreeFile
        Open listFile &amp; ".out" For Append As #f
        Print #f, parts(0) &amp; " " &amp; parts(1) &amp; " " &amp; CStr(CLng(micros)) &amp; " " &amp; CStr(last)
        Close #f
    Next i
    StarDesktop.terminate()
End Sub
</script:module>
"""


def write_sheet(path, cells, fanout):
    with open(path, "w") as out:
        out.write(HEADER)
        if fanout:
            out.write("<table:table-row>%s<table:table-cell table:formula="
                      '"of:=[.A1]*2+1"/></table:table-row>\n' % NUMBER)
            for row in range(2, cells + 1):
                out.write('<table:table-row><table:table-cell/><table:table-cell '
                          'table:formula="of:=[.A1]*2+%d"/></table:table-row>\n' % row)
        else:
            out.write("<table:table-row>%s</table:table-row>\n" % NUMBER)
            for row in range(2, cells + 1):
                out.write('<table:table-row><table:table-cell table:formula='
                          '"of:=[.A%d]+1"/></table:table-row>\n' % (row - 1))
        out.write(FOOTER)


def run_office(profile, args, timeout):
    office = subprocess.Popen(
        ["soffice", "--headless", "--invisible", "--norestore", "--nologo", "--nodefault",
         "-env:UserInstallation=file://" + profile] + args,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        office.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(office.pid, signal.SIGKILL)
        office.wait()
        return False
    return True


def main():
    if shutil.which("soffice") is None:
        print("soffice missing", file=sys.stderr)
        sys.exit(77)
    sizes = [int(a) for a in sys.argv[1:]] or [10000, 100000]
    work = tempfile.mkdtemp(prefix="ixo-lo-")
    try:
        profile = os.path.join(work, "profile")
        # The first start creates the profile with its Basic library "Standard".
        if not run_office(profile, ["--terminate_after_init"], 120):
            print("soffice did not start", file=sys.stderr)
            sys.exit(77)
        module = os.path.join(profile, "user", "basic", "Standard", "Module1.xba")
        if not os.path.exists(module):
            print("soffice made no Basic library in its profile", file=sys.stderr)
            sys.exit(77)
        with open(module, "w") as out:
            out.write(MACRO)
        jobs = os.path.join(work, "jobs.txt")
        with open(jobs, "w") as out:
            for cells in sizes:
                for name, fanout in (("chain", False), ("fanout", True)):
                    path = os.path.join(work, "%s-%d.fods" % (name, cells))
                    write_sheet(path, cells, fanout)
                    out.write("%s %d %s\n" % (name, cells, path))
        finished = run_office(profile, ['macro:///Standard.Module1.Bench("%s")' % jobs],
                              60 + sum(sizes) // 2000)
        results = jobs + ".out"
        if os.path.exists(results):
            with open(results) as lines:
                for line in lines:
                    name, cells, micros, last = line.split()
                    # The last cell after A1 became 2: the chain counts up to it, the fan-out
                    # adds its row to A1 * 2.
                    want = int(cells) + 1 if name == "chain" else int(cells) + 4
                    if int(last) != want:
                        print("%s %s: Calc gave %s, not %d" % (name, cells, last, want),
                              file=sys.stderr)
                    print("%s %s %.6f" % (name, cells, int(micros) / 1e6), flush=True)
        if not finished:
            print("soffice did not finish in time", file=sys.stderr)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
