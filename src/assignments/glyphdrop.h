#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace Sprelio {

/// Makes widgets drop targets for glyphs dragged from the chart. Each drag event over a watched widget
/// asks canDrop whether this widget takes these glyphs now; a drop it takes goes to drop. Drags of
/// other kinds are left to the widget itself.
class GlyphDropFilter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlyphDropFilter)

public:
    using CanDrop = std::function<bool(QWidget *target, const QByteArray &glyphs, bool append)>;
    using Drop = std::function<void(QWidget *target, const QByteArray &glyphs, bool append)>;

    GlyphDropFilter(CanDrop canDrop, Drop drop, QObject *parent = nullptr);
    ~GlyphDropFilter() override = default;

    /// Lets the widget take glyph drops.
    void watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CanDrop m_canDrop;
    Drop m_drop;
};

} // namespace Sprelio
