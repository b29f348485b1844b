#include "UnoOffice.h"

#include "automation/DetachedProcess.h"
#include "UnoCalls.h"
#include "UnoDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XToolkit.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <signal.h>
#include <unistd.h>

using namespace com::sun::star;
using com::sun::star::uno::Any;
using com::sun::star::uno::Reference;
using com::sun::star::uno::Sequence;
using com::sun::star::uno::UNO_QUERY;
using com::sun::star::uno::UNO_QUERY_THROW;

namespace automation {

using unocalls::ou;
using unocalls::prop;
using unocalls::qs;

namespace {

// The import filter the office chose for a loaded file: a damaged or foreign
// file is often read as plain text, which no template or workbook is.
bool readAsText(const Reference<lang::XComponent>& component)
{
    Reference<frame::XModel> model(component, UNO_QUERY);
    if (!model.is())
        return false;
    const Sequence<beans::PropertyValue> args = model->getArgs();
    for (sal_Int32 i = 0; i < args.getLength(); ++i)
        if (args[i].Name == "FilterName") {
            rtl::OUString name;
            args[i].Value >>= name;
            const QString filter = qs(name);
            return filter.startsWith(QLatin1String("Text")) || filter.contains(QLatin1String("csv"), Qt::CaseInsensitive);
        }
    return false;
}

// An office that ends while a call is being written closes the pipe under
// the writer: the write is to fail (the bridge then reports the office gone),
// not to end this process by SIGPIPE. A handler set by someone else stays.
void ignoreBrokenPipe()
{
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGPIPE, SIG_IGN);
}

// The client side of UNO needs its bootstrap file before the first call.
void ensureBootstrapVariable()
{
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
}

} // namespace

// How long an office is still looked for once the program that started it ended.
constexpr int kEndedStartGraceMs = 3000;

struct UnoOffice::Impl {
    UnoOptions options;
    Reference<uno::XComponentContext> local;
    Reference<uno::XComponentContext> remote;
    Reference<frame::XDesktop2> desktop;
    bool started = false;  // this object started the office
    qint64 pid = 0;        // of the started office
    bool inUse = false;    // between connect() and disconnect()

    // An office installed without any window plug-in runs headless only.
    bool windowsAvailable() const
    {
        const QFileInfo soffice(options.soffice);
        return !QDir(soffice.absolutePath()).entryList({QStringLiteral("libvclplug_*")}, QDir::Files).isEmpty();
    }

    rtl::OUString connectString() const
    {
        return ou(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(options.pipeName));
    }

    bool alive()
    {
        if (!desktop.is())
            return false;
        try {
            desktop->getComponents();
            return true;
        } catch (const uno::Exception&) {
            desktop.clear();
            remote.clear();
            return false;
        }
    }

    bool resolve()
    {
        try {
            Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
            remote.set(resolver->resolve(connectString()), UNO_QUERY_THROW);
            desktop = frame::Desktop::create(remote);
            return true;
        } catch (const uno::Exception&) {
            remote.clear();
            desktop.clear();
            return false;
        }
    }

    // The profile's fonts folder; the office reads it when it starts.
    QString fontFolder() const
    {
        QString profile = options.profileFolder;
        if (profile.isEmpty()) {
            QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
            if (config.isEmpty())
                config = QDir::homePath() + QStringLiteral("/.config");
            profile = config + QStringLiteral("/libreoffice/4");
        }
        return profile + QStringLiteral("/user/fonts");
    }

    void installFonts() const { InstallFonts(options.fontFiles, fontFolder()); }

    void start()
    {
        installFonts();
        QStringList args;
        if (options.headless || !windowsAvailable())
            args << QStringLiteral("--headless") << QStringLiteral("--invisible");
        args << QStringLiteral("--norestore") << QStringLiteral("--nologo") << QStringLiteral("--nodefault")
             << QStringLiteral("--nolockcheck");
        if (!options.profileFolder.isEmpty()) {
            QDir().mkpath(options.profileFolder);
            args << QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(QFileInfo(options.profileFolder).absoluteFilePath())
                            .toString(QUrl::FullyEncoded);
        }
        args << QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(options.pipeName);
        // Never a pipe that may close under the office: its output goes to a file. The office
        // inherits none of our files (the database and its locks among them).
        started = StartDetached({options.soffice, args, options.logFile}, &pid);
    }
};

UnoOffice::UnoOffice(UnoOptions options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
}

UnoOffice::~UnoOffice()
{
    if (d->started && d->options.headless)
        terminate();
}

bool UnoOffice::connect()
{
    if (d->alive()) {
        d->inUse = true;
        return true;
    }
    ignoreBrokenPipe();
    try {
        ensureBootstrapVariable();
        if (!d->local.is())
            d->local = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception&) {
        return false;
    }
    if (!d->resolve()) {
        d->start();
        if (!d->started)
            return false;
        QElapsedTimer timer;
        timer.start();
        QElapsedTimer ended;  // since the started program ended
        while (!d->resolve()) {
            if (timer.elapsed() > d->options.startTimeoutMs)
                return false;
            // The start program may end after handing its arguments to an
            // office already running (the user's own): that one gets a moment
            // to accept; an office that fails to come up is not waited for.
            // It was there to start, so it stopped (killed, or it crashed)
            // rather than being missing: the next print starts it again.
            if (!ended.isValid() && ::kill(static_cast<pid_t>(d->pid), 0) != 0)
                ended.start();
            if (ended.isValid() && ended.elapsed() > kEndedStartGraceMs)
                throw OfficeStopped();
            // The program's windows keep painting while the office starts; what
            // the user types waits until the print has its office.
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(50);
        }
    }
    d->inUse = true;
    return true;
}

