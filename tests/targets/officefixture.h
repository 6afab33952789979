#pragma once

// One LibreOffice for a whole test program: started under the test's X display with a profile
// of its own in a temporary folder, reached over a named local pipe, ended with the program.

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "uno/unostrings.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QUuid>

namespace OfficeFixture {

namespace uno = com::sun::star::uno;
namespace beans = com::sun::star::beans;
namespace frame = com::sun::star::frame;
namespace lang = com::sun::star::lang;
namespace text = com::sun::star::text;
using rtl::OUString;

inline OUString ou(const QString &s)
{
    return Sprelio::toOUString(s);
}

inline QString qs(const OUString &s)
{
    return Sprelio::toQString(s);
}

inline uno::Sequence<beans::PropertyValue>
properties(std::initializer_list<std::pair<const char *, uno::Any>> list)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(list.size()));
    beans::PropertyValue *out = sequence.getArray();
    for (const auto &[name, value] : list) {
        out->Name = OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return sequence;
}

template <typename T> T unoProperty(const uno::Reference<uno::XInterface> &object, const char *name)
{
    const uno::Reference<beans::XPropertySet> set(object, uno::UNO_QUERY_THROW);
    return set->getPropertyValue(OUString::createFromAscii(name)).get<T>();
}

inline void setUnoProperty(const uno::Reference<uno::XInterface> &object, const char *name,
                           const uno::Any &value)
{
    const uno::Reference<beans::XPropertySet> set(object, uno::UNO_QUERY_THROW);
    set->setPropertyValue(OUString::createFromAscii(name), value);
}

/// The text portions of a text, in order, as (text, properties) of each.
inline std::vector<uno::Reference<text::XTextRange>> portions(const uno::Reference<text::XText> &text)
{
    std::vector<uno::Reference<text::XTextRange>> result;
    const uno::Reference<com::sun::star::container::XEnumerationAccess> paragraphs(text,
                                                                                   uno::UNO_QUERY_THROW);
    const auto paragraphEnum = paragraphs->createEnumeration();
    while (paragraphEnum->hasMoreElements()) {
        const uno::Reference<com::sun::star::container::XEnumerationAccess> paragraph(
            paragraphEnum->nextElement(), uno::UNO_QUERY);
        if (!paragraph.is()) {
            continue;
        }
        const auto portionEnum = paragraph->createEnumeration();
        while (portionEnum->hasMoreElements()) {
            result.emplace_back(portionEnum->nextElement(), uno::UNO_QUERY_THROW);
        }
    }
    return result;
}

class Office
{
public:
    /// The profile folder as the office's own URL, for UserInstallation.
    QString profileUrl() const { return QUrl::fromLocalFile(m_profile.path()).toString(); }

    /// Whether the office shows its documents on the test's X display, or needs none.
    enum class Screen { Visible, Headless };

