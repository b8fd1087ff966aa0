// SPDX-License-Identifier: MIT
// Recalling a preset over a fake line whose far end plays a switch: which key commands go out,
// in which order, and which outputs are reported as not where the preset says.
#include "fakeserialport.h"
#include "link/portchoice.h"
#include "link/presetrecall.h"
#include "link/switchsession.h"

#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The input keys of the switch's front panel: "cir 59" puts output 2 on input 3.
const QHash<QByteArray, std::pair<int, int>> inputKeys = {
    {"cir 09\r\n", {1, 1}}, {"cir 1D\r\n", {1, 2}}, {"cir 1F\r\n", {1, 3}}, {"cir 0D\r\n", {1, 4}},
    {"cir 17\r\n", {2, 1}}, {"cir 12\r\n", {2, 2}}, {"cir 59\r\n", {2, 3}}, {"cir 08\r\n", {2, 4}},
    {"cir 5E\r\n", {3, 1}}, {"cir 06\r\n", {3, 2}}, {"cir 05\r\n", {3, 3}}, {"cir 03\r\n", {3, 4}},
    {"cir 18\r\n", {4, 1}}, {"cir 44\r\n", {4, 2}}, {"cir 0F\r\n", {4, 3}}, {"cir 51\r\n", {4, 4}},
};

// A switch on the far end of the fake port. `behaviour` has one letter per output: o obeys,
// r refuses (reports the input it stays on), s stays silent, h hangs the line up. `answersStatus`
// false leaves "bc " unanswered.
class PlayedSwitch : public FakeSerialPort
{
public:
    Routing routing{1, 2, 3, 4};
    QByteArray behaviour = "oooo";
    bool answersStatus = true;

    bool write(const QByteArray& bytes) override
    {
        if (!FakeSerialPort::write(bytes))
            return false;
        QByteArray answer;
        if (bytes == "bc \r\n" && answersStatus) {
            answer = "\r\n";
            for (int output = 1; output <= 4; ++output)
                answer +=
                    's' + QByteArray::number(output) + QByteArray::number(routing[output - 1] - 1);
            answer += "\r\n";
        } else if (const auto key = inputKeys.find(bytes); key != inputKeys.end()) {
            const auto [output, input] = *key;
            switch (behaviour[output - 1]) {
            case 'o':
                routing[output - 1] = input;
                [[fallthrough]];
            case 'r':
                answer = 's' + QByteArray::number(output) +
                         QByteArray::number(routing[output - 1] - 1) + "\r\n";
                break;
            case 'h':
                QTimer::singleShot(0, this, [this] { hangUp(); });
                break;
            }
        }
        if (!answer.isEmpty())
            QTimer::singleShot(0, this, [this, answer] { feed(answer); });
        return true;
    }
};

using Misses = QList<PresetRecall::Miss>;

} // namespace

class TestPresetRecall : public QObject
{
    Q_OBJECT
private slots:
    void recall_data();
    void recall();
};

void TestPresetRecall::recall_data()
{
    QTest::addColumn<Routing>("preset");
    QTest::addColumn<bool>("known"); // the caller passes the switch's routing (1 2 3 4)
    QTest::addColumn<QByteArray>("behaviour");
    QTest::addColumn<bool>("answersStatus");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<Misses>("misses");
    QTest::addColumn<QString>("note");

    QTest::newRow("known routing: only the outputs that differ")
        << Routing{2, 2, 3, 1} << true << QByteArray("oooo") << true
        << QByteArray("cir 1D\r\ncir 18\r\nbc \r\n") << Misses{} << QString();
    QTest::newRow("unknown routing: asked for first")
        << Routing{1, 3, 3, 4} << false << QByteArray("oooo") << true
        << QByteArray("bc \r\ncir 59\r\nbc \r\n") << Misses{} << QString();
    QTest::newRow("already there: only the check")
        << Routing{1, 2, 3, 4} << true << QByteArray("oooo") << true << QByteArray("bc \r\n")
        << Misses{} << QString();
    QTest::newRow("output 2 refused")
        << Routing{4, 3, 2, 1} << true << QByteArray("oroo") << true
        << QByteArray("cir 0D\r\ncir 59\r\ncir 06\r\ncir 18\r\nbc \r\n") << Misses{{2, 3, 2}}
        << QStringLiteral("Preset \"P\": output 2 is on input 2, not 3.");
    QTest::newRow("output 3 silent: the next is still sent")
        << Routing{1, 1, 1, 1} << false << QByteArray("ooso") << true
        << QByteArray("bc \r\ncir 17\r\ncir 5E\r\ncir 18\r\nbc \r\n") << Misses{{3, 1, 3}}
        << QStringLiteral("Preset \"P\": output 3 is on input 3, not 1.");
    QTest::newRow("no status answers: nothing more sent")
        << Routing{1, 1, 1, 1} << false << QByteArray("oooo") << false << QByteArray("bc \r\n")
        << Misses{{1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}
        << QStringLiteral("Preset \"P\": the switch did not answer.");
    QTest::newRow("closing status unanswered")
        << Routing{2, 2, 3, 4} << true << QByteArray("oooo") << false
        << QByteArray("cir 1D\r\nbc \r\n") << Misses{}
        << QStringLiteral("Preset \"P\": the switch did not answer the closing status request.");
    QTest::newRow("line hung up on output 1")
        << Routing{2, 1, 3, 4} << true << QByteArray("hooo") << true << QByteArray("cir 1D\r\n")
        << Misses{{1, 2, 1}, {2, 1, 2}}
        << QStringLiteral(
               "Preset \"P\" stopped: the link to the switch was lost (device vanished).");
}

void TestPresetRecall::recall()
{
    QFETCH(Routing, preset);
    QFETCH(bool, known);
    QFETCH(QByteArray, behaviour);
    QFETCH(bool, answersStatus);
    QFETCH(QByteArray, written);
    QFETCH(Misses, misses);
    QFETCH(QString, note);

    QTemporaryDir dir;
    PlayedSwitch port;
    PortChoice choice(dir.path(), PortChoice::Storage::ReadOnly);
    choice.restore();
    SwitchSession session(port, choice, {});
    QVERIFY(session.startUp());
    port.behaviour = behaviour;
    port.answersStatus = answersStatus;
    CommandChannel channel(session);
    channel.setDeadline(150);
    PresetRecall recall(channel);
    QList<PresetRecall::Result> results;
    connect(&recall, &PresetRecall::finished, this,
            [&results](const PresetRecall::Result& result) { results << result; });

    QVERIFY(recall.recall({QStringLiteral("P"), preset},
                          known ? std::optional<Routing>(Routing{1, 2, 3, 4}) : std::nullopt));
    QVERIFY(!recall.recall({QStringLiteral("P"), preset})); // one at a time
    QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 5000);
    QCOMPARE(port.written, written);
    QCOMPARE(results[0].misses, misses);
    QCOMPARE(PresetRecall::describe(results[0]), note);
    QCOMPARE(results[0].succeeded(), note.isEmpty());
    if (note.isEmpty()) {
        QCOMPARE(port.routing, preset);
        QCOMPARE(results[0].reported, preset);
    }
}

QTEST_GUILESS_MAIN(TestPresetRecall)
#include "tst_presetrecall.moc"
