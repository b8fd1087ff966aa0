// SPDX-License-Identifier: MIT
#include "serviceconfig.h"

#include "link/portchoice.h"
#include "link/setupfile.h"
#include "link/switchsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

namespace {

constexpr int maxDisplayNameLength = 64;

// Where each group and key is written, for the fault lines; QSettings keeps no positions.
class LineIndex
{
public:
    explicit LineIndex(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        static const QRegularExpression group(QStringLiteral(R"(^\s*\[([^\]]*)\]\s*$)"));
        static const QRegularExpression key(QStringLiteral(R"(^\s*([^=;#\s][^=]*?)\s*=)"));
        QString current;
        int number = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine(setupfile::maxBytes));
            ++number;
            if (const auto groupMatch = group.match(line); groupMatch.hasMatch()) {
                current = groupMatch.captured(1).trimmed();
                if (lines.contains(current))
                    repeats.append({current, number});
                else
                    lines.insert(current, number);
            } else if (const auto keyMatch = key.match(line); keyMatch.hasMatch()) {
                lines.insert(current + QLatin1Char('/') + keyMatch.captured(1), number);
            }
        }
    }
    int of(const QString& group, const QString& key = {}) const
    {
        return lines.value(key.isEmpty() ? group : group + QLatin1Char('/') + key);
    }
    // Groups written again after their first place: QSettings merges them without a word.
    QList<std::pair<QString, int>> repeats;

private:
    QHash<QString, int> lines; // the first line of each
};

// Why `dir` cannot be a switch's set-up folder, or a null text.
QString folderFault(const QString& dir)
{
    const QFileInfo folder(dir);
    if (!folder.exists())
        return QCoreApplication::translate("ServiceConfig", "dir=%1 does not exist").arg(dir);
    if (!folder.isDir())
        return QCoreApplication::translate("ServiceConfig", "dir=%1 is not a folder").arg(dir);
    if (!folder.isExecutable() || !folder.isReadable())
        return QCoreApplication::translate("ServiceConfig",
                                           "dir=%1 is a folder this user may not enter or read")
            .arg(dir);
    return {};
}

bool validId(const QString& id)
{
    static const QRegularExpression form(QStringLiteral("^[a-z0-9-]{1,32}$"));
    return form.match(id).hasMatch();
}

} // namespace

bool parseListenAddress(const QString& text, QHostAddress& host, quint16& port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString address = text.left(colon);
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
        address = address.mid(1, address.size() - 2);
    bool numeric = false;
    const uint number = text.mid(colon + 1).toUInt(&numeric);
    if (!numeric || number > 65535 || !host.setAddress(address))
        return false;
    port = static_cast<quint16>(number);
    return true;
}

QString listenAddressText(const QHostAddress& host, quint16 port)
{
    const QString address = host.protocol() == QAbstractSocket::IPv6Protocol
                                ? QStringLiteral("[%1]").arg(host.toString())
                                : host.toString();
    return QStringLiteral("%1:%2").arg(address).arg(port);
}

QString SwitchConfig::listenText() const
{
    return listenAddressText(listenHost, listenPort);
}

