// SPDX-License-Identifier: MIT
#include "matrixsetup.h"

#include "setupfile.h"
#include "setupsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

namespace {

const QString namesGroup = QString::fromLatin1(SetupSettings::namesGroup);
const QString presetsGroup = QString::fromLatin1(SetupSettings::presetsGroup);

// A value as the user wrote it: an unquoted comma makes QSettings read a list.
QString valueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

// A key from the file, fit to be quoted in a one-line message whatever bytes it holds.
QString shown(const QString& key)
{
    if (key.isEmpty())
        return QCoreApplication::translate("MatrixSetup", "(no key)");
    QString text = key.left(40);
    for (QChar& c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return key.size() > 40 ? text + QStringLiteral("...") : text;
}

// Lines that are no setting, section or comment, which the settings reader passes over. Read
// here rather than from QSettings' status, which a process learns only at its first read.
bool hasStrayLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    return std::any_of(lines.cbegin(), lines.cend(), [](const QByteArray& raw) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            return false;
        if (line.startsWith('['))
            return !line.endsWith(']');
        return !line.contains('=');
    });
}

// By code point: a character outside the Basic Multilingual Plane is two halves, each of which
// alone is no printable character.
bool hasControlCharacters(const QString& text)
{
    const QList<uint> characters = text.toUcs4();
    return std::any_of(characters.cbegin(), characters.cend(),
                       [](uint c) { return !QChar::isPrint(char32_t(c)); });
}

} // namespace

MatrixSetup::MatrixSetup(QString folder) : directory(std::move(folder))
{
    reload();
}

MatrixSetup MatrixSetup::keptElsewhere(const std::array<QString, 4>& outputs,
                                       const std::array<QString, 4>& inputs,
                                       const QList<Preset>& presets)
{
    MatrixSetup told;
    told.elsewhere = true;
    told.outputNames = outputs;
    told.inputNames = inputs;
    told.stored = presets;
    for (const Preset& preset : presets)
        told.entries.append({++told.lastNumber, preset});
    return told;
}

QString MatrixSetup::filePath() const
{
    return SetupSettings::pathIn(directory);
}

void MatrixSetup::note(const QString& problem)
{
    const QString sentence =
        QString::fromLatin1(SetupSettings::fileName) + QStringLiteral(": ") + problem;
    if (!foundSet.contains(sentence)) {
        foundSet.insert(sentence);
        found << sentence;
    }
}

QString MatrixSetup::problemSummary() const
{
    if (found.isEmpty())
        return {};
    const QString prefix = QString::fromLatin1(SetupSettings::fileName) + u':';
    QStringList parts;
    for (const QString& problem : found)
        parts << problem.mid(prefix.size()).trimmed();
    return prefix + u' ' + parts.join(QStringLiteral("; ")) + u'.';
}

void MatrixSetup::reload()
{
    if (elsewhere)
        return;
    load(*SetupSettings::open(directory));
    if (const QString refused = setupfile::refusal(filePath()); !refused.isNull())
        note(refused);
}

void MatrixSetup::load(QSettings& settings)
{
    outputNames = {};
    inputNames = {};
    stored.clear();
    entries.clear();
    lastNumber = 0;
    found.clear();
    foundSet.clear();
    if (hasStrayLines(settings.fileName()))
        note(QCoreApplication::translate("MatrixSetup",
                                         "some lines are not settings and were skipped"));
    readNames(settings);
    readPresets(settings);
}

void MatrixSetup::readNames(QSettings& settings)
{
    static const QRegularExpression nameKey(QStringLiteral("^(output|input)(\\d{1,9})$"));
    settings.beginGroup(namesGroup);
    for (const QString& key : settings.childKeys()) {
        const QRegularExpressionMatch match = nameKey.match(key);
        if (!match.hasMatch()) {
            note(QCoreApplication::translate(
                     "MatrixSetup",
                     "[names] %1 ignored: the keys are output1 to output4 and input1 "
                     "to input4")
                     .arg(shown(key)));
            continue;
        }
        const bool output = match.captured(1) == QLatin1String("output");
        const int index = match.captured(2).toInt();
        if (index < 1 || index > 4) {
            note(QCoreApplication::translate("MatrixSetup", "[names] %1 ignored: %2 are 1 to 4")
                     .arg(key, output ? QCoreApplication::translate("MatrixSetup", "outputs")
                                      : QCoreApplication::translate("MatrixSetup", "inputs")));
            continue;
        }
        const QString name = valueText(settings.value(key)).trimmed();
        if (const QString fault = nameFault(name); !fault.isNull()) {
            note(QCoreApplication::translate("MatrixSetup", "[names] %1 ignored: it %2")
                     .arg(key, fault));
            continue;
        }
        (output ? outputNames : inputNames)[index - 1] = name;
    }
    for (const QString& group : settings.childGroups())
        note(QCoreApplication::translate(
                 "MatrixSetup",
                 "[names] %1\\... ignored: the keys are output1 to output4 and input1 "
                 "to input4")
                 .arg(shown(group)));
    settings.endGroup();
}

