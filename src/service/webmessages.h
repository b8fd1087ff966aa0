// SPDX-License-Identifier: MIT
#pragma once

#include "link/matrixsetup.h"
#include "link/routing.h"
#include "webconfig.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class MatrixSetup;

// The JSON messages between a switch's web page and the service: a page's request turned into
// the commands for the switch's line, or into the refusal it is answered with; what a page is
// told. Knows no socket and no line: the panel sends what these return.
namespace webmessages {

// A request taken (commands for the line, in order) or refused (error, nothing to send).
struct Outcome
{
    QList<QByteArray> commands;
    QString error;
    bool deniedAccess = false; // refused for who asked, not for what: worth a line in the log
    std::optional<Preset> recall = std::nullopt; // a preset to recall
};

// The requests a page sends, each a JSON object with "type" and, where a PIN is set, "pin":
//   {"type":"key","output":O,"input":I}        input I (1-4) to output O (1-4), as its button
//   {"type":"key","output":O,"arrow":"prev"}   an arrow of output O ("prev" or "next")
//   {"type":"status"}                          the switch's routing of all four outputs
//   {"type":"recall","preset":"NAME"}          a preset, recalled as the console does
// `setup` holds the switch's presets.
Outcome request(const QByteArray& text, const WebAccess& access, const MatrixSetup& setup);

// Everything a page shows, sent when it connects:
// {"type":"state","switch":ID,"link":B,"routing":[4],"outputs":[4],"inputs":[4],
//  "presets":[...],"readOnly":B,"pin":B}
QByteArray state(const QString& id, bool linkUp, const Routing& routing, const MatrixSetup& setup,
                 const WebAccess& access);
// {"type":"routing","routing":[4]}: inputs of outputs 1 to 4, 0 where not reported.
QByteArray routing(const Routing& routing);
// {"type":"link","up":B}
QByteArray link(bool up);
// {"type":"error","text":TEXT}
QByteArray error(const QString& text);

} // namespace webmessages
