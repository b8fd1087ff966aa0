// SPDX-License-Identifier: MIT
// The wait for an answer ends at its deadline, unless an answer's first byte came in time: then
// only once that reply has been handled.
#include "fakeserialport.h"
#include "link/receiveframer.h"
#include "link/replydeadline.h"

#include <QtTest>

class TestReplyDeadline : public QObject
{
    Q_OBJECT
private slots:
    void expires_data();
    void expires();
};

void TestReplyDeadline::expires_data()
{
    QTest::addColumn<bool>("byteInTime");
    QTest::newRow("silent switch") << false;
    QTest::newRow("first byte just before the deadline") << true;
}

void TestReplyDeadline::expires()
{
    QFETCH(bool, byteInTime);
    FakeSerialPort port;
    ReceiveFramer framer(port);
    ReplyDeadline deadline(framer, 100);
    int handled = 0;
    int handledAtExpiry = -1;
    connect(&framer, &ReceiveFramer::replyReceived, this, [&] {
        ++handled;
        deadline.replyHandled();
    });
    connect(&deadline, &ReplyDeadline::expired, this, [&] { handledAtExpiry = handled; });
    // Started first with the same interval, so it fires just before the deadline.
    QTimer justBefore;
    justBefore.setSingleShot(true);
    justBefore.setTimerType(Qt::PreciseTimer);
    connect(&justBefore, &QTimer::timeout, this, [&] {
        if (byteInTime)
            port.feed("s");
    });
    justBefore.start(100);
    deadline.start();

    QTRY_VERIFY(handledAtExpiry >= 0);
    QCOMPARE(handledAtExpiry, byteInTime ? 1 : 0);
    QCOMPARE(deadline.answerBegan(), byteInTime);
    QVERIFY(!deadline.isWaiting());
}

QTEST_GUILESS_MAIN(TestReplyDeadline)
#include "tst_replydeadline.moc"
