// SPDX-License-Identifier: MIT
#include "mainwindow.h"

#include "artwork.h"
#include "consoleframes.h"
#include "link/portchoice.h"
#include "link/receiveframer.h"
#include "link/setupsettings.h"
#include "link/sharedswitch.h"
#include "link/switchsession.h"
#include "panelwidgets.h"
#include "pinasker.h"
#include "portbox.h"
#include "protocol/commands.h"
#include "routingpanel.h"
#include "textpane.h"
#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "ui/networksettingsdialog.h"
#include "utpquery.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

MainWindow::MainWindow(Port& linePort, MessageBoxes& messageBoxes, const QString& workingDirectory,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("MATRIX 4X4 V2.1"));
    setWindowIcon(QIcon(QPixmap::fromImage(makeWindowIcon())));
    setFixedSize(clientWidth, clientHeight);
    // The design's colours and font, whatever the desktop's theme.
    design::applyLook(this, QColor(0xE0, 0xE0, 0xE0), design::windowFont());
    setAutoFillBackground(true);

    const SetupSettings settings = SetupSettings::read(workingDirectory);
    choice = new PortChoice(workingDirectory, PortChoice::Storage::Kept, this);
    link = new SwitchSession(linePort, *choice,
                             {.reconnect = settings.reconnect,
                              .askForRouting = true,
                              .pollSeconds = settings.pollSeconds,
                              .log = settings.log},
                             this);
    receiver = &link->replies();
    boxes = std::make_unique<ReplyHoldingBoxes>(messageBoxes, *receiver);
    utpQuery = new UtpQuery(*receiver, *boxes, this);

    messages = new MessageArea(this);
    linkState = new LinkStateBox(this);
    portBox = new PortBox(*choice, this);
    auto* frameStyle = new EtchedFrameStyle;
    frameStyle->setParent(this);
    for (QGroupBox* frame : std::initializer_list<QGroupBox*>{messages, linkState, portBox})
        frame->setStyle(frameStyle);
    linkButton = design::placed(new QPushButton(tr("Connect"), this), "Command7",
                                design::twips(3720, 7200, 1695, 855));
    auto* logo = design::placed(new QLabel(this), "Image1", design::twips(6360, 7440, 2850, 750));
    logo->setPixmap(QPixmap::fromImage(makeLogo()));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    routingPanel = new RoutingPanel(*link, workingDirectory, this);
    // The window's own waits hold the session's polling: a box or dialog open, the UTP query's
    // watchdog, a preset recall sending its keys.
    link->holdPollingWhile([this] {
        return QApplication::activeModalWidget() != nullptr || isWatchdogArmed() ||
               routingPanel->isRecalling();
    });
    chainTabOrder();
    pressFocusedButtonsOnEnter(this);
    connectElements();
    routingPanel->button(0)->setFocus();
}

MainWindow::~MainWindow()
{
    // Closing moves the focus out of the port box, which would confirm its text: it goes first.
    delete portBox;
}

void MainWindow::connectElements()
{
    connect(routingPanel, &RoutingPanel::keyPressed, this, &MainWindow::sendRoutingKey);
    connect(routingPanel, &RoutingPanel::note, this, &MainWindow::appendNote);
    connect(messages->clearButton, &QPushButton::clicked, messages->receivePane,
            [pane = messages->receivePane] { pane->setText({}); });
    connect(messages->sendButton, &QPushButton::clicked, this, &MainWindow::sendTerminalText);
    connect(messages->networkSettingsButton, &QPushButton::clicked, this,
            &MainWindow::openNetworkSettings);
    connect(messages->utpButton, &QPushButton::clicked, this, &MainWindow::openUtpDialog);
    connect(messages->statusButton, &QPushButton::clicked, this,
            [this] { writeToSwitch(protocol::statusRequest()); });
    connect(linkButton, &QPushButton::clicked, this, &MainWindow::toggleConnection);
    connect(portBox, &PortBox::refused, this, &MainWindow::appendLine);
    connect(link, &SwitchSession::openFailed, this, &MainWindow::reportOpenFailure);
    connect(receiver, &ReceiveFramer::replyReceived, this, &MainWindow::handleReply);
    connect(link, &SwitchSession::openChanged, this, &MainWindow::showLinkState);
    connect(receiver, &ReceiveFramer::heldRepliesDropped, this, &MainWindow::reportDroppedReplies);
    // A line in the receive pane: seen at start-up, kept with the session, and no box to dismiss.
    connect(choice, &PortChoice::choiceNotSaved, this, &MainWindow::appendLine);
    connect(link, &SwitchSession::linkLost, this, &MainWindow::reportLostLink);
    connect(link, &SwitchSession::writeFailed, this, &MainWindow::reportFailedWrite);
    connect(link, &SwitchSession::noAnswer, this, &MainWindow::appendNote);
    connect(link, &SwitchSession::linkNote, this, &MainWindow::appendNote);
    if (SharedSwitch* shared = link->line().sharedSwitch()) {
        auto* pin = new PinAsker(*shared, this);
        connect(pin, &PinAsker::note, this, &MainWindow::appendNote);
        // The routing asked for when the link opened was refused too: the lamps need it.
        connect(pin, &PinAsker::pinGiven, this,
                [this] { writeToSwitch(protocol::statusRequest()); });
    }
}

