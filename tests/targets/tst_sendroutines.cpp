#include "fakebridge.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <limits>

using namespace Sprelio;

using Routine = void (*)(AutomationBridge &, SendHost &, const RoutineInputs &);

namespace {

const QString WordSel = QStringLiteral("Word.ActiveDocument.ActiveWindow.Selection");

// The three gets down to the document's selection and one call on it.
QStringList onWordSelection(const QString &call)
{
    return {QStringLiteral("get Word.ActiveDocument"), QStringLiteral("get Word.ActiveDocument.ActiveWindow"),
            QStringLiteral("get ") + WordSel, QStringLiteral("call ") + WordSel + u'.' + call};
}

QStringList wordSend(const QStringList &start, int size)
{
    return start + onWordSelection(QStringLiteral("TypeText(\" \")")) +
           onWordSelection(QStringLiteral("MoveLeft(1)")) +
           QStringList{"get Word.Selection", "get Word.Selection.Font", "get Word.Selection.Font.Size",
                       QStringLiteral("copy %1").arg(size)} +
           onWordSelection(QStringLiteral("Paste()")) + onWordSelection(QStringLiteral("MoveRight(1)")) +
           QStringList{"front", "ok"};
}

const QStringList WordStarted{"attach Word.Application -> fails", "create Word.Application",
                              "put Word.Visible = true", "get Word.Documents", "call Word.Documents.Add()"};

struct ExcelSet
{
    QString cell, sheet, books, add, font, bold, italic, visible, size, paste;
};
const ExcelSet English{"ActiveCell", "ActiveSheet", "Workbooks", "Add",  "Font",
                       "Bold",       "Italic",      "visible",   "Size", "Paste"};
const ExcelSet German{"AktiveZelle", "AktiveArbeitsmappe", "ArbeitsmappeListe",
                      "Hinzufügen",  "Schriftart",         "Fett",
                      "Kursiv",      "sichtbar",           "Größe",
                      "Einfügen"};

// From the active-cell test that worked to the paste.
QStringList excelSend(const ExcelSet &n, bool addBook, const QString &face, bool bold, bool italic, int size)
{
    const QString cell = "Excel." + n.cell;
    const QString font = cell + u'.' + n.font;
    QStringList log{"get " + cell, "get Excel." + n.sheet};
    if (addBook) {
        log << "get Excel." + n.books << "call Excel." + n.books + u'.' + n.add + "()";
    }
    log << "get " + cell << "get " + font << "put " + font + ".Name = &\"" + face + u'"' << "get " + font
        << "put " + font + u'.' + n.bold + (bold ? " = true" : " = false") << "get " + font
        << "put " + font + u'.' + n.italic + (italic ? " = true" : " = false")
        << "put Excel." + n.visible + " = true"
        << "get " + font << "get " + font + u'.' + n.size << QStringLiteral("copy %1").arg(size)
        << "get Excel." + n.sheet << "call Excel." + n.sheet + u'.' + n.paste + "()"
        << "ok";
    return log;
}

const QStringList ExcelStart{"attach Excel.Application", "call Excel.abd() -> fails"};

const QString PPRange = QStringLiteral("PowerPoint.ActiveWindow.Selection.TextRange");
const QStringList PPTextRange{"get PowerPoint.ActiveWindow", "get PowerPoint.ActiveWindow.Selection",
                              "get " + PPRange};

QStringList powerPointSend(const QStringList &start, int size, int after)
{
    const QString frame = QStringLiteral("PowerPoint.ActiveWindow.Selection.ShapeRange.TextFrame.TextRange");
    return start + QStringList{"put PowerPoint.Visible = true"} + PPTextRange +
           QStringList{"get " + PPRange + ".Start", "put " + PPRange + ".Text = \" \"",
                       "get " + PPRange + ".Characters(Start:=0, Length:=0)",
                       "call " + PPRange + ".Characters.Select()"} +
           PPTextRange +
           QStringList{"get " + PPRange + ".Font",
                       "get " + PPRange + ".Font.Size",
                       QStringLiteral("copy %1").arg(size),
                       "call " + PPRange + ".Paste()",
                       "get PowerPoint.ActiveWindow",
                       "get PowerPoint.ActiveWindow.Selection",
                       "get PowerPoint.ActiveWindow.Selection.ShapeRange",
                       "get PowerPoint.ActiveWindow.Selection.ShapeRange.TextFrame",
                       "get " + frame,
                       "get " + frame + QStringLiteral(".Characters(%1, Length:=0)").arg(after),
                       "call " + frame + ".Characters.Select()",
                       "front",
                       "ok"};
}

struct FaultRange
{
    int first;
    int last;
    AutomationErrorKind kind;
    QStringList tail; // after the failing call; "..." continues as the run without the fault
};

} // namespace

