#include "app/splash.h"

#include "app/linklabel.h"
#include "dialogs/messageboxes.h"

#include "i18n/langstr.h"
#include "palette/glyphtext.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace Sprelio {

namespace {

const QColor BandBlue(32, 80, 120);
const QColor PaleBlue(206, 220, 234);
const QColor TextBlue(0, 0, 128);

QFont tahoma(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void paint(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel *addLine(QWidget *panel, QVBoxLayout *layout, const char *name, const QFont &font, int height,
                QLabel *label = nullptr)
{
    if (label == nullptr) {
        label = new QLabel(panel);
    }
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    paint(label, QPalette::WindowText, TextBlue);
    if (height > 0) {
        label->setFixedHeight(height);
    }
    layout->addWidget(label);
    return label;
}

} // namespace

TSplash::TSplash(QWidget *parent, QImage startupPicture)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_startupPicture(std::move(startupPicture))
{
    setObjectName(QStringLiteral("Splash"));
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    // A coarse timer may end the splash up to 5% early.
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer1->setInterval(StartupDuration);
    connect(m_timer1, &QTimer::timeout, this, &TSplash::Timer1Timer);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setFixedSize(DesignWidth, StartupHeight);
    if (m_startupPicture.isNull()) {
        completeContent();
    } else {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

void TSplash::completeContent()
{
    if (m_panel4 != nullptr) {
        return;
    }
    createBand();
    createTexts();
    if (isVisible()) {
        // Built over the picture: the texts take its place at once, and the picture is let go.
        showTexts();
        layout()->activate();
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            child->show();
        }
    }
    m_startupPicture = QImage();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TSplash::createBand()
{
    auto *panel3 = new QWidget(this);
    panel3->setObjectName(QStringLiteral("Panel3"));
    panel3->setFixedHeight(66);
    panel3->setAutoFillBackground(true);
    paint(panel3, QPalette::Window, BandBlue);

    auto *label2 = new QLabel(QStringLiteral("Kestrel Ware"), panel3);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setFont(tahoma(21, true));
    label2->move(21, 20);
    auto *label4 = new QLabel(QStringLiteral(".Software."), panel3);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setFont(tahoma(16, true));
    label4->move(158, 25);
    for (QLabel *label : {label2, label4}) {
        paint(label, QPalette::WindowText, PaleBlue);
        label->adjustSize();
    }
    // Where Tahoma is missing a wider face stands in, which must not run into the second label.
    if (label4->x() < label2->geometry().right() + 4) {
        label4->move(label2->geometry().right() + 4, label4->y());
    }
    layout()->addWidget(panel3);
}

void TSplash::createTexts()
{
    m_panel4 = new QWidget(this);
    m_panel4->setObjectName(QStringLiteral("Panel4"));
    m_panel4->setAutoFillBackground(true);
    paint(m_panel4, QPalette::Window, PaleBlue);
    auto *lines = new QVBoxLayout(m_panel4);
    lines->setContentsMargins(0, 12, 0, 6);
    lines->setSpacing(0);

    QFont titleFont(phoneticFamily(false));
    titleFont.setPixelSize(32);
    titleFont.setBold(true);
    m_wieLabel = addLine(m_panel4, lines, "WieLabel", titleFont, 41);
    lines->addSpacing(10);
    m_erklLabel = addLine(m_panel4, lines, "ErklLabel", tahoma(13, true), 45);
    m_verLabel = addLine(m_panel4, lines, "VerLabel", tahoma(13, true), 21);
    m_verLabel->setText(QStringLiteral("Version ") + QCoreApplication::applicationVersion());
    lines->addSpacing(6);
    addLine(m_panel4, lines, "MakerLabel", tahoma(11, false), 0)
        ->setText(QStringLiteral("\u00A9 2026 The Sprelio developers"));

    auto *link = new LinkLabel(m_panel4);
    m_lbLink = addLine(m_panel4, lines, "lbLink", tahoma(11, false), 0, link);
    link->setUrl(homepage());
    connect(link, &QLabel::linkActivated, this, &TSplash::lbLinkClick);
    lines->addSpacing(6);

    m_bevel1 = new QFrame(m_panel4);
    m_bevel1->setObjectName(QStringLiteral("Bevel1"));
    m_bevel1->setFrameShape(QFrame::HLine);
    m_bevel1->setFrameShadow(QFrame::Sunken);
    m_bevel1->setFixedHeight(2);
    m_bevel1->hide();
    lines->addWidget(m_bevel1);
    lines->addStretch(1);

    m_okBtn = new QPushButton(QStringLiteral("&Ok"), m_panel4);
    m_okBtn->setObjectName(QStringLiteral("OkBtn"));
    m_okBtn->setFixedSize(121, 25);
    m_okBtn->setDefault(true);
    m_okBtn->hide();
    connect(m_okBtn, &QPushButton::clicked, this, &QDialog::accept);
    lines->addWidget(m_okBtn, 0, Qt::AlignHCenter);

    layout()->addWidget(m_panel4);
    m_panel4->installEventFilter(this);
}

QString TSplash::homepage()
{
    return QStringLiteral("https://sprelio.example.org");
}

void TSplash::showAtStart(QWidget *mainWindow)
{
    m_mainWindow = mainWindow;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
}

void TSplash::setMainWindow(QWidget *mainWindow)
{
    m_mainWindow = mainWindow;
    if (!m_startupPhase && m_mainWindow != nullptr) {
        m_mainWindow->show();
    }
}

void TSplash::showInformation(QWidget *owner)
{
    completeContent();
    setFixedSize(DesignWidth, InformationHeight);
    m_bevel1->show();
    m_okBtn->show();
    if (owner != nullptr) {
        QRect frame(QPoint(), size());
        frame.moveCenter(owner->frameGeometry().center());
        move(frame.topLeft());
    }
    m_okBtn->setFocus();
    exec();
}

void TSplash::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_startupPhase) {
        m_timer1->start();
    }
    if (m_wieLabel != nullptr) {
        showTexts();
    }
}

void TSplash::showTexts()
{
    // Shown afresh each time, so that a change of language reaches the information window.
    m_wieLabel->setText(glyphsToDisplay(LangStr(15).toLatin1()));
    m_erklLabel->setText(LangStr(17));
}

void TSplash::paintEvent(QPaintEvent *event)
{
    if (m_startupPicture.isNull()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter(this).drawImage(rect(), m_startupPicture);
    noteStartupPainted();
}

void TSplash::noteStartupPainted()
{
    if (m_startupPhase && !m_startupPainted) {
        m_startupPainted = true;
        emit startupPainted();
    }
}

bool TSplash::eventFilter(QObject *watched, QEvent *event)
{
    // The panels cover the whole window, so the window itself is never painted: the text panel,
    // painted last, tells when the window is on screen.
    if (watched == m_panel4 && event->type() == QEvent::Paint) {
        noteStartupPainted();
    }
    return QDialog::eventFilter(watched, event);
}

void TSplash::Timer1Timer()
{
    m_startupPhase = false;
    m_timer1->stop();
    hide();
    if (m_mainWindow != nullptr) {
        m_mainWindow->show();
    }
}

void TSplash::lbLinkClick()
{
    // Without a browser the link would otherwise do nothing visible.
    if (!QDesktopServices::openUrl(QUrl(homepage()))) {
        QWidget *owner = isVisible() ? this : m_mainWindow.data();
        MessageInfo(owner, LangStr(236).arg(homepage()));
    }
}

} // namespace Sprelio
