// SPDX-License-Identifier: MIT
#include "runcommandline.h"

#include "commandline.h"
#include "link/anyport.h"
#include "link/language.h"
#include "link/matrixsetup.h"
#include "link/portchoice.h"
#include "link/setupsettings.h"
#include "link/setupstore.h"
#include "link/switchsession.h"
#include "protocol/terminationsignals.h"
#include "scriptoutput.h"
#include "scriptrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// The status to exit with once the port is closed: a command whose result could not be written
// has not done its job. A reader that went away ends it as SIGPIPE ends any tool.
int writtenStatus(int status, ScriptOutput& output)
{
    if (!output.writeFailed())
        return status;
    if (output.readerGone()) {
        std::signal(SIGPIPE, SIG_DFL);
        std::raise(SIGPIPE);
    }
    output.problem(
        QCoreApplication::translate("cli", "cannot write the result: %1").arg(output.writeError()));
    return ScriptRun::OutputFailed;
}

} // namespace

bool enterSetUpFolder(const QString& folder)
{
    if (::chdir(QFile::encodeName(folder).constData()) == 0)
        return true;
    const QByteArray problem = "varnok: cannot use " + QFile::encodeName(folder) +
                               " as the set-up folder: " + std::strerror(errno) + '\n';
    std::fputs(problem.constData(), stderr);
    return false;
}

int runCommandLine(int& argc, char** argv)
{
    // A closed pipe is seen as a failed write, so the port is closed before the process ends.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnok"));
    installTranslations(app);
    const cli::Parsed parsed = cli::parse(QCoreApplication::arguments().mid(1));
    ScriptOutput output(parsed.request && parsed.request->json);
    if (!parsed.request) {
        output.problem(parsed.error);
        return ScriptRun::BadUsage;
    }
    const cli::Request& request = *parsed.request;
    if (request.command == cli::Request::Command::Help) {
        output.text(cli::usage().toUtf8());
        return writtenStatus(ScriptRun::Done, output);
    }
    if (request.command == cli::Request::Command::Version) {
        output.text("varnok " VARNOK_VERSION "\n");
        return writtenStatus(ScriptRun::Done, output);
    }
    if (!request.directory.isEmpty() && !enterSetUpFolder(request.directory))
        return ScriptRun::BadUsage;

    AnyPort port;
    // A script borrows the console's choices: it never writes them, never reconnects and sends
    // nothing by itself.
    PortChoice choice(QDir::currentPath(), PortChoice::Storage::ReadOnly);
    choice.restore();
    // Through a shared switch's page, names and presets are its service's, whatever the folder
    // holds; the port is checked only where the command needs it.
    const bool sharedSetup =
        PanelPort::socketUrl(request.port.isEmpty() ? choice.portName() : request.port).has_value();
    SetupStore setup(QDir::currentPath(), port);
    if (!sharedSetup) {
        if (!setup.setup().problems().isEmpty())
            output.problem(setup.setup().problemSummary());
        output.useNames(setup.setup());
        if (!cli::needsSwitch(request.command))
            return writtenStatus(ScriptRun::runOffline(setup, request, output), output);
        if (request.command == cli::Request::Command::PresetRecall &&
            !setup.setup().findPreset(request.preset)) {
            output.problem(QCoreApplication::translate("cli", "no preset named \"%1\" in %2")
                               .arg(request.preset, setup.setup().filePath()));
            return ScriptRun::BadUsage;
        }
    }
    if (request.command == cli::Request::Command::PresetSave &&
        request.preset.size() > MatrixSetup::maxNameLength) {
        output.problem(
            QCoreApplication::translate("cli", "preset save: \"%1\" is longer than %2 characters")
                .arg(request.preset)
                .arg(MatrixSetup::maxNameLength));
        return ScriptRun::BadUsage;
    }

    SwitchSession session(port, choice, {.log = SetupSettings::read(QDir::currentPath()).log});
    if (!session.logProblem().isEmpty())
        output.problem(session.logProblem());
    if (!request.port.isEmpty() && !choice.choose(request.port)) {
        output.problem(choice.errorString());
        return ScriptRun::BadUsage;
    }

    ScriptRun run(session, setup, request, output, sharedSetup);
    QObject::connect(&run, &ScriptRun::finished, &app, [&port, &output](int status) {
        port.close(); // removes the lock file before the process ends
        QCoreApplication::exit(writtenStatus(status, output));
    });
    TerminationSignals stopRequests;
    QObject::connect(&stopRequests, &TerminationSignals::received, &run, &ScriptRun::interrupt);

    // A network port connects in the background; a serial port is open (or not) at once. The
    // command starts from the event loop, so that an exit it asks for is never lost before it.
    QObject::connect(
        &session, &SwitchSession::openChanged, &run,
        [&run](bool open) {
            if (open)
                run.start();
        },
        Qt::QueuedConnection);
    QObject::connect(&session, &SwitchSession::openFailed, &app, [&output](const QString& why) {
        output.problem(why);
        QCoreApplication::exit(ScriptRun::LinkFailed);
    });
    port.setConnectTimeout(request.timeoutMs);
    port.setPanelPin(request.pin);
    if (session.toggle() == SwitchSession::ToggleResult::OpenFailed) {
        output.problem(QCoreApplication::translate("cli", "cannot open %1: %2")
                           .arg(session.portName(), session.errorString()));
        return ScriptRun::LinkFailed;
    }
    return QCoreApplication::exec();
}
