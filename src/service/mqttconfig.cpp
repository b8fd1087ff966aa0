// SPDX-License-Identifier: MIT
#include "mqttconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

namespace {

// A topic level of ours: no wildcard, no empty level at either end.
bool validTopicBase(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[^#+/\\s]+(/[^#+/\\s]+)*$"));
    return form.match(text).hasMatch();
}

} // namespace

MqttConfig MqttConfig::read(QSettings& settings, const QDir& folder, const Fault& fault)
{
    MqttConfig config;
    const QSet<QString> known{QStringLiteral("host"),
                              QStringLiteral("port"),
                              QStringLiteral("client_id"),
                              QStringLiteral("user"),
                              QStringLiteral("password"),
                              QStringLiteral("password_file"),
                              QStringLiteral("cafile"),
                              QStringLiteral("certfile"),
                              QStringLiteral("keyfile"),
                              QStringLiteral("base"),
                              QStringLiteral("discovery_prefix")};
    for (const QString& key : settings.childKeys()) {
        if (!known.contains(key))
            fault(key,
                  QCoreApplication::translate(
                      "MqttConfig",
                      "[mqtt] unknown key \"%1\" (host, port, client_id, user, password, "
                      "password_file, cafile, certfile, keyfile, base and discovery_prefix are "
                      "known)")
                      .arg(key));
    }
    const auto text = [&settings](const char* key) {
        return settings.value(QLatin1String(key)).toString().trimmed();
    };
    const auto filePath = [&](const char* key) {
        const QString name = text(key);
        if (name.isEmpty())
            return name;
        // systemd's LoadCredential= hands the service a copy, under the file's own name, of a
        // file its user may not read.
        if (const QString passed = qEnvironmentVariable("CREDENTIALS_DIRECTORY");
            !passed.isEmpty()) {
            if (const QString copy = QDir(passed).filePath(QFileInfo(name).fileName());
                QFileInfo::exists(copy))
                return copy;
        }
        return folder.absoluteFilePath(name);
    };
    config.host = text("host");
    if (config.host.isEmpty())
        fault({}, QCoreApplication::translate(
                      "MqttConfig", "[mqtt] host= is missing: the broker's name or address"));
    if (settings.contains(QStringLiteral("port"))) {
        bool numeric = false;
        const uint port = text("port").toUInt(&numeric);
        if (!numeric || port == 0 || port > 65535)
            fault(QStringLiteral("port"),
                  QCoreApplication::translate("MqttConfig", "[mqtt] port=%1 is not 1 to 65535")
                      .arg(text("port")));
        else
            config.port = static_cast<quint16>(port);
    }
    config.clientId = text("client_id");
    config.user = text("user");
    config.password = settings.value(QStringLiteral("password")).toString();
    if (const QString path = filePath("password_file"); !path.isEmpty()) {
        QFile file(path);
        if (settings.contains(QStringLiteral("password")))
            fault(QStringLiteral("password_file"),
                  QCoreApplication::translate(
                      "MqttConfig", "[mqtt] password= and password_file= are both given"));
        else if (!file.open(QIODevice::ReadOnly))
            fault(QStringLiteral("password_file"),
                  QCoreApplication::translate("MqttConfig",
                                              "[mqtt] password_file=%1 cannot be read: %2")
                      .arg(path, file.errorString()));
        else if ((config.password = QString::fromUtf8(file.readLine(4096))
                                        .remove(QRegularExpression(QStringLiteral("\r?\n$"))))
                     .isEmpty())
            fault(QStringLiteral("password_file"),
                  QCoreApplication::translate("MqttConfig",
                                              "[mqtt] password_file=%1 has no password on its "
                                              "first line")
                      .arg(path));
    }
    if (!config.password.isEmpty() && config.user.isEmpty())
        fault({}, QCoreApplication::translate("MqttConfig", "[mqtt] a password needs user="));
    const auto readableFile = [&](const char* key, QString& into) {
        into = filePath(key);
        if (!into.isEmpty() && !QFileInfo(into).isReadable())
            fault(QLatin1String(key),
                  QCoreApplication::translate("MqttConfig", "[mqtt] %1=%2 is not a readable file")
                      .arg(QLatin1String(key), into));
    };
    readableFile("cafile", config.cafile);
    readableFile("certfile", config.certfile);
    readableFile("keyfile", config.keyfile);
    if (config.certfile.isEmpty() != config.keyfile.isEmpty())
        fault({}, QCoreApplication::translate("MqttConfig",
                                              "[mqtt] certfile= and keyfile= go together"));
    else if (!config.certfile.isEmpty() && config.cafile.isEmpty())
        fault(
            QStringLiteral("certfile"),
            QCoreApplication::translate("MqttConfig", "[mqtt] a client certificate needs cafile="));
    for (const auto& [key, value] : {std::pair{"base", &config.base},
                                     std::pair{"discovery_prefix", &config.discoveryPrefix}}) {
        if (!settings.contains(QLatin1String(key)))
            continue;
        *value = text(key);
        if (!validTopicBase(*value))
            fault(QLatin1String(key),
                  QCoreApplication::translate("MqttConfig",
                                              "[mqtt] %1=%2 is not a topic without wildcards")
                      .arg(QLatin1String(key), *value));
    }
    return config;
}
