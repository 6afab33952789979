#include "app/spreliopad.h"
#include "palette/phoneticfonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sprelio"));
    QApplication::setApplicationVersion(QStringLiteral(SPRELIO_VERSION));
    Sprelio::registerPhoneticFonts();

    Sprelio::TSprelioPad window;
    window.show();
    return QApplication::exec();
}
