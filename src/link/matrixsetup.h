// SPDX-License-Identifier: MIT
#pragma once

#include "routing.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QSettings;

// A routing of all four outputs kept under a name of the user's.
struct Preset
{
    QString name;
    Routing routing{};
    bool operator==(const Preset&) const = default;
};

// The names of the outputs and inputs and the presets, kept in <folder>/varnok.conf under
// [names] and [presets] (the session's [link] and [log] are never touched). The file is plain
// data a user may copy and hand-edit: what cannot be used is ignored, listed in problems() once
// per load, and left in the file as it was. Every change is made to the file as it is then,
// under its lock, so two programs over one folder do not undo each other's changes. A file that
// is not a plain file is neither read nor written (see setupfile.h). No widgets, no port.
class MatrixSetup
{
public:
    static constexpr int maxNameLength = 32;

    // Reads <directory>/varnok.conf; a missing file is an empty set-up.
    explicit MatrixSetup(QString directory);

    // A set-up another program keeps and told as it is (a shared switch's service): read here,
    // changed only there, so every change here fails and reload() keeps it as it is.
    static MatrixSetup keptElsewhere(const std::array<QString, 4>& outputs,
                                     const std::array<QString, 4>& inputs,
                                     const QList<Preset>& presets);

    // Reads the file again, replacing what was read and the problems found.
    void reload();
    QString filePath() const;
    // One short sentence per thing in the file that was ignored, as of the last load.
    QStringList problems() const { return found; }
    // The problems as one line for a user, empty when there are none.
    QString problemSummary() const;

    // Empty when the output or input (1 to 4) has no name.
    QString outputName(int output) const;
    QString inputName(int input) const;
    // The text is trimmed; empty removes the name. False, with errorString(), for an index
    // outside 1 to 4, a name longer than maxNameLength or with control characters, or a file
    // that cannot be written.
    bool setOutputName(int output, const QString& name);
    bool setInputName(int input, const QString& name);

    // In the order they were first saved.
    QList<Preset> presets() const { return stored; }
    // The exact name first, then the one name that matches ignoring case.
    std::optional<Preset> findPreset(const QString& name) const;
    // A preset of the same (exact) name is replaced in place; otherwise one is added at the end.
    bool savePreset(const QString& name, const Routing& routing);
    // `from` is found as by findPreset(); `to` must not name another preset, ignoring case.
    bool renamePreset(const QString& from, const QString& to);
    bool deletePreset(const QString& name);

    // Why the last change failed.
    QString errorString() const { return error; }

    // "2 3 1 4": the inputs of outputs 1 to 4, as the file keeps a preset.
    static QString routingText(const Routing& routing);
    // Four inputs 1 to 4 separated by blanks or commas; nothing otherwise.
    static std::optional<Routing> parseRouting(const QString& text);

private:
    MatrixSetup() = default;
    struct Entry
    {
        int number = 0; // the entry's number in [presets]
        Preset preset;
    };
    bool setName(const char* kind, int index, const QString& name);
    // Null text when `name` (already trimmed) can be used, else why not ("is longer than ...").
    QString nameFault(const QString& name) const;
    bool checkedName(const QString& trimmed);
    // As checkedName(), and a preset's name may not be empty.
    bool checkedPresetName(const QString& trimmed);
    // Applies `edit` to the file as it is now, under its lock; `edit` sees this object loaded
    // from it and returns false, with `error`, to leave it as it was. Reloads afterwards.
    bool change(const std::function<bool(QSettings&)>& edit);
    void load(QSettings& settings);
    std::optional<Entry> entryNamed(const QString& name) const;
    // The entry, or none with errorString() saying there is no such preset.
    std::optional<Entry> existingEntry(const QString& name);
    void readNames(QSettings& settings);
    void readPresets(QSettings& settings);
    void note(const QString& problem);

    QString directory;
    std::array<QString, 4> outputNames;
    std::array<QString, 4> inputNames;
    QList<Preset> stored;
    QList<Entry> entries;
    int lastNumber = 0; // the highest entry number in the file, usable or not
    QStringList found;
    QSet<QString> foundSet;
    QString error;
    bool elsewhere = false;
};
