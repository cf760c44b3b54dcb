# The cell server of the user's table workbooks: LibreOffice Calc, headless.
#
# Run as a program (python3 -I workbook_bridge.py SOFFICE WORKDIR, stdin and
# stdout one socket to the program), it starts SOFFICE with a private profile
# in WORKDIR, connects through UNO and creates this module's CellServer inside
# the office, which then serves the program on the same socket: every cell is
# reached in-process, one line per request. It then waits for the office and
# ends with it.
#
# Inside the office (loaded by the office's Python loader) it is the
# CellServer. Protocol, one line each way, fields separated by one blank:
#   -> "H torvik6-cells 1"           hello, when the server is ready
#   O PATH          open PATH hidden, read-only, macros never run, links not
#                   updated                              <- "K SHEETS" | "F WHY"
#   C               close the workbook without saving   <- "K"
#   R N (SHEET REF VALUE)xN M (SHEET REF)xM
#                   write N numbers, recalculate, read M cells
#                                                        <- "K TOKEN xM" | "F WHY"
#   G SHEET REF     read one cell                        <- "K TOKEN" | "F WHY"
#   Q               close and end the office
# A cell TOKEN is "E" (empty), "N" + number, "T" + text (bytes outside
# "!".."~" and "%" as %XX) or "X" + error code. Sheets count from 1.
import os
import re
import sys
import threading
import time

import uno
import unohelper
from com.sun.star.task import XJobExecutor

IMPLEMENTATION = "org.torvik6.CellServer"
CELL = re.compile(r"^[A-Z]{1,3}[1-9][0-9]{0,6}$")


def escape(text):
    out = []
    for b in text.encode("utf-8"):
        out.append(chr(b) if 0x21 <= b <= 0x7E and b != 0x25 else "%%%02X" % b)
    return "".join(out)


def prop(name, value):
    p = uno.createUnoStruct("com.sun.star.beans.PropertyValue")
    p.Name = name
    p.Value = value
    return p


class CellServer(unohelper.Base, XJobExecutor):
    def __init__(self, ctx):
        self.ctx = ctx
        self.doc = None
        self.cells = {}
        self.calculate = True

    def trigger(self, arg):
        fd = int(arg)
        threading.Thread(target=self.serve, args=(fd,), daemon=True).start()

    def cell(self, sheet, ref):
        key = (sheet, ref)
        c = self.cells.get(key)
        if c is None:
            if self.doc is None:
                raise RuntimeError("no workbook")
            n = int(sheet)
            if not CELL.match(ref) or n < 1 or n > self.doc.Sheets.getCount():
                raise RuntimeError("no cell " + sheet + " " + ref)
            c = self.doc.Sheets.getByIndex(n - 1).getCellRangeByName(ref)
            self.cells[key] = c
        return c

    def token(self, c):
        # One call for the common cases: a number, or a text that is not empty.
        try:
            v = c.getDataArray()[0][0]
        except Exception:
            return "X%d" % c.getError()
        if isinstance(v, float):
            return "N" + repr(v)
        if v:
            return "T" + escape(v)
        kind = c.getType().value
        if kind == "EMPTY":
            return "E"
        error = c.getError()
        return "X%d" % error if error else "T"

    def close(self):
        doc, self.doc = self.doc, None
        self.cells = {}
        if doc is not None:
            try:
                doc.setModified(False)
            except Exception:
                pass
            doc.close(True)

    def handle(self, line):
        f = line.split(" ")
        op = f[0]
        if op == "R":
            n = int(f[1])
            for i in range(n):
                self.cell(f[2 + 3 * i], f[3 + 3 * i]).setValue(float(f[4 + 3 * i]))
            if self.calculate:
                self.doc.calculate()
            at = 2 + 3 * n
            m = int(f[at])
            return "K" + "".join(" " + self.token(self.cell(f[at + 1 + 2 * i], f[at + 2 + 2 * i])) for i in range(m))
        if op == "G":
            return "K " + self.token(self.cell(f[1], f[2]))
        if op == "O":
            self.close()
            url = uno.systemPathToFileUrl(line[2:])
            desktop = self.ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
            never = uno.getConstantByName("com.sun.star.document.MacroExecMode.NEVER_EXECUTE")
            no_update = uno.getConstantByName("com.sun.star.document.UpdateDocMode.NO_UPDATE")
            doc = desktop.loadComponentFromURL(url, "_blank", 0, (
                prop("Hidden", True), prop("ReadOnly", True), prop("MacroExecutionMode", never),
                prop("UpdateDocMode", no_update), prop("Silent", True)))
            if doc is None or not hasattr(doc, "Sheets"):
                if doc is not None:
                    doc.close(True)
                return "F not a spreadsheet"
            self.doc = doc
            # With automatic calculation on, a formula cell is recalculated
            # when it is read; a workbook saved with it off is recalculated
            # explicitly.
            self.calculate = not doc.isAutomaticCalculationEnabled()
            return "K %d" % doc.Sheets.getCount()
        if op == "C":
            self.close()
            return "K"
        raise RuntimeError("unknown request")

    def serve(self, fd):
        reader = os.fdopen(fd, "rb")
        writer = os.fdopen(os.dup(fd), "wb")
        writer.write(b"H torvik6-cells 1\n")
        writer.flush()
        try:
            for raw in reader:
                line = raw.decode("utf-8", "replace").rstrip("\r\n")
                if line == "Q":
                    break
                try:
                    reply = self.handle(line)
                except Exception as e:
                    reply = "F " + escape(str(e) or type(e).__name__)
                writer.write(reply.encode("ascii") + b"\n")
                writer.flush()
        except Exception:
            pass
        try:
            self.close()
        except Exception:
            pass
        try:
            writer.close()
            reader.close()
        except Exception:
            pass
        try:
            desktop = self.ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
            desktop.terminate()
        except Exception:
            pass
        time.sleep(2)
        os._exit(0)


