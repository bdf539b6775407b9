#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A PostgreSQL server of the test's own: a new cluster in a temporary
// folder, listening only on a Unix socket there, stopped and removed at the
// end. As root it runs as the postgres user, as the server requires.
class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Empty when the server runs; else why not (missing programs skip).
    const QString& Problem() const { return problem_; }
    bool Missing() const { return missing_; }

    // A new database on it, as an archive URL.
    QString NewDatabase(const QString& name);
    // Stops the server at once (a cut connection); Start brings it back.
    void Stop();
    bool Start();
    QString SocketFolder() const { return folder_.path(); }
    int Port() const { return port_; }

private:
    bool Run(const QString& program, const QStringList& args, QString* output = nullptr);

    QTemporaryDir folder_;
    QString bin_;
    QString problem_;
    bool missing_ = false;
    bool asPostgres_ = false;
    int port_ = 0;
};
