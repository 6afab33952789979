// Draws the explained line, the symbol search, the preview of a pending mark and the keyboard focus in
// both languages
// into PNG files to look at. Needs an X server (xvfb-run); not a test, it asserts nothing.
// Usage: ipa_shots OUTPUT_FOLDER

#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "i18n/langstr.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/symbolsearchwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QToolTip>

using namespace Sprelio;

namespace {

void settle()
{
    QTest::qWait(400);
}

void shoot(const QRect &area, const QString &path)
{
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    registerPhoneticFonts();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    for (const int offset : {GermanOffset, EnglishOffset}) {
        LangOffset = offset;
        const QString lang = offset == GermanOffset ? QStringLiteral("de") : QStringLiteral("en");
        TSprelioPad pad;
        pad.move(20, 20);
        pad.show();
        if (!QTest::qWaitForWindowExposed(&pad)) {
            return 1;
        }
        pad.findChild<QAction *>(QStringLiteral("ShowH"))->setChecked(true);
        settle();

        // n̥t͡ʃ with the real buttons.
        pad.SpezialClick(3);
        click(pad.SpecialButtons().at(0));
        click(pad.PaletteButtons().at(20));
        click(pad.PaletteButtons().at(2));
        click(pad.ToolButtons().at(4));
        click(pad.PaletteButtons().at(12));
        auto *field = pad.findChild<GlyphEdit *>(QStringLiteral("EditField"));
        QToolTip::showText(field->mapToGlobal(QPoint(field->width() / 3, field->height() / 2)),
                           field->toolTip(), field);
        settle();
        shoot(pad.frameGeometry().adjusted(0, 0, 420, 0),
              out + QStringLiteral("/explanation_%1.png").arg(lang));
        QToolTip::hideText();

        // A pending mark on the palette: nasal from the third diacritics set.
        pad.SpezialClick(5);
        click(pad.SpecialButtons().at(3));
        settle();
        shoot(pad.frameGeometry(), out + QStringLiteral("/preview_nasal_%1.png").arg(lang));
        click(pad.SpecialButtons().at(3));
        pad.SpezialClick(3);
        click(pad.SpecialButtons().at(0));
        settle();
        shoot(pad.frameGeometry(), out + QStringLiteral("/preview_voiceless_%1.png").arg(lang));

        // The search, with the voiceless mark still pending.
        pad.SucheClick();
        TSymbolSearch *search = pad.SymbolSearch();
        search->setQuery(offset == GermanOffset ? QStringLiteral("stimmhaft retro")
                                                : QStringLiteral("voiced retro"));
        settle();
        const QRect both = pad.frameGeometry().united(search->frameGeometry());
        shoot(both, out + QStringLiteral("/search_name_%1.png").arg(lang));
        search->setQuery(QStringLiteral("a"));
        settle();
        QTest::mouseMove(search->Matches().at(1));
        QToolTip::showText(search->Matches().at(1)->mapToGlobal(QPoint(20, 30)),
                           search->Matches().at(1)->toolTip());
        settle();
        shoot(both.adjusted(0, 0, 0, 40), out + QStringLiteral("/search_lookalike_%1.png").arg(lang));
        click(search->Matches().at(1));
        settle();
        shoot(pad.frameGeometry(), out + QStringLiteral("/search_typed_%1.png").arg(lang));

        // The results of a search by a usual name, each with its name beside it.
        search->setQuery(offset == GermanOffset ? QStringLiteral("Knacklaut") : QStringLiteral("glottal"));
        settle();
        shoot(search->frameGeometry(), out + QStringLiteral("/search_names_%1.png").arg(lang));
        search->setQuery(QStringLiteral("\u0283\u0325"));
        settle();
        shoot(search->frameGeometry(), out + QStringLiteral("/search_composed_%1.png").arg(lang));
        search->hide();

        // The keyboard on a palette button: from the field by Tab to the consonants, then right.
        pad.activateWindow();
        settle();
        field->setFocus();
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Down}) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
        settle();
        shoot(pad.frameGeometry().adjusted(0, 0, 300, 60),
              out + QStringLiteral("/keyboard_focus_%1.png").arg(lang));
    }
    return 0;
}
