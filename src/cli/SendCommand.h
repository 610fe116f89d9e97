// pilmora send: goes on line with a gateway, checks its protocol and sends the
// project's download file, printing the link's notes as the link monitor would.
#pragma once

#include <QStringList>

// `args`: what follows "send" on the command line. Returns the exit status:
// 0 the gateway answered "SUCCES", 1 anything else, 2 wrong usage.
int runSend(const QStringList& args);
// The usage lines of the command.
QStringList sendUsage();
