// SPDX-License-Identifier: MIT
#include "elements.h"
#include "fakeserialport.h"
#include "protocol/commands.h"
#include "recordingmessageboxes.h"
#include "ui/designlook.h"
#include "ui/utpmodedialog.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TstUtpModeDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandForEveryMask_data();
    void commandForEveryMask();
    void okSendsChosenModes_data();
    void okSendsChosenModes();
    void okWithAnOutputUnchosenSendsNothing_data();
    void okWithAnOutputUnchosenSendsNothing();
    void okSendsTheDocumentedBytes();
    void okTwiceSendsTwiceAndStaysOpen();
    void failedWriteShowsOneBoxAndStaysOpen_data();
    void failedWriteShowsOneBoxAndStaysOpen();
    void closingSendsNothing_data();
    void closingSendsNothing();
    void reportedModesSelectOptions_data();
    void reportedModesSelectOptions();
    void reportedModesReplaceUserChoice();
    void reportedModesHandledFromOutput4Down();
    void freshDialogHasNothingSelected();
    void freshDialogAfterAnEditedOne();
    void geometry_data();
    void geometry();
    void captionsAndContainers_data();
    void captionsAndContainers();
    void tabOrder();
    void windowProperties();
    void centredOnOwner();

private:
    template <typename T> T* element(const QString& name) const
    {
        return ::element<T>(dialog, name);
    }
    void click(const QString& name) const
    {
        QTest::mouseClick(element<QAbstractButton>(name), Qt::LeftButton);
    }
    // Per output: '1' = "1 wire" selected, '2' = "2 wires" selected, '-' = neither.
    QString selection() const
    {
        QString s;
        for (int i = 0; i < 4; ++i) {
            const bool one =
                element<QRadioButton>(QStringLiteral("Option5_%1").arg(i))->isChecked();
            const bool two =
                element<QRadioButton>(QStringLiteral("Option6_%1").arg(i))->isChecked();
            s += one && two ? QLatin1Char('!')
                 : one      ? QLatin1Char('1')
                 : two      ? QLatin1Char('2')
                            : QLatin1Char('-');
        }
        return s;
    }

    FakeSerialPort* port = nullptr;
    RecordingMessageBoxes* boxes = nullptr;
    QWidget* owner = nullptr;
    UtpModeDialog* dialog = nullptr;
};

void TstUtpModeDialog::init()
{
    port = new FakeSerialPort;
    port->opened = true;
    boxes = new RecordingMessageBoxes;
    owner = new QWidget;
    owner->setGeometry(40, 30, 600, 400);
    owner->show();
    dialog = new UtpModeDialog(*port, *boxes, owner);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

void TstUtpModeDialog::cleanup()
{
    delete dialog;
    delete owner;
    delete boxes;
    delete port;
    dialog = nullptr;
}

void TstUtpModeDialog::commandForEveryMask_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("0") << 0 << QByteArray("utp 0\r\n");
    QTest::newRow("1") << 1 << QByteArray("utp 1\r\n");
    QTest::newRow("2") << 2 << QByteArray("utp 2\r\n");
    QTest::newRow("3") << 3 << QByteArray("utp 3\r\n");
    QTest::newRow("4") << 4 << QByteArray("utp 4\r\n");
    QTest::newRow("5") << 5 << QByteArray("utp 5\r\n");
    QTest::newRow("6") << 6 << QByteArray("utp 6\r\n");
    QTest::newRow("7") << 7 << QByteArray("utp 7\r\n");
    QTest::newRow("8") << 8 << QByteArray("utp 8\r\n");
    QTest::newRow("9") << 9 << QByteArray("utp 9\r\n");
    QTest::newRow("10 upper-case") << 10 << QByteArray("utp A\r\n");
    QTest::newRow("11") << 11 << QByteArray("utp B\r\n");
    QTest::newRow("12") << 12 << QByteArray("utp C\r\n");
    QTest::newRow("13") << 13 << QByteArray("utp D\r\n");
    QTest::newRow("14") << 14 << QByteArray("utp E\r\n");
    QTest::newRow("15") << 15 << QByteArray("utp F\r\n");
}

void TstUtpModeDialog::commandForEveryMask()
{
    QFETCH(int, mask);
    QFETCH(QByteArray, bytes);
    QCOMPARE(protocol::utpSetCommand(mask), bytes);
}