void MatrixSetup::readPresets(QSettings& settings)
{
    static const QRegularExpression numbered(QStringLiteral("^[1-9]\\d{0,5}$"));
    // One pass over the keys: asking the settings for each entry's keys in turn would read them
    // all once per entry.
    struct Keys
    {
        QStringList own;    // keys of the entry itself
        QStringList nested; // groups inside it
    };
    QMap<int, Keys> numbers;
    QStringList strayKeys;
    QStringList strayGroups;
    settings.beginGroup(presetsGroup);
    for (const QString& key : settings.allKeys()) {
        const qsizetype slash = key.indexOf(u'/');
        if (slash < 0) {
            if (key != QLatin1String("size")) // written by QSettings' own array form; not needed
                strayKeys << key;
            continue;
        }
        const QString group = key.left(slash);
        if (!numbered.match(group).hasMatch()) {
            if (strayGroups.isEmpty() || strayGroups.constLast() != group)
                strayGroups << group;
            continue;
        }
        Keys& keys = numbers[group.toInt()];
        const QString rest = key.mid(slash + 1);
        const qsizetype inner = rest.indexOf(u'/');
        QStringList& list = inner < 0 ? keys.own : keys.nested;
        const QString first = rest.left(inner);
        if (list.isEmpty() || list.constLast() != first)
            list << first;
    }
    for (const QString& key : strayKeys)
        note(QCoreApplication::translate(
                 "MatrixSetup", "[presets] %1 ignored: presets are numbered entries such as "
                                "1\\name and 1\\routing")
                 .arg(shown(key)));
    strayGroups.removeDuplicates();
    for (const QString& group : strayGroups)
        note(QCoreApplication::translate("MatrixSetup",
                                         "[presets] %1 ignored: entries are numbered from 1")
                 .arg(shown(group)));
    QHash<QString, int> numberOfName;
    for (auto it = numbers.cbegin(); it != numbers.cend(); ++it) {
        const int number = it.key();
        lastNumber = number;
        QStringList nested = it->nested;
        nested.removeDuplicates();
        for (const QString& key : it->own + nested) {
            if (key != QLatin1String("name") && key != QLatin1String("routing"))
                note(QCoreApplication::translate(
                         "MatrixSetup",
                         "[presets] %1\\%2 ignored: an entry has a name and a routing")
                         .arg(number)
                         .arg(shown(key)));
        }
        const QString entry = QString::number(number) + u'/';
        const QString name = valueText(settings.value(entry + QStringLiteral("name"))).trimmed();
        const QString routingValue = valueText(settings.value(entry + QStringLiteral("routing")));
        QString fault;
        const std::optional<Routing> routing = parseRouting(routingValue);
        if (name.isEmpty())
            fault = QCoreApplication::translate("MatrixSetup", "it has no name");
        else if (const QString nameProblem = nameFault(name); !nameProblem.isNull())
            fault = QCoreApplication::translate("MatrixSetup", "its name ") + nameProblem;
        else if (!routing)
            fault = QCoreApplication::translate("MatrixSetup",
                                                "routing \"%1\" is not four inputs 1 to 4")
                        .arg(shown(routingValue));
        else if (const auto twin = numberOfName.constFind(name); twin != numberOfName.cend())
            fault = QCoreApplication::translate("MatrixSetup", "\"%1\" is entry %2 already")
                        .arg(name)
                        .arg(*twin);
        if (!fault.isEmpty()) {
            note(QCoreApplication::translate("MatrixSetup", "[presets] %1 ignored: %2")
                     .arg(number)
                     .arg(fault));
            continue;
        }
        numberOfName.insert(name, number);
        entries << Entry{number, {name, *routing}};
        stored << Preset{name, *routing};
    }
    settings.endGroup();
}

QString MatrixSetup::nameFault(const QString& name) const
{
    if (name.size() > maxNameLength)
        return QCoreApplication::translate("MatrixSetup", "is longer than %1 characters")
            .arg(maxNameLength);
    if (hasControlCharacters(name))
        return QCoreApplication::translate("MatrixSetup", "holds control characters");
    return {};
}

QString MatrixSetup::outputName(int output) const
{
    return output >= 1 && output <= 4 ? outputNames[output - 1] : QString();
}

QString MatrixSetup::inputName(int input) const
{
    return input >= 1 && input <= 4 ? inputNames[input - 1] : QString();
}

bool MatrixSetup::setOutputName(int output, const QString& name)
{
    return setName("output", output, name);
}

bool MatrixSetup::setInputName(int input, const QString& name)
{
    return setName("input", input, name);
}

bool MatrixSetup::setName(const char* kind, int index, const QString& name)
{
    if (index < 1 || index > 4) {
        error = QCoreApplication::translate("MatrixSetup",
                                            "There is no %1 %2: the switch has %1s 1 to 4.")
                    .arg(QLatin1String(kind))
                    .arg(index);
        return false;
    }
    const QString trimmed = name.trimmed();
    if (!checkedName(trimmed))
        return false;
    const QString key = namesGroup + u'/' + QLatin1String(kind) + QString::number(index);
    return change([&](QSettings& settings) {
        if (trimmed.isEmpty())
            settings.remove(key);
        else
            settings.setValue(key, trimmed);
        return true;
    });
}

