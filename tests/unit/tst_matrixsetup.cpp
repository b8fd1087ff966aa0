// SPDX-License-Identifier: MIT
// Names and presets in varnok.conf: hand-edited files with junk are survived, and what is saved
// comes back in a new instance, as after a restart.
#include "hostilefolder.h"
#include "link/matrixsetup.h"
#include "link/sessionlog.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList presetLines(const MatrixSetup& setup)
{
    QStringList lines;
    for (const Preset& preset : setup.presets())
        lines << preset.name + u'=' + MatrixSetup::routingText(preset.routing);
    return lines;
}

} // namespace

class TestMatrixSetup : public QObject
{
    Q_OBJECT
private slots:
    void hostileFile_data();
    void hostileFile();
    void survivesRestart();
    void refusesWhatCannotBeKept();
    void notPlainFileIsLeftAlone_data();
    void notPlainFileIsLeftAlone();
    void parallelWritersLoseNoPreset();
};

void TestMatrixSetup::hostileFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("output1"); // what is used
    QTest::addColumn<QStringList>("presets");

    const QByteArray good = "[link]\nreconnect=false\n[names]\noutput1=Projector\n"
                            "[presets]\n1\\name=Lecture\n1\\routing=2 3 1 4\n";
    const QStringList lecture{QStringLiteral("Lecture=2 3 1 4")};

    QTest::newRow("documented example, nothing ignored")
        << QByteArray("[names]\noutput2=Projector\ninput3=Camera\n\n[presets]\n1\\name=Lecture "
                      "hall\n1\\routing=2 3 1 4\n2\\name=\"Film, night\"\n2\\routing=1 1 1 1\n")
        << QStringList{} << ""
        << QStringList{QStringLiteral("Lecture hall=2 3 1 4"),
                       QStringLiteral("Film, night=1 1 1 1")};
    QTest::newRow("unknown keys")
        << good + "colour=red\n1\\colour=blue\nFilm=1 1 1 1\n[names]\nOutput2=Camera\n"
        << QStringList{"varnok.conf: [names] Output2 ignored: the keys are output1 to output4 "
                       "and input1 to input4",
                       "varnok.conf: [presets] Film ignored: presets are numbered entries such "
                       "as 1\\name and 1\\routing",
                       "varnok.conf: [presets] colour ignored: presets are numbered entries such "
                       "as 1\\name and 1\\routing",
                       "varnok.conf: [presets] 1\\colour ignored: an entry has a name and a "
                       "routing"}
        << "Projector" << lecture;
    QTest::newRow("output 7, input 0")
        << good + "[names]\noutput7=Far\ninput0=Zero\n"
        << QStringList{"varnok.conf: [names] input0 ignored: inputs are 1 to 4",
                       "varnok.conf: [names] output7 ignored: outputs are 1 to 4"}
        << "Projector" << lecture;
    QTest::newRow("40-character names")
        << QByteArray("[names]\noutput1=") + QByteArray(40, 'x') +
               "\n[presets]\n1\\routing=1 1 1 1\n1\\name=" + QByteArray(40, 'y') + "\n"
        << QStringList{"varnok.conf: [names] output1 ignored: it is longer than 32 characters",
                       "varnok.conf: [presets] 1 ignored: its name is longer than 32 characters"}
        << "" << QStringList{};
    QTest::newRow("broken routings")
        << good + "2\\name=Nine\n2\\routing=9 x 1\n3\\name=Five\n3\\routing=1 2 3 4 5\n"
                  "4\\routing=1 1 1 1\n"
        << QStringList{"varnok.conf: [presets] 2 ignored: routing \"9 x 1\" is not four inputs "
                       "1 to 4",
                       "varnok.conf: [presets] 3 ignored: routing \"1 2 3 4 5\" is not four "
                       "inputs 1 to 4",
                       "varnok.conf: [presets] 4 ignored: it has no name"}
        << "Projector" << lecture;
    QTest::newRow("duplicate presets, numbers out of order")
        << good +
               "7\\name=Lecture\n7\\routing=4 4 4 4\n3\\name=Film, night\n3\\routing=1, 1, 1, 1\n"
        << QStringList{"varnok.conf: [presets] 7 ignored: \"Lecture\" is entry 1 already"}
        << "Projector"
        << QStringList{QStringLiteral("Lecture=2 3 1 4"), QStringLiteral("Film, night=1 1 1 1")};
    QTest::newRow("binary junk")
        << good + QByteArray("\x00\xff\xfe[\x01\x02\n=\xc3\x28\n[names]\nx\x00y=3\n[pres", 28)
        << QStringList{"varnok.conf: some lines are not settings and were skipped",
                       "varnok.conf: [names] x?y ignored: the keys are output1 to output4 and "
                       "input1 to input4",
                       "varnok.conf: [presets] (no key) ignored: presets are numbered entries "
                       "such as 1\\name and 1\\routing"}
        << "Projector" << lecture;
}

