// SPDX-License-Identifier: MIT
#include "ipaddressedit.h"

#include "protocol/addresstext.h"
#include "ui/designlook.h"
#include "ui/octetfields.h"

IpAddressEdit::IpAddressEdit(QWidget* parent)
    : IpAddressEdit(parent, [](QWidget* host) { return new OctetFields(host); })
{
}

IpAddressEdit::IpAddressEdit(QWidget* parent, FieldsFactory makeFields) : QWidget(parent)
{
    // Design size, 2100 x 345 twips; the container sets the real size.
    resize(designSize);
    createFields(makeFields);
    setAddress(QStringLiteral("0.0.0.0"));
}

QSize IpAddressEdit::sizeHint() const
{
    return designSize;
}

void IpAddressEdit::createFields(const FieldsFactory& makeFields)
{
    fields = makeFields ? makeFields(this) : nullptr;
    if (!fields)
        return;
    fields->setGeometry(0, 0, width(), height());
    fields->setFont(design::dialogFont());
    fields->show();
    // The control is reached with Tab through its fields.
    setFocusProxy(fields);
}

QString IpAddressEdit::address() const
{
    return protocol::dottedAddress(fields ? fields->address() : 0);
}

bool IpAddressEdit::setAddress(const QString& text, protocol::AddressError* error)
{
    const std::optional<quint32> packed = protocol::packAddress(text, error);
    if (!packed)
        return false;
    if (fields)
        fields->setAddress(*packed);
    return true;
}

void IpAddressEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (fields) {
        fields->setGeometry(0, 0, width(), height());
        fields->update();
    }
}
