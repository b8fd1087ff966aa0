// SPDX-License-Identifier: MIT
// The address control's text logic. The input is the address text in UTF-8.
#include "fuzzcheck.h"

#include "protocol/addresstext.h"

#include <QStringList>

using protocol::AddressError;

namespace {

bool isKnownError(const AddressError& error)
{
    switch (error.number) {
    case AddressError::badFormat:
        return error.description.contains(QLatin1String("255.255.255.255"));
    case AddressError::typeMismatch:
        return error.description == QLatin1String("Type mismatch");
    case AddressError::overflow:
        return error.description == QLatin1String("Overflow");
    default:
        return false;
    }
}

void checkAddress(const QString& text)
{
    AddressError error;
    const std::optional<quint32> packed = protocol::packAddress(text, &error);
    // The format error comes exactly when the text has fewer than three dots.
    FUZZ_CHECK((error.number == AddressError::badFormat) == (text.count(QLatin1Char('.')) < 3));
    if (!packed) {
        FUZZ_CHECK(isKnownError(error));
        return;
    }
    FUZZ_CHECK(error.number == 0 && error.description.isEmpty());
    // Read back as the control shows it, the address writes again to the same value.
    const QString dotted = protocol::dottedAddress(*packed);
    FUZZ_CHECK(dotted.count(QLatin1Char('.')) == 3);
    FUZZ_CHECK(protocol::packAddress(dotted) == packed);
    // And that text makes a command with the four bytes in hex.
    const QByteArray command = protocol::fixedAddressCommand(dotted);
    FUZZ_CHECK(command.startsWith("sip ") && command.endsWith("\r\n"));
    const QList<QByteArray> fields = command.mid(4, command.size() - 6).split(' ');
    FUZZ_CHECK(fields.size() == 4);
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        FUZZ_CHECK(fields[i].toUInt(&ok, 16) == ((*packed >> (24 - 8 * i)) & 0xFFu) && ok);
        FUZZ_CHECK(fields[i] == fields[i].toUpper());
    }
}

void checkPiece(const QString& piece)
{
    AddressError error;
    const std::optional<quint8> value = protocol::byteFromText(piece, &error);
    if (value)
        FUZZ_CHECK(protocol::byteFromText(QString::number(*value)) == value);
    else
        FUZZ_CHECK(error.number != AddressError::badFormat && isKnownError(error));
}

void checkCommand(const QString& text)
{
    // Any text: "sip ", upper-case hex fields one blank apart, CR LF; one field more than
    // there are characters other than digits.
    const QByteArray command = protocol::fixedAddressCommand(text);
    FUZZ_CHECK(command.startsWith("sip ") && command.endsWith("\r\n"));
    const QByteArray body = command.mid(4, command.size() - 6);
    qsizetype separators = 0;
    for (QChar c : text)
        separators += c.unicode() >= u'0' && c.unicode() <= u'9' ? 0 : 1;
    FUZZ_CHECK(body.count(' ') == separators);
    for (char c : body)
        FUZZ_CHECK(c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkAddress(text);
    checkPiece(text);
    checkCommand(text);
    return 0;
}
