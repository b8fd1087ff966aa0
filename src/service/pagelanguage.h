// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The language a web page is shown in: the browser's first choice (Accept-Language) that the
// console has a catalogue for, English otherwise; and the page's own texts in it, taken from
// that catalogue whatever language the service itself runs in.
namespace pagelanguage {

// A language tag for the page's lang ("zh-CN", "en").
QString choose(const QByteArray& acceptLanguage);
// The page's texts in `language` (a tag choose() gave): a JSON object from each English text to
// its translation, safe inside a <script> element.
QByteArray texts(const QString& language);

} // namespace pagelanguage
