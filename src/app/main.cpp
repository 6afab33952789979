#include "app/placeholderwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sprelio"));
    QApplication::setApplicationVersion(QStringLiteral(SPRELIO_VERSION));

    Sprelio::PlaceholderWindow window;
    window.show();
    return QApplication::exec();
}
