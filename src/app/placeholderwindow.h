#pragma once

#include <QMainWindow>

namespace Sprelio {

/// A stand-in main window until the palettes are built.
class PlaceholderWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaceholderWindow)

public:
    explicit PlaceholderWindow(QWidget *parent = nullptr);
    ~PlaceholderWindow() override = default;
};

} // namespace Sprelio
