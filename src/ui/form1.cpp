// SPDX-License-Identifier: MIT
#include "form1.h"

#include "artwork.h"
#include "panelwidgets.h"
#include "protocol/commands.h"
#include "protocol/comportfile.h"
#include "ui/networksettingsdialog.h"
#include "link/comdevice.h"
#include "ui/designlook.h"
#include "ui/designunits.h"
#include "ui/enterpressesbutton.h"
#include "link/receiveframer.h"
#include "link/switchsession.h"
#include "textpane.h"
#include "ui/utpmodedialog.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using design::arial;
using design::elementName;
using design::placed;
using design::twips;

namespace {

const QColor background(0xE0, 0xE0, 0xE0);
const QColor panelGrey(0x80, 0x80, 0x80);
const QColor navy(0x00, 0x00, 0x80);
const QColor lampGreen(0x00, 0xFF, 0x00);
const QColor lampRed(0xFF, 0x00, 0x00);

} // namespace

// Every box the window or its dialogs show goes through here: while one is open, replies wait
// in the port and are handled, in order, after it closes.
class Form1::GuardedBoxes : public MessageBoxes
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

Form1::Form1(Port& linePort, MessageBoxes& messageBoxes, const QString& workingDirectory,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      port(linePort)
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

    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(500);
    Timer2.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, before a switch that answers in time.
    Timer2.setTimerType(Qt::PreciseTimer);

    buildMessageArea();
    buildBottomArea();
    auto* frameStyle = new EtchedFrameStyle;
    frameStyle->setParent(this);
    for (QGroupBox* frame : {Frame1, Frame2, Frame3})
        frame->setStyle(frameStyle);
    buildRoutingPanel();
    setTabOrderChain();
    pressFocusedButtonsOnEnter(this);

    for (int i = 0; i < 24; ++i)
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(&Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(receiver, &ReceiveFramer::replyReceived, this, &Form1::MSComm1_OnComm);
    connect(link, &SwitchSession::openChanged, this, &Form1::showLinkState);
    connect(link, &SwitchSession::listIndexChanged, Combo1, &QComboBox::setCurrentIndex);
    connect(receiver, &ReceiveFramer::heldRepliesDropped, this, &Form1::onHeldRepliesDropped);
    // A line in the receive pane: seen at start-up, kept with the session, and no box to dismiss.
    connect(link, &SwitchSession::choiceNotSaved, this, &Form1::appendLine);
    connect(link, &SwitchSession::linkLost, this, &Form1::onLinkLost);
    connect(link, &SwitchSession::writeFailed, this, &Form1::onWriteFailed);

    Command1[0]->setFocus();
}

Form1::~Form1() = default;

void Form1::buildMessageArea()
{
    Frame1 = placed(new QGroupBox(QStringLiteral("Message"), this), "Frame1",
                    twips(120, 240, 5295, 6615));
    Label8 =
        placed(new QLabel(QStringLiteral("Receive"), Frame1), "Label8", twips(240, 240, 735, 375));
    Label8->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1 = placed(new TextPane(Frame1), "Text1", twips(120, 480, 5055, 4335));
    // Replies accumulate for as long as the console runs; keep the newest 1 MiB characters.
    Text1->setUndoRedoEnabled(false);
    Text1->setCharacterCap(1 << 20);
    // A device that never ends its line must not make each append lay out the whole line again.
    Text1->setDisplayLineLimit(1024);
    // The record of the session: selected after every reply, so a typed key would replace it.
    // It can be selected and copied, by mouse and by keyboard; only Clear empties it.
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Command4 = placed(new QPushButton(QStringLiteral("Set IP"), Frame1), "Command4",
                      twips(120, 4920, 855, 375));
    Command5 = placed(new QPushButton(QStringLiteral("UTP Set"), Frame1), "Command5",
                      twips(1080, 4920, 915, 375));
    Command6 = placed(new QPushButton(QStringLiteral("Status"), Frame1), "Command6",
                      twips(2880, 4920, 975, 375));
    Command2 = placed(new QPushButton(QStringLiteral("Clear"), Frame1), "Command2",
                      twips(4080, 4920, 975, 375));
    Text2 = placed(new TextPane(Frame1), "Text2", twips(120, 5520, 3855, 975));
    Command3 = placed(new QPushButton(QStringLiteral("Send"), Frame1), "Command3",
                      twips(4080, 5520, 975, 975));
}

void Form1::buildBottomArea()
{
    const QColor outline = palette().color(QPalette::WindowText);
    Frame2 = placed(new QGroupBox(QStringLiteral("Connect State"), this), "Frame2",
                    twips(120, 7080, 1575, 975));
    Shape15 = placed(new Lamp(lampGreen, outline, Frame2), "Shape15", twips(120, 240, 255, 255));
    placed(new QLabel(QStringLiteral("Connected"), Frame2), "Label6", twips(480, 240, 975, 255));
    Shape16 = placed(new Lamp(lampRed, outline, Frame2), "Shape16", twips(120, 600, 255, 255));
    placed(new QLabel(QStringLiteral("Disconnect"), Frame2), "Label7", twips(480, 600, 975, 255));

    Frame3 = placed(new QGroupBox(QStringLiteral("Com Select"), this), "Frame3",
                    twips(1920, 7080, 1575, 975));
    Combo1 = placed(new QComboBox(Frame3), "Combo1", twips(240, 360, 1095, 345));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QStringLiteral("Combo1"));

    Command7 = placed(new QPushButton(QStringLiteral("Connect"), this), "Command7",
                      twips(3720, 7200, 1695, 855));
    Image1 = placed(new QLabel(this), "Image1", twips(6360, 7440, 2850, 750));
    Image1->setPixmap(QPixmap::fromImage(makeLogo()));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Form1::buildRoutingPanel()
{
    const QColor outline = palette().color(QPalette::WindowText);
    // The ring of a dark routing lamp must show on the navy panel.
    const QColor lampRing = palette().color(QPalette::Button);
    placed(new PanelShape(PanelShape::Form::RoundedRectangle, panelGrey, outline, this), "Shape1",
           twips(5880, 360, 3615, 6975));

    static constexpr const char* extensionNames[4] = {"Shape6", "Shape3", "Shape9", "Shape12"};
    static constexpr const char* jointNames[4] = {"Shape7", "Shape4", "Shape10", "Shape13"};
    static constexpr const char* badgeNames[4] = {"Shape8", "Shape5", "Shape11", "Shape14"};
    static constexpr const char* numberNames[4] = {"Label2", "Label1", "Label3", "Label4"};
    static constexpr const char* lampArrays[4] = {"Shape17", "Shape18", "Shape19", "Shape20"};
    static constexpr int jointLeft[4] = {8400, 8400, 8280, 8160};
    static constexpr int inputLeft[4] = {6240, 6960, 7800, 8520};
    const auto rowTop = [](int row) { return 600 + 1560 * row; };

    // Back to front: row panels, joints and extensions, badges, numbers and lamps, buttons.
    for (int row = 0; row < 4; ++row) {
        auto* panel = new PanelShape(PanelShape::Form::RoundedRectangle, navy, {}, this);
        placed(panel, "", twips(6120, rowTop(row), 2415, 1455));
        panel->setObjectName(elementName("Shape2", row));
    }
    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        placed(new PanelShape(PanelShape::Form::Rectangle, navy, {}, this), jointNames[row],
               twips(jointLeft[row], t + (row == 0 ? 240 : 360), 495, 735));
        placed(new PanelShape(PanelShape::Form::RoundedRectangle, navy, {}, this),
               extensionNames[row], twips(8160, t + 480, 1095, 975));
    }
    for (int row = 0; row < 4; ++row)
        placed(new PanelShape(PanelShape::Form::RoundedRectangle, panelGrey, {}, this),
               badgeNames[row], twips(8520, rowTop(row) - 120, 615, 615));
    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        auto* number = placed(new QLabel(QString::number(row + 1), this), numberNames[row],
                              twips(8760, t, 375, 495));
        number->setFont(arial(21.75, true, true));
        QPalette pal = number->palette();
        pal.setColor(QPalette::WindowText, navy);
        number->setPalette(pal);
        number->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        for (int input = 0; input < 4; ++input) {
            auto* lamp = new Lamp(lampGreen, lampRing, this);
            lamp->setObjectName(elementName(lampArrays[row], input));
            lamp->setGeometry(twips(6480 + 720 * input, t + 600, 255, 255));
            lamp->setLit(false);
            routingLamps[row][input] = lamp;
        }
    }
    auto* model =
        placed(new QLabel(QStringLiteral("VARNOK"), this), "Label5", twips(6420, 6840, 2655, 375));
    model->setFont(arial(15, true));
    model->setAutoFillBackground(true);
    QPalette modelPalette = model->palette();
    modelPalette.setColor(QPalette::WindowText, QColor(0xFF, 0x80, 0x00));
    modelPalette.setColor(QPalette::Window, panelGrey);
    model->setPalette(modelPalette);

    for (int row = 0; row < 4; ++row) {
        const int t = rowTop(row);
        const int first = 6 * row;
        Command1[first] = new RoutingButton(RoutingButton::Glyph::LeftArrow, {}, this);
        Command1[first]->setGeometry(twips(6960, t + 120, 615, 375));
        Command1[first + 1] = new RoutingButton(RoutingButton::Glyph::RightArrow, {}, this);
        Command1[first + 1]->setGeometry(twips(7800, t + 120, 615, 375));
        for (int input = 0; input < 4; ++input) {
            auto* button =
                new RoutingButton(RoutingButton::Glyph::Caption, QString::number(input + 1), this);
            button->setGeometry(twips(inputLeft[input], t + 960, 615, 375));
            Command1[first + 2 + input] = button;
        }
    }
    for (int i = 0; i < 24; ++i) {
        Command1[i]->setObjectName(elementName("Command1", i));
        Command1[i]->setFont(arial(i % 6 < 2 ? 18 : 15.75, true));
        Command1[i]->raise();
    }
}

