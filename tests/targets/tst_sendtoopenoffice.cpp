#include "scriptedbridge.h"
#include "targets/automationroutines.h"

#include <QTest>

using namespace Sprelio;
using namespace Sprelio::Testing;

using Log = std::vector<std::string>;
Q_DECLARE_METATYPE(Log)

namespace {

enum class Document { Text, Sheet, Drawing };

// An office with one document of the given kind, as far as the routine asks it.
std::shared_ptr<Script> office(Document kind)
{
    auto script = std::make_shared<Script>();
    script->answers = {
        {"create com.sun.star.ServiceManager", "@SM"},
        {"SM.createInstance(\"com.sun.star.frame.Desktop\")", "@Desktop"},
        {"SM.CreateInstance(\"com.sun.star.frame.DispatchHelper\")", "@Disp"},
        {"Desktop.getCurrentComponent", "@Doc"},
        {"Desktop.CurrentComponent", "@Doc"},
        {"Doc.getCurrentcontroller", "@Ctrl"},
        {"Doc.CurrentController", "@Ctrl"},
        {"Doc.getCurrentController", "@Ctrl"},
        {"Disp.executeDispatch", AutomationValue()},
    };
    if (kind == Document::Text) {
        script->answers.insert({
            {"Ctrl.getViewCursor", "@VC"},
            // A height that rounds to the even neighbour.
            {"VC.GetPropertyValue(\"CharHeight\")", 14.5},
            {"VC.GetPropertyValue(\"CharFontName\")", std::string("Liberation Serif")},
            {"VC.GetPropertyValue(\"CharWeight\")", 150.0},
            {"VC.GetPropertyValue(\"CharPosture\")", std::int32_t{2}},
            {"VC.SetPropertyValue", AutomationValue()},
            {"VC.CharFontName", AutomationValue()},
            {"VC.CharFontCharSet", AutomationValue()},
            {"VC.CharWeight", AutomationValue()},
            {"VC.CharPosture", AutomationValue()},
            {"VC.goLeft", AutomationValue()},
            {"VC.collapseToEnd", AutomationValue()},
            {"VC.getText", "@T"},
            {"T.InsertString", AutomationValue()},
        });
    }
    if (kind == Document::Sheet) {
        script->answers.insert({
            {"Ctrl.getActiveSheet", "@Sheet"},
            {"Doc.getCurrentSelection", "@Sel"},
            {"Sel.getCellByPosition(0, 0)", "@First"},
            {"First.getCellAddress", "@Address"},
            {"Address.Row", std::int32_t{4}},
            {"Address.Column", std::int32_t{2}},
            {"Sheet.getCellByPosition(&2, &4)", "@Cell"},
            {"Cell.GetPropertyValue(\"CharHeight\")", 10.5},
            {"Cell.setString", AutomationValue()},
            {"Cell.CharFontName", AutomationValue()},
            {"Cell.CharFontCharSet", AutomationValue()},
            {"Cell.CharWeight", AutomationValue()},
            {"Cell.CharPosture", AutomationValue()},
        });
    }
    return script;
}

const Log Opening{
    "create com.sun.star.ServiceManager",
    "get SM.createInstance(\"com.sun.star.frame.Desktop\")",
    "get Desktop.getCurrentComponent()",
    "get Doc.getCurrentcontroller()",
    "get SM.CreateInstance(\"com.sun.star.frame.DispatchHelper\")",
    "get Desktop.CurrentComponent()",
    "get Doc.CurrentController()",
    "get Ctrl.getViewCursor()",
};
// "t\x83s" as the office holds it in a symbol face: U+F074 U+F083 U+F073, in UTF-8.
const std::string SymbolText = "\"\xEF\x81\xB4\xEF\x82\x83\xEF\x81\xB3\"";
const std::string Paste = "call Disp.executeDispatch(&Ctrl, \".uno:Paste\", \"\", 0, [])";

Log opening(Log rest)
{
    Log log = Opening;
    log.insert(log.end(), rest.begin(), rest.end());
    return log;
}

const Log TextPath = opening({
    "get VC.GetPropertyValue(\"CharHeight\")",
    "get VC.GetPropertyValue(\"CharFontName\")",
    "get VC.GetPropertyValue(\"CharWeight\")",
    "get VC.GetPropertyValue(\"CharPosture\")",
    "CopyEditToClipboard(14)",
    "get VC.getText()",
    "call T.InsertString(&VC, " + SymbolText + ", true)",
    "call VC.collapseToEnd()",
    "call VC.goLeft(3, true)",
    "put VC.CharFontName(\"Lautbild Serif\")",
    "put VC.CharFontCharSet(2)",
    "put VC.CharWeight(150.000000)",
    "put VC.CharPosture(2)",
    "call VC.collapseToEnd()",
    "call VC.SetPropertyValue(\"CharFontName\", &\"Liberation Serif\")",
    "call VC.SetPropertyValue(\"CharWeight\", &150.000000)",
    "call VC.SetPropertyValue(\"CharPosture\", &2)",
    "call T.InsertString(&VC, \" \", false)",
});
const Log SheetPath = opening({
    "get Doc.getCurrentController()",
    "get Ctrl.getActiveSheet()",
    "get Doc.getCurrentSelection()",
    "get Sel.getCellByPosition(0, 0)",
    "get First.getCellAddress()",
    "get Address.Row()",
    "get Sel.getCellByPosition(0, 0)",
    "get First.getCellAddress()",
    "get Address.Column()",
    "get Sheet.getCellByPosition(&2, &4)",
    "get Cell.GetPropertyValue(\"CharHeight\")",
    "CopyEditToClipboard(10)",
    "call Cell.setString(" + SymbolText + ")",
    "put Cell.CharFontName(\"Lautbild Serif\")",
    "put Cell.CharFontCharSet(2)",
    "put Cell.CharWeight(150.000000)",
    "put Cell.CharPosture(2)",
});
const Log OtherPath = opening({
    "get Doc.getCurrentController()",
    "get Ctrl.getActiveSheet()",
    "CopyEditToClipboard(12)",
    Paste,
});

// Runs the routine; the string ID it failed with, or 0. The cause that it gave for the log
// goes to cause.
int send(const std::shared_ptr<Script> &script, std::string *cause = nullptr)
{
    ScriptedBridge bridge(script);
    LoggingHost host(script);
    try {
        SendToOpenOffice(bridge, host, RoutineInputs{"t\x83s", "Lautbild Serif", true, true});
    } catch (const RoutineError &error) {
        if (cause != nullptr) {
            *cause = error.cause();
        }
        return error.suffix().empty() ? error.stringId() : -1;
    }
    return 0;
}

} // namespace

