// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <array>

class QLineEdit;

// The four fields of an IPv4 address, the console's stand-in for a native address field: one
// child control whose fields ("field0" to "field3") each hold 0 to 255. It behaves like one control
// for the keyboard: Tab and Backtab leave it as a whole, while ".", Backspace and the arrow keys
// move between its fields. The value is exchanged packed into 32 bits, the first field in bits
// 31-24; a blank field reads as 0. The control raises no signals of its own.
class OctetFields : public QFrame
{
    Q_OBJECT
public:
    static constexpr int fieldCount = 4;

    explicit OctetFields(QWidget* parent = nullptr);

    quint32 address() const;
    // Shows all four fields, each in decimal.
    void setAddress(quint32 packed);
    // Blanks all four fields.
    void clear();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Field 0 is the leftmost.
    QLineEdit* field(int index) const;
    int indexOf(const QObject* object) const;
    // Enters a field from a neighbour: focus plus its whole text selected, so typing replaces it.
    void enterField(int index);
    void onTextEdited(int index);
    bool handleKey(int index, QKeyEvent* key);

    std::array<QLineEdit*, fieldCount> fields{};
    // The field just entered because the previous one filled up with three digits. A "."
    // typed right then belongs to the address the user is typing ("192.") and must not skip
    // this field too.
    int enteredByFill = -1;
};
