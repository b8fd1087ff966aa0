// SPDX-License-Identifier: MIT
// The options Home Assistant shows for an output's inputs: each unique, and each routing the
// input it names, whatever names the inputs were given.
#include "link/matrixsetup.h"
#include "service/mqttdiscovery.h"

#include <QTemporaryDir>
#include <QtTest>

class TestMqttOptions : public QObject
{
    Q_OBJECT
private slots:
    void optionsRouteTheirInput_data()
    {
        QTest::addColumn<QStringList>("names"); // inputs 1 to 4
        QTest::addColumn<QStringList>("options");
        // Text sent on a command topic, and the input it routes (0: refused).
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QList<int>>("routed");
        QTest::newRow("none") << QStringList{"", "", "", ""}
                              << QStringList{"HDMI In 1", "HDMI In 2", "HDMI In 3", "HDMI In 4"}
                              << QStringList{"HDMI In 3", "hdmi in 2", "4", "5", ""}
                              << QList<int>{3, 2, 4, 0, 0};
        QTest::newRow("a number as a name")
            << QStringList{"2", "", "", ""}
            << QStringList{"2", "HDMI In 2", "HDMI In 3", "HDMI In 4"}
            << QStringList{"2", "HDMI In 2", "1"} << QList<int>{1, 2, 1};
        QTest::newRow("names differing in case")
            << QStringList{"", "", "Camera", "camera"}
            << QStringList{"HDMI In 1", "HDMI In 2", "Camera (3)", "camera (4)"}
            << QStringList{"Camera (3)", "camera (4)", "Camera", "camera", "CAMERA"}
            << QList<int>{3, 4, 3, 4, 0};
        QTest::newRow("another input's label")
            << QStringList{"HDMI In 2", "", "", ""}
            << QStringList{"HDMI In 2 (1)", "HDMI In 2 (2)", "HDMI In 3", "HDMI In 4"}
            << QStringList{"HDMI In 2 (1)", "HDMI In 2 (2)", "HDMI In 2"} << QList<int>{1, 2, 1};
        QTest::newRow("a label made by numbering")
            << QStringList{"Cam", "Cam", "Cam (1)", ""}
            << QStringList{"Cam (1) (1)", "Cam (2)", "Cam (1) (3)", "HDMI In 4"}
            << QStringList{"Cam (2)", "Cam (1) (3)", "Cam (1)", "Cam"} << QList<int>{2, 3, 3, 0};
    }
    void optionsRouteTheirInput()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, options);
        QFETCH(QStringList, sent);
        QFETCH(QList<int>, routed);
        QTemporaryDir dir;
        MatrixSetup setup(dir.path());
        for (int input = 1; input <= 4; ++input)
            QVERIFY(setup.setInputName(input, names[input - 1]));
        const std::array<QString, 4> labels = MqttDiscovery::inputLabels(setup);
        QCOMPARE(QStringList(labels.begin(), labels.end()), options);
        for (int input = 1; input <= 4; ++input) // every option routes its own input
            QCOMPARE(MqttDiscovery::inputFor(setup, options[input - 1]), input);
        for (qsizetype i = 0; i < sent.size(); ++i)
            QVERIFY2(MqttDiscovery::inputFor(setup, sent[i]) == routed[i], qPrintable(sent[i]));
    }
};

QTEST_GUILESS_MAIN(TestMqttOptions)
#include "tst_mqttoptions.moc"
