#include "app/placeholderwindow.h"

#include "i18n/langstr.h"

#include <QLabel>

namespace Sprelio {

PlaceholderWindow::PlaceholderWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(LangStr(1));
    setCentralWidget(new QLabel(LangStr(17), this));
    resize(484, 300);
}

} // namespace Sprelio
