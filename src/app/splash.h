#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace Sprelio {

/// The borderless window that greets at start-up and later serves as the information window.
class TSplash final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSplash)

public:
    /// How long the window shows at start-up, in milliseconds.
    static constexpr int StartupDuration = 2500;
    static constexpr int DesignWidth = 314;
    static constexpr int StartupHeight = 238;
    /// The height with the OK button: its bottom edge, the top band and a margin.
    static constexpr int InformationHeight = 281;

    /// Given the picture of its start-up showing, the window paints that picture and builds its
    /// texts only at completeContent(), so that it is on screen before the font system is loaded.
    explicit TSplash(QWidget *parent = nullptr, QImage startupPicture = {});
    ~TSplash() override = default;

    /// The maker's web site, shown on the window and opened by its link.
    static QString homepage();

    /// Shows the window centred on the screen without waiting; when its time is up it hides and
    /// shows mainWindow.
    void showAtStart(QWidget *mainWindow);
    /// Shows the window with its OK button, centred on owner, and returns when OK closes it.
    void showInformation(QWidget *owner);
    /// The window to show when the start-up showing ends; shown at once if it has ended already.
    void setMainWindow(QWidget *mainWindow);
    /// Builds the texts over the start-up picture; nothing when they are built already.
    void completeContent();
    /// Whether the start-up showing has not ended yet.
    bool StartupPhase() const { return m_startupPhase; }

    /// Opens the maker's web site in the browser; a failure is not reported.
    void lbLinkClick();

signals:
    /// The start-up showing has been painted for the first time.
    void startupPainted();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createBand();
    void createTexts();
    void showTexts();
    void noteStartupPainted();
    void Timer1Timer();

    QTimer *m_timer1 = nullptr;
    QWidget *m_panel4 = nullptr;
    QLabel *m_wieLabel = nullptr;
    QLabel *m_erklLabel = nullptr;
    QLabel *m_verLabel = nullptr;
    QLabel *m_lbLink = nullptr;
    QFrame *m_bevel1 = nullptr;
    QPushButton *m_okBtn = nullptr;
    QImage m_startupPicture;
    QPointer<QWidget> m_mainWindow;
    bool m_startupPhase = true;
    bool m_startupPainted = false;
};

} // namespace Sprelio
