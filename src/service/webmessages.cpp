// SPDX-License-Identifier: MIT
#include "webmessages.h"

#include "link/matrixsetup.h"
#include "protocol/commands.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace webmessages {

namespace {

// As a TCP client's unfinished line is bounded.
constexpr int maxLineBytes = 512;

Outcome refused(const QString& text, bool access = false)
{
    return {{}, text, access};
}

// An output or input number 1 to 4, or 0.
int oneToFour(const QJsonValue& value)
{
    const int number = value.toInt(0);
    return value.isDouble() && value.toDouble() == number && number >= 1 && number <= 4 ? number
                                                                                        : 0;
}

QJsonArray array(const Routing& routing)
{
    QJsonArray out;
    for (const int input : routing)
        out.append(input);
    return out;
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Outcome keyRequest(const QJsonObject& object)
{
    const int output = oneToFour(object.value(QLatin1String("output")));
    if (output == 0)
        return refused(QCoreApplication::translate("WebPanel", "\"output\" must be 1 to 4"));
    if (object.contains(QLatin1String("arrow"))) {
        const QString arrow = object.value(QLatin1String("arrow")).toString();
        if (arrow != QLatin1String("prev") && arrow != QLatin1String("next"))
            return refused(
                QCoreApplication::translate("WebPanel", "\"arrow\" must be \"prev\" or \"next\""));
        return {{protocol::arrowCommand(output, arrow == QLatin1String("prev") ? -1 : 1)}, {}};
    }
    const int input = oneToFour(object.value(QLatin1String("input")));
    if (input == 0)
        return refused(QCoreApplication::translate("WebPanel", "\"input\" must be 1 to 4"));
    return {{protocol::routeCommand(output, input)}, {}};
}

Outcome recallRequest(const QJsonObject& object, const MatrixSetup& setup)
{
    const QString name = object.value(QLatin1String("preset")).toString();
    const std::optional<Preset> preset = setup.findPreset(name);
    if (!preset)
        return refused(
            QCoreApplication::translate("WebPanel", "Preset \"%1\" is no longer there.").arg(name));
    Outcome out;
    out.recall = preset;
    return out;
}

Outcome editRequest(const QString& type, const QJsonObject& object)
{
    SetupEdit edit;
    const QString preset = object.value(QLatin1String("preset")).toString();
    if (type == QLatin1String("name")) {
        const bool output = object.contains(QLatin1String("output"));
        edit.kind = output ? SetupEdit::Kind::OutputName : SetupEdit::Kind::InputName;
        edit.index = oneToFour(object.value(QLatin1String(output ? "output" : "input")));
        if (edit.index == 0)
            return refused(
                QCoreApplication::translate("WebPanel", "\"output\" or \"input\" must be 1 to 4"));
        if (!object.value(QLatin1String("name")).isString())
            return refused(QCoreApplication::translate("WebPanel", "\"name\" must be a text"));
        edit.name = object.value(QLatin1String("name")).toString();
    } else {
        if (preset.trimmed().isEmpty())
            return refused(QCoreApplication::translate("WebPanel", "a preset's name is missing"));
        edit.name = preset;
        edit.kind = type == QLatin1String("save")     ? SetupEdit::Kind::SavePreset
                    : type == QLatin1String("rename") ? SetupEdit::Kind::RenamePreset
                                                      : SetupEdit::Kind::DeletePreset;
        edit.to = object.value(QLatin1String("to")).toString();
        if (edit.kind == SetupEdit::Kind::RenamePreset && edit.to.trimmed().isEmpty())
            return refused(QCoreApplication::translate("WebPanel", "the new name is missing"));
        // "custom" is what Home Assistant shows for a routing no preset has.
        const QString newName = edit.kind == SetupEdit::Kind::RenamePreset ? edit.to : edit.name;
        if (edit.kind != SetupEdit::Kind::DeletePreset &&
            newName.trimmed().compare(QLatin1String("custom"), Qt::CaseInsensitive) == 0)
            return refused(QCoreApplication::translate(
                "WebPanel", "\"custom\" stands for a routing no preset has"));
    }
    Outcome out;
    out.edit = edit;
    return out;
}

Outcome lineRequest(const QJsonObject& object)
{
    const QString text = object.value(QLatin1String("text")).toString();
    const bool latin1 =
        std::all_of(text.cbegin(), text.cend(), [](QChar each) { return each.unicode() <= 0xff; });
    if (!latin1 || text.size() > maxLineBytes || !text.endsWith(QLatin1Char('\n')) ||
        text.count(QLatin1Char('\n')) != 1)
        return refused(QCoreApplication::translate(
                           "WebPanel", "\"text\" must be one line of at most %1 bytes ending in "
                                       "a line feed")
                           .arg(maxLineBytes));
    return {{text.toLatin1()}, {}};
}

Outcome requestOf(const QJsonObject& object, const WebAccess& access, const MatrixSetup& setup)
{
    const QString type = object.value(QLatin1String("type")).toString();
    static const QStringList edits{QStringLiteral("name"), QStringLiteral("save"),
                                   QStringLiteral("rename"), QStringLiteral("delete")};
    const bool known = type == QLatin1String("key") || type == QLatin1String("status") ||
                       type == QLatin1String("recall") || type == QLatin1String("line") ||
                       edits.contains(type);
    if (!known)
        return refused(QCoreApplication::translate("WebPanel", "unknown request \"%1\"").arg(type));
    if (access.readOnly)
        return refused(QCoreApplication::translate("WebPanel", "this page is read-only"), true);
    if (!access.pin.isEmpty() && object.value(QLatin1String("pin")).toString() != access.pin)
        return refused(QCoreApplication::translate("WebPanel", "wrong or missing PIN"), true);
    if (type == QLatin1String("key"))
        return keyRequest(object);
    if (type == QLatin1String("recall"))
        return recallRequest(object, setup);
    if (edits.contains(type))
        return editRequest(type, object);
    if (type == QLatin1String("line"))
        return lineRequest(object);
    return {{protocol::statusRequest()}, {}};
}

} // namespace

Outcome request(const QByteArray& text, const WebAccess& access, const MatrixSetup& setup)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (!document.isObject())
        return refused(QCoreApplication::translate("WebPanel", "not a JSON object"));
    const QJsonObject object = document.object();
    Outcome out = requestOf(object, access, setup);
    out.ref = object.value(QLatin1String("ref")).toInt(0);
    return out;
}