Q_DECLARE_METATYPE(Routine)
Q_DECLARE_METATYPE(FaultRange)
Q_DECLARE_METATYPE(AutomationValue)

class TestSendRoutines final : public QObject
{
    Q_OBJECT

private slots:
    void callLog_data();
    void callLog();
    void eachCallFailing_data();
    void eachCallFailing();
    void values_data();
    void values();
    void bridgeErrors();
};

void TestSendRoutines::callLog_data()
{
    QTest::addColumn<Routine>("routine");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QStringList>("log");

    const Routine word = &SendToWord;
    const QString wordRuns = QStringLiteral("running Word.Application; ");
    QTest::newRow("word running with a document")
        << word << wordRuns + "Word.Selection.Font.Size = 11" << QByteArray("pa") << "" << false << false
        << wordSend({"attach Word.Application"}, 11);
    QTest::newRow("word not running: started, shown, new document")
        << word << "installed Word.Application; Word.Selection.Font.Size = 12.0" << QByteArray() << ""
        << false << false << wordSend(WordStarted, 12);
    QTest::newRow("word size 10.5 copies at 10")
        << word << wordRuns + "Word.Selection.Font.Size = 10.5" << QByteArray() << "" << false << false
        << wordSend({"attach Word.Application"}, 10);
    QTest::newRow("word size 11.5 copies at 12")
        << word << wordRuns + "Word.Selection.Font.Size = 11.5" << QByteArray() << "" << false << false
        << wordSend({"attach Word.Application"}, 12);
    QTest::newRow("word not installed")
        << word << "" << QByteArray() << "" << false << false
        << QStringList{"attach Word.Application -> fails", "create Word.Application -> fails", "error 10"};
    QTest::newRow("word without a document")
        << word << wordRuns + "Word.ActiveDocument fails system No document is open" << QByteArray() << ""
        << false << false
        << QStringList{"attach Word.Application", "get Word.ActiveDocument -> fails", "front",
                       "error 68: No document is open"};

    const Routine excel = &SendToExcel;
    const QString englishExcel = QStringLiteral("running Excel.Application; Excel.abd fails member; "
                                                "Excel.ActiveCell.Font.Size = 11; ");
    const QString germanExcel =
        QStringLiteral("running Excel.Application; Excel.abd fails member; "
                       "Excel.ActiveCell fails member; Excel.AktiveZelle.Schriftart.Größe = 10.5; ");
    QTest::newRow("excel english, bold, not italic")
        << excel << englishExcel << QByteArray("pa") << "Lautbild Serif" << true << false
        << ExcelStart + excelSend(English, false, "Lautbild Serif", true, false, 11);
    QTest::newRow("excel english without a workbook adds one")
        << excel << englishExcel + "Excel.ActiveSheet = empty then object" << QByteArray()
        << "Lautbild Sans Serif" << false << true
        << ExcelStart + excelSend(English, true, "Lautbild Sans Serif", false, true, 11);
    QTest::newRow("excel german") << excel << germanExcel << QByteArray() << "Lautbild Serif" << true << true
                                  << ExcelStart + QStringList{"get Excel.ActiveCell -> fails"} +
                                         excelSend(German, false, "Lautbild Serif", true, true, 10);
    QTest::newRow("excel german without a workbook")
        << excel << germanExcel + "Excel.AktiveArbeitsmappe = empty then object" << QByteArray()
        << "Lautbild Serif" << false << false
        << ExcelStart + QStringList{"get Excel.ActiveCell -> fails"} +
               excelSend(German, true, "Lautbild Serif", false, false, 10);
    QTest::newRow("excel probe succeeding goes on")
        << excel << "running Excel.Application; Excel.ActiveCell.Font.Size = 11" << QByteArray() << "F"
        << false << false
        << QStringList{"attach Excel.Application", "call Excel.abd()"} +
               excelSend(English, false, "F", false, false, 11);
    QTest::newRow("excel editing a cell refuses the probe")
        << excel << "running Excel.Application; Excel.abd fails system busy" << QByteArray() << "F" << false
        << false << QStringList{"attach Excel.Application", "call Excel.abd() -> fails", "error 67"};
    QTest::newRow("excel of another language")
        << excel << englishExcel + "Excel.ActiveCell fails member; Excel.AktiveZelle fails member"
        << QByteArray() << "F" << false << false
        << ExcelStart + QStringList{"get Excel.ActiveCell -> fails", "get Excel.AktiveZelle -> fails",
                                    "info 14", "ok"};
    QTest::newRow("excel started when not running")
        << excel << "installed Excel.Application; Excel.abd fails member; Excel.ActiveCell.Font.Size = 11"
        << QByteArray() << "F" << false << false
        << QStringList{"attach Excel.Application -> fails", "create Excel.Application",
                       "call Excel.abd() -> fails"} +
               excelSend(English, false, "F", false, false, 11);
    QTest::newRow("excel not installed")
        << excel << "" << QByteArray() << "F" << false << false
        << QStringList{"attach Excel.Application -> fails", "create Excel.Application -> fails", "error 13"};

    const Routine pp = &SendToPowerPoint;
    const QString ppRuns = "running PowerPoint.Application; " + PPRange + ".Font.Size = 18; ";
    QTest::newRow("powerpoint: start 5, three bytes, after at 9")
        << pp << ppRuns + PPRange + ".Start = 5" << QByteArray("abc") << "" << false << false
        << powerPointSend({"attach PowerPoint.Application"}, 18, 9);
    QTest::newRow("powerpoint: empty text")
        << pp << ppRuns + PPRange + ".Start = 0" << QByteArray() << "" << false << false
        << powerPointSend({"attach PowerPoint.Application"}, 18, 1);
    QTest::newRow("powerpoint: slide selected, no text box")
        << pp
        << "running PowerPoint.Application; " + PPRange + " fails system Nothing appropriate is selected"
        << QByteArray("a") << "" << false << false
        << QStringList{"attach PowerPoint.Application",
                       "put PowerPoint.Visible = true",
                       "get PowerPoint.ActiveWindow",
                       "get PowerPoint.ActiveWindow.Selection",
                       "get " + PPRange + " -> fails",
                       "front",
                       "error 71"};
    QTest::newRow("powerpoint: started without a presentation")
        << pp << "installed PowerPoint.Application; PowerPoint.ActiveWindow fails system No window"
        << QByteArray() << "" << false << false
        << QStringList{"attach PowerPoint.Application -> fails",
                       "create PowerPoint.Application",
                       "put PowerPoint.Visible = true",
                       "get PowerPoint.ActiveWindow -> fails",
                       "front",
                       "error 71"};
    QTest::newRow("powerpoint not installed")
        << pp << "" << QByteArray() << "" << false << false
        << QStringList{"attach PowerPoint.Application -> fails", "create PowerPoint.Application -> fails",
                       "error 72"};
}

