#pragma once

#include <QDialog>

class QRadioButton;

namespace Sprelio {

/// The first-start dialog that asks for the interface language, in both languages at once.
class TformLangSel final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TformLangSel)

public:
    explicit TformLangSel(QWidget *parent = nullptr);
    ~TformLangSel() override = default;

    /// True when English was chosen; closing the dialog otherwise means German.
    bool englishChosen() const;

private:
    QRadioButton *m_rbEng = nullptr;
    QRadioButton *m_rbGer = nullptr;
};

} // namespace Sprelio