bool MatrixSetup::checkedName(const QString& trimmed)
{
    const QString fault = nameFault(trimmed);
    if (fault.isNull())
        return true;
    error = QCoreApplication::translate("MatrixSetup", "\"%1\" cannot be used: it %2.")
                .arg(shown(trimmed), fault);
    return false;
}

bool MatrixSetup::checkedPresetName(const QString& trimmed)
{
    if (!trimmed.isEmpty())
        return checkedName(trimmed);
    error = QCoreApplication::translate("MatrixSetup", "A preset needs a name.");
    return false;
}

std::optional<MatrixSetup::Entry> MatrixSetup::existingEntry(const QString& name)
{
    std::optional<Entry> entry = entryNamed(name);
    if (!entry)
        error = QCoreApplication::translate("MatrixSetup", "There is no preset \"%1\".")
                    .arg(shown(name.trimmed()));
    return entry;
}

std::optional<MatrixSetup::Entry> MatrixSetup::entryNamed(const QString& name) const
{
    const QString wanted = name.trimmed();
    for (const Entry& entry : entries) {
        if (entry.preset.name == wanted)
            return entry;
    }
    std::optional<Entry> alike;
    for (const Entry& entry : entries) {
        if (entry.preset.name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (alike)
            return std::nullopt; // two differ only in case: neither is meant more than the other
        alike = entry;
    }
    return alike;
}

std::optional<Preset> MatrixSetup::findPreset(const QString& name) const
{
    if (const std::optional<Entry> entry = entryNamed(name))
        return entry->preset;
    return std::nullopt;
}

bool MatrixSetup::savePreset(const QString& name, const Routing& routing)
{
    const QString trimmed = name.trimmed();
    if (!checkedPresetName(trimmed))
        return false;
    if (!std::all_of(routing.cbegin(), routing.cend(),
                     [](int input) { return input >= 1 && input <= 4; })) {
        error = QCoreApplication::translate("MatrixSetup",
                                            "A preset routes each output to an input 1 to 4.");
        return false;
    }
    return change([&](QSettings& settings) {
        const auto same =
            std::find_if(entries.cbegin(), entries.cend(),
                         [&trimmed](const Entry& e) { return e.preset.name == trimmed; });
        const QString group =
            presetsGroup + u'/' +
            QString::number(same != entries.cend() ? same->number : lastNumber + 1);
        if (same == entries.cend())
            settings.setValue(group + QStringLiteral("/name"), trimmed);
        settings.setValue(group + QStringLiteral("/routing"), routingText(routing));
        return true;
    });
}

bool MatrixSetup::renamePreset(const QString& from, const QString& to)
{
    const QString trimmed = to.trimmed();
    return change([&](QSettings& settings) {
        const std::optional<Entry> entry = existingEntry(from);
        if (!entry)
            return false;
        if (!checkedPresetName(trimmed))
            return false;
        for (const Entry& other : entries) {
            if (other.number != entry->number &&
                other.preset.name.compare(trimmed, Qt::CaseInsensitive) == 0) {
                error =
                    QCoreApplication::translate("MatrixSetup", "There is a preset \"%1\" already.")
                        .arg(other.preset.name);
                return false;
            }
        }
        settings.setValue(presetsGroup + u'/' + QString::number(entry->number) +
                              QStringLiteral("/name"),
                          trimmed);
        return true;
    });
}

bool MatrixSetup::deletePreset(const QString& name)
{
    return change([&](QSettings& settings) {
        const std::optional<Entry> entry = existingEntry(name);
        if (!entry)
            return false;
        settings.remove(presetsGroup + u'/' + QString::number(entry->number));
        return true;
    });
}

bool MatrixSetup::change(const std::function<bool(QSettings&)>& edit)
{
    if (elsewhere) {
        error = QCoreApplication::translate("MatrixSetup", "these names and presets are kept by "
                                                           "the switch's service");
        return false;
    }
    // What the file holds now, read under the lock, is what the change is made to.
    const bool changed = setupfile::change(
        filePath(),
        [&](QSettings& settings) {
            load(settings);
            return edit(settings);
        },
        error);
    reload();
    return changed;
}

QString MatrixSetup::routingText(const Routing& routing)
{
    QStringList inputs;
    for (const int input : routing)
        inputs << QString::number(input);
    return inputs.join(u' ');
}

std::optional<Routing> MatrixSetup::parseRouting(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    Routing routing{};
    for (int output = 0; output < 4; ++output) {
        if (parts[output].size() != 1 || parts[output][0] < u'1' || parts[output][0] > u'4')
            return std::nullopt;
        routing[output] = parts[output][0].unicode() - u'0';
    }
    return routing;
}
