// pilmora send: goes on line with a gateway, checks its protocol and sends the
// project's download file, printing the link's notes as the link monitor would.
// pilmora poll: on line the same way, asks the gateway for every signal of the
// monitor signal list and prints the values.
#pragma once

#include <QStringList>

// `args`: what follows "send" on the command line. Returns the exit status:
// 0 the gateway answered "SUCCES", 1 anything else, 2 wrong usage.
int runSend(const QStringList& args);
// The usage lines of the command.
QStringList sendUsage();

// `args`: what follows "poll". 0 when the table of values was printed, 1 when
// the gateway did not confirm the protocol or the link was lost first, 2 wrong usage.
int runPoll(const QStringList& args);
QStringList pollUsage();