ServiceConfig ServiceConfig::read(const QString& path)
{
    ServiceConfig config;
    config.path = path;
    const auto fail = [&config](int line, const QString& text) {
        config.faults.append({line, text});
    };
    if (!QFileInfo::exists(path)) {
        fail(0, QCoreApplication::translate("ServiceConfig", "no such file"));
        return config;
    }
    if (const QString refused = setupfile::refusal(path); !refused.isNull()) {
        fail(0, refused);
        return config;
    }
    const std::unique_ptr<QSettings> settings = setupfile::read(path);
    if (settings->status() != QSettings::NoError) {
        fail(0, QCoreApplication::translate("ServiceConfig", "not an INI file QSettings can read"));
        return config;
    }
    const LineIndex lines(path);
    for (const auto& [group, line] : lines.repeats)
        fail(line, QCoreApplication::translate(
                       "ServiceConfig", "[%1] is given again: write each group once, as line %2 "
                                        "does")
                       .arg(group)
                       .arg(lines.of(group)));
    for (const QString& key : settings->childKeys())
        fail(lines.of(QString(), key),
             QCoreApplication::translate("ServiceConfig", "\"%1\" is outside any switch's group")
                 .arg(key));

    QStringList groupIds;
    QHash<QString, QString> listenUsers; // "host:port" -> switch id
    QHash<QString, QString> dirUsers;
    const QSet<QString> known{QStringLiteral("dir"),    QStringLiteral("port"),
                              QStringLiteral("listen"), QStringLiteral("poll"),
                              QStringLiteral("name"),   QStringLiteral("area")};
    for (const QString& id : settings->childGroups()) {
        const int groupLine = lines.of(id);
        if (id == QLatin1String("web"))
            continue; // read once every switch is known
        if (id == QLatin1String("mqtt")) {
            settings->beginGroup(id);
            config.mqtt =
                MqttConfig::read(*settings, QFileInfo(path).absoluteDir(),
                                 [&](const QString& key, const QString& text) {
                                     fail(key.isEmpty() ? groupLine : lines.of(id, key), text);
                                 });
            settings->endGroup();
            continue;
        }
        if (!validId(id))
            fail(groupLine, QCoreApplication::translate(
                                "ServiceConfig", "[%1]: a switch's id is 1 to 32 of a-z, 0-9 and -")
                                .arg(id));
        else
            groupIds << id; // a switch with faults is still a switch the panel may name
        settings->beginGroup(id);
        SwitchConfig item;
        item.id = id;
        bool sound = validId(id); // the group's other faults are told all the same
        const auto faultAt = [&](const QString& key, const QString& text) {
            fail(key.isEmpty() ? groupLine : lines.of(id, key),
                 QStringLiteral("[%1] %2").arg(id, text));
            sound = false;
        };
        for (const QString& key : settings->childKeys()) {
            if (!known.contains(key))
                faultAt(key, QCoreApplication::translate(
                                 "ServiceConfig",
                                 "unknown key \"%1\" (dir, port, listen, poll, name and area are "
                                 "known)")
                                 .arg(key));
        }
        item.dir = settings->value(QStringLiteral("dir")).toString();
        if (item.dir.isEmpty())
            faultAt({}, QCoreApplication::translate("ServiceConfig",
                                                    "dir= is missing: the switch's set-up folder"));
        // A relative folder is the configuration file's neighbour.
        else if (const QString fault = folderFault(
                     item.dir = QFileInfo(path).absoluteDir().absoluteFilePath(item.dir));
                 !fault.isNull())
            faultAt(QStringLiteral("dir"), fault);
        else if (const QString other = dirUsers.value(item.dir); !other.isEmpty())
            faultAt(QStringLiteral("dir"),
                    QCoreApplication::translate("ServiceConfig", "dir=%1 is [%2]'s folder too")
                        .arg(item.dir, other));
        else
            dirUsers.insert(item.dir, id);

        item.port = settings->value(QStringLiteral("port")).toString();
        if (!item.port.isEmpty()) {
            PortChoice check(item.dir, PortChoice::Storage::ReadOnly);
            if (!check.choose(item.port))
                faultAt(QStringLiteral("port"), check.errorString());
        }

        const QString listen = settings->value(QStringLiteral("listen")).toString();
        if (listen.isEmpty()) {
            faultAt({}, QCoreApplication::translate(
                            "ServiceConfig",
                            "listen= is missing: HOST:PORT of the switch's TCP front"));
        } else if (!parseListenAddress(listen, item.listenHost, item.listenPort)) {
            faultAt(QStringLiteral("listen"),
                    QCoreApplication::translate(
                        "ServiceConfig",
                        "listen=%1 is not HOST:PORT with an IP address and a port up to 65535")
                        .arg(listen));
        } else if (item.listenPort != 0) {
            if (const QString other = listenUsers.value(item.listenText()); !other.isEmpty())
                faultAt(QStringLiteral("listen"),
                        QCoreApplication::translate("ServiceConfig", "listen=%1 is [%2]'s too")
                            .arg(listen, other));
            listenUsers.insert(item.listenText(), id);
        }

        if (settings->contains(QStringLiteral("poll"))) {
            bool numeric = false;
            const QString poll = settings->value(QStringLiteral("poll")).toString();
            item.pollSeconds = poll.toInt(&numeric);
            if (!numeric || item.pollSeconds < 0 ||
                item.pollSeconds > SwitchSession::maxPollSeconds)
                faultAt(
                    QStringLiteral("poll"),
                    QCoreApplication::translate("ServiceConfig", "poll=%1 is not 0 to %2 seconds")
                        .arg(poll)
                        .arg(SwitchSession::maxPollSeconds));
        }
        for (const auto& [key, into] :
             {std::pair{"name", &item.name}, std::pair{"area", &item.area}}) {
            const QVariant value = settings->value(QLatin1String(key));
            // A comma makes a list of an INI value: it is part of the name here.
            *into = (value.typeId() == QMetaType::QStringList
                         ? value.toStringList().join(QStringLiteral(", "))
                         : value.toString())
                        .trimmed();
            static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
            if (into->size() > maxDisplayNameLength || into->contains(control))
                faultAt(
                    QLatin1String(key),
                    QCoreApplication::translate(
                        "ServiceConfig", "%1= is not a text of at most %2 characters on one line")
                        .arg(QLatin1String(key))
                        .arg(maxDisplayNameLength));
        }
        settings->endGroup();
        if (sound)
            config.switches.append(item);
    }
    if (settings->childGroups().contains(QStringLiteral("web"))) {
        config.web = readWebConfig(
            *settings, QFileInfo(path).absoluteDir(), groupIds,
            [&lines](const QString& key) { return lines.of(QStringLiteral("web"), key); }, fail);
        const QString panel =
            config.web ? listenAddressText(config.web->listenHost, config.web->listenPort)
                       : QString();
        if (const QString other = listenUsers.value(panel);
            config.web && config.web->listenPort != 0 && !other.isEmpty())
            fail(lines.of(QStringLiteral("web"), QStringLiteral("listen")),
                 QCoreApplication::translate("ServiceConfig", "[web] listen=%1 is [%2]'s too")
                     .arg(panel, other));
    }
    std::sort(config.faults.begin(), config.faults.end(),
              [](const Fault& a, const Fault& b) { return a.line < b.line; });
    return config;
}

QStringList ServiceConfig::faultLines() const
{
    QStringList out;
    for (const Fault& fault : faults) {
        out << (fault.line > 0
                    ? QStringLiteral("%1:%2: %3").arg(path).arg(fault.line).arg(fault.text)
                    : QStringLiteral("%1: %2").arg(path, fault.text));
    }
    return out;
}
