#!/usr/bin/python3
"""Pastes the clipboard into a new LibreOffice Writer document and reports what arrived.

Connects to a running soffice started with
  --accept="socket,host=127.0.0.1,port=PORT;urp;"
dispatches Paste, prints the font name, height and weight of the pasted text and the code of
every character, and stores the document as PDF at the path given as the first argument.
PORT is the second argument, 2002 when it is left out.
"""
import sys
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def connect(port):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(60):
        try:
            return resolver.resolve("uno:socket,host=127.0.0.1,port=%d;urp;StarOffice.ComponentContext" % port)
        except Exception:
            time.sleep(1)
    sys.exit("soffice did not answer")


def main():
    pdf = sys.argv[1]
    ctx = connect(int(sys.argv[2]) if len(sys.argv) > 2 else 2002)
    smgr = ctx.ServiceManager
    desktop = smgr.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL("private:factory/swriter", "_blank", 0, ())
    frame = doc.getCurrentController().getFrame()
    helper = smgr.createInstanceWithContext("com.sun.star.frame.DispatchHelper", ctx)
    helper.executeDispatch(frame, ".uno:Paste", "", 0, ())
    time.sleep(1)

    text = doc.getText()
    cursor = text.createTextCursor()
    cursor.gotoStart(False)
    cursor.gotoEnd(True)
    content = cursor.getString()
    print("text:", " ".join("%04X" % ord(c) for c in content))
    cursor.gotoStart(False)
    cursor.goRight(1, True)
    print("font:", cursor.CharFontName, "| height:", cursor.CharHeight, "| weight:", cursor.CharWeight,
          "| posture:", cursor.CharPosture.value)
    doc.storeToURL(uno.systemPathToFileUrl(pdf), (prop("FilterName", "writer_pdf_Export"),))
    doc.close(True)


if __name__ == "__main__":
    main()