g_ImplementationHelper = unohelper.ImplementationHelper()
g_ImplementationHelper.addImplementation(CellServer, IMPLEMENTATION, (IMPLEMENTATION,))


def launch():
    soffice, work = sys.argv[1], sys.argv[2]
    out = os.fdopen(os.dup(1), "w")

    def fail(why):
        out.write("F " + escape(why) + "\n")
        out.flush()

    channel = os.dup(0)
    os.set_inheritable(channel, True)
    pipe = "torvik6_%d_%d" % (os.getpid(), int(time.time()))
    args = [soffice, "--headless", "--invisible", "--nologo", "--norestore", "--nodefault", "--nolockcheck",
            "--nofirststartwizard", "-env:UserInstallation=" + uno.systemPathToFileUrl(os.path.join(work, "profile")),
            "--accept=pipe,name=%s;urp;" % pipe]
    null = os.open(os.devnull, os.O_RDWR)

    def start():
        pid = os.fork()
        if pid == 0:
            try:
                os.dup2(null, 0)
                os.dup2(null, 1)
                os.dup2(null, 2)
                os.execv(soffice, args)
            finally:
                os._exit(127)
        return pid

    office = start()
    deadline = time.monotonic() + 60
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    ctx = None
    while ctx is None:
        try:
            ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            done, status = os.waitpid(office, os.WNOHANG)
            if done:
                # A new profile makes the office restart itself once (status 81).
                if os.WIFEXITED(status) and os.WEXITSTATUS(status) == 81:
                    office = start()
                    continue
                return fail("the office ended at its start")
            if time.monotonic() > deadline:
                os.kill(office, 9)
                return fail("the office did not answer")
            time.sleep(0.05)
    try:
        loader = ctx.ServiceManager.createInstanceWithContext("com.sun.star.loader.Python", ctx)
        factory = loader.activate(IMPLEMENTATION, "", uno.systemPathToFileUrl(os.path.abspath(__file__)), None)
        server = factory.createInstanceWithContext(ctx)
        server.trigger(str(channel))
    except Exception as e:
        os.kill(office, 9)
        return fail("the cell server did not start: " + str(e))
    # The office holds the channel now: it ends when the office ends.
    os.close(channel)
    out.close()
    sys.stdout = sys.stderr = open(os.devnull, "w")
    os.close(0)
    os.close(1)
    os.waitpid(office, 0)


if __name__ == "__main__":
    launch()
