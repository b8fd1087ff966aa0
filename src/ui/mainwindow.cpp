// SPDX-License-Identifier: MIT
#include "mainwindow.h"

#include "artwork.h"
#include "link/comdevice.h"
#include "link/matrixsetup.h"
#include "link/receiveframer.h"
#include "link/switchsession.h"
#include "panelwidgets.h"
#include "protocol/commands.h"
#include "textpane.h"
#include "ui/designlook.h"
#include "ui/enterpressesbutton.h"
#include "ui/networksettingsdialog.h"
#include "ui/utpmodedialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QColor background(0xE0, 0xE0, 0xE0);

} // namespace

// Every box the window or its dialogs show goes through here: while one is open, replies wait
// in the port and are handled, in order, after it closes.
class MainWindow::GuardedBoxes : public MessageBoxes
{
public:
    GuardedBoxes(MessageBoxes& boxes, ReceiveFramer& handler) : inner(boxes), receiver(handler) {}
    void show(QWidget* owner, const QString& text, const QString& title) override
    {
        receiver.hold();
        struct Release
        {
            ReceiveFramer& r;
            ~Release() { r.release(); }
        } release{receiver};
        inner.show(owner, text, title);
    }

private:
    MessageBoxes& inner;
    ReceiveFramer& receiver;
};

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
    design::applyLook(this, background, design::windowFont());
    setAutoFillBackground(true);

    link = new SwitchSession(linePort, workingDirectory, this);
    receiver = &link->replies();
    boxes = std::make_unique<GuardedBoxes>(messageBoxes, *receiver);
    setup = std::make_unique<MatrixSetup>(workingDirectory);
    recaller = new PresetRecall(*link, this);
    // The window's own waits hold the session's polling: a box or dialog open, the UTP query's
    // watchdog, a preset recall sending its keys.
    link->holdPollingWhile([this] {
        return QApplication::activeModalWidget() != nullptr || isWatchdogArmed() ||
               recaller->isRunning();
    });

    utpWatchdog.setObjectName(QStringLiteral("Timer2"));
    utpWatchdog.setInterval(500);
    utpWatchdog.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, before a switch that answers in time.
    utpWatchdog.setTimerType(Qt::PreciseTimer);

    buildMessageArea();
    buildLinkArea();
    auto* frameStyle = new EtchedFrameStyle;
    frameStyle->setParent(this);
    for (QGroupBox* frame : {messageFrame, linkStateFrame, portFrame})
        frame->setStyle(frameStyle);
    buildRoutingPanel();
    chainTabOrder();
    pressFocusedButtonsOnEnter(this);

    connect(routingButtons, &QButtonGroup::idClicked, this, &MainWindow::sendRoutingKey);
    connect(clearButton, &QPushButton::clicked, this, &MainWindow::clearReceivePane);
    connect(sendButton, &QPushButton::clicked, this, &MainWindow::sendTerminalText);
    connect(networkSettingsButton, &QPushButton::clicked, this, &MainWindow::openNetworkSettings);
    connect(utpButton, &QPushButton::clicked, this, &MainWindow::openUtpDialog);
    connect(statusButton, &QPushButton::clicked, this, &MainWindow::requestStatus);
    connect(linkButton, &QPushButton::clicked, this, &MainWindow::toggleConnection);
    connect(portList, &QComboBox::activated, this, &MainWindow::choosePort);
    connect(portList->lineEdit(), &QLineEdit::editingFinished, this, &MainWindow::confirmTypedPort);
    connect(link, &SwitchSession::openFailed, this, &MainWindow::reportOpenFailure);
    connect(&utpWatchdog, &QTimer::timeout, this, &MainWindow::watchdogExpired);
    connect(receiver, &ReceiveFramer::replyReceived, this, &MainWindow::handleReply);
    connect(link, &SwitchSession::openChanged, this, &MainWindow::showLinkState);
    connect(link, &SwitchSession::listIndexChanged, portList, &QComboBox::setCurrentIndex);
    connect(receiver, &ReceiveFramer::heldRepliesDropped, this, &MainWindow::reportDroppedReplies);
    // A line in the receive pane: seen at start-up, kept with the session, and no box to dismiss.
    connect(link, &SwitchSession::choiceNotSaved, this, &MainWindow::appendLine);
    connect(link, &SwitchSession::linkLost, this, &MainWindow::reportLostLink);
    connect(link, &SwitchSession::writeFailed, this, &MainWindow::reportFailedWrite);
    for (auto signal : {&SwitchSession::noAnswer, &SwitchSession::linkNote})
        connect(link, signal, this, [this](const QString& note) {
            appendLine(note);
            receivePane->selectAllToEnd();
        });

    connect(recaller, &PresetRecall::finished, this, &MainWindow::reportRecall);
    refreshNameTooltips();

    routingButtons->button(0)->setFocus();
}

MainWindow::~MainWindow()
{
    // Closing the window moves the focus away from the port box, which would confirm its text
    // on a window already half destroyed.
    disconnect(portList->lineEdit(), nullptr, this, nullptr);
}