    /// Starts the office and connects to it; an empty text when that worked, otherwise why not.
    /// An office that ends while it starts, as one that cannot open the display of a busy test
    /// machine at once may, is started once more.
    QString start(Screen screen = Screen::Visible)
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty()) {
            return NotInstalled;
        }
        QString failure;
        for (int attempt = 0; attempt < 2; ++attempt) {
            failure = startOnce(soffice, screen);
            if (failure.isEmpty() || m_process.state() != QProcess::NotRunning) {
                break;
            }
            qWarning("%s; starting it once more", qPrintable(failure));
        }
        if (!failure.isEmpty()) {
            return failure;
        }
        try {
            m_context = cppu::bootstrap();
        } catch (const cppu::BootstrapException &error) {
            return QStringLiteral("no connection to soffice: ") + qs(error.getMessage());
        } catch (const uno::Exception &error) {
            return QStringLiteral("no connection to soffice: ") + qs(error.Message);
        }
        m_desktop.set(m_context->getServiceManager()->createInstanceWithContext(
                          OUString("com.sun.star.frame.Desktop"), m_context),
                      uno::UNO_QUERY_THROW);
        return {};
    }

    /// What start() gives where the office is missing: the only reason for a test to skip.
    static inline const QString NotInstalled = QStringLiteral("soffice is not installed");

    ~Office()
    {
        if (m_desktop.is()) {
            try {
                closeAll();
                m_desktop->terminate();
            } catch (const uno::Exception &) {
            }
        }
        m_desktop.clear();
        m_context.clear();
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(20000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    /// A new visible document of a factory such as "swriter", the office's current one.
    uno::Reference<frame::XModel> open(const char *factory)
    {
        const uno::Reference<frame::XComponentLoader> loader(m_desktop, uno::UNO_QUERY_THROW);
        const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
            OUString::createFromAscii("private:factory/") + OUString::createFromAscii(factory),
            OUString("_blank"), 0, {});
        m_opened.set(document, uno::UNO_QUERY_THROW);
        makeOpenedCurrent();
        return m_opened;
    }

    /// Makes the document that open() gave the office's current one again, where the office has
    /// let go of it; whether it is the current one now. The office takes the document whose
    /// window last had the focus, as a user's click gives it; on the test's display no window
    /// manager hands the focus on, so the office may be left with none.
    bool makeOpenedCurrent()
    {
        if (!m_opened.is()) {
            return true;
        }
        const uno::Reference<lang::XComponent> document(m_opened, uno::UNO_QUERY_THROW);
        if (m_desktop->getCurrentComponent() == document) {
            return true;
        }
        m_opened->getCurrentController()->getFrame()->activate();
        // A busy office may take long.
        QElapsedTimer waited;
        waited.start();
        while (m_desktop->getCurrentComponent() != document) {
            if (waited.elapsed() > 60000) {
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    void closeAll()
    {
        m_opened.clear();
        if (!m_desktop.is()) {
            return;
        }
        const auto components = m_desktop->getComponents()->createEnumeration();
        std::vector<uno::Reference<com::sun::star::util::XCloseable>> open;
        while (components->hasMoreElements()) {
            open.emplace_back(components->nextElement(), uno::UNO_QUERY);
        }
        for (const auto &document : open) {
            if (document.is()) {
                document->close(true);
            }
        }
    }

    /// Exports a document to PDF, to look at.
    static void toPdf(const uno::Reference<frame::XModel> &model, const QString &path, const char *filter)
    {
        const uno::Reference<frame::XStorable> storable(model, uno::UNO_QUERY_THROW);
        storable->storeToURL(ou(QUrl::fromLocalFile(path).toString()),
                             properties({{"FilterName", uno::Any(OUString::createFromAscii(filter))}}));
    }

    const uno::Reference<frame::XDesktop> &desktop() const { return m_desktop; }
    /// The name of the pipe that the office listens on.
    const QString &pipe() const { return m_pipe; }

private:
    // Starts soffice and waits until it listens on its pipe.
    QString startOnce(const QString &soffice, Screen screen)
    {
        // The office that cppu::bootstrap reaches is the one of this profile; it starts soffice
        // with a pipe of its own, which the running office takes over.
        qputenv("UserInstallation", profileUrl().toUtf8());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Until the office listens on a pipe, a second soffice would become an office of its own.
        const QString pipe = QStringLiteral("sprelio_test_") + QUuid::createUuid().toString(QUuid::Id128);
        m_pipe = pipe;
        QStringList arguments{QStringLiteral("-env:UserInstallation=") + profileUrl(),
                              QStringLiteral("--norestore"),
                              QStringLiteral("--nologo"),
                              QStringLiteral("--nolockcheck"),
                              QStringLiteral("--nodefault"),
                              QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe)};
        if (screen == Screen::Headless) {
            arguments << QStringLiteral("--headless");
        }
        m_process.start(soffice, arguments);
        if (!m_process.waitForStarted(30000)) {
            return QStringLiteral("soffice did not start");
        }
        const QString pipeFile =
            QDir::temp().filePath(QStringLiteral("OSL_PIPE_%1_%2").arg(getuid()).arg(pipe));
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(pipeFile)) {
            // Without an event loop only a wait sees that the office has ended.
            if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(0)) {
                return QStringLiteral("soffice ended before it listened (exit code %1)")
                    .arg(m_process.exitCode());
            }
            if (waited.elapsed() > 120000) {
                return QStringLiteral("soffice does not listen");
            }
            QThread::msleep(50);
        }
        return {};
    }

    QTemporaryDir m_profile;
    QString m_pipe;
    QProcess m_process;
    uno::Reference<uno::XComponentContext> m_context;
    uno::Reference<frame::XDesktop> m_desktop;
    uno::Reference<frame::XModel> m_opened;
};

} // namespace OfficeFixture
