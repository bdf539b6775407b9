#pragma once

#include <QByteArray>

// Files a write has begun and not finished (a staged file, a claimed name):
// when SIGINT or SIGTERM ends the program, they are removed before it goes,
// so that a kill leaves neither hidden ".part" files nor empty claims.

// Notes `native` (a name as the system's bytes); the slot to forget it by,
// or -1 when every slot is taken (the file is then left to its writer).
int NoteUnfinished(const QByteArray& native);
void ForgetUnfinished(int slot);

// While one lives, SIGINT and SIGTERM wait: a file made and noted under it
// is either not there yet or noted when the signal comes.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    unsigned long long before_[16]; // the thread's signal mask as it was
};

// Installs the handlers of SIGINT and SIGTERM that remove the noted files,
// then end the program by the signal, as it would have ended without them;
// SIGXFSZ is ignored, so that a write past a file-size limit fails.
void RemoveUnfinishedOnSignals();
