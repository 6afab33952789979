#pragma once

#include <QLabel>

namespace Sprelio {

/// A web address shown as a link and opened by a click. The address is plain text drawn in the colours
/// of a link: a label with rich text, or one that takes the focus, brings in the whole text-document
/// machinery, which costs more memory than the rest of the splash. The keyboard reaches the same
/// address through the help menu.
class LinkLabel final : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    /// Shows url, underlined and in the link colour; linkActivated(url) follows an activation.
    void setUrl(const QString &url);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace Sprelio