void TestSendRoutines::callLog()
{
    QFETCH(Routine, routine);
    QFETCH(QString, script);
    QFETCH(QByteArray, text);
    QFETCH(QString, face);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QStringList, log);

    FakeBridge bridge(script);
    bridge.run(routine, {text.toStdString(), face.toStdString(), bold, italic});
    QCOMPARE(bridge.log, log);
}

void TestSendRoutines::eachCallFailing_data()
{
    QTest::addColumn<Routine>("routine");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<FaultRange>>("faults");

    const auto system = AutomationErrorKind::System;
    const auto member = AutomationErrorKind::MemberNotSupported;
    // Call 0 fails already (Word is not running); calls 2 to 24 are the trapped ones.
    QTest::newRow("word started")
        << Routine(&SendToWord) << "installed Word.Application; Word.Selection.Font.Size = 12.0"
        << QList<FaultRange>{
               {1, 1, system, {"error 10"}},
               {2, 23, system, {"front", "error 68: refused"}},
               {2, 23, member, {"front", "error 68: Method '*' not supported by automation object"}}};
    const QList<FaultRange> excelCommon{
        {0, 0, system, {"create Excel.Application -> fails", "error 13"}},
        {1, 1, system, {"error 67"}},
        {1, 1, member, {"..."}},
    };
    QTest::newRow("excel english")
        << Routine(&SendToExcel)
        << "running Excel.Application; Excel.abd fails member; Excel.AktiveZelle fails member; "
           "Excel.ActiveSheet = empty then object; "
           "Excel.ActiveCell.Font.Size = 11"
        << excelCommon +
               QList<FaultRange>{{2, 2, system, {"get Excel.AktiveZelle -> fails", "info 14", "ok"}},
                                 {2, 2, member, {"get Excel.AktiveZelle -> fails", "info 14", "ok"}},
                                 {3, 17, system, {"front", "error 69: refused"}}};
    QTest::newRow("excel german")
        << Routine(&SendToExcel)
        << "running Excel.Application; Excel.abd fails member; Excel.ActiveCell fails member; "
           "Excel.AktiveZelle.Schriftart.Größe = 11"
        << excelCommon + QList<FaultRange>{{3, 3, system, {"info 14", "ok"}},
                                           {4, 16, system, {"front", "error 69: refused"}}};
    QTest::newRow("powerpoint") << Routine(&SendToPowerPoint)
                                << "running PowerPoint.Application; " + PPRange + ".Start = 2; " + PPRange +
                                       ".Font.Size = 18"
                                << QList<FaultRange>{
                                       {0, 0, system, {"create PowerPoint.Application -> fails", "error 72"}},
                                       {1, 1, system, {"error refused"}},
                                       {2, 4, system, {"front", "error 71"}},
                                       {2, 4, member, {"front", "error 71"}},
                                       {5, 21, system, {"front", "error 70: refused"}}};
}

