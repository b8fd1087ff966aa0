// SPDX-License-Identifier: MIT
#include "runcommandline.h"

#include "commandline.h"
#include "link/anyport.h"
#include "link/matrixsetup.h"
#include "link/switchsession.h"
#include "link/terminationsignals.h"
#include "scriptoutput.h"
#include "scriptrun.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int runCommandLine(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnok"));
    const cli::Parsed parsed = cli::parse(QCoreApplication::arguments().mid(1));
    ScriptOutput output(parsed.request && parsed.request->json);
    if (!parsed.request) {
        output.problem(parsed.error);
        return ScriptRun::BadUsage;
    }
    const cli::Request& request = *parsed.request;
    if (request.command == cli::Request::Command::Help) {
        std::fputs(qPrintable(cli::usage()), stdout);
        return ScriptRun::Done;
    }
    if (request.command == cli::Request::Command::Version) {
        std::puts("varnok " VARNOK_VERSION);
        return ScriptRun::Done;
    }

    MatrixSetup setup(QDir::currentPath());
    if (!setup.problems().isEmpty())
        output.problem(setup.problemSummary());
    output.useNames(setup);
    if (!cli::needsSwitch(request.command))
        return ScriptRun::runOffline(setup, request, output);
    if (request.command == cli::Request::Command::PresetSave &&
        request.preset.size() > MatrixSetup::maxNameLength) {
        output.problem(QStringLiteral("preset save: \"%1\" is longer than %2 characters")
                           .arg(request.preset)
                           .arg(MatrixSetup::maxNameLength));
        return ScriptRun::BadUsage;
    }
    if (request.command == cli::Request::Command::PresetRecall &&
        !setup.findPreset(request.preset)) {
        output.problem(
            QStringLiteral("no preset named \"%1\" in %2").arg(request.preset, setup.filePath()));
        return ScriptRun::BadUsage;
    }

    AnyPort port;
    SwitchSession session(port, QDir::currentPath(), SwitchSession::Role::Script);
    session.restoreChoice();
    if (!session.logProblem().isEmpty())
        output.problem(session.logProblem());
    if (!request.port.isEmpty() && !session.choosePort(request.port)) {
        output.problem(session.errorString());
        return ScriptRun::BadUsage;
    }

    ScriptRun run(session, setup, request, output);
    QObject::connect(&run, &ScriptRun::finished, &app, [&port](int status) {
        port.close(); // removes the lock file before the process ends
        QCoreApplication::exit(status);
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
    if (session.toggle() == SwitchSession::ToggleResult::OpenFailed) {
        output.problem(
            QStringLiteral("cannot open %1: %2").arg(session.portName(), session.errorString()));
        return ScriptRun::LinkFailed;
    }
    return QCoreApplication::exec();
}
