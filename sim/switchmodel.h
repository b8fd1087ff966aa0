// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <optional>

// The simulated 4 x 4 switch: bytes from the console in, reply bytes out. No I/O here, so the
// protocol can be tested without a terminal. Outputs and inputs are counted from 0 inside; the
// replies count outputs from 1 and inputs from 0, as the real switch does.
namespace sim {

using Routes = std::array<int, 4>; // element = output, value = input feeding it

struct NetworkSetting
{
    bool dhcp = true;
    std::array<int, 4> address{}; // meaningful only when dhcp is false
    bool operator==(const NetworkSetting&) const = default;
};

struct Exchange
{
    QByteArray command; // the line as received, without its line end
    QByteArray reply;   // never empty: every command gets an answer
};

class SwitchModel
{
public:
    // Longer lines are dropped whole and answered with the "too long" error.
    static constexpr qsizetype maxLineLength = 128;

    explicit SwitchModel(const Routes& routes = {0, 1, 2, 3});

    // Frames the bytes into commands (CR, LF or CR LF end a line; empty lines are skipped) and
    // runs every complete one. A partial line waits for the next call.
    QList<Exchange> feed(QByteArrayView bytes);

    // Runs one command line, given without its line end.
    QByteArray execute(QByteArrayView line);

    // Someone at the switch moves one output to another input. The random value picks the
    // output and the new input (always a different one). Returns that output's route report.
    QByteArray frontPanelChange(quint32 random);

    // Key commands for this output (0 to 3; -1: none) are answered with its unchanged route, as
    // by a switch whose output is stuck.
    void setStuckOutput(int output) { m_stuckOutput = output; }

    const Routes& routes() const { return m_routes; }
    int oneWireMask() const { return m_oneWireMask; }
    const NetworkSetting& network() const { return m_network; }

private:
    QByteArray key(QByteArrayView argument);
    QByteArray routeReport(int output) const;

    Routes m_routes;
    int m_oneWireMask = 0;
    int m_stuckOutput = -1;
    NetworkSetting m_network;
    QByteArray m_line;
    bool m_overlong = false;
};

// "0123": the input digit (0 to 3) of outputs 1 to 4.
std::optional<Routes> parseRoutes(QByteArrayView text);

} // namespace sim
