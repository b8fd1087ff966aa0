// SPDX-License-Identifier: MIT
#pragma once

#include "matrixsetup.h"
#include "setupedit.h"

#include <QJsonObject>
#include <QObject>

#include <functional>
#include <map>

// What a switch's service tells a console through the switch's web page besides the switch's
// bytes: the one set-up (names and presets) the service keeps for every controller, and whether
// it asks for a PIN; and the console's changes of that set-up, each ending with the service's
// own answer to it. Knows no socket: its port hands it the service's messages.
class SharedSwitch : public QObject
{
    Q_OBJECT
public:
    static constexpr int answerTimeoutMs = 5000;
    // Hands a request to the service; false when the line is closed.
    using Send = std::function<bool(const QJsonObject& request)>;

    explicit SharedSwitch(Send send, QObject* parent = nullptr);

    // The service has told its set-up since the line opened.
    bool isKnown() const { return known; }
    const MatrixSetup& setup() const { return current; }
    // The service asks for a PIN for every command, or takes none at all (a read-only page).
    bool asksForPin() const { return pinAsked; }
    bool isReadOnly() const { return readOnly; }
    // Given from now on: a refusal of a command sent before is no longer told.
    void setPin(const QString& pin);
    // Numbers `request` for its answer and adds the PIN: for every request sent.
    int stamp(QJsonObject& request);

    // Asks the service for `edit` (a preset is saved from the routing the service has); the
    // handle, a child of this object, ends with the service's
    // answer, when the line closes, or after answerTimeoutMs.
    SetupChange* change(const SetupEdit& edit);

    // For the port: a message of the service that is not the switch's bytes. False when it is
    // none of this object's, an error that answers no change and no refusal of access.
    bool take(const QJsonObject& message);
    // For the port: the line closed, so what was told is no longer known; changes still waiting
    // fail with `reason`.
    void forget(const QString& reason);

signals:
    // The set-up as the service told it, or no longer known.
    void changed();
    // The service refused a command for who asked rather than for what: a PIN missing or wrong,
    // a read-only page.
    void refused(const QString& reason);

private:
    void takeState(const QJsonObject& state);

    Send send;
    MatrixSetup current = MatrixSetup::keptElsewhere({}, {}, {});
    std::map<int, SetupChange*> waiting; // by the number sent with the request
    int lastRef = 0;
    int pinGivenAfter = 0; // the last request sent before the PIN was given
    bool known = false;
    bool pinAsked = false;
    bool readOnly = false;
    QString secret;
};
