// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The address control's text logic: dotted text to and from the packed 32-bit value (first
// field in bits 31-24), the byte counting its plausibility check uses, and the switch's
// fixed-address command. Pure logic: no widgets, no port.
namespace protocol {

// An error raised to the container of the address control: a number and a description.
class NumberedError : public std::exception
{
public:
    static constexpr int invalidArgument = 5;
    static constexpr int overflow = 6;
    static constexpr int typeMismatch = 13;
    static constexpr int badAddressFormat = 102;

    NumberedError(int number, const QString& description);

    // "Invalid procedure call or argument", "Overflow", "Type mismatch" and the two-line
    // Chinese address format message, with their numbers.
    static NumberedError invalidArgumentError();
    static NumberedError overflowError();
    static NumberedError typeMismatchError();
    static NumberedError badAddressFormatError();

    int number() const noexcept { return num; }
    QString description() const { return desc; }
    // The description in UTF-8.
    const char* what() const noexcept override { return utf8.constData(); }

private:
    int num;
    QString desc;
    QByteArray utf8;
};

// One dotted piece to its byte: a decimal number with optional blanks around it; throws
// type mismatch for anything else (blank or empty included), overflow outside 0-255.
quint8 byteFromText(const QString& piece);

// Dotted text to the packed value, validated as the control's Address write does it; throws
// NumberedError (102 for too few dots, then the first failing piece of 3, 2, 1, 0).
quint32 packAddress(const QString& text);

// "192.168.1.10" for 0xC0A8010A: decimal fields without leading zeros.
QString dottedAddress(quint32 packed);

// The number of bytes of lzExpr in UTF-16LE form equal to the Windows-1252 code of nChar's
// first character ("?" for a character outside that code page). Throws NumberedError:
// invalid argument for an empty nChar with a non-empty lzExpr, overflow for a text longer
// than 16,383 characters. An empty lzExpr gives 0 whatever nChar is.
qint16 countIf(const QString& lzExpr, const QString& nChar);


// "sip " + the fields of a dotted address in upper-case hex, one blank between them, + CR LF.
// Digits collect into the current field and any other character closes it, so the address
// text decides the number of fields; an empty field counts as 0.
QByteArray fixedAddressCommand(const QString& address);

} // namespace protocol
