#pragma once

#include <QAbstractButton>
#include <QString>

namespace Sprelio {

/// A flat button that takes no keyboard focus unless given a focus policy, shows a frame while it
/// has the focus, and can stay down as one of a group.
///
/// The down state is Qt's checked state: isChecked() is "down", setChecked() puts the button down
/// or up. Buttons with the same parent and the same non-zero group index are mutually exclusive:
/// putting one down, by a click or by setChecked(true), puts the others up. A click on a down
/// button puts it up only if AllowAllUp() is set. With group index 0 the button is a plain push
/// button that is never down (it is not checkable then, so setChecked() has no effect).
/// By the time clicked() is emitted the click's new down state is already in place.
/// setChecked(false) always puts a button up, whatever AllowAllUp() says.
///
/// The tooltip shows hint() while showHint() is on. The accessible name follows the hint unless
/// somebody gave the button a different accessible name.
class SpeedButton : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeedButton)

public:
    explicit SpeedButton(QWidget *parent = nullptr);
    ~SpeedButton() override = default;

    int GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(int groupIndex);
    bool AllowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool allow) { m_allowAllUp = allow; }

    QString hint() const { return m_hint; }
    void setHint(const QString &hint);
    bool showHint() const { return m_showHint; }
    void setShowHint(bool show);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;
    void checkStateSet() override;

private:
    void releaseGroup();
    void updateToolTip();

    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    QString m_hint;
    bool m_showHint = false;
};

} // namespace Sprelio
