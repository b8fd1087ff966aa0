// SPDX-License-Identifier: MIT
#pragma once

#include "ui/messageboxes.h"

#include <QList>
#include <functional>

// Records every box instead of showing it. `whileOpen` runs as if inside the box's modal loop,
// so a test can make things happen while the user has not yet pressed OK.
class RecordingMessageBoxes : public MessageBoxes
{
public:
    struct Box
    {
        QString text;
        QString title;
        QWidget* owner = nullptr;
    };

    void show(QWidget* owner, const QString& text, const QString& title) override
    {
        shown.append({text, title, owner});
        ++openNow;
        if (whileOpen)
            whileOpen(shown.last());
        --openNow;
    }

    QStringList texts() const
    {
        QStringList all;
        for (const Box& b : shown)
            all << b.text;
        return all;
    }

    QList<Box> shown;
    int openNow = 0;
    std::function<void(const Box&)> whileOpen;
};
