// A long session in fast motion: thousands of random actions on the real window (clicks on the
// palettes, the sets, keys, pastes of any size, copies and sends to the clipboard, face and style),
// with the resident memory printed every few hundred actions. A session that keeps its memory flat
// shows the same figure from the first report on.
//
//   bench_monkey [ACTIONS] [SEED]      (defaults: 2000 actions, seed 1)

#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace Sprelio;

namespace {

// Resident memory in kB, from the kernel's own account.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// IPA text of any length: mostly a few symbols, now and then tens of thousands.
QString randomText(QRandomGenerator &random)
{
    static const QString symbols = QStringLiteral("pbtdkgʔmnŋʃʒθðçxɣχʁħʕhɦlɬɮɹjwaeiouəɛɔæɑɪʊʏøœyː ̥̩̃ˈˌ͡");
    const int length = random.bounded(10) == 0 ? random.bounded(200000) : random.bounded(30);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        text.append(symbols.at(random.bounded(symbols.size())));
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int actions = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    QRandomGenerator random(argc > 2 ? QByteArray(argv[2]).toUInt() : 1U);
    registerPhoneticFonts();

    TSprelioPad pad;
    pad.show();
    if (!QTest::qWaitForWindowExposed(&pad)) {
        std::fprintf(stderr, "bench_monkey: the window did not show\n");
        return 1;
    }
    // Whatever asks a question (a paste cut short, say) is answered at once.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    closer.start(5);

    auto *field = findNamed<GlyphEdit>(&pad, "EditField");
    findNamed<QAction>(&pad, "Zwischenablage")->trigger();
    const QList<const char *> setButtons{"SupraBtn", "ToneBtn", "Diac1Btn", "Diac2Btn", "Diac3Btn"};
    const QList<const char *> styleButtons{"SerifBtn", "SansSerifBtn", "FettBtn", "KursivBtn"};
    const QList<Qt::Key> keys{Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Home, Qt::Key_End};

    std::printf("actions  resident kB\n%7d  %ld\n", 0, residentKb());
    for (int action = 1; action <= actions; ++action) {
        switch (random.bounded(9)) {
        case 0:
        case 1: {
            const QList<TKWSpeedButton *> &buttons = pad.PaletteButtons();
            QTest::mouseClick(buttons.at(random.bounded(buttons.size())), Qt::LeftButton);
            break;
        }
        case 2: {
            const QList<TKWSpeedButton *> &buttons = pad.SpecialButtons();
            TKWSpeedButton *button = buttons.at(random.bounded(buttons.size()));
            if (button->isVisible()) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
            break;
        }
        case 3:
            findNamed<QAction>(&pad, setButtons.at(random.bounded(setButtons.size())))->trigger();
            break;
        case 4:
            QTest::keyClick(field, keys.at(random.bounded(keys.size())));
            break;
        case 5:
            QGuiApplication::clipboard()->setText(randomText(random));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        case 6:
            // The field's own copy, rich text and all, pasted back.
            field->selectAll();
            QTest::keyClick(field, random.bounded(2) == 0 ? Qt::Key_C : Qt::Key_X, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        case 7:
            findNamed<QAction>(&pad, styleButtons.at(random.bounded(styleButtons.size())))->trigger();
            break;
        default:
            QTest::mouseClick(findNamed<QAbstractButton>(&pad, "EnterBtn"), Qt::LeftButton);
            break;
        }
        QCoreApplication::processEvents();
        if (action % 200 == 0) {
            std::printf("%7d  %ld\n", action, residentKb());
            std::fflush(stdout);
        }
    }
    return 0;
}