QByteArray state(const QString& id, bool linkUp, const Routing& routing, const MatrixSetup& setup,
                 const WebAccess& access, const QString& name)
{
    QJsonArray outputs;
    QJsonArray inputs;
    for (int i = 1; i <= 4; ++i) {
        outputs.append(setup.outputName(i));
        inputs.append(setup.inputName(i));
    }
    QJsonArray presets;
    QJsonArray presetRoutings;
    for (const Preset& preset : setup.presets()) {
        presets.append(preset.name);
        presetRoutings.append(array(preset.routing));
    }
    return compact({{QStringLiteral("type"), QStringLiteral("state")},
                    {QStringLiteral("switch"), id},
                    {QStringLiteral("name"), name.isEmpty() ? id : name},
                    {QStringLiteral("link"), linkUp},
                    {QStringLiteral("routing"), array(routing)},
                    {QStringLiteral("outputs"), outputs},
                    {QStringLiteral("inputs"), inputs},
                    {QStringLiteral("presets"), presets},
                    {QStringLiteral("presetRoutings"), presetRoutings},
                    {QStringLiteral("readOnly"), access.readOnly},
                    {QStringLiteral("pin"), !access.pin.isEmpty()}});
}

QByteArray problems(const QList<RoutingState::Problem>& problems)
{
    QJsonArray list;
    for (const RoutingState::Problem& problem : problems)
        list.append(QJsonObject{{QStringLiteral("output"), problem.output},
                                {QStringLiteral("asked"), problem.asked},
                                {QStringLiteral("reported"), problem.reported}});
    return compact(
        {{QStringLiteral("type"), QStringLiteral("problems")}, {QStringLiteral("problems"), list}});
}

QByteArray routing(const Routing& routing)
{
    return compact({{QStringLiteral("type"), QStringLiteral("routing")},
                    {QStringLiteral("routing"), array(routing)}});
}

QByteArray link(bool up, bool answering)
{
    return compact({{QStringLiteral("type"), QStringLiteral("link")},
                    {QStringLiteral("up"), up},
                    {QStringLiteral("answering"), answering}});
}

QByteArray bytes(const QByteArray& data)
{
    return compact({{QStringLiteral("type"), QStringLiteral("bytes")},
                    {QStringLiteral("data"), QString::fromLatin1(data)}});
}

QByteArray error(const QString& text, int ref, bool denied)
{
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("error")},
                        {QStringLiteral("text"), text}};
    if (ref != 0)
        message.insert(QStringLiteral("ref"), ref);
    if (denied)
        message.insert(QStringLiteral("denied"), true);
    return compact(message);
}

QByteArray done(int ref)
{
    return compact(
        {{QStringLiteral("type"), QStringLiteral("done")}, {QStringLiteral("ref"), ref}});
}

} // namespace webmessages
