// SPDX-License-Identifier: MIT
// Renders the network settings dialog in its two states for the documentation; a tool, not a
// test.
//   xvfb-run -a build/tests/widget/networksettings_screenshot docs
#include "elements.h"
#include "fakeserialport.h"
#include "recordingmessageboxes.h"
#include "ui/ipaddressedit.h"
#include "ui/networksettingsdialog.h"

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTest>
#include <cstdio>

namespace {

bool save(QWidget& widget, const QString& path)
{
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    NetworkSettingsDialog dialog(port, boxes, nullptr);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    if (!save(dialog, out.filePath(QStringLiteral("network-settings-automatic.png"))))
        return 1;

    element<QRadioButton>(&dialog, "Option2")->click();
    element<IpAddressEdit>(&dialog, "ipBox1")->setAddress(QStringLiteral("192.168.1.10"));
    QApplication::processEvents();
    return save(dialog, out.filePath(QStringLiteral("network-settings-fixed.png"))) ? 0 : 1;
}
