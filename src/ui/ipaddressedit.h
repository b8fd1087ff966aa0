// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

class OctetFields;
namespace protocol {
struct AddressError;
}

// The address entry control: hosts four address fields that always fill it, and offers the
// address as dotted text. A text it refuses leaves the fields as they were and says why; the
// control keeps no copy of the address: the fields hold it.
class IpAddressEdit : public QWidget
{
    Q_OBJECT
public:
    // Creates the fields and shows "0.0.0.0".
    explicit IpAddressEdit(QWidget* parent = nullptr);

    // "192.168.1.10"; "0.0.0.0" while the control has no fields.
    QString address() const;
    // Shows a dotted address. Fewer than three dots is the format error 102, else the first
    // failing piece of 3, 2, 1, 0 gives its conversion error; then nothing changes, the result
    // is false and `error`, when given, holds the number and description. Pieces after the
    // fourth are ignored. Without fields the text is still checked but has no effect.
    bool setAddress(const QString& text, protocol::AddressError* error = nullptr);

    QSize sizeHint() const override;

protected:
    // Makes the fields for a given host; returning null stands for a creation that failed.
    using FieldsFactory = std::function<OctetFields*(QWidget* host)>;
    IpAddressEdit(QWidget* parent, FieldsFactory makeFields);

    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr QSize designSize{140, 23};

    // Creates the fields over the whole control in the dialogs' font.
    void createFields(const FieldsFactory& makeFields);

    OctetFields* fields = nullptr;
};