void MainWindow::showLinkState(bool open)
{
    // While the session reconnects by itself the link stays switched on: the button stops it.
    const bool switchedOn = open || link->isReconnecting() || link->isOpening();
    linkButton->setText(switchedOn ? tr("Disconnect") : tr("Connect"));
    connectedLamp->setLit(open);
    disconnectedLamp->setLit(!open);
    if (open) {
        linkButton->setToolTip({});
        return;
    }
    // What the previous link reported is no longer known: dark, as at start-up, until the
    // switch on the next link reports.
    for (const LampRow& row : routingLamps)
        for (Lamp* lamp : row)
            lamp->setLit(false);
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
    sendBox->setText(QString::fromLatin1(command));
    sendBox->selectAllToEnd();
}

void MainWindow::clearReceivePane()
{
    receivePane->setText({});
}

void MainWindow::sendTerminalText()
{
    const QByteArray bytes = protocol::terminalBytes(sendBox->text());
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
    sendBox->setText(QString::fromLatin1(query));
    armWatchdog();
    UtpModeDialog dialog(link->line(), *boxes, this);
    openUtpDialogWindow = &dialog;
    dialog.exec();
}

void MainWindow::requestStatus()
{
    writeToSwitch(protocol::statusRequest());
}

void MainWindow::toggleConnection()
{
    switch (link->toggle()) {
    case SwitchSession::ToggleResult::OpenFailed:
        reportOpenFailure();
        break;
    case SwitchSession::ToggleResult::Opening:
        showLinkState(false); // the button stops the connecting
        break;
    case SwitchSession::ToggleResult::Opened:
    case SwitchSession::ToggleResult::Closed:
        break;
    }
    refreshPortTooltips();
}

void MainWindow::reportOpenFailure()
{
    linkButton->setToolTip(link->errorString());
    showLinkState(link->isOpen());
    showPortFailure();
}

void MainWindow::armWatchdog()
{
    utpWatchdog.start();
}

void MainWindow::disarmWatchdog()
{
    utpWatchdog.stop();
    watchdogAwaitsReply = 0;
}

void MainWindow::watchdogExpired()
{
    // An answer whose first byte came before the deadline is in time: decide after its reply.
    const quint64 awaited = receiver->windowsOpened();
    if (receiver->repliesHandled() < awaited) {
        watchdogAwaitsReply = awaited;
        return;
    }
    reportSilentSwitch();
}

void MainWindow::decideAwaitedWatchdog()
{
    if (watchdogAwaitsReply == 0 || receiver->repliesHandled() < watchdogAwaitsReply)
        return;
    watchdogAwaitsReply = 0;
    reportSilentSwitch();
}

void MainWindow::reportSilentSwitch()
{
    // The box's modal loop keeps timers running; one box is enough.
    if (watchdogBoxOpen)
        return;
    watchdogBoxOpen = true;
    boxes->show(this, boxtext::translated(boxtext::deviceNotConnected),
                boxtext::translated(boxtext::applicationTitle));
    watchdogBoxOpen = false;
    disarmWatchdog();
}

void MainWindow::reportLostLink(const QString& reason)
{
    // The port is already closed. Show it at once; the box waits until this slot has returned,
    // outside the port's error notification.
    showLinkState(false);
    const QString message = tr("Connection to the switch lost: %1").arg(reason);
    linkButton->setToolTip(message);
    // One box per outage: while it is open, or about to be, a link that keeps coming back and
    // dropping adds lines to the receive pane (the session's notes), never another box.
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
    appendLine(tr("(%1 replies from the switch were dropped while a message box "
                  "was open.)")
                   .arg(count));
    receivePane->selectAllToEnd();
    decideAwaitedWatchdog();
}

void MainWindow::showRoute(int output, int input)
{
    if (output < 1 || output > 4 || input < 1 || input > 4)
        return;
    ::showRoute(routingLamps[output - 1], static_cast<quint8>(input));
}

void MainWindow::appendLine(const QString& line)
{
    receivePane->appendText(QStringLiteral("\r\n") + line);
}

void MainWindow::handleReply(const protocol::Reply& reply)
{
    using Kind = protocol::Reply::Kind;
    switch (reply.kind) {
    case Kind::RouteReport:
    case Kind::StatusReport:
        for (const protocol::Route& route : reply.routes) {
            appendLine(protocol::routeLine(route));
            // The last words of a closed line are shown, but no longer light a lamp.
            if (link->isOpen())
                showRoute(route.output, route.input);
        }
        if (reply.kind == Kind::StatusReport)
            receivePane->appendText(QStringLiteral("\r\n"));
        break;
    case Kind::UtpStatus:
        disarmWatchdog();
        // With the dialog closed there is nothing to fill in.
        if (openUtpDialogWindow)
            openUtpDialogWindow->showReportedModes(reply.oneWireMask);
        break;
    case Kind::UtpSetConfirm:
        boxes->show(this, boxtext::translated(boxtext::utpSetSuccess),
                    boxtext::translated(boxtext::applicationTitle));
        break;
    case Kind::Ack:
    case Kind::Edm:
        break;
    case Kind::Raw:
        receivePane->appendText(reply.text);
        break;
    }
    receivePane->selectAllToEnd();
    decideAwaitedWatchdog();
}
