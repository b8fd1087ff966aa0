// SPDX-License-Identifier: MIT
// What a shared switch's service tells a console through its page: the set-up it keeps, and the
// answer to each change asked for, matched by its number; a refusal of who asked told once, and
// not for a command sent before the PIN was given.
#include "link/sharedswitch.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

class TestSharedSwitch : public QObject
{
    Q_OBJECT
private slots:
    void stateIsTheSetup();
    void changeEndsWithItsOwnAnswer_data();
    void changeEndsWithItsOwnAnswer();
};

namespace {

QJsonObject json(const QByteArray& text)
{
    return QJsonDocument::fromJson(text).object();
}

} // namespace

void TestSharedSwitch::stateIsTheSetup()
{
    SharedSwitch shared([](const QJsonObject&) { return true; });
    QSignalSpy changed(&shared, &SharedSwitch::changed);
    QVERIFY(shared.take(json(R"({"type":"state","outputs":["","Beamer","",""],)"
                             R"("inputs":["Lectern","","",""],"presets":["Film","Talk"],)"
                             R"("presetRoutings":[[1,2,3,4],[4,4,1,2]],"pin":true})")));
    QVERIFY(shared.isKnown() && shared.asksForPin() && !shared.isReadOnly());
    QCOMPARE(shared.setup().outputName(2), QStringLiteral("Beamer"));
    QCOMPARE(shared.setup().inputName(1), QStringLiteral("Lectern"));
    QCOMPARE(shared.setup().findPreset(QStringLiteral("talk"))->routing, (Routing{4, 4, 1, 2}));
    shared.forget(QStringLiteral("closed"));
    QVERIFY(!shared.isKnown() && shared.setup().presets().isEmpty());
    QCOMPARE(changed.count(), 2);
}

void TestSharedSwitch::changeEndsWithItsOwnAnswer_data()
{
    QTest::addColumn<QByteArray>("answer"); // "R" stands for the change's number
    QTest::addColumn<bool>("pinGivenSince");
    QTest::addColumn<QString>("error"); // null: not ended
    QTest::addColumn<bool>("refusalTold");

    QTest::newRow("done") << QByteArray(R"({"type":"done","ref":R})") << false << "" << false;
    QTest::newRow("refused for what")
        << QByteArray(R"({"type":"error","ref":R,"text":"no"})") << false << "no" << false;
    QTest::newRow("refused for who")
        << QByteArray(R"({"type":"error","ref":R,"text":"wrong or missing PIN","denied":true})")
        << false << "wrong or missing PIN" << true;
    QTest::newRow("PIN given since")
        << QByteArray(R"({"type":"error","ref":R,"text":"wrong or missing PIN","denied":true})")
        << true << "wrong or missing PIN" << false;
    QTest::newRow("another's answer")
        << QByteArray(R"({"type":"done","ref":99})") << false << QString() << false;
    QTest::newRow("line closed") << QByteArray() << false << "closed" << false;
}

void TestSharedSwitch::changeEndsWithItsOwnAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, pinGivenSince);
    QFETCH(QString, error);
    QFETCH(bool, refusalTold);

    QByteArrayList sent;
    SharedSwitch shared([&sent](const QJsonObject& request) {
        sent << QJsonDocument(request).toJson(QJsonDocument::Compact);
        return true;
    });
    shared.setPin(QStringLiteral("2468"));
    QSignalSpy refused(&shared, &SharedSwitch::refused);
    QPointer<SetupChange> change = shared.change(
        {SetupEdit::Kind::RenamePreset, 0, QStringLiteral("Video"), QStringLiteral("Film")});
    QCOMPARE(sent, QByteArrayList{R"({"pin":"2468","preset":"Video","ref":1,"to":"Film",)"
                                  R"("type":"rename"})"});
    QSignalSpy finished(change.data(), &SetupChange::finished);
    if (pinGivenSince)
        shared.setPin(QStringLiteral("1357"));
    if (answer.isEmpty())
        shared.forget(QStringLiteral("closed"));
    else
        shared.take(json(QByteArray(answer).replace('R', '1')));
    QCOMPARE(refused.count(), refusalTold ? 1 : 0);
    if (error.isNull()) {
        QVERIFY(!change->isFinished());
        return;
    }
    QVERIFY(change->isFinished());
    QCOMPARE(change->errorString(), error);
    QTRY_COMPARE(finished.count(), 1); // from the event loop, then the handle is gone
    QTRY_VERIFY(change.isNull());
}

QTEST_GUILESS_MAIN(TestSharedSwitch)
#include "tst_sharedswitch.moc"
