// SPDX-License-Identifier: MIT
#include "addresstext.h"

#include <QCoreApplication>
#include <QStringList>
#include <vector>

namespace protocol {

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
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

// Fills in `error`, when asked for, with the number and the description the control's
// container is given.
std::nullopt_t refuse(AddressError* error, int number)
{
    if (error) {
        error->number = number;
        switch (number) {
        case AddressError::overflow:
            error->description = QCoreApplication::translate("addresstext", "Overflow");
            break;
        case AddressError::typeMismatch:
            error->description = QCoreApplication::translate("addresstext", "Type mismatch");
            break;
        default:
            error->description =
                QString::fromUtf16(u"Ip 地址格式错误\r\n正确的格式应该为: 255.255.255.255");
            break;
        }
    }
    return std::nullopt;
}

} // namespace

// Accepted: blanks (space, tab), an optional sign, decimal digits with an optional "." and
// fraction, blanks. At least one digit. The fraction rounds to the nearest whole number, ties
// to the even one, before the range check, so "254.5" is 254 and "-0.4" is 0. Only ASCII digits
// and "." as the decimal mark, whatever the locale; thousands separators, exponents, hex
// prefixes, currency signs and parentheses are not numbers here (type mismatch). A "-" is
// taken so that a negative number is reported as outside the range rather than as no number.
std::optional<quint8> byteFromText(const QString& piece, AddressError* error)
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
        return refuse(error, AddressError::typeMismatch);

    int magnitude = 0;
    for (qsizetype k = intStart; k < intEnd; ++k) {
        magnitude = magnitude * 10 + (piece[k].unicode() - u'0');
        if (magnitude > 255)
            return refuse(error, AddressError::overflow);
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
        return refuse(error, AddressError::overflow);
    return static_cast<quint8>(magnitude);
}

std::optional<quint32> packAddress(const QString& text, AddressError* error)
{
    // Three dots make four pieces; fewer is a format error before any piece is looked at.
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() < 4)
        return refuse(error, AddressError::badFormat);
    quint32 packed = 0;
    for (int i = 3; i >= 0; --i) {
        const std::optional<quint8> byte = byteFromText(pieces[i], error);
        if (!byte)
            return std::nullopt;
        packed |= quint32{*byte} << static_cast<unsigned>(8 * (3 - i));
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
