// SPDX-License-Identifier: MIT
#include "ipbox.h"

#include "protocol/addresstext.h"
#include "ui/designlook.h"
#include "ui/ipaddressedit.h"

ipBox::ipBox(QWidget* parent) : ipBox(parent, [](QWidget* host) { return new IpAddressEdit(host); })
{
}

ipBox::ipBox(QWidget* parent, FieldFactory factory) : QWidget(parent), makeField(std::move(factory))
{
    // Design size, 2100 x 345 twips; the container sets the real size.
    resize(designSize);
    CreateTextBox();
    setAddress(QStringLiteral("0.0.0.0"));
}

QSize ipBox::sizeHint() const
{
    return designSize;
}

qint16 ipBox::CountIF(const QString& lzExpr, const QString& nChar) const
{
    return protocol::countIf(lzExpr, nChar);
}

void ipBox::CreateTextBox()
{
    delete hwndIP;
    hwndIP = makeField ? makeField(this) : nullptr;
    if (!hwndIP) {
        setFocusProxy(nullptr);
        return;
    }
    hwndIP->setGeometry(0, 0, width(), height());
    hwndIP->setFont(design::dialogFont());
    hwndIP->show();
    // The control is reached with Tab through its field.
    setFocusProxy(hwndIP);
}

QString ipBox::Address() const
{
    return protocol::dottedAddress(hwndIP ? hwndIP->address() : 0);
}

void ipBox::setAddress(const QString& NewIP)
{
    const quint32 packed = protocol::packAddress(NewIP);
    if (hwndIP)
        hwndIP->setAddress(packed);
}

void ipBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (hwndIP) {
        hwndIP->setGeometry(0, 0, width(), height());
        hwndIP->update();
    }
}
