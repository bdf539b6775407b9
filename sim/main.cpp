// oltc-sim: the tester on a pseudo-terminal, until SIGINT or SIGTERM.
#include "SerialFront.h"
#include "SimOptions.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.size() == 1 && args[0] == u"--version") {
        std::fputs("oltc-sim " OLTC_VERSION "\n", stdout);
        return 0;
    }
    SimOptions options;
    QString error;
    if (!ParseSimOptions(args, options, &error)) {
        std::fprintf(stderr, "oltc-sim: %s\n%s", qPrintable(error), qPrintable(SimUsage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(SimUsage()), stdout);
        return 0;
    }
    if (options.folder.isEmpty()) {
        std::fprintf(stderr, "oltc-sim: --folder is required\n%s", qPrintable(SimUsage()));
        return 2;
    }

    // The signals are taken by sigwait below, never by a handler; the front's
    // thread inherits the blocked set.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SerialFront front(options.config);
    if (options.verbose)
        front.SetListener([](const LoggedRequest& request) {
            std::fprintf(stderr, "oltc-sim: %s\n", qPrintable(request.Line()));
        });
    if (!front.Start(options.folder, options.port, &error)) {
        std::fprintf(stderr, "oltc-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("oltc-sim: COM%d -> %s at %u bit/s\n", options.port, qPrintable(front.DeviceName()),
                front.BitRate());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    front.Stop();
    if (options.verbose)
        std::fprintf(stderr, "oltc-sim: stopped by signal %d\n", received);
    return 0;
}
