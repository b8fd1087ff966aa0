// SPDX-License-Identifier: MIT
#include "sharedswitch.h"

#include <QJsonArray>
#include <QTimer>

namespace {

QJsonObject request(const SetupEdit& edit)
{
    switch (edit.kind) {
    case SetupEdit::Kind::OutputName:
        return {{"type", "name"}, {"output", edit.index}, {"name", edit.name}};
    case SetupEdit::Kind::InputName:
        return {{"type", "name"}, {"input", edit.index}, {"name", edit.name}};
    case SetupEdit::Kind::SavePreset:
        return {{"type", "save"}, {"preset", edit.name}};
    case SetupEdit::Kind::RenamePreset:
        return {{"type", "rename"}, {"preset", edit.name}, {"to", edit.to}};
    case SetupEdit::Kind::DeletePreset:
        break;
    }
    return {{"type", "delete"}, {"preset", edit.name}};
}

std::array<QString, 4> fourTexts(const QJsonValue& value)
{
    std::array<QString, 4> texts;
    const QJsonArray array = value.toArray();
    for (int i = 0; i < 4 && i < array.size(); ++i)
        texts[i] = array[i].toString();
    return texts;
}

} // namespace

SharedSwitch::SharedSwitch(Send sender, QObject* parent) : QObject(parent), send(std::move(sender))
{
}

SetupChange* SharedSwitch::change(const SetupEdit& edit)
{
    auto* handle = new SetupChange(this);
    QJsonObject message = request(edit);
    const int ref = stamp(message);
    if (!send(message)) {
        handle->finish(tr("the switch's service is not connected"));
        return handle;
    }
    waiting[ref] = handle;
    connect(handle, &QObject::destroyed, this, [this, ref] { waiting.erase(ref); });
    QTimer::singleShot(answerTimeoutMs, handle, [this, ref] {
        if (const auto found = waiting.find(ref); found != waiting.end()) {
            found->second->finish(
                tr("the switch's service did not answer within %1 s").arg(answerTimeoutMs / 1000));
            waiting.erase(found);
        }
    });
    return handle;
}

void SharedSwitch::setPin(const QString& pin)
{
    secret = pin;
    pinGivenAfter = lastRef;
}

int SharedSwitch::stamp(QJsonObject& request)
{
    request.insert("ref", ++lastRef);
    if (!secret.isEmpty())
        request.insert("pin", secret);
    return lastRef;
}

bool SharedSwitch::take(const QJsonObject& message)
{
    const QString type = message.value("type").toString();
    if (type == QLatin1String("state")) {
        takeState(message);
        return true;
    }
    if (type != QLatin1String("done") && type != QLatin1String("error"))
        return false;
    const QString text = message.value("text").toString();
    const int ref = message.value("ref").toInt(0);
    const bool denied = message.value("denied").toBool();
    if (denied && ref > pinGivenAfter)
        emit refused(text);
    const auto found = waiting.find(ref);
    if (found == waiting.end())
        return denied;
    found->second->finish(type == QLatin1String("done") ? QString() : text);
    waiting.erase(found);
    return true;
}

void SharedSwitch::takeState(const QJsonObject& state)
{
    const QJsonArray names = state.value("presets").toArray();
    const QJsonArray routings = state.value("presetRoutings").toArray();
    QList<Preset> presets;
    for (qsizetype i = 0; i < names.size() && i < routings.size(); ++i) {
        const QJsonArray inputs = routings[i].toArray();
        Preset preset{names[i].toString(), {}};
        for (int output = 0; output < 4 && output < inputs.size(); ++output)
            preset.routing[output] = inputs[output].toInt();
        presets.append(preset);
    }
    current = MatrixSetup::keptElsewhere(fourTexts(state.value("outputs")),
                                         fourTexts(state.value("inputs")), presets);
    pinAsked = state.value("pin").toBool();
    readOnly = state.value("readOnly").toBool();
    known = true;
    emit changed();
}

void SharedSwitch::forget(const QString& reason)
{
    for (const auto& [ref, handle] : std::exchange(waiting, {}))
        handle->finish(reason);
    if (!std::exchange(known, false))
        return;
    current = MatrixSetup::keptElsewhere({}, {}, {});
    emit changed();
}