void Form1::setTabOrderChain()
{
    QList<QWidget*> chain{Command1[0], Command7};
    for (int i :
         {1, 2, 3, 4, 5, 6, 7, 8, 14, 20, 9, 15, 21, 10, 16, 22, 11, 17, 23, 12, 18, 13, 19})
        chain << Command1[i];
    chain << Text1 << Combo1 << Text2 << Command2 << Command3 << Command6 << Command4 << Command5;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void Form1::startUp()
{
    for (int n = 1; n <= SwitchSession::portCount; ++n)
        Combo1->addItem(QStringLiteral("COM%1").arg(n));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("Combo1"));
    refreshPortTooltips();
    const bool opened = link->startUp();
    if (!opened) {
        Command7->setToolTip(link->errorString());
        showPortFailure();
    }
    showLinkState(opened);
}

void Form1::refreshPortTooltips()
{
    // One look at /dev for all entries: each look compiles its name patterns afresh.
    const QString directory = QDir::currentPath();
    const QStringList adapters = attachedUsbSerialAdapters();
    for (int i = 0; i < Combo1->count(); ++i)
        Combo1->setItemData(i, comDevicePath(i + 1, directory, adapters), Qt::ToolTipRole);
}

void Form1::showLinkState(bool open)
{
    Command7->setText(open ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    Shape15->setLit(open);
    Shape16->setLit(!open);
    if (open)
        Command7->setToolTip({});
}

void Form1::showPortFailure()
{
    boxes->show(this, QString::fromUtf16(boxtext::portFailure),
                QString::fromUtf16(boxtext::portFailureTitle));
}

bool Form1::writeToSwitch(const QByteArray& bytes)
{
    if (link->send(bytes))
        return true;
    showPortFailure();
    return false;
}

void Form1::Command1_Click(int index)
{
    const QByteArray command = protocol::routingKeyCommand(index);
    writeToSwitch(command);
    // The send box shows the command even when it could not be sent.
    Text2->setText(QString::fromLatin1(command));
    Text2->selectAllToEnd();
}

void Form1::Command2_Click()
{
    Text1->setText({});
}

void Form1::Command3_Click()
{
    const QByteArray bytes = protocol::terminalBytes(Text2->text());
    if (bytes.isEmpty() && link->isOpen())
        return;
    writeToSwitch(bytes);
}

void Form1::Command4_Click()
{
    NetworkSettingsDialog dialog(port, *boxes, this);
    dialog.exec();
}

void Form1::Command5_Click()
{
    if (!link->isOpen()) {
        boxes->show(this, QString::fromUtf16(boxtext::portNotOpen),
                    QString::fromUtf16(boxtext::warningTitle));
        return;
    }
    const QByteArray query = protocol::utpQuery();
    writeToSwitch(query);
    Text2->setText(QString::fromLatin1(query));
    armWatchdog();
    UtpModeDialog dialog(port, *boxes, this);
    openUtp = &dialog;
    dialog.exec();
}

void Form1::Command6_Click()
{
    writeToSwitch(protocol::statusRequest());
}

void Form1::Command7_Click()
{
    if (link->toggle() == SwitchSession::ToggleResult::OpenFailed) {
        Command7->setToolTip(link->errorString());
        showPortFailure();
    }
    refreshPortTooltips();
}

void Form1::Combo1_Click(int index)
{
    link->selectPort(index);
}

void Form1::armWatchdog()
{
    Timer2.start();
}

void Form1::disarmWatchdog()
{
    Timer2.stop();
    watchdogAwaitsReply = 0;
}

void Form1::Timer2_Timer()
{
    // An answer whose first byte came before the deadline is in time: decide after its reply.
    const quint64 awaited = receiver->windowsOpened();
    if (receiver->repliesHandled() < awaited) {
        watchdogAwaitsReply = awaited;
        return;
    }
    reportSilentSwitch();
}

void Form1::decideAwaitedWatchdog()
{
    if (watchdogAwaitsReply == 0 || receiver->repliesHandled() < watchdogAwaitsReply)
        return;
    watchdogAwaitsReply = 0;
    reportSilentSwitch();
}

void Form1::reportSilentSwitch()
{
    // The box's modal loop keeps timers running; one box is enough.
    if (watchdogBoxOpen)
        return;
    watchdogBoxOpen = true;
    boxes->show(this, QString::fromUtf16(boxtext::deviceNotConnected),
                QString::fromUtf16(boxtext::applicationTitle));
    watchdogBoxOpen = false;
    disarmWatchdog();
}

void Form1::onLinkLost(const QString& reason)
{
    // The port is already closed. Show it at once; the box waits until this slot has returned,
    // outside the port's error notification.
    showLinkState(false);
    const QString message = QStringLiteral("Connection to the switch lost: %1").arg(reason);
    Command7->setToolTip(message);
    QTimer::singleShot(0, this, [this, message] {
        boxes->show(this, message, QString::fromUtf16(boxtext::portFailureTitle));
    });
}

void Form1::onWriteFailed()
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

void Form1::onHeldRepliesDropped(qsizetype count)
{
    appendLine(QStringLiteral("(%1 replies from the switch were dropped while a message box "
                              "was open.)")
                   .arg(count));
    Text1->selectAllToEnd();
    decideAwaitedWatchdog();
}

void Form1::out1(quint8 input)
{
    showRoute(routingLamps[0], input);
}

void Form1::out2(quint8 input)
{
    showRoute(routingLamps[1], input);
}

void Form1::out3(quint8 input)
{
    showRoute(routingLamps[2], input);
}

void Form1::out4(quint8 input)
{
    showRoute(routingLamps[3], input);
}

void Form1::appendLine(const QString& line)
{
    Text1->appendText(QStringLiteral("\r\n") + line);
}

void Form1::MSComm1_OnComm(const protocol::Reply& reply)
{
    using Kind = protocol::Reply::Kind;
    void (Form1::*const outputRow[4])(quint8) = {&Form1::out1, &Form1::out2, &Form1::out3,
                                                 &Form1::out4};
    switch (reply.kind) {
    case Kind::RouteReport:
    case Kind::StatusReport:
        for (const protocol::Route& route : reply.routes) {
            appendLine(protocol::routeLine(route));
            (this->*outputRow[route.output - 1])(static_cast<quint8>(route.input));
        }
        if (reply.kind == Kind::StatusReport)
            Text1->appendText(QStringLiteral("\r\n"));
        break;
    case Kind::UtpStatus:
        disarmWatchdog();
        // With the dialog closed there is nothing to fill in.
        if (openUtp)
            openUtp->showReportedModes(reply.utpMask);
        break;
    case Kind::UtpSetConfirm:
        boxes->show(this, QString::fromUtf16(boxtext::utpSetSuccess),
                    QString::fromUtf16(boxtext::applicationTitle));
        break;
    case Kind::Ack:
    case Kind::Edm:
        break;
    case Kind::Raw:
        Text1->appendText(reply.text);
        break;
    }
    Text1->selectAllToEnd();
    decideAwaitedWatchdog();
}
