// SPDX-License-Identifier: MIT
#pragma once

class QCoreApplication;

// Shows every text in the language of the system locale (LANG, LC_ALL, LC_MESSAGES) where the
// console has a translation, Qt's own texts (the boxes' buttons) included; otherwise, as under
// LANG=C, in the texts the program is written in.
void installTranslations(QCoreApplication& app);
