// SPDX-License-Identifier: MIT
#include "webconfig.h"

#include "serviceconfig.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

bool usablePin(const QString& pin)
{
    if (pin.size() < WebConfig::minPinLength || pin.size() > WebConfig::maxPinLength)
        return false;
    return std::all_of(pin.cbegin(), pin.cend(),
                       [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

} // namespace

WebAccess WebConfig::accessOf(const QString& id) const
{
    const auto found = access.find(id);
    return found == access.end() ? WebAccess{} : found->second;
}

std::optional<WebConfig> readWebConfig(QSettings& settings, const QStringList& switchIds,
                                       const std::function<int(const QString& key)>& lineOf,
                                       const std::function<void(int, const QString&)>& fail)
{
    WebConfig config;
    bool sound = true;
    const auto faultAt = [&](const QString& key, const QString& text) {
        fail(lineOf(key), QStringLiteral("[web] ") + text);
        sound = false;
    };
    settings.beginGroup(QStringLiteral("web"));
    const QString listen = settings.value(QStringLiteral("listen")).toString();
    if (listen.isEmpty())
        faultAt({}, QCoreApplication::translate("ServiceConfig",
                                                "listen= is missing: HOST:PORT of the web panel"));
    else if (!parseListenAddress(listen, config.listenHost, config.listenPort))
        faultAt(QStringLiteral("listen"),
                QCoreApplication::translate(
                    "ServiceConfig",
                    "listen=%1 is not HOST:PORT with an IP address and a port up to 65535")
                    .arg(listen));
    for (const QString& key : settings.childKeys()) {
        if (key == QLatin1String("listen"))
            continue;
        const qsizetype dot = key.lastIndexOf(QLatin1Char('.'));
        const QString id = key.left(dot);
        const QString what = key.mid(dot + 1);
        if (dot <= 0 || (what != QLatin1String("read-only") && what != QLatin1String("pin"))) {
            faultAt(key, QCoreApplication::translate(
                             "ServiceConfig",
                             "unknown key \"%1\" (listen, ID.read-only and ID.pin are known)")
                             .arg(key));
            continue;
        }
        if (!switchIds.contains(id)) {
            faultAt(key,
                    QCoreApplication::translate("ServiceConfig", "%1: no switch [%2] in this file")
                        .arg(key, id));
            continue;
        }
        const QString value = settings.value(key).toString();
        WebAccess& access = config.access[id];
        if (what == QLatin1String("pin")) {
            if (usablePin(value))
                access.pin = value;
            else
                faultAt(key, QCoreApplication::translate(
                                 "ServiceConfig",
                                 "%1 is not %2 to %3 printable ASCII characters without blanks")
                                 .arg(key)
                                 .arg(WebConfig::minPinLength)
                                 .arg(WebConfig::maxPinLength));
        } else if (value == QLatin1String("true") || value == QLatin1String("false")) {
            access.readOnly = value == QLatin1String("true");
        } else {
            faultAt(key, QCoreApplication::translate("ServiceConfig", "%1=%2 is not true or false")
                             .arg(key, value));
        }
    }
    settings.endGroup();
    if (!sound)
        return std::nullopt;
    return config;
}
