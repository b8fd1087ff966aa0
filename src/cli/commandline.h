// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The words of a varnok command line, checked before anything touches the line: a request, or
// the reason it is not one. Pure logic: no port, no output.
namespace cli {

struct Request
{
    enum class Command {
        Help,
        Version,
        Route,
        Status,
        Utp,
        Ip,
        Send,
        Monitor,
        PresetList,
        PresetSave,
        PresetRecall,
        PresetDelete,
        Name,
    };
    Command command = Command::Help;

    int output = 0;             // route: 1 to 4
    int input = 0;              // route: 1 to 4, or 0 for a step
    int step = 0;               // route next (+1) or prev (-1)
    std::optional<int> utpMask; // utp: set the modes (0 to 15); none: read them
    bool dhcp = false;          // ip dhcp
    QString address;            // ip A.B.C.D, as four decimal fields
    QString text;               // send; name: the name, empty to remove it
    QString preset;             // preset save, recall, delete
    bool namesOutput = false;   // name output N (else name input N)
    int nameIndex = 0;          // name: 1 to 4

    QString port;      // empty: the choice the window saved
    QString pin;       // sent with each command through a web panel that asks for one
    QString directory; // -C / --dir: the set-up folder; empty: the working directory
    int timeoutMs = 1000;
    int pollSeconds = 0; // monitor: ask for the routing every so many idle seconds (0: never)
    bool json = false;
};

struct Parsed
{
    std::optional<Request> request;
    QString error; // set when request is empty
};

// `arguments` without the program name.
Parsed parse(const QStringList& arguments);

// The set-up folder of the window when the arguments ask for the window: none at all, or only
// the toolkit's own window options ("-platform offscreen", "-style=fusion") and -C / --dir DIR
// (an empty folder name: the working directory). Nothing when they ask for the command line,
// whose parse() names any argument it does not know.
std::optional<QString> windowFolder(const QStringList& arguments);

// Whether the command talks to the switch (the others only read or change varnok.conf).
bool needsSwitch(Request::Command command);

// What --help prints.
QString usage();

} // namespace cli
