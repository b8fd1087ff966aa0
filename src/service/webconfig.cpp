// SPDX-License-Identifier: MIT
#include "webconfig.h"

#include "serviceconfig.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostInfo>
#include <QSettings>
#include <QSslCertificate>
#include <QSslKey>
#include <QUrl>

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

QString WebConfig::baseUrl() const
{
    if (listenPort == 0)
        return {};
    const QString scheme = certFile.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
    if (!hosts.isEmpty()) {
        const QString& name = hosts.constFirst();
        return name.contains(QLatin1Char(':'))
                   ? QStringLiteral("%1://%2/").arg(scheme, name)
                   : QStringLiteral("%1://%2:%3/").arg(scheme, name).arg(listenPort);
    }
    QUrl url;
    url.setScheme(scheme);
    url.setHost(listenHost == QHostAddress::Any || listenHost == QHostAddress::AnyIPv6 ||
                        listenHost == QHostAddress::AnyIPv4
                    ? QHostInfo::localHostName()
                    : listenHost.toString());
    url.setPort(listenPort);
    url.setPath(QStringLiteral("/"));
    return url.toString();
}

std::optional<QSslConfiguration> WebConfig::tls(QString* error) const
{
    if (certFile.isEmpty() && keyFile.isEmpty())
        return std::nullopt;
    const auto failed = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(certFile);
    if (chain.isEmpty())
        return failed(QCoreApplication::translate(
                          "ServiceConfig", "certfile=%1 holds no PEM certificate that can be read")
                          .arg(certFile));
    QFile keyData(keyFile);
    QSslKey key;
    if (keyData.open(QIODevice::ReadOnly)) {
        const QByteArray pem = keyData.readAll();
        for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec}) {
            if (key.isNull())
                key = QSslKey(pem, algorithm);
        }
    }
    if (key.isNull())
        return failed(QCoreApplication::translate(
                          "ServiceConfig",
                          "keyfile=%1 holds no PEM private key (RSA or EC, no passphrase) that "
                          "can be read")
                          .arg(keyFile));
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone); // browsers show no certificate
    return configuration;
}

std::optional<WebConfig> readWebConfig(QSettings& settings, const QDir& folder,
                                       const QStringList& switchIds,
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
    for (QString name : settings.value(QStringLiteral("origins")).toStringList()) {
        name = name.trimmed();
        // A whole origin names its host and port; a name alone may carry a port.
        if (name.contains(QLatin1String("://")))
            name = QUrl(name).authority();
        if (!name.isEmpty())
            config.hosts << name;
    }
    const auto file = [&](const char* key) {
        const QString name = settings.value(QLatin1String(key)).toString();
        return name.isEmpty() ? name : folder.absoluteFilePath(name);
    };
    config.certFile = file("certfile");
    config.keyFile = file("keyfile");
    QString tlsProblem;
    if (config.certFile.isEmpty() != config.keyFile.isEmpty())
        faultAt(config.certFile.isEmpty() ? QStringLiteral("keyfile") : QStringLiteral("certfile"),
                QCoreApplication::translate("ServiceConfig",
                                            "certfile= and keyfile= are given together"));
    else if (!config.certFile.isEmpty() && !config.tls(&tlsProblem))
        faultAt(tlsProblem.startsWith(QLatin1String("certfile")) ? QStringLiteral("certfile")
                                                                 : QStringLiteral("keyfile"),
                tlsProblem);
    static const QStringList ownKeys{QStringLiteral("listen"), QStringLiteral("origins"),
                                     QStringLiteral("certfile"), QStringLiteral("keyfile")};
    for (const QString& key : settings.childKeys()) {
        if (ownKeys.contains(key))
            continue;
        const qsizetype dot = key.lastIndexOf(QLatin1Char('.'));
        const QString id = key.left(dot);
        const QString what = key.mid(dot + 1);
        if (dot <= 0 || (what != QLatin1String("read-only") && what != QLatin1String("pin"))) {
            faultAt(key,
                    QCoreApplication::translate(
                        "ServiceConfig",
                        "unknown key \"%1\" (listen, origins, certfile, keyfile, ID.read-only and "
                        "ID.pin are known)")
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
