// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The address control's text logic: dotted text to and from the packed 32-bit value (first
// field in bits 31-24) and the switch's fixed-address command. Pure logic: no widgets, no port.
namespace protocol {

// Why a dotted text was refused, as the address control reports it to its container: the
// error's number and its description.
struct AddressError
{
    static constexpr int overflow = 6;
    static constexpr int typeMismatch = 13;
    static constexpr int badFormat = 102;

    int number = 0;
    QString description;
};

// One dotted piece to its byte: a decimal number with optional blanks around it. Anything else
// (blank or empty included) is a type mismatch, a number outside 0-255 an overflow; then the
// result is empty and `error`, when given, says which.
std::optional<quint8> byteFromText(const QString& piece, AddressError* error = nullptr);

// Dotted text to the packed value, as a write of the control's address checks it: fewer than
// three dots is the format error 102, else the first failing piece of 3, 2, 1, 0 gives its
// conversion error. Pieces after the fourth are ignored.
std::optional<quint32> packAddress(const QString& text, AddressError* error = nullptr);

// "192.168.1.10" for 0xC0A8010A: decimal fields without leading zeros.
QString dottedAddress(quint32 packed);

// "sip " + the fields of a dotted address in upper-case hex, one blank between them, + CR LF.
// Digits collect into the current field and any other character closes it, so the address
// text decides the number of fields; an empty field counts as 0.
QByteArray fixedAddressCommand(const QString& address);

} // namespace protocol
