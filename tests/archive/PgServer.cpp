#include "PgServer.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <unistd.h>

PgServer::PgServer() {
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& v : versions)
        if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(v))) {
            bin_ = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(v);
            break;
        }
    if (bin_.isEmpty()) {
        missing_ = true;
        problem_ = QStringLiteral("the PostgreSQL server programs are not installed "
                                  "(Debian package postgresql)");
        return;
    }
    if (!folder_.isValid()) {
        problem_ = QStringLiteral("no temporary folder");
        return;
    }
    asPostgres_ = geteuid() == 0;
    if (asPostgres_) {
        // The server refuses to run as root; its folder must be its own.
        QFile::setPermissions(folder_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther);
        if (!Run(QStringLiteral("chown"), {QStringLiteral("postgres"), folder_.path()})) {
            problem_ = QStringLiteral("cannot give the folder to the postgres user");
            return;
        }
    }
    port_ = 20000 + int(QRandomGenerator::global()->bounded(20000));
    QString output;
    if (!Run(bin_ + QStringLiteral("initdb"),
             {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")), QStringLiteral("-U"),
              QStringLiteral("postgres"), QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("--locale=C"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--no-sync")},
             &output)) {
        problem_ = QStringLiteral("initdb failed: ") + output;
        return;
    }
    if (!Start())
        problem_ = QStringLiteral("the server did not start");
}

PgServer::~PgServer() {
    Stop();
}

bool PgServer::Run(const QString& program, const QStringList& args, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asPostgres_ && program != u"chown")
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                  QStringLiteral("--"), program} +
                          args);
    else
        process.start(program, args);
    const bool done = process.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PgServer::Start() {
    const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses='' -c fsync=off")
                                .arg(folder_.path())
                                .arg(port_);
    return Run(bin_ + QStringLiteral("pg_ctl"),
               {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")),
                QStringLiteral("-l"), folder_.filePath(QStringLiteral("log")), QStringLiteral("-o"),
                options, QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("30"),
                QStringLiteral("start")});
}

void PgServer::Stop() {
    if (bin_.isEmpty() || !QFile::exists(folder_.filePath(QStringLiteral("data/postmaster.pid"))))
        return;
    Run(bin_ + QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

QString PgServer::NewDatabase(const QString& name) {
    QString output;
    if (!Run(bin_ + QStringLiteral("createdb"),
             {QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"), QString::number(port_),
              QStringLiteral("-U"), QStringLiteral("postgres"), name},
             &output))
        return {};
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3")
        .arg(name, folder_.path())
        .arg(port_);
}