void TstUtpModeDialog::okSendsChosenModes_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("all 2 wires") << "Option6_0 Option6_1 Option6_2 Option6_3"
                                 << QByteArray("utp 0\r\n");
    QTest::newRow("output 4 on 1 wire")
        << "Option6_0 Option6_1 Option6_2 Option5_3" << QByteArray("utp 8\r\n");
    QTest::newRow("outputs 1 and 2 on 1 wire")
        << "Option5_0 Option5_1 Option6_2 Option6_3" << QByteArray("utp 3\r\n");
    QTest::newRow("1 and 3 on 1 wire, 2 and 4 on 2 wires")
        << "Option5_0 Option6_1 Option5_2 Option6_3" << QByteArray("utp 5\r\n");
    QTest::newRow("all 1 wire") << "Option5_0 Option5_1 Option5_2 Option5_3"
                                << QByteArray("utp F\r\n");
    QTest::newRow("1 wire changed back to 2 wires")
        << "Option5_0 Option5_1 Option6_2 Option6_3 Option6_0" << QByteArray("utp 2\r\n");
    QTest::newRow("2 wires changed to 1 wire")
        << "Option6_0 Option6_1 Option6_2 Option6_3 Option5_2" << QByteArray("utp 4\r\n");
}

void TstUtpModeDialog::okSendsChosenModes()
{
    QFETCH(QString, clicks);
    QFETCH(QByteArray, bytes);
    for (const QString& name : clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        click(name);
    click(QStringLiteral("Command1"));
    QCOMPARE(port->writes, QList<QByteArray>{bytes});
    QVERIFY(boxes->shown.isEmpty());
}

void TstUtpModeDialog::okWithAnOutputUnchosenSendsNothing_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("unchosen");
    QTest::newRow("switch never answered") << QString() << "Output 1, Output 2, Output 3, Output 4";
    QTest::newRow("only output 4 chosen") << "Option5_3"
                                          << "Output 1, Output 2, Output 3";
    QTest::newRow("all but output 2") << "Option5_0 Option6_2 Option6_3"
                                      << "Output 2";
}

void TstUtpModeDialog::okWithAnOutputUnchosenSendsNothing()
{
    QFETCH(QString, clicks);
    QFETCH(QString, unchosen);
    for (const QString& name : clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        click(name);
    click(QStringLiteral("Command1"));
    // "utp 0" would turn every output nobody chose to 2 wires.
    QVERIFY(port->writes.isEmpty());
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->shown[0].text.contains(unchosen), qPrintable(boxes->shown[0].text));
    QCOMPARE(boxes->shown[0].title, QStringLiteral("UTP Set"));
    QVERIFY(dialog->isVisible());
}

void TstUtpModeDialog::okSendsTheDocumentedBytes()
{
    click(QStringLiteral("Option5_0"));
    click(QStringLiteral("Option6_1"));
    click(QStringLiteral("Option5_2"));
    click(QStringLiteral("Option6_3"));
    click(QStringLiteral("Command1"));
    const char expected[] = {0x75, 0x74, 0x70, 0x20, 0x35, 0x0D, 0x0A};
    QCOMPARE(port->written, QByteArray(expected, sizeof expected));
}

void TstUtpModeDialog::okTwiceSendsTwiceAndStaysOpen()
{
    for (int i = 0; i < 4; ++i)
        click(QStringLiteral("Option6_%1").arg(i));
    click(QStringLiteral("Option5_1"));
    click(QStringLiteral("Command1"));
    click(QStringLiteral("Option5_3"));
    click(QStringLiteral("Command1"));
    QCOMPARE(port->writes, (QList<QByteArray>{"utp 2\r\n", "utp A\r\n"}));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), 0);
}

void TstUtpModeDialog::failedWriteShowsOneBoxAndStaysOpen_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("port closed") << false << false;
    QTest::newRow("write refused while open") << true << true;
}

void TstUtpModeDialog::failedWriteShowsOneBoxAndStaysOpen()
{
    QFETCH(bool, portOpen);
    QFETCH(bool, writeFails);
    port->opened = portOpen;
    port->failWrites = writeFails;
    for (const char* name : {"Option5_0", "Option6_1", "Option6_2", "Option6_3"})
        click(QLatin1String(name));
    click(QStringLiteral("Command1"));

    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, QString::fromUtf16(u"open serial port fail\uFF01 "));
    QCOMPARE(boxes->shown[0].title, QStringLiteral("ERROR"));
    QCOMPARE(boxes->shown[0].owner, dialog);
    QVERIFY(port->written.isEmpty());
    QVERIFY(dialog->isVisible());
    QCOMPARE(selection(), QStringLiteral("1222"));

    // Once the link works again the same dialog sends.
    port->opened = true;
    port->failWrites = false;
    click(QStringLiteral("Command1"));
    QCOMPARE(port->written, QByteArray("utp 1\r\n"));
    QCOMPARE(boxes->shown.size(), 1);
}