void TestMatrixSetup::hostileFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, problems);
    QFETCH(QString, output1);
    QFETCH(QStringList, presets);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("varnok.conf"));
    QVERIFY(writeFile(path, file));

    MatrixSetup setup(dir.path());
    QCOMPARE(setup.problems(), problems);
    QCOMPARE(setup.outputName(1), output1);
    QCOMPARE(presetLines(setup), presets);
    setup.reload();
    QCOMPARE(setup.problems(), problems); // once per load, not once more per reload

    // Saving beside the junk changes only what it saves: the junk stays for the user to see.
    QVERIFY(setup.setInputName(4, QStringLiteral("Camera")));
    QCOMPARE(setup.inputName(4), QStringLiteral("Camera"));
    // Lines that were no settings at all come back as settings Qt can read.
    problems.removeAll(QStringLiteral("varnok.conf: some lines are not settings and were skipped"));
    QCOMPARE(setup.problems(), problems);
    QCOMPARE(presetLines(setup), presets);
    const QByteArray written = fileBytes(path);
    for (const QByteArray& line : file.split('\n')) {
        const bool text = std::all_of(line.cbegin(), line.cend(), [](char c) { return c >= ' '; });
        QVERIFY2(!text || written.contains(line), line.constData());
    }
}

void TestMatrixSetup::survivesRestart()
{
    QTemporaryDir dir;
    const QString awkward = QStringLiteral("Hall A; \"B\" = 50% #2, é/ü\\x");
    {
        MatrixSetup setup(dir.path());
        QVERIFY(setup.setOutputName(2, QStringLiteral("  Projector  ")));
        QVERIFY(setup.setInputName(3, QStringLiteral("Camera")));
        QVERIFY(setup.setOutputName(4, QString(32, u'z')));
        QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {2, 3, 1, 4}));
        QVERIFY(setup.savePreset(awkward, {1, 1, 1, 1}));
        QVERIFY(setup.savePreset(QStringLiteral("Spare"), {4, 4, 4, 4}));
        QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {3, 3, 1, 4})); // replaced in place
        QVERIFY(setup.renamePreset(QStringLiteral("spare"), QStringLiteral("Film")));
        QVERIFY(setup.deletePreset(awkward));
        QVERIFY(setup.savePreset(awkward, {1, 2, 1, 2})); // added at the end again
        QVERIFY(setup.setOutputName(4, QString()));
        QVERIFY(setup.setInputName(1, QStringLiteral("Stage \U0001F3A4")));
    }
    const MatrixSetup restarted(dir.path());
    QCOMPARE(restarted.problems(), QStringList());
    QCOMPARE(restarted.outputName(2), QStringLiteral("Projector"));
    QCOMPARE(restarted.inputName(3), QStringLiteral("Camera"));
    QCOMPARE(restarted.outputName(4), QString());
    QCOMPARE(restarted.inputName(1), QStringLiteral("Stage \U0001F3A4"));
    QCOMPARE(presetLines(restarted),
             (QStringList{QStringLiteral("Lecture=3 3 1 4"), QStringLiteral("Film=4 4 4 4"),
                          awkward + QStringLiteral("=1 2 1 2")}));
    QCOMPARE(restarted.findPreset(QStringLiteral("FILM"))->name, QStringLiteral("Film"));
}

