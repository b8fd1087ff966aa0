// SPDX-License-Identifier: MIT
#include "designlook.h"

#include <QWidget>

namespace design {

QFont arial(qreal points, bool bold, bool italic)
{
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont windowFont()
{
    return arial(9);
}

QFont dialogFont()
{
    return arial(8);
}

QPalette lightPalette(const QColor& background)
{
    const QColor black(0x00, 0x00, 0x00);
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor buttonFace(0xF0, 0xF0, 0xF0);
    const QColor greyText(0x6D, 0x6D, 0x6D);

    QPalette pal;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Window, background);
        pal.setColor(group, QPalette::WindowText, black);
        pal.setColor(group, QPalette::Base, white);
        pal.setColor(group, QPalette::AlternateBase, buttonFace);
        pal.setColor(group, QPalette::Text, black);
        pal.setColor(group, QPalette::PlaceholderText, greyText);
        pal.setColor(group, QPalette::Button, buttonFace);
        pal.setColor(group, QPalette::ButtonText, black);
        pal.setColor(group, QPalette::BrightText, white);
        pal.setColor(group, QPalette::Light, white);
        pal.setColor(group, QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));
        pal.setColor(group, QPalette::Mid, QColor(0xA0, 0xA0, 0xA0));
        pal.setColor(group, QPalette::Dark, QColor(0xA0, 0xA0, 0xA0));
        pal.setColor(group, QPalette::Shadow, QColor(0x69, 0x69, 0x69));
        pal.setColor(group, QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
        pal.setColor(group, QPalette::HighlightedText, white);
        pal.setColor(group, QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
        pal.setColor(group, QPalette::ToolTipText, black);
        pal.setColor(group, QPalette::Link, QColor(0x00, 0x00, 0xFF));
        pal.setColor(group, QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
    }
    // Disabled: the same faces, grey text.
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        if (r != QPalette::NoRole)
            pal.setColor(QPalette::Disabled, r, pal.color(QPalette::Active, r));
    }
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        pal.setColor(QPalette::Disabled, role, greyText);
    pal.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0xCC, 0xCC, 0xCC));
    return pal;
}

void applyLook(QWidget* window, const QColor& background, const QFont& font)
{
    window->setPalette(lightPalette(background));
    window->setFont(font);
}

} // namespace design