class TestSendToOpenOffice final : public QObject
{
    Q_OBJECT

private slots:
    void eachDocumentGetsItsPaste_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Log>("expected");

        QTest::newRow("text at the cursor's height, style restored, space after")
            << int(Document::Text) << TextPath;
        QTest::newRow("sheet at the first selected cell's height") << int(Document::Sheet) << SheetPath;
        QTest::newRow("drawing at 12 points") << int(Document::Drawing) << OtherPath;
    }

    void eachDocumentGetsItsPaste()
    {
        QFETCH(int, kind);
        QFETCH(Log, expected);

        const auto script = office(Document(kind));
        QCOMPARE(send(script), 0);
        QCOMPARE(script->log, expected);
    }

    void failureGivesItsMessage_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("failing");
        QTest::addColumn<int>("code");

        QTest::newRow("no office") << int(Document::Text) << QByteArray("create com.sun.star.ServiceManager")
                                   << 22;
        for (const char *call : {"SM.createInstance", "Desktop.getCurrentComponent",
                                 "Doc.getCurrentcontroller", "SM.CreateInstance"}) {
            QTest::addRow("opening: %s", call) << int(Document::Text) << QByteArray(call) << 22;
        }
        for (const char *call :
             {"VC.GetPropertyValue(\"CharHeight\")", "VC.GetPropertyValue(\"CharPosture\")", "VC.getText",
              "T.InsertString", "VC.goLeft", "VC.CharFontCharSet", "VC.SetPropertyValue"}) {
            QTest::addRow("text: %s", call) << int(Document::Text) << QByteArray(call) << 20;
        }
        for (const char *call :
             {"Doc.getCurrentSelection", "Sel.getCellByPosition", "Address.Column", "Sheet.getCellByPosition",
              "Cell.GetPropertyValue", "Cell.setString", "Cell.CharPosture"}) {
            QTest::addRow("sheet: %s", call) << int(Document::Sheet) << QByteArray(call) << 21;
        }
        QTest::newRow("drawing: paste") << int(Document::Drawing) << QByteArray("Disp.executeDispatch") << 22;
    }

    void failureGivesItsMessage()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, failing);
        QFETCH(int, code);

        const auto script = office(Document(kind));
        script->failing.insert(failing.toStdString());
        std::string cause;
        QCOMPARE(send(script, &cause), code);
        // The message box says what to do; the log says which call failed and how.
        QVERIFY2(cause.find("scripted failure") != std::string::npos, cause.c_str());
        // Nothing more is sent after the failing call; the window comes back to the front.
        QVERIFY(script->log.size() >= 2);
        QCOMPARE(script->log.back(), std::string("bringToFront"));
        const std::string &last = script->log[script->log.size() - 2];
        QVERIFY2(last.find(failing.toStdString()) != std::string::npos, last.c_str());
    }

    void noDocumentOpen()
    {
        const auto script = office(Document::Text);
        script->answers["Desktop.getCurrentComponent"] = AutomationValue();
        std::string cause;
        QCOMPARE(send(script, &cause), 22);
        QVERIFY2(cause.starts_with("reaching the document: "), cause.c_str());
        QCOMPARE(script->log.back(), std::string("bringToFront"));
    }

    void heightThatIsNoNumberFailsTheTextPaste()
    {
        const auto script = office(Document::Text);
        script->answers["VC.GetPropertyValue(\"CharHeight\")"] = std::string("tall");
        QCOMPARE(send(script), 20);
        QVERIFY(std::find(script->log.begin(), script->log.end(), Paste) == script->log.end());
    }
};

QTEST_GUILESS_MAIN(TestSendToOpenOffice)
#include "tst_sendtoopenoffice.moc"
