// SPDX-License-Identifier: MIT
#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installTranslations(QCoreApplication& app)
{
    Q_INIT_RESOURCE(varnok_translations);
    const QLocale locale;
    // Parented to the application, so they live as long as it does.
    auto* own = new QTranslator(&app);
    if (own->load(locale, QStringLiteral("varnok"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(own);
    // Qt's own texts: the boxes' buttons, the serial port's errors.
    for (const char* catalogue : {"qtbase", "qtserialport"}) {
        auto* qt = new QTranslator(&app);
        if (qt->load(locale, QLatin1String(catalogue), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
    }
}
