#include "i18n/langstr.h"

#include <QTest>

#include <algorithm>
#include <set>
#include <span>

namespace Sprelio {
std::span<const StringResource> stringResources();
} // namespace Sprelio

using namespace Sprelio;

class TestLangStr final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }

    void textInBothLanguages_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("english");
        QTest::newRow("title, English with dots") << 1 << "Sprelio"
                                                  << "Sprelio ...";
        QTest::newRow("save question") << 2 << "Wollen Sie diese Tastenbelegung speichern?"
                                       << "Do you want to save this button assignment?";
        QTest::newRow("suffix keeps leading blank") << 9 << " ist keine Tastenbelegungsdatei!!"
                                                    << " is no button assignment file";
        QTest::newRow("bold caption keeps blanks") << 52 << " F "
                                                   << " B ";
        QTest::newRow("sharp s") << 57 << "Schließen"
                                 << "Close";
        QTest::newRow("capital umlaut")
            << 71
            << "Zeichen können nicht an PowerPoint geschickt werden. Öffnen Sie eine "
               "Präsentation und aktivieren Sie Textfeld in PowerPoint!"
            << "Characters cannot be sent to PowerPoint. Open a presentation and "
               "activate a text field cell in PowerPoint first!";
        QTest::newRow("help document") << 79 << "sprelio_g.pdf"
                                       << "sprelio_e.pdf";
        QTest::newRow("options menu, German without accelerator") << 150 << "Optionen"
                                                                  << "&Options";
        QTest::newRow("assignment menu") << 163 << "&Tastenbelegung"
                                         << "&Assignment";
        QTest::newRow("clipboard target") << 185 << "&Zwischenablage"
                                          << "&Clipboard";
        QTest::newRow("pop-up delete item") << 187 << "Löschen"
                                            << "Delete";
        QTest::newRow("length mark description") << 1058 << "Verlängerung"
                                                 << "Long";
        QTest::newRow("code 44 differs by language") << 1044 << "Komma"
                                                     << "Colon";
        QTest::newRow("space glyph") << 1032 << "Leerzeichen"
                                     << "Space";
    }

    void textInBothLanguages()
    {
        QFETCH(int, id);
        QFETCH(QString, german);
        QFETCH(QString, english);
        LangOffset = GermanOffset;
        QCOMPARE(LangStr(static_cast<std::uint16_t>(id)), german);
        LangOffset = EnglishOffset;
        QCOMPARE(LangStr(static_cast<std::uint16_t>(id)), english);
    }

    void missingTextGivesInternalError_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("id");
        QTest::newRow("81, German") << GermanOffset << 81;
        QTest::newRow("81, English") << EnglishOffset << 81;
        QTest::newRow("gap between menu captions") << GermanOffset << 153;
        QTest::newRow("largest ID, English") << EnglishOffset << 65535;
        QTest::newRow("foreign offset") << 5 << 1;
    }

    void missingTextGivesInternalError()
    {
        QFETCH(int, offset);
        QFETCH(int, id);
        LangOffset = offset;
        QCOMPARE(LangStr(static_cast<std::uint16_t>(id)), QStringLiteral("Internal Error!"));
    }

    void titleIsGlyphCodes_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("glyphs");
        QTest::newRow("German") << GermanOffset << QByteArray("\x60\x53\x70\x72\x65\x3a\x6c\x69\x6f");
        QTest::newRow("English") << EnglishOffset << QByteArray("\x60\x73\x70\x72\xe4\x6c\x69\x6f\x55");
    }

    void titleIsGlyphCodes()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, glyphs);
        LangOffset = offset;
        QCOMPARE(LangStr(15).toLatin1(), glyphs);
    }

    void everyKnownGlyphIsDescribed()
    {
        const std::set<int> withoutCell{34,  38,  47,  91,  92,  93,  136, 137, 138, 139, 140, 141, 142, 143,
                                        144, 145, 146, 147, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165,
                                        171, 172, 173, 175, 176, 177, 178, 179, 181, 182, 183, 184, 185, 186,
                                        187, 188, 189, 190, 191, 206, 207, 233, 234, 235, 236, 238, 239};
        int described = 0;
        for (int code = 32; code <= 255; ++code) {
            if (withoutCell.count(code) != 0) {
                continue;
            }
            for (const int offset : {GermanOffset, EnglishOffset}) {
                const QString text = stringResource(1000 + code + offset);
                QVERIFY2(!text.isEmpty(), qPrintable(QStringLiteral("code %1").arg(code + offset)));
            }
            ++described;
        }
        QCOMPARE(described, 169);
    }

    void tableIsSortedPairedAndLoadable()
    {
        const std::span<const StringResource> table = stringResources();
        QVERIFY(std::adjacent_find(table.begin(), table.end(),
                                   [](const auto &a, const auto &b) { return a.id >= b.id; }) == table.end());
        std::set<int> ids;
        for (const StringResource &entry : table) {
            ids.insert(entry.id);
        }
        for (const StringResource &entry : table) {
            const QByteArray utf8(entry.utf8);
            const QString text = QString::fromUtf8(utf8);
            const QByteArray where = QByteArray::number(entry.id);
            QVERIFY2(!text.isEmpty() && text.size() <= 255, where.constData());
            QVERIFY2(text.toUtf8() == utf8, where.constData()); // malformed UTF-8 would not survive
            const int twin = entry.id < EnglishOffset ? entry.id + EnglishOffset : entry.id - EnglishOffset;
            QVERIFY2(ids.count(twin) == 1, where.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestLangStr)
#include "tst_langstr.moc"
