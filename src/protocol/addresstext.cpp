// SPDX-License-Identifier: MIT
#include "addresstext.h"

#include <QStringList>
#include <vector>

namespace protocol {

NumberedError::NumberedError(int number, const QString& description)
    : num(number), desc(description), utf8(description.toUtf8())
{
}

NumberedError NumberedError::invalidArgumentError()
{
    return {invalidArgument, QStringLiteral("Invalid procedure call or argument")};
}

NumberedError NumberedError::overflowError()
{
    return {overflow, QStringLiteral("Overflow")};
}

NumberedError NumberedError::typeMismatchError()
{
    return {typeMismatch, QStringLiteral("Type mismatch")};
}

NumberedError NumberedError::badAddressFormatError()
{
    return {badAddressFormat,
            QString::fromUtf16(u"Ip 地址格式错误\r\n正确的格式应该为: 255.255.255.255")};
}

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Code of a character in Windows-1252; 63 ("?") for one the code page lacks.
int ansiCode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    // 0x80-0x9F: the printable characters Windows-1252 puts there, by byte.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    // The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of
    // the same number, as Windows converts them.
    for (int i = 0; i < 32; ++i)
        if (high[i] == u)
            return 0x80 + i;
    return '?';
}

// A decimal digit string of any length in upper-case hex without leading zeros; "0" when it
// is empty or all zeros.
QByteArray hexOf(const QString& decimal)
{
    std::vector<int> digits;
    digits.reserve(static_cast<size_t>(decimal.size()));
    for (const QChar c : decimal)
        digits.push_back(c.unicode() - u'0');
    QByteArray hex;
    for (;;) {
        size_t lead = 0;
        while (lead < digits.size() && digits[lead] == 0)
            ++lead;
        digits.erase(digits.begin(), digits.begin() + static_cast<std::ptrdiff_t>(lead));
        if (digits.empty())
            break;
        int remainder = 0;
        for (int& d : digits) {
            const int current = remainder * 10 + d;
            d = current / 16;
            remainder = current % 16;
        }
        hex.prepend("0123456789ABCDEF"[remainder]);
    }
    return hex.isEmpty() ? QByteArray("0") : hex;
}

} // namespace

// Accepted: blanks (space, tab), an optional sign, decimal digits with an optional "." and
// fraction, blanks. At least one digit. The fraction rounds to the nearest whole number, ties
// to the even one, before the range check, so "254.5" is 254 and "-0.4" is 0. Only ASCII digits
// and "." as the decimal mark, whatever the locale; thousands separators, exponents, hex
// prefixes, currency signs and parentheses are not numbers here (type mismatch). A "-" is
// taken so that a negative number is reported as outside the range rather than as no number.
quint8 byteFromText(const QString& piece)
{
    qsizetype i = 0;
    qsizetype end = piece.size();
    while (i < end && isBlank(piece[i]))
        ++i;
    while (end > i && isBlank(piece[end - 1]))
        --end;
    bool negative = false;
    if (i < end && (piece[i] == QLatin1Char('+') || piece[i] == QLatin1Char('-'))) {
        negative = piece[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype intStart = i;
    while (i < end && isDigit(piece[i]))
        ++i;
    const qsizetype intEnd = i;
    qsizetype fracStart = i;
    qsizetype fracEnd = i;
    if (i < end && piece[i] == QLatin1Char('.')) {
        fracStart = ++i;
        while (i < end && isDigit(piece[i]))
            ++i;
        fracEnd = i;
    }
    if (i != end || (intStart == intEnd && fracStart == fracEnd))
        throw NumberedError::typeMismatchError();

    int magnitude = 0;
    for (qsizetype k = intStart; k < intEnd; ++k) {
        magnitude = magnitude * 10 + (piece[k].unicode() - u'0');
        if (magnitude > 255)
            throw NumberedError::overflowError();
    }
    if (fracStart < fracEnd) {
        const int first = piece[fracStart].unicode() - u'0';
        bool beyondHalf = first > 5;
        if (first == 5) {
            for (qsizetype k = fracStart + 1; k < fracEnd && !beyondHalf; ++k)
                beyondHalf = piece[k] != QLatin1Char('0');
            if (!beyondHalf && magnitude % 2 == 1)
                beyondHalf = true; // a tie goes to the even neighbour
        }
        if (beyondHalf)
            ++magnitude;
    }
    if (magnitude > 255 || (negative && magnitude != 0))
        throw NumberedError::overflowError();
    return static_cast<quint8>(magnitude);
}

quint32 packAddress(const QString& text)
{
    if (countIf(text, QStringLiteral(".")) < 3)
        throw NumberedError::badAddressFormatError();
    // The count also takes the high byte of characters U+2E00-U+2EFF for a dot; such a text
    // can pass the count with fewer than four pieces, which is the same format fault.
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() < 4)
        throw NumberedError::badAddressFormatError();
    quint32 packed = 0;
    for (int i = 3; i >= 0; --i) {
        const auto shift = static_cast<unsigned>(8 * (3 - i));
        packed |= quint32{byteFromText(pieces[i])} << shift;
    }
    return packed;
}

QString dottedAddress(quint32 packed)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(packed >> 24)
        .arg((packed >> 16) & 0xFFu)
        .arg((packed >> 8) & 0xFFu)
        .arg(packed & 0xFFu);
}

// The counting walks the bytes with a 16-bit signed index and count, checked for overflow:
// a last byte index above 32767 (more than 16,384 characters) overflows before the first
// byte is looked at; at exactly 16,384 characters the walk runs, each byte being compared
// with nChar's code, and the index overflows stepping past the last byte.
qint16 countIf(const QString& lzExpr, const QString& nChar)
{
    if (lzExpr.isEmpty())
        return 0;
    const qsizetype lastIndex = 2 * lzExpr.size() - 1;
    if (lastIndex > 32767)
        throw NumberedError::overflowError();
    if (nChar.isEmpty())
        throw NumberedError::invalidArgumentError();
    const int code = ansiCode(nChar.front());
    int count = 0;
    for (const QChar c : lzExpr) {
        const char16_t u = c.unicode();
        count += (u & 0xFF) == code ? 1 : 0;
        count += (u >> 8) == code ? 1 : 0;
    }
    if (lastIndex == 32767)
        throw NumberedError::overflowError();
    return static_cast<qint16>(count);
}

QByteArray fixedAddressCommand(const QString& address)
{
    QByteArray command("sip ");
    QString field;
    for (const QChar c : address) {
        if (isDigit(c)) {
            field += c;
        } else {
            command += hexOf(field);
            command += ' ';
            field.clear();
        }
    }
    command += hexOf(field);
    command += "\r\n";
    return command;
}

} // namespace protocol
