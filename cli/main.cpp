#include "ShowCommand.h"

#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] = "usage: oltc-cli COMMAND [OPTIONS]\n"
                      "The command line of the OLTC transition tester companion.\n"
                      "\n"
                      "commands:\n"
                      "  show     parameters and results of .cty test files\n"
                      "  --help   this text; COMMAND --help tells more of a command\n";

void Write(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty()) {
        Write(stderr, kUsage);
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == u"--help" || command == u"-h" || command == u"help") {
        Write(stdout, kUsage);
        return 0;
    }
    if (command == u"show") {
        if (args.contains(u"--help")) {
            Write(stdout, ShowUsage());
            return 0;
        }
        QByteArray out, err;
        const int status = RunShow(args, out, err);
        Write(stdout, out);
        Write(stderr, err);
        return status;
    }
    Write(stderr, "oltc-cli: unknown command " + command.toLocal8Bit() + "\n" + kUsage);
    return 2;
}