void MainWindow::chainTabOrder()
{
    QList<QWidget*> chain{routingPanel->button(0), linkButton};
    for (int i :
         {1, 2, 3, 4, 5, 6, 7, 8, 14, 20, 9, 15, 21, 10, 16, 22, 11, 17, 23, 12, 18, 13, 19})
        chain << routingPanel->button(i);
    chain << messages->receivePane << portBox->list() << messages->sendBox << messages->clearButton
          << messages->sendButton << messages->statusButton << messages->networkSettingsButton
          << messages->utpButton;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::startUp()
{
    // What a hand-edited varnok.conf holds that cannot be used: said once, without a box.
    if (const QString problems = routingPanel->setupProblems(); !problems.isEmpty())
        appendLine(problems);
    if (const QString problem = link->logProblem(); !problem.isEmpty())
        appendLine(problem);
    portBox->fill();
    choice->restore();
    const bool opened = link->startUp();
    portBox->showPortName();
    if (!opened) {
        linkButton->setToolTip(link->errorString());
        showPortFailure();
    }
    showLinkState(link->isOpen());
}

void MainWindow::showLinkState(bool open)
{
    // While the session reconnects by itself the link stays switched on: the button stops it.
    const bool switchedOn = open || link->isReconnecting() || link->isOpening();
    linkButton->setText(switchedOn ? tr("Disconnect") : tr("Connect"));
    linkState->showOpen(open);
    if (open) {
        linkButton->setToolTip({});
        return;
    }
    // What the previous link reported is no longer known: dark until the next link reports.
    routingPanel->darken();
}

void MainWindow::showPortFailure()
{
    boxes->show(this, boxtext::translated(boxtext::portFailure),
                boxtext::translated(boxtext::portFailureTitle));
}

bool MainWindow::writeToSwitch(const QByteArray& bytes)
{
    if (link->send(bytes))
        return true;
    showPortFailure();
    return false;
}

void MainWindow::sendRoutingKey(int index)
{
    const QByteArray command = protocol::routingKeyCommand(index);
    writeToSwitch(command);
    // The send box shows the command even when it could not be sent.
    messages->sendBox->setText(QString::fromLatin1(command));
    messages->sendBox->selectAllToEnd();
}

void MainWindow::sendTerminalText()
{
    const QByteArray bytes = protocol::terminalBytes(messages->sendBox->text());
    if (bytes.isEmpty() && link->isOpen())
        return;
    writeToSwitch(bytes);
}

void MainWindow::openNetworkSettings()
{
    NetworkSettingsDialog dialog(link->line(), *boxes, this);
    dialog.exec();
}

void MainWindow::openUtpDialog()
{
    if (!link->isOpen()) {
        boxes->show(this, boxtext::translated(boxtext::portNotOpen),
                    boxtext::translated(boxtext::warningTitle));
        return;
    }
    const QByteArray query = protocol::utpQuery();
    writeToSwitch(query);
    messages->sendBox->setText(QString::fromLatin1(query));
    utpQuery->runDialog(link->line());
}

void MainWindow::toggleConnection()
{
    const SwitchSession::ToggleResult result = link->toggle();
    if (result == SwitchSession::ToggleResult::OpenFailed)
        reportOpenFailure();
    else if (result == SwitchSession::ToggleResult::Opening)
        showLinkState(false); // the button stops the connecting
    portBox->refreshTooltips();
}

void MainWindow::reportOpenFailure()
{
    linkButton->setToolTip(link->errorString());
    showLinkState(link->isOpen());
    showPortFailure();
}

void MainWindow::reportLostLink(const QString& reason)
{
    // The port is already closed. Show it at once; the box waits until this slot has returned,
    // outside the port's error notification.
    showLinkState(false);
    const QString message = tr("Connection to the switch lost: %1").arg(reason);
    linkButton->setToolTip(message);
    // One box per outage: losses while it is open or due are lines in the pane, not boxes.
    if (lostLinkBoxDue)
        return;
    lostLinkBoxDue = true;
    QTimer::singleShot(0, this, [this, message] {
        boxes->show(this, message, boxtext::translated(boxtext::portFailureTitle));
        lostLinkBoxDue = false;
    });
}

void MainWindow::reportFailedWrite()
{
    // One box for whatever one write brought up; never from inside the port's notification.
    if (writeFailureQueued)
        return;
    writeFailureQueued = true;
    QTimer::singleShot(0, this, [this] {
        writeFailureQueued = false;
        showPortFailure();
    });
}

void MainWindow::reportDroppedReplies(qsizetype count)
{
    appendNote(
        tr("(%1 replies from the switch were dropped while a message box was open.)").arg(count));
    utpQuery->replyHandled();
}

void MainWindow::appendLine(const QString& line)
{
    messages->receivePane->appendText(QStringLiteral("\r\n") + line);
}

void MainWindow::appendNote(const QString& line)
{
    appendLine(line);
    messages->receivePane->selectAllToEnd();
}

void MainWindow::handleReply(const protocol::Reply& reply)
{
    using Kind = protocol::Reply::Kind;
    switch (reply.kind) {
    case Kind::RouteReport:
    case Kind::StatusReport:
        for (const protocol::Route& route : reply.routes) {
            appendLine(protocol::routeLine(route));
            // The lamps show the session's record, which keeps no last words of a closed line.
            routingPanel->showRoute(route.output, link->reportedInput(route.output));
        }
        if (reply.kind == Kind::StatusReport)
            messages->receivePane->appendText(QStringLiteral("\r\n"));
        break;
    case Kind::UtpStatus:
        utpQuery->answer(reply.oneWireMask);
        break;
    case Kind::UtpSetConfirm:
        boxes->show(this, boxtext::translated(boxtext::utpSetSuccess),
                    boxtext::translated(boxtext::applicationTitle));
        break;
    case Kind::Ack:
    case Kind::Edm:
        break;
    case Kind::Raw:
        messages->receivePane->appendText(reply.text);
        break;
    }
    messages->receivePane->selectAllToEnd();
    utpQuery->replyHandled();
}
