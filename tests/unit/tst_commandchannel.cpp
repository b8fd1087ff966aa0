// SPDX-License-Identifier: MIT
// The command channel over a fake line whose far end the test plays: which commands go out and
// when, what answers each, which reports are handed on, and the routing and problems they leave.
#include "fakeserialport.h"
#include "link/commandchannel.h"
#include "link/portchoice.h"
#include "link/routingstate.h"
#include "link/switchsession.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// '|' stands for CR LF.
QByteArray wire(QString text)
{
    return text.replace(QLatin1Char('|'), QStringLiteral("\r\n")).toLatin1();
}

QString shown(const protocol::Reply& reply)
{
    using Kind = protocol::Reply::Kind;
    QString routes;
    for (const protocol::Route& route : reply.routes)
        routes += QString::number(route.input);
    switch (reply.kind) {
    case Kind::RouteReport:
        return QStringLiteral("s%1%2").arg(reply.routes.value(0).output).arg(routes);
    case Kind::StatusReport:
        return QStringLiteral("status ") + routes;
    case Kind::UtpStatus:
        return QStringLiteral("ust");
    default:
        return QStringLiteral("other");
    }
}

// A line with a channel and the routing it reports, as varnokd composes them.
struct Line
{
    QTemporaryDir dir;
    FakeSerialPort port;
    PortChoice choice{dir.path(), PortChoice::Storage::ReadOnly};
    SwitchSession session{port, choice, {.log = false}};
    CommandChannel channel{session};
    RoutingState routing;
    QStringList outcomes; // each handle's, in the order they ended
    QStringList reports;

    Line()
    {
        choice.restore();
        session.startUp();
        // Long enough for a loaded machine to answer in time; the silent rows wait it out.
        channel.setDeadline(1000);
        QObject::connect(&channel, &CommandChannel::commandAnswered, &routing,
                         &RoutingState::answered);
        QObject::connect(&channel, &CommandChannel::reported, &routing,
                         [this](const protocol::Reply& report, const QByteArray&,
                                CommandChannel::Asker heardBy, bool answers) {
                             routing.apply(report);
                             reports << QStringLiteral("%1 by%2%3")
                                            .arg(shown(report))
                                            .arg(heardBy)
                                            .arg(answers ? QStringLiteral(" answers") : QString());
                         });
    }
    PendingCommand* ask(CommandChannel::Asker asker, const QByteArray& bytes)
    {
        PendingCommand* command = channel.submit(asker, bytes);
        const QString what = QString::fromLatin1(bytes.trimmed());
        QObject::connect(command, &PendingCommand::answered, &routing,
                         [this, what](const protocol::Reply& reply) {
                             outcomes << what + QStringLiteral(": ") + shown(reply);
                         });
        QObject::connect(command, &PendingCommand::failed, &routing,
                         [this, what](PendingCommand::Error error) {
                             outcomes << what + QStringLiteral(": failed %1").arg(int(error));
                         });
        return command;
    }
};

} // namespace

class TestCommandChannel : public QObject
{
    Q_OBJECT
private slots:
    void line_data();
    void line();
    void failureReachesOnlyItsAsker();
    void problemOutlivesRestart();
};