void TstUtpModeDialog::closingSendsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Quit") << "Quit";
    QTest::newRow("close box") << "close";
    QTest::newRow("Escape") << "Escape";
}

void TstUtpModeDialog::closingSendsNothing()
{
    QFETCH(QString, how);
    click(QStringLiteral("Option5_0"));
    click(QStringLiteral("Option5_2"));
    if (how == QLatin1String("Quit"))
        click(QStringLiteral("Command2"));
    else if (how == QLatin1String("close"))
        QVERIFY(dialog->close());
    else
        QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(port->written.isEmpty());
    QVERIFY(boxes->shown.isEmpty());
}

void TstUtpModeDialog::reportedModesSelectOptions_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("okBytes");
    QTest::newRow("0x5") << 0x5 << "1212" << QByteArray("utp 5\r\n");
    QTest::newRow("0xF") << 0xF << "1111" << QByteArray("utp F\r\n");
    QTest::newRow("0x0") << 0x0 << "2222" << QByteArray("utp 0\r\n");
    QTest::newRow("0x8") << 0x8 << "2221" << QByteArray("utp 8\r\n");
    QTest::newRow("0x6") << 0x6 << "2112" << QByteArray("utp 6\r\n");
}

void TstUtpModeDialog::reportedModesSelectOptions()
{
    QFETCH(int, mask);
    QFETCH(QString, expected);
    QFETCH(QByteArray, okBytes);
    dialog->showReportedModes(mask);
    QCOMPARE(selection(), expected);
    click(QStringLiteral("Command1"));
    QCOMPARE(port->written, okBytes);
}

void TstUtpModeDialog::reportedModesReplaceUserChoice()
{
    click(QStringLiteral("Option5_0"));
    click(QStringLiteral("Option6_1"));
    click(QStringLiteral("Option5_3"));
    dialog->showReportedModes(0x2);
    QCOMPARE(selection(), QStringLiteral("2122"));
    dialog->showReportedModes(0xD);
    QCOMPARE(selection(), QStringLiteral("1211"));
}

void TstUtpModeDialog::reportedModesHandledFromOutput4Down()
{
    QStringList selected;
    for (QRadioButton* option : dialog->findChildren<QRadioButton*>()) {
        connect(option, &QRadioButton::toggled, this, [&selected, option](bool on) {
            if (on)
                selected << option->objectName();
        });
    }
    dialog->showReportedModes(0x5);
    QCOMPARE(selected, (QStringList{"Option6_3", "Option5_2", "Option6_1", "Option5_0"}));
}

void TstUtpModeDialog::freshDialogHasNothingSelected()
{
    QCOMPARE(selection(), QStringLiteral("----"));
    QCOMPARE(dialog->findChildren<QRadioButton*>().size(), 8);
}

void TstUtpModeDialog::freshDialogAfterAnEditedOne()
{
    dialog->showReportedModes(0xF);
    delete dialog;
    dialog = new UtpModeDialog(*port, *boxes, owner);
    QCOMPARE(selection(), QStringLiteral("----"));
}

void TstUtpModeDialog::geometry_data()
{
    // Pixels are the layout's twips divided by 15, relative to the container.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Frame3") << "Frame3" << QRect(4, 4, 349, 121);
    QTest::newRow("Output 1 upper left") << "Frame4_0" << QRect(12, 16, 157, 45);
    QTest::newRow("Output 2 upper right") << "Frame4_1" << QRect(180, 16, 157, 45);
    QTest::newRow("Output 3 lower left") << "Frame4_2" << QRect(12, 64, 157, 45);
    QTest::newRow("Output 4 lower right") << "Frame4_3" << QRect(180, 64, 157, 45);
    QTest::newRow("1 wire of output 1 is taller") << "Option5_0" << QRect(8, 16, 61, 21);
    QTest::newRow("2 wires of output 1") << "Option6_0" << QRect(76, 20, 65, 17);
    QTest::newRow("1 wire of output 2") << "Option5_1" << QRect(8, 20, 61, 17);
    QTest::newRow("2 wires of output 4") << "Option6_3" << QRect(76, 20, 65, 17);
    QTest::newRow("OK") << "Command1" << QRect(200, 132, 69, 25);
    QTest::newRow("Quit") << "Command2" << QRect(280, 132, 69, 25);
}

