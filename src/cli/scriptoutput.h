// SPDX-License-Identifier: MIT
#pragma once

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

    // "HDMI Out2 -> HDMI In 3", or {"output":2,"input":3}.
    void route(const protocol::Route& route);
    // The four route lines, or {"routes":[...]}.
    void routing(const QList<protocol::Route>& routes);
    // "5", then "UTP1: 1 wire" ... "UTP4: 2 wires"; or {"mask":"5","outputs":[...]}.
    void utpModes(int oneWireMask);
    // "network: DHCP" / "network: 192.168.1.10"; or {"network":"dhcp"} / {"network":"fixed",...}.
    void network(const QString& address);
    // The reply's bytes as they came; or {"reply":"..."} (bytes read as Latin-1).
    void reply(const QByteArray& bytes);
    void problem(const QString& message);

    // A JSON string literal: quotes, backslashes and control characters escaped.
    static QByteArray jsonString(const QString& text);

private:
    void line(const QByteArray& text);

    bool json;
    std::FILE* out;
    std::FILE* err;
};
