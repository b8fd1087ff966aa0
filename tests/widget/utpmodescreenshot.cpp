// SPDX-License-Identifier: MIT
// Renders the UTP dialog, filled as if the switch had reported mask 5, into the PNG file named
// on the command line. Documentation tool; not part of the test run.
#include "fakeserialport.h"
#include "recordingmessageboxes.h"
#include "ui/utpmodedialog.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    UtpModeDialog dialog(port, boxes, nullptr);
    dialog.showReportedModes(0x5);
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
