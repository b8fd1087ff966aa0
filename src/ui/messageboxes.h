// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class ReceiveFramer;
class QWidget;

// Modal message boxes with a single OK button. A box with no title of its own carries the
// application title.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Returns when the user has closed the box.
    virtual void show(QWidget* owner, const QString& text, const QString& title) = 0;
};

// Texts of the boxes, translated where shown (boxtext::translated).
namespace boxtext {
inline constexpr char16_t applicationTitle[] = u"" QT_TRANSLATE_NOOP("boxtext", "VARNOK");
// The full-width exclamation mark and the trailing blank are part of the text.
inline constexpr char16_t portFailure[] =
    u"" QT_TRANSLATE_NOOP("boxtext", "open serial port fail\uFF01 ");
inline constexpr char16_t portFailureTitle[] = u"" QT_TRANSLATE_NOOP("boxtext", "ERROR");
inline constexpr char16_t deviceNotConnected[] =
    u"" QT_TRANSLATE_NOOP("boxtext", "Device is not connect!");
inline constexpr char16_t portNotOpen[] =
    u"" QT_TRANSLATE_NOOP("boxtext", "Com port is not open! ");
inline constexpr char16_t warningTitle[] = u"" QT_TRANSLATE_NOOP("boxtext", "Warning");
inline constexpr char16_t utpSetSuccess[] = u"" QT_TRANSLATE_NOOP("boxtext", "UTP set success!");
// The text in the user's language.
QString translated(const char16_t* text);
} // namespace boxtext

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget* owner, const QString& text, const QString& title) override;
    // The box show() opens, not yet shown: in the dialogs' colours and font, and wide enough
    // that a window manager need not shorten its title.
    static std::unique_ptr<QMessageBox> build(QWidget* owner, const QString& text,
                                              const QString& title);
};

// Every box a window or its dialogs show goes through one of these: while a box is open, the
// switch's replies wait in the port and are handled, in order, after it closes.
class ReplyHoldingBoxes : public MessageBoxes
{
public:
    ReplyHoldingBoxes(MessageBoxes& boxes, ReceiveFramer& replies) : inner(boxes), receiver(replies)
    {
    }
    void show(QWidget* owner, const QString& text, const QString& title) override;

private:
    MessageBoxes& inner;
    ReceiveFramer& receiver;
};