void TstUtpModeDialog::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QCOMPARE(element<QWidget>(name)->geometry(), rect);
}

void TstUtpModeDialog::captionsAndContainers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("container");
    QTest::newRow("Frame3") << "Frame3"
                            << "UTP Output Set"
                            << "Utp";
    QTest::newRow("Frame4_0") << "Frame4_0"
                              << "Output 1"
                              << "Frame3";
    QTest::newRow("Frame4_1") << "Frame4_1"
                              << "Output 2"
                              << "Frame3";
    QTest::newRow("Frame4_2") << "Frame4_2"
                              << "Output 3"
                              << "Frame3";
    QTest::newRow("Frame4_3") << "Frame4_3"
                              << "Output 4"
                              << "Frame3";
    QTest::newRow("Option5_0") << "Option5_0"
                               << "1 wire"
                               << "Frame4_0";
    QTest::newRow("Option6_0") << "Option6_0"
                               << "2 wires"
                               << "Frame4_0";
    QTest::newRow("Option5_1") << "Option5_1"
                               << "1 wire"
                               << "Frame4_1";
    QTest::newRow("Option6_1") << "Option6_1"
                               << "2 wires"
                               << "Frame4_1";
    QTest::newRow("Option5_2") << "Option5_2"
                               << "1 wire"
                               << "Frame4_2";
    QTest::newRow("Option6_2") << "Option6_2"
                               << "2 wires"
                               << "Frame4_2";
    QTest::newRow("Option5_3") << "Option5_3"
                               << "1 wire"
                               << "Frame4_3";
    QTest::newRow("Option6_3") << "Option6_3"
                               << "2 wires"
                               << "Frame4_3";
    QTest::newRow("Command1") << "Command1"
                              << "OK"
                              << "Utp";
    QTest::newRow("Command2") << "Command2"
                              << "Quit"
                              << "Utp";
}

void TstUtpModeDialog::captionsAndContainers()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, container);
    QWidget* w = element<QWidget>(name);
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        QCOMPARE(frame->title(), caption);
    else
        QCOMPARE(qobject_cast<QAbstractButton*>(w)->text(), caption);
    QVERIFY(w->parentWidget());
    QCOMPARE(w->parentWidget()->objectName(), container);
}

void TstUtpModeDialog::tabOrder()
{
    // The chain itself; Qt drops tab focus from the unchecked options of the group that holds
    // the focus, so the focus policy is not what decides membership here.
    QStringList order;
    QWidget* w = element<QWidget>(QStringLiteral("Option5_0"));
    for (int guard = 0; guard < 50 && order.size() < 10; ++guard, w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus)
            order << w->objectName();
    }
    QCOMPARE(order, (QStringList{"Option5_0", "Option6_0", "Option6_1", "Option5_1", "Option5_2",
                                 "Option6_2", "Option5_3", "Option6_3", "Command1", "Command2"}));
}

void TstUtpModeDialog::windowProperties()
{
    QCOMPARE(dialog->windowTitle(), QStringLiteral("UTP Set"));
    QCOMPARE(dialog->size(), QSize(358, 165));
    QCOMPARE(dialog->minimumSize(), QSize(358, 165));
    QCOMPARE(dialog->maximumSize(), QSize(358, 165));
    QCOMPARE(dialog->parentWidget(), owner);
    QVERIFY(!dialog->testAttribute(Qt::WA_SetWindowIcon));
    // The dialogs' own font, not the desktop's: the design's sizes are measured for it.
    QVERIFY(dialog->testAttribute(Qt::WA_SetFont));
    QCOMPARE(dialog->font(), design::dialogFont());
}

void TstUtpModeDialog::centredOnOwner()
{
    const QPoint delta = dialog->frameGeometry().center() - owner->frameGeometry().center();
    QVERIFY2(delta.manhattanLength() <= 2,
             qPrintable(QStringLiteral("off by %1,%2").arg(delta.x()).arg(delta.y())));
}

QTEST_MAIN(TstUtpModeDialog)
#include "tst_utpmodedialog.moc"