void TestSendRoutines::eachCallFailing()
{
    QFETCH(Routine, routine);
    QFETCH(QString, script);
    QFETCH(QList<FaultRange>, faults);

    FakeBridge clean(script);
    clean.run(routine, {"abc", "Lautbild Serif", true, false});
    // Which log lines are calls, and which are the host's events.
    QList<int> callLines;
    for (int i = 0; i < clean.log.size(); ++i) {
        static const QRegularExpression call(QStringLiteral("^(attach|create|get|call|put) "));
        if (call.match(clean.log[i]).hasMatch()) {
            callLines << i;
        }
    }
    QSet<int> covered;
    for (const FaultRange &range : faults) {
        for (int call = range.first; call <= range.last; ++call) {
            covered << call;
            FakeBridge bridge(script);
            bridge.injectFault(call, range.kind);
            bridge.run(routine, {"abc", "Lautbild Serif", true, false});

            const int line = callLines.at(call);
            QStringList expected = clean.log.mid(0, line);
            QString failing = clean.log.at(line);
            if (!failing.endsWith(u" -> fails")) {
                failing += u" -> fails";
            }
            expected << failing;
            for (QString next : range.tail) {
                if (next == u"...") {
                    expected << clean.log.mid(line + 1);
                } else {
                    const QString member = failing.section(u' ', 1, 1).section(u'(', 0, 0).section(u'.', -1);
                    expected << next.replace(QStringLiteral("'*'"), u'\'' + member + u'\'');
                }
            }
            if (bridge.log != expected) {
                qWarning() << "failing call" << call << bridge.log;
            }
            QCOMPARE(bridge.log, expected);
        }
    }
    // Every call of the clean run that succeeded is failed once.
    for (int call = 0; call < callLines.size(); ++call) {
        if (!clean.log.at(callLines.at(call)).endsWith(u" -> fails")) {
            QVERIFY2(covered.contains(call), qPrintable(clean.log.at(callLines.at(call))));
        }
    }
}

