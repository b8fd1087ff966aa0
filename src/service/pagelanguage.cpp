// SPDX-License-Identifier: MIT
#include "pagelanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <map>
#include <memory>

// The catalogues are built into the link library.
static void loadCatalogueResources()
{
    Q_INIT_RESOURCE(varnok_translations);
}

namespace {

// Every text the page shows by itself; panel.js asks for them by their English text.
const char* const pageTexts[] = {
    QT_TRANSLATE_NOOP("WebPage", "Connecting…"),
    QT_TRANSLATE_NOOP("WebPage", "Routing"),
    QT_TRANSLATE_NOOP("WebPage", "Commands"),
    QT_TRANSLATE_NOOP("WebPage", "Status"),
    QT_TRANSLATE_NOOP("WebPage", "Presets"),
    QT_TRANSLATE_NOOP("WebPage", "Recall"),
    QT_TRANSLATE_NOOP("WebPage", "Switch connected"),
    QT_TRANSLATE_NOOP("WebPage", "Switch not answering"),
    QT_TRANSLATE_NOOP("WebPage", "Switch disconnected"),
    QT_TRANSLATE_NOOP("WebPage", "Service unreachable: reconnecting…"),
    QT_TRANSLATE_NOOP("WebPage", "Not connected to the service."),
    QT_TRANSLATE_NOOP("WebPage", "Output %1"),
    QT_TRANSLATE_NOOP("WebPage", "Input %1"),
    QT_TRANSLATE_NOOP("WebPage", "%1: previous input"),
    QT_TRANSLATE_NOOP("WebPage", "%1: next input"),
    QT_TRANSLATE_NOOP("WebPage", "Output %1 stayed on input %2, not input %3."),
    QT_TRANSLATE_NOOP("WebPage", "No presets yet: route the outputs, then save the routing "
                                 "under Names and presets."),
    QT_TRANSLATE_NOOP("WebPage", "Names and presets"),
    QT_TRANSLATE_NOOP("WebPage", "Save names"),
    QT_TRANSLATE_NOOP("WebPage", "Preset name"),
    QT_TRANSLATE_NOOP("WebPage", "Save routing as preset"),
    QT_TRANSLATE_NOOP("WebPage", "Rename chosen preset"),
    QT_TRANSLATE_NOOP("WebPage", "Delete chosen preset"),
    QT_TRANSLATE_NOOP("WebPage", "Saved."),
};

// Each catalogue the console has: its language tag and translator, loaded once.
std::map<QString, std::unique_ptr<QTranslator>>& catalogues()
{
    static std::map<QString, std::unique_ptr<QTranslator>> loaded = [] {
        std::map<QString, std::unique_ptr<QTranslator>> out;
        loadCatalogueResources();
        for (const QString& file : QDir(QStringLiteral(":/i18n")).entryList({"varnok_*.qm"})) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(QStringLiteral(":/i18n/") + file))
                out[QLocale(file.mid(7).chopped(3)).name().replace(u'_', u'-')] =
                    std::move(translator);
        }
        return out;
    }();
    return loaded;
}

} // namespace

namespace pagelanguage {

QString choose(const QByteArray& acceptLanguage)
{
    struct Choice
    {
        QString tag;
        double weight = 1;
    };
    QList<Choice> choices;
    for (const QByteArray& part : acceptLanguage.split(',')) {
        const QList<QByteArray> fields = part.split(';');
        Choice choice{QString::fromLatin1(fields.first().trimmed()).toLower()};
        for (const QByteArray& field : fields.mid(1)) {
            if (const QByteArray text = field.trimmed(); text.startsWith("q="))
                choice.weight = text.mid(2).toDouble();
        }
        if (!choice.tag.isEmpty() && choice.weight > 0)
            choices.append(choice);
    }
    std::stable_sort(choices.begin(), choices.end(),
                     [](const Choice& a, const Choice& b) { return a.weight > b.weight; });
    for (const Choice& choice : choices) {
        const QString language = choice.tag.section(QLatin1Char('-'), 0, 0);
        if (language == QLatin1String("en"))
            break;
        for (const auto& [tag, translator] : catalogues()) {
            if (tag.section(QLatin1Char('-'), 0, 0).toLower() == language)
                return tag;
        }
    }
    return QStringLiteral("en");
}

QByteArray texts(const QString& language)
{
    QJsonObject out;
    const auto found = catalogues().find(language);
    if (found != catalogues().end()) {
        for (const char* text : pageTexts) {
            const QString translated = found->second->translate("WebPage", text);
            if (!translated.isEmpty())
                out.insert(QString::fromUtf8(text), translated);
        }
    }
    // "</" would end the script element the texts are in.
    return QJsonDocument(out).toJson(QJsonDocument::Compact).replace("</", "<\\/");
}

} // namespace pagelanguage