void UnoOffice::disconnect() { d->inUse = false; }

bool UnoOffice::connected() const { return d->inUse && d->desktop.is(); }

std::unique_ptr<Document> UnoOffice::newCalc()
{
    std::unique_ptr<Document> doc = loadDocument(QString());
    // A workbook the program lays out holds only what it shows.
    unodoc::PlainPages(*doc);
    // The office names a new sheet in its own interface language ("Sheet1").
    for (int i = 0; i < doc->sheetCount(); ++i) {
        const QString name = QStringLiteral("Лист%1").arg(i + 1);
        if (doc->sheetName(i) != name)
            doc->setSheetName(i, name);
    }
    return doc;
}

std::unique_ptr<Document> UnoOffice::loadDocument(const QString& path)
{
    if (!d->desktop.is())
        throw OfficeError("no office connection");
    try {
        Sequence<beans::PropertyValue> args(2);
        args.getArray()[0] = prop("Hidden", Any(true));
        args.getArray()[1] = prop("AsTemplate", Any(true));
        const rtl::OUString url =
            path.isEmpty() ? rtl::OUString("private:factory/scalc")
                           : ou(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
        if (!path.isEmpty() && !QFileInfo(path).isFile())
            throw OfficeError("no file " + path.toStdString());
        Reference<frame::XComponentLoader> loader(d->desktop, UNO_QUERY_THROW);
        Reference<lang::XComponent> component = loader->loadComponentFromURL(url, "_blank", 0, args);
        if (!component.is())
            throw OfficeError("cannot open " + path.toStdString());
        Reference<sheet::XSpreadsheetDocument> sd(component, UNO_QUERY);
        if (!sd.is() || (!path.isEmpty() && readAsText(component))) {
            Reference<util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
            throw OfficeError("not a spreadsheet: " + path.toStdString());
        }
        auto doc = unodoc::Wrap(component, d->remote, d->options.headless, d->windowsAvailable());
        // The engine parks blocks on the second sheet.
        while (doc->sheetCount() < 2)
            doc->insertSheet(doc->sheetCount(), QStringLiteral("Лист%1").arg(doc->sheetCount() + 1));
        return doc;
    } catch (const uno::Exception& e) {
        rethrow(e);
    }
}

std::unique_ptr<Document> UnoOffice::editDocument(const QString& path)
{
    if (!d->desktop.is())
        throw OfficeError("no office connection");
    if (!QFileInfo(path).isFile())
        throw OfficeError("no file " + path.toStdString());
    try {
        Sequence<beans::PropertyValue> args(1);
        args.getArray()[0] = prop("Hidden", Any(true));
        Reference<frame::XComponentLoader> loader(d->desktop, UNO_QUERY_THROW);
        Reference<lang::XComponent> component = loader->loadComponentFromURL(
            ou(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)), "_blank", 0, args);
        if (!component.is())
            throw OfficeError("cannot open " + path.toStdString());
        Reference<sheet::XSpreadsheetDocument> sd(component, UNO_QUERY);
        if (!sd.is() || (!path.isEmpty() && readAsText(component))) {
            Reference<util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
            throw OfficeError("not a spreadsheet: " + path.toStdString());
        }
        auto doc = unodoc::Wrap(component, d->remote, d->options.headless, d->windowsAvailable());
        doc->show();
        return doc;
    } catch (const uno::Exception& e) {
        rethrow(e);
    }
}

bool UnoOffice::hasFont(const QString& family)
{
    if (!d->alive())
        return true;
    try {
        Reference<awt::XToolkit> toolkit(
            d->remote->getServiceManager()->createInstanceWithContext("com.sun.star.awt.Toolkit", d->remote),
            UNO_QUERY_THROW);
        const Sequence<awt::FontDescriptor> fonts = toolkit->createScreenCompatibleDevice(1, 1)->getFontDescriptors();
        const rtl::OUString name = ou(family);
        for (sal_Int32 i = 0; i < fonts.getLength(); ++i)
            if (fonts[i].Name == name)
                return true;
        return false;
    } catch (const uno::Exception&) {
        return true;
    }
}

void UnoOffice::terminate()
{
    if (d->alive()) {
        try {
            d->desktop->terminate();
        } catch (const uno::Exception&) {
        }
    }
    d->desktop.clear();
    d->remote.clear();
    // The office still writes its profile while it ends; wait for it, so
    // that its folder can be removed.
    if (d->started && d->pid > 0) {
        QElapsedTimer timer;
        timer.start();
        while (::kill(static_cast<pid_t>(d->pid), 0) == 0 && timer.elapsed() < 10000)
            QThread::msleep(20);
    }
    d->started = false;
    d->pid = 0;
    d->inUse = false;
}

UnoOptions ProgramUnoOptions()
{
    UnoOptions o;
    o.fontFiles = ProgramFontFiles();
    o.pipeName = QStringLiteral("tarelia_%1").arg(getuid());
    o.headless = false;
    return o;
}

UnoOptions HeadlessUnoOptions(const QString& folder)
{
    UnoOptions o;
    o.pipeName = QStringLiteral("tarelia_headless_%1").arg(getpid());
    o.headless = true;
    o.profileFolder = folder + QStringLiteral("/profile");
    o.logFile = folder + QStringLiteral("/office.log");
    o.fontFiles = ProgramFontFiles();
    return o;
}

} // namespace automation
