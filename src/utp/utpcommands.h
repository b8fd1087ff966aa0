// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

// "utp " + the four UTP output modes as one upper-case hexadecimal digit + CR LF. Mask bits:
// 1 = output 1, 2 = output 2, 4 = output 3, 8 = output 4; a set bit means "1 wire". Only the
// low four bits count.
QByteArray utpCommand(int mask);
