// Measures one send to a running LibreOffice Writer: from the click on the send button until the
// string is read back from the document through UNO. Run under a display, e.g.
// xvfb-run -a build/tests/bench_office; it asserts nothing beyond the string arriving.

#include "officefixture.h"

#include <com/sun/star/text/XTextDocument.hpp>

#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "palette/phoneticfonts.h"
#include "palette/speedbutton.h"

#include <QAction>
#include <QTest>

#include <algorithm>

using namespace Sprelio;
using namespace OfficeFixture;

class BenchOffice final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerPhoneticFonts();
        const QString failure = m_office.start();
        if (failure == Office::NotInstalled) {
            QSKIP("LibreOffice is not installed");
        }
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // The window's bridge reaches the office of this profile.
        qputenv("UserInstallation", m_office.profileUrl().toUtf8());
        m_pad = std::make_unique<TSprelioPad>();
        m_pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
        m_document.set(m_office.open("swriter"), uno::UNO_QUERY_THROW);
        // Choosing the target connects to the running office in the background, while the user
        // types the line.
        findNamed<QAction>(m_pad.get(), "OpenOffice")->trigger();
        QTest::qWait(3000);
    }

    void cleanupTestCase() { m_pad.reset(); }

    // The first send finds the connection made when the target was chosen; later ones reuse it.
    void firstSend() { qInfo("first send: %lld ms", static_cast<long long>(sendOnce())); }

    void laterSends()
    {
        constexpr int Rounds = 30;
        std::vector<qint64> times;
        for (int i = 0; i < Rounds; ++i) {
            times.push_back(sendOnce());
        }
        std::sort(times.begin(), times.end());
        qInfo("%d sends: median %lld ms, fastest %lld ms, slowest %lld ms", Rounds,
              static_cast<long long>(times[times.size() / 2]), static_cast<long long>(times.front()),
              static_cast<long long>(times.back()));
    }

private:
    // Milliseconds from the click until the document holds one more copy of the string.
    qint64 sendOnce()
    {
        // Voiceless n with its mark below: the symbol face, a combined mark, and the space after it.
        const QByteArray glyphs("n\xA0t");
        const QString expected =
            QString(QChar(char16_t(0xF06E))) + QChar(char16_t(0xF0A0)) + QChar(char16_t(0xF074)) + u' ';
        findNamed<GlyphEdit>(m_pad.get(), "EditField")->setGlyphs(glyphs);
        const qsizetype before = qs(m_document->getText()->getString()).count(expected);

        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(findNamed<SpeedButton>(m_pad.get(), "EnterBtn"), Qt::LeftButton);
        const bool arrived = QTest::qWaitFor(
            [&] { return qs(m_document->getText()->getString()).count(expected) > before; }, 60000);
        const qint64 elapsed = timer.elapsed();
        if (!arrived) {
            qFatal("the string did not arrive in Writer");
        }
        return elapsed;
    }

    Office m_office;
    std::unique_ptr<TSprelioPad> m_pad;
    uno::Reference<text::XTextDocument> m_document;
};

QTEST_MAIN(BenchOffice)
#include "bench_office.moc"