void TestMatrixSetup::refusesWhatCannotBeKept()
{
    QTemporaryDir dir;
    MatrixSetup setup(dir.path());
    QVERIFY(setup.savePreset(QStringLiteral("Lecture"), {2, 3, 1, 4}));
    QVERIFY(setup.savePreset(QStringLiteral("lecture"), {1, 1, 1, 1}));
    // The exact name first; a name matching two presets but neither exactly matches none.
    QCOMPARE(setup.findPreset(QStringLiteral("lecture"))->routing, (Routing{1, 1, 1, 1}));
    QVERIFY(!setup.findPreset(QStringLiteral("LECTURE")));

    QVERIFY(!setup.setOutputName(5, QStringLiteral("Far")));
    QVERIFY(!setup.setInputName(0, QStringLiteral("Zero")));
    QVERIFY(!setup.setOutputName(1, QString(33, u'x')));
    QVERIFY(setup.errorString().contains(QStringLiteral("longer than 32")));
    QVERIFY(!setup.setOutputName(1, QStringLiteral("Two\nlines")));
    QVERIFY(!setup.savePreset(QStringLiteral("Bad"), {1, 2, 5, 1}));
    QVERIFY(!setup.savePreset(QStringLiteral("   "), {1, 2, 3, 1}));
    QVERIFY(!setup.renamePreset(QStringLiteral("Lecture"), QStringLiteral("LECTURE")));
    QVERIFY(!setup.renamePreset(QStringLiteral("Missing"), QStringLiteral("Other")));
    QVERIFY(!setup.deletePreset(QStringLiteral("Missing")));

    QCOMPARE(MatrixSetup(dir.path()).outputName(1), QString());
    QCOMPARE(presetLines(MatrixSetup(dir.path())),
             (QStringList{QStringLiteral("Lecture=2 3 1 4"), QStringLiteral("lecture=1 1 1 1")}));
}

void TestMatrixSetup::notPlainFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("linkTo"); // empty: a named pipe
    QTest::newRow("varnok.conf a pipe") << "varnok.conf"
                                        << "";
    QTest::newRow("varnok.conf to /dev/zero") << "varnok.conf"
                                              << "/dev/zero";
    QTest::newRow("varnok.conf to a file") << "varnok.conf"
                                           << "target";
    QTest::newRow("session.log to a file") << "session.log"
                                           << "target";
}

// Reading a pipe or /dev/zero would never end; a link would lead the write elsewhere.
void TestMatrixSetup::notPlainFileIsLeftAlone()
{
    QFETCH(QString, name);
    QFETCH(QString, linkTo);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QString target = dir.filePath(QStringLiteral("target"));
    const QByteArray kept = "[names]\noutput1=Elsewhere\n";
    QVERIFY(writeFile(target, kept));
    if (linkTo.isEmpty())
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(linkTo.startsWith(u'/') ? linkTo : target, path));
    const mode_t kind = kindOf(path);

    if (name == QLatin1String("session.log")) {
        SessionLog log(path);
        log.recordSent("bc \r\n");
        QVERIFY(log.problem().contains(QStringLiteral("symbolic link")));
    } else {
        MatrixSetup setup(dir.path());
        QCOMPARE(setup.problems().size(), 1);
        QVERIFY(setup.problems()[0].contains(linkTo.isEmpty() ? "not a plain file" : "link"));
        QCOMPARE(setup.outputName(1), QString());
        QVERIFY(!setup.setOutputName(2, QStringLiteral("Projector")));
        QVERIFY(!setup.savePreset(QStringLiteral("Lecture"), {2, 3, 1, 4}));
    }
    QCOMPARE(kindOf(path), kind);
    QCOMPARE(fileBytes(target), kept);
}

constexpr int presetsEach = 20;

// Two programs saving presets into one folder at once, as two switches' scripts do.
void TestMatrixSetup::parallelWritersLoseNoPreset()
{
    QTemporaryDir dir;
    QProcess a;
    QProcess b;
    a.start(QCoreApplication::applicationFilePath(), {"--save-presets", dir.path(), "A"});
    b.start(QCoreApplication::applicationFilePath(), {"--save-presets", dir.path(), "B"});
    for (QProcess* writer : {&a, &b}) {
        QVERIFY(writer->waitForFinished(30000));
        QCOMPARE(writer->exitCode(), 0);
    }
    QCOMPARE(MatrixSetup(dir.path()).presets().size(), 2 * presetsEach);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The second program of parallelWritersLoseNoPreset(): FOLDER, then the names' first letter.
    if (argc == 4 && qstrcmp(argv[1], "--save-presets") == 0) {
        MatrixSetup setup(QString::fromLocal8Bit(argv[2]));
        for (int i = 0; i < presetsEach; ++i) {
            if (!setup.savePreset(QString::fromLocal8Bit(argv[3]) + QString::number(i),
                                  {1, 2, 3, 4}))
                return 1;
        }
        return 0;
    }
    TestMatrixSetup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_matrixsetup.moc"
