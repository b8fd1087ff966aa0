// SPDX-License-Identifier: MIT
#include "switchmodel.h"

#include "protocol/commands.h"

namespace sim {

namespace {

// The front keys answer the console's key codes, six per output row.
constexpr const auto& keyCodes = protocol::routingKeyCodes;

constexpr int inputs = 4;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One to maxDigits hex digits and nothing else; -1 otherwise.
int hexNumber(QByteArrayView text, qsizetype maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int value = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

QByteArray error(const char* what)
{
    // Must never look like a reply the console interprets ("s" digit digit, "ust" digit, "Ack",
    // "utp", "edm", CR LF "s"): an "E" first keeps it on the console's raw path.
    return QByteArray("ERR ") + what + "\r\n";
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

SwitchModel::SwitchModel(const Routes& routes) : m_routes(routes) {}

QList<Exchange> SwitchModel::feed(QByteArrayView bytes)
{
    QList<Exchange> exchanges;
    for (char c : bytes) {
        if (c != '\r' && c != '\n') {
            if (m_overlong)
                continue;
            m_line.append(c);
            if (m_line.size() > maxLineLength)
                m_overlong = true;
            continue;
        }
        // Any line end closes the line; the LF of CR LF then closes an empty one, which is skipped.
        if (m_overlong) {
            exchanges.append({m_line.left(maxLineLength) + "...", error("long")});
        } else if (!m_line.isEmpty()) {
            exchanges.append({m_line, execute(m_line)});
        }
        m_line.clear();
        m_overlong = false;
    }
    return exchanges;
}

QByteArray SwitchModel::execute(QByteArrayView line)
{
    // The console pads some commands with a blank ("bc ", "rup "); typed ones may have more.
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);

    const qsizetype space = line.indexOf(' ');
    const QByteArrayView word = space < 0 ? line : line.first(space);
    const QByteArrayView argument = space < 0 ? QByteArrayView() : line.sliced(space + 1);
    const bool bare = space < 0;

    if (word == "cir")
        return key(argument);

    if (word == "bc") {
        if (!bare)
            return error("bc");
        // One piece, so the console sees the whole report within one read.
        QByteArray report = "\r\n";
        for (int output = 0; output < 4; ++output)
            report += routeReport(output).first(3);
        return report + "\r\n";
    }

    if (word == "rup") {
        if (!bare)
            return error("rup");
        return QByteArray("ust0") + "0123456789ABCDEF"[m_oneWireMask] + "\r\n";
    }

    if (word == "utp") {
        const int mask = hexNumber(argument, 1);
        if (mask < 0)
            return error("utp");
        m_oneWireMask = mask;
        return "utp\r\n";
    }

    if (word == "dhc") {
        if (!bare)
            return error("dhc");
        m_network.dhcp = true;
        return "Ack\r\n";
    }

    if (word == "sip") {
        // Exactly four fields of one or two hex digits, one blank apart.
        const QList<QByteArray> fields = argument.toByteArray().split(' ');
        std::array<int, 4> address{};
        if (bare || fields.size() != 4)
            return error("sip");
        for (qsizetype i = 0; i < 4; ++i) {
            address[i] = hexNumber(fields[i], 2);
            if (address[i] < 0)
                return error("sip");
        }
        m_network = {false, address};
        return "Ack\r\n";
    }

    return error("unknown");
}

QByteArray SwitchModel::key(QByteArrayView argument)
{
    const int code = argument.size() == 2 ? hexNumber(argument, 2) : -1;
    if (code < 0)
        return error("cir");

    qsizetype index = 0;
    while (index < qsizetype(keyCodes.size()) && keyCodes[index] != code)
        ++index;
    if (index == qsizetype(keyCodes.size()))
        return error("key");

    const auto output = int(index / 6);
    const auto position = int(index % 6);
    if (output == m_stuckOutput)
        return routeReport(output);
    int& input = m_routes[output];
    if (position == 0)
        input = (input + inputs - 1) % inputs;
    else if (position == 1)
        input = (input + 1) % inputs;
    else
        input = position - 2;
    return routeReport(output);
}

QByteArray SwitchModel::frontPanelChange(quint32 random)
{
    const auto output = int(random % 4);
    const auto step = int(random / 4 % (inputs - 1)) + 1;
    m_routes[output] = (m_routes[output] + step) % inputs;
    return routeReport(output);
}

QByteArray SwitchModel::routeReport(int output) const
{
    QByteArray report = "s";
    report += char('1' + output);
    report += char('0' + m_routes[output]);
    return report + "\r\n";
}

std::optional<Routes> parseRoutes(QByteArrayView text)
{
    if (text.size() != 4)
        return std::nullopt;
    Routes routes{};
    for (qsizetype i = 0; i < 4; ++i) {
        if (text[i] < '0' || text[i] > '3')
            return std::nullopt;
        routes[i] = text[i] - '0';
    }
    return routes;
}

} // namespace sim
