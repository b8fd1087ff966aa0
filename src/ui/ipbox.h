// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

class IpAddressEdit;

// Address entry control: hosts a four-field address field that always fills it, and offers
// the address as dotted text. Writing the text validates it first and raises
// protocol::NumberedError to the caller; the field then keeps its previous value. The
// control keeps no copy of the address: the field holds it.
class ipBox : public QWidget
{
    Q_OBJECT
public:
    // Creates the field and shows "0.0.0.0".
    explicit ipBox(QWidget* parent = nullptr);

    // See protocol::countIf.
    qint16 CountIF(const QString& lzExpr, const QString& nChar) const;

    // Creates the address field over the control's inner area in the system's default GUI
    // font; a field created before is replaced. Without a field (creation failed) the control
    // works on as described at Address.
    void CreateTextBox();

    // "192.168.1.10"; "0.0.0.0" while the control has no field.
    QString Address() const;
    // Throws protocol::NumberedError: 102 for fewer than three dots, else the conversion
    // error of the first failing piece, converted in the order 3, 2, 1, 0; nothing is written
    // then. Pieces after the fourth are ignored. Without a field the text is still validated
    // but has no effect.
    void setAddress(const QString& NewIP);

    // The hosted field; null while the control has none.
    IpAddressEdit* field() const { return hwndIP; }

    QSize sizeHint() const override;

protected:
    // Makes the field for a given host; returning null stands for a creation that failed.
    using FieldFactory = std::function<IpAddressEdit*(QWidget* host)>;
    ipBox(QWidget* parent, FieldFactory makeField);

    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr QSize designSize{140, 23};

    FieldFactory makeField;
    IpAddressEdit* hwndIP = nullptr;
};
