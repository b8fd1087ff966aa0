// SPDX-License-Identifier: MIT
#pragma once

class QAbstractSocket;

// TCP keepalive on a connected socket, so that a peer that vanished without a word (power cut,
// cable pulled, no FIN or RST) is found within about 90 s instead of TCP's own 15 minutes or
// more: probes after 60 s of silence, every 10 s, three unanswered end the connection.
void keepAlive(QAbstractSocket& socket);