void TestCommandChannel::line_data()
{
    // Steps: "askN BYTES" submits for asker N (1 or 2), "feed BYTES" is the switch talking,
    // "sent BYTES" waits for what is on the line, "hangup" loses the link.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("outcomes"); // failed N: PendingCommand::Error
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QString>("routing");
    QTest::addColumn<QString>("problems"); // output:asked>reported

    QTest::newRow("answer and a report in one window")
        << QStringList{"ask1 cir 44|", "feed s41|s13|"} << QStringList{"cir 44: s42"}
        << QStringList{"s42 by1 answers", "s14 by1"} << "4002"
        << "";
    QTest::newRow("two unasked reports in one window")
        << QStringList{"feed s13|s22|"} << QStringList{} << QStringList{"s14 by0", "s23 by0"}
        << "4300"
        << "";
    QTest::newRow("a report just before a send")
        << QStringList{"feed s43|", "ask1 cir 44|", "feed s41|"} << QStringList{"cir 44: s42"}
        << QStringList{"s44 by0", "s42 by1 answers"} << "0002"
        << "";
    QTest::newRow("a send while a line is half in: it waits for the line end")
        << QStringList{"feed s1", "ask1 cir 44|", "sent ", "feed 3|", "sent cir 44|", "feed s41|"}
        << QStringList{"cir 44: s42"} << QStringList{"s14 by0", "s42 by1 answers"} << "4002"
        << "";
    QTest::newRow("an overlong or unreadable line is no report")
        << QStringList{"feed " + QString(70, QLatin1Char('x')) + "s13|", "feed s1\u00813|",
                       "feed s22|"}
        << QStringList{} << QStringList{"s23 by0"} << "0300"
        << "";
    QTest::newRow("another output's report does not answer")
        << QStringList{"ask1 cir 44|", "feed s13|", "feed s41|"} << QStringList{"cir 44: s42"}
        << QStringList{"s14 by1", "s42 by1 answers"} << "4002"
        << "";
    QTest::newRow("a status crossing a route")
        << QStringList{"ask1 bc |", "ask2 cir 44|", "feed |s10s21s32s43|", "sent bc |cir 44|",
                       "feed s41|"}
        << QStringList{"bc: status 1234", "cir 44: s42"}
        << QStringList{"status 1234 by1 answers", "s42 by2 answers"} << "1232"
        << "";
    QTest::newRow("unanswered: the next still goes")
        << QStringList{"ask1 cir 44|", "ask2 bc |", "sent cir 44|bc |", "feed |s10s21s32s43|"}
        << QStringList{"cir 44: failed 5", "bc: status 1234"}
        << QStringList{"status 1234 by2 answers"} << "1234"
        << "";
    QTest::newRow("other answers end with their window")
        << QStringList{"ask1 rup |", "feed ust05|", "ask1 cir 44|", "sent rup |cir 44|",
                       "feed ERR cir|"}
        << QStringList{"rup: ust", "cir 44: other"} << QStringList{} << "0000"
        << "";
    QTest::newRow("latest wins") << QStringList{"ask1 bc |",
                                                "ask2 cir 09|",
                                                "ask2 cir 1D|",
                                                "ask2 cir 17|",
                                                "feed |s10s21s32s43|",
                                                "sent bc |cir 1D|",
                                                "feed s11|",
                                                "sent bc |cir 1D|cir 17|",
                                                "feed s20|"}
                                 << QStringList{"cir 09: failed 3", "bc: status 1234",
                                                "cir 1D: s12", "cir 17: s21"}
                                 << QStringList{"status 1234 by1 answers", "s12 by2 answers",
                                                "s21 by2 answers"}
                                 << "2134"
                                 << "";
    QTest::newRow("a route not followed, until it is")
        << QStringList{"ask1 cir 44|", "feed s43|"} << QStringList{"cir 44: s44"}
        << QStringList{"s44 by1 answers"} << "0004"
        << "4:2>4";
    QTest::newRow("followed later")
        << QStringList{"ask1 cir 44|", "feed s43|", "feed s41|"} << QStringList{"cir 44: s44"}
        << QStringList{"s44 by1 answers", "s42 by0"} << "0002"
        << "";
    QTest::newRow("the line lost: every command fails")
        << QStringList{"ask1 cir 44|", "ask2 cir 09|", "hangup"}
        << QStringList{"cir 44: failed 1", "cir 09: failed 1"} << QStringList{} << "0000"
        << "";
}

void TestCommandChannel::line()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, outcomes);
    Line line;
    const CommandChannel::Asker askers[] = {0, line.channel.newAsker(), line.channel.newAsker()};
    for (const QString& step : steps) {
        const QString rest = step.section(QLatin1Char(' '), 1);
        if (step.startsWith(QLatin1String("ask")))
            line.ask(askers[step.mid(3, 1).toInt()], wire(rest));
        else if (step.startsWith(QLatin1String("feed ")))
            line.port.feed(wire(rest));
        else if (step.startsWith(QLatin1String("sent ")))
            QTRY_COMPARE(line.port.written, wire(rest));
        else if (step == QLatin1String("hangup"))
            line.port.hangUp();
    }
    QTRY_COMPARE(line.outcomes.size(), outcomes.size());
    QCOMPARE(line.outcomes, outcomes);
    QTEST(line.reports, "reports");
    QString routing;
    for (const int input : line.routing.routing())
        routing += QString::number(input);
    QTEST(routing, "routing");
    QStringList problems;
    for (const RoutingState::Problem& problem : line.routing.problems())
        problems << QStringLiteral("%1:%2>%3")
                        .arg(problem.output)
                        .arg(problem.asked)
                        .arg(problem.reported);
    QTEST(problems.join(QLatin1Char(' ')), "problems");
}

void TestCommandChannel::failureReachesOnlyItsAsker()
{
    // Two switches whose askers have the same numbers: each failure stays on its own switch.
    Line a;
    Line b;
    const CommandChannel::Asker onA = a.channel.newAsker();
    const CommandChannel::Asker onB = b.channel.newAsker();
    QCOMPARE(onA, onB);
    a.ask(onA, "bc \r\n");
    b.ask(onB, "bc \r\n");
    b.port.feed("\r\ns10s21s32s43\r\n");
    QTRY_COMPARE(a.outcomes, QStringList{"bc: failed 5"});
    QCOMPARE(b.outcomes, QStringList{"bc: status 1234"});
}

void TestCommandChannel::problemOutlivesRestart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("problems"));
    const QList<RoutingState::Problem> stuck{{4, 2, 4}};
    {
        RoutingState before;
        before.keepProblemsIn(path);
        before.answered("cir 44\r\n", protocol::classify(QStringLiteral("s43\r\n")));
        QCOMPARE(before.problems(), stuck);
    }
    RoutingState restarted;
    restarted.keepProblemsIn(path);
    QCOMPARE(restarted.problems(), stuck);
    restarted.apply(protocol::classify(QStringLiteral("s41\r\n")));
    RoutingState again;
    again.keepProblemsIn(path);
    QCOMPARE(again.problems(), QList<RoutingState::Problem>{});
}

QTEST_GUILESS_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
