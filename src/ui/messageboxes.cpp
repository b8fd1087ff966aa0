// SPDX-License-Identifier: MIT
#include "messageboxes.h"

#include "designlook.h"
#include "link/receiveframer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>

namespace {

// The width a title bar needs for `title`: the text in the bolder and larger of the box's font
// and the desktop's, and room for the window manager's buttons and icon on both sides, since
// many centre the title.
int titleBarWidth(const QString& title, const QFont& boxFont)
{
    int width = 0;
    for (QFont font : {boxFont, QApplication::font()}) {
        font.setBold(true);
        const QFontMetrics fm(font);
        width = std::max(width, fm.horizontalAdvance(title) + 10 * fm.height());
    }
    return width;
}

} // namespace

QString boxtext::translated(const char16_t* text)
{
    return QCoreApplication::translate("boxtext", QString::fromUtf16(text).toUtf8().constData());
}

std::unique_ptr<QMessageBox> QtMessageBoxes::build(QWidget* owner, const QString& text,
                                                   const QString& title)
{
    auto box =
        std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
    box->setObjectName(QStringLiteral("messageBox"));
    design::applyLook(box.get(), design::dialogBackground, design::dialogFont());
    // The box sizes itself to its layout's minimum width, so a spacer across its grid sets it.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(titleBarWidth(title, box->font()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

void QtMessageBoxes::show(QWidget* owner, const QString& text, const QString& title)
{
    build(owner, text, title)->exec();
}

void ReplyHoldingBoxes::show(QWidget* owner, const QString& text, const QString& title)
{
    receiver.hold();
    struct Release
    {
        ReceiveFramer& r;
        ~Release() { r.release(); }
    } release{receiver};
    inner.show(owner, text, title);
}
