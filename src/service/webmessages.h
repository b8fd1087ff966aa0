// SPDX-License-Identifier: MIT
#pragma once

#include "link/matrixsetup.h"
#include "link/routing.h"
#include "link/routingstate.h"
#include "link/setupedit.h"
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
    std::optional<Preset> recall = std::nullopt;  // a preset to recall
    std::optional<SetupEdit> edit = std::nullopt; // a change of names or presets
    int ref = 0; // the asker's number for the request, told back with its answer; 0: none
};

// The requests a page sends, each a JSON object with "type" and, where a PIN is set, "pin":
//   {"type":"key","output":O,"input":I}        input I (1-4) to output O (1-4), as its button
//   {"type":"key","output":O,"arrow":"prev"}   an arrow of output O ("prev" or "next")
//   {"type":"status"}                          the switch's routing of all four outputs
//   {"type":"recall","preset":"NAME"}          a preset, recalled as the console does
//   {"type":"name","output":O,"name":"TEXT"}   output O's name ("" takes it away); or "input":I
//   {"type":"save","preset":"NAME"}            the routing the switch reported, as a preset
//   {"type":"rename","preset":"NAME","to":"NEW"}
//   {"type":"delete","preset":"NAME"}
//   {"type":"line","text":"cir 59\r\n"}       one command line of the switch's own language,
//                                              Latin-1, ending in a line feed (a console)
// An edit (name, save, rename, delete) with "ref":N, a number of the asker's, is answered
// {"type":"done","ref":N} once made, after the new state; an error about any request with one
// carries it too.
// `setup` holds the switch's presets.
Outcome request(const QByteArray& text, const WebAccess& access, const MatrixSetup& setup);

// Everything a page shows, sent when it connects and whenever names or presets change:
// {"type":"state","switch":ID,"name":NAME,"link":B,"routing":[4],"outputs":[4],"inputs":[4],
//  "presets":[...],"presetRoutings":[[4],...],"readOnly":B,"pin":B}; NAME is the switch's
// display name, ID without one.
// The link as link() says follows it.
QByteArray state(const QString& id, bool linkUp, const Routing& routing, const MatrixSetup& setup,
                 const WebAccess& access, const QString& name = {});
// {"type":"problems","problems":[{"output":O,"asked":I,"reported":J},...]}: outputs that did
// not follow a route asked for, until they do.
QByteArray problems(const QList<RoutingState::Problem>& problems);
// {"type":"routing","routing":[4]}: inputs of outputs 1 to 4, 0 where not reported.
QByteArray routing(const Routing& routing);
// {"type":"link","up":B,"answering":B}: the line open, and the switch answering on it.
QByteArray link(bool up, bool answering = true);
// {"type":"bytes","data":TEXT}: what the switch sent, one character a byte, for a console.
QByteArray bytes(const QByteArray& data);
// {"type":"error","text":TEXT}, with "ref":N when not 0 and "denied":true for a refusal of who
// asked (a PIN, a read-only page).
QByteArray error(const QString& text, int ref = 0, bool denied = false);
// {"type":"done","ref":N}
QByteArray done(int ref);

} // namespace webmessages
