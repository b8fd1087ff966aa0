// SPDX-License-Identifier: MIT
#pragma once

#include "link/matrixsetup.h"
#include "protocol/replies.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>

// What a command prints: plain lines for people, or one JSON document per line for programs.
// Every line is flushed at once, so a pipe sees each route as the switch reports it. Problems go
// to the error stream as "varnok: ..." in both forms.
class ScriptOutput
{
public:
    explicit ScriptOutput(bool json, std::FILE* out = stdout, std::FILE* err = stderr);

    // Names the user gave, shown with every route from now on.
    void useNames(const MatrixSetup& setup);

    // "HDMI Out2 -> HDMI In 3", or {"output":2,"input":3}; with names
    // "HDMI Out2 -> HDMI In 3  (Projector <- Camera)" and "output_name"/"input_name".
    void route(const protocol::Route& route);
    // The four route lines, or {"routes":[...]}.
    void routing(const QList<protocol::Route>& routes);
    // "5", then "UTP1: 1 wire" ... "UTP4: 2 wires"; or {"mask":"5","outputs":[...]}.
    void utpModes(int oneWireMask);
    // "network: DHCP" / "network: 192.168.1.10"; or {"network":"dhcp"} / {"network":"fixed",...}.
    void network(const QString& address);
    // The reply's bytes as they came; or {"reply":"..."} (bytes read as Latin-1).
    void reply(const QByteArray& bytes);
    // "Lecture: 2 3 1 4" (the inputs of outputs 1 to 4) a line each, or
    // {"presets":[{"name":"Lecture","routes":[...]}]}.
    void presets(const QList<Preset>& presets);
    // Text as it is: the usage, the version.
    void text(const QByteArray& bytes) { write(bytes); }
    void problem(const QString& message);

    // Whether a write to the output failed (a full disk, a reader that went away): nothing more
    // is written after it.
    bool writeFailed() const { return failure != 0; }
    // The reader of a pipe went away (the writer would have got SIGPIPE).
    bool readerGone() const;
    QString writeError() const;

private:
    void line(const QByteArray& text);
    void write(const QByteArray& bytes);
    QByteArray routeObject(const protocol::Route& route) const;

    bool json;
    std::array<QString, 4> outputNames;
    std::array<QString, 4> inputNames;
    std::FILE* out;
    std::FILE* err;
    int failure = 0; // errno of the first failed write
};
