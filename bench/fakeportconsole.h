// SPDX-License-Identifier: MIT
#pragma once

// The main window on the test fake port, started up and shown, with its receive handler at
// hand: the benches hand it replies straight from the classifier.
#include "fakeserialport.h"
#include "link/receiveframer.h"
#include "recordingmessageboxes.h"
#include "ui/mainwindow.h"

#include <QTemporaryDir>
#include <QTest>

namespace bench {

struct FakePortConsole
{
    QTemporaryDir dir;
    FakeSerialPort port;
    RecordingMessageBoxes boxes;
    MainWindow window{port, boxes, dir.path()};
    ReceiveFramer* handler = nullptr;

    // Start-up and first show; false when the window has no receive handler or never showed.
    bool start()
    {
        window.startUp();
        handler = window.findChild<ReceiveFramer*>();
        window.show();
        return handler && QTest::qWaitForWindowExposed(&window);
    }
};

} // namespace bench
