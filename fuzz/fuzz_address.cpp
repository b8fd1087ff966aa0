// SPDX-License-Identifier: MIT
// The address control's text logic. The input is UTF-8: the address text, then optionally a
// NUL byte and the character to count (a dot when there is none).
#include "fuzzcheck.h"

#include "protocol/addresstext.h"

#include <QStringList>

using protocol::NumberedError;

namespace {

bool onlyLatin1(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

void checkCount(const QString& text, const QString& nChar)
{
    try {
        const qint16 count = protocol::countIf(text, nChar);
        FUZZ_CHECK(count >= 0 && count <= 2 * text.size());
        if (onlyLatin1(text) && !nChar.isEmpty() && nChar[0].unicode() > 0 &&
            nChar[0].unicode() < 0x80)
            FUZZ_CHECK(count == text.count(nChar[0]));
    } catch (const NumberedError& e) {
        FUZZ_CHECK(e.number() == NumberedError::overflow ||
                   (e.number() == NumberedError::invalidArgument && nChar.isEmpty()));
    }
}

void checkAddress(const QString& text)
{
    quint32 packed = 0;
    try {
        packed = protocol::packAddress(text);
    } catch (const NumberedError& e) {
        FUZZ_CHECK(e.number() == NumberedError::badAddressFormat ||
                   e.number() == NumberedError::typeMismatch ||
                   e.number() == NumberedError::overflow);
        return;
    }
    FUZZ_CHECK(text.split(QLatin1Char('.')).size() >= 4);
    // Read back as the control shows it, the address writes again to the same value.
    const QString dotted = protocol::dottedAddress(packed);
    FUZZ_CHECK(dotted.count(QLatin1Char('.')) == 3);
    FUZZ_CHECK(protocol::packAddress(dotted) == packed);
    // And that text makes a command with the four bytes in hex.
    const QByteArray command = protocol::fixedAddressCommand(dotted);
    FUZZ_CHECK(command.startsWith("sip ") && command.endsWith("\r\n"));
    const QList<QByteArray> fields = command.mid(4, command.size() - 6).split(' ');
    FUZZ_CHECK(fields.size() == 4);
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        FUZZ_CHECK(fields[i].toUInt(&ok, 16) == ((packed >> (24 - 8 * i)) & 0xFFu) && ok);
        FUZZ_CHECK(fields[i] == fields[i].toUpper());
    }
}

void checkPiece(const QString& piece)
{
    try {
        const quint8 value = protocol::byteFromText(piece);
        FUZZ_CHECK(protocol::byteFromText(QString::number(value)) == value);
    } catch (const NumberedError& e) {
        FUZZ_CHECK(e.number() == NumberedError::typeMismatch ||
                   e.number() == NumberedError::overflow);
    }
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
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QString nChar = nul < 0 ? QStringLiteral(".") : QString::fromUtf8(bytes.mid(nul + 1));

    checkCount(text, nChar);
    checkAddress(text);
    checkPiece(text);
    checkCommand(text);
    return 0;
}
