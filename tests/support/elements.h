// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtTest>

// Tests reach a window's elements by the names a user or an accessibility tool sees (the
// objectName: "Command1_10", "Text1", "ipBox1"), never by C++ members, so the names are the
// contract and the code is free to change. A missing element fails the test at once.
template <typename T> T* element(const QObject* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (!found)
        qFatal("no element %s of the expected kind in %s", qPrintable(name),
               qPrintable(root->objectName()));
    return found;
}

template <typename T> T* element(const QObject* root, const char* name)
{
    return element<T>(root, QString::fromLatin1(name));
}

// An element of a control array: element<QPushButton>(window, "Command1", 10).
template <typename T> T* element(const QObject* root, const char* array, int index)
{
    return element<T>(root, QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
}