void TestSendRoutines::values_data()
{
    QTest::addColumn<AutomationValue>("value");
    QTest::addColumn<int>("integer"); // INT_MIN: the conversion fails
    QTest::addColumn<bool>("empty");
    constexpr int Fails = std::numeric_limits<int>::min();
    QTest::newRow("10.5 to even below") << AutomationValue(10.5) << 10 << false;
    QTest::newRow("11.5 to even above") << AutomationValue(11.5) << 12 << false;
    QTest::newRow("-2.5 to even") << AutomationValue(-2.5) << -2 << false;
    QTest::newRow("10.51 up") << AutomationValue(10.51) << 11 << false;
    QTest::newRow("string number") << AutomationValue(std::string("12.5")) << 12 << false;
    QTest::newRow("true is -1") << AutomationValue(true) << -1 << false;
    QTest::newRow("empty is 0") << AutomationValue() << 0 << true;
    QTest::newRow("null object is empty") << AutomationValue(AutomationObjectRef()) << Fails << true;
    QTest::newRow("null is not empty") << AutomationValue(AutomationNull{}) << Fails << false;
    QTest::newRow("text") << AutomationValue(std::string("Arial")) << Fails << false;
    QTest::newRow("beyond 32 bits") << AutomationValue(3e9) << Fails << false;
}

void TestSendRoutines::values()
{
    QFETCH(AutomationValue, value);
    QFETCH(int, integer);
    QFETCH(bool, empty);
    QCOMPARE(value.isEmpty(), empty);
    if (integer == std::numeric_limits<int>::min()) {
        QVERIFY_THROWS_EXCEPTION(AutomationError, value.toInteger());
    } else {
        QCOMPARE(value.toInteger(), integer);
    }
}

void TestSendRoutines::bridgeErrors()
{
    FakeBridge bridge("running Word.Application; Word.Foo fails member");
    const AutomationValue app = bridge.attach("Word.Application");
    try {
        app.call("Foo");
        QFAIL("no error");
    } catch (const AutomationError &error) {
        QCOMPARE(error.kind(), AutomationErrorKind::MemberNotSupported);
        QCOMPARE(error.what(), "Method 'Foo' not supported by automation object");
    }
    try {
        AutomationValue(std::int32_t{3}).get("Font");
        QFAIL("no error");
    } catch (const AutomationError &error) {
        QCOMPARE(error.kind(), AutomationErrorKind::NotAnObject);
    }
    AutomationArguments args(MaxAutomationArguments, AutomationArgument::int32(1));
    app.call("Many", args);
    args.push_back(AutomationArgument::int32(1));
    QVERIFY_THROWS_EXCEPTION(AutomationError, app.call("Many", args));
    QCOMPARE(bridge.log.size(), 3); // the call with 65 arguments never left
    QCOMPARE(createFailureText("Class not registered", "Word.Application"),
             std::string("Class not registered, ProgID: \"Word.Application\""));
}

QTEST_GUILESS_MAIN(TestSendRoutines)
#include "tst_sendroutines.moc"
