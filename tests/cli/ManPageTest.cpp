// The manual page of oltc-cli covers every command the program lists, and
// says how a COM number finds a device.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QByteArray Output(const QString& program, const QStringList& args) {
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "100");
    env.insert("LC_ALL", "C.UTF-8");
    run.setProcessEnvironment(env);
    run.start(program, args);
    if (!run.waitForFinished(60000))
        return {};
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
    return run.readAllStandardOutput();
}

} // namespace

TEST(ManPage, ASectionPerCommandAndThePortNames) {
#ifndef OLTC_CLI_MANPAGE
    GTEST_SKIP() << "help2man was not found: no manual pages were built";
#else
    // Hyphens and minus signs as typed, whatever glyphs groff chose.
    const QString page =
        QString::fromUtf8(
            Output(QStringLiteral("man"), {QStringLiteral("-l"), QStringLiteral(OLTC_CLI_MANPAGE)}))
            .replace(QChar(0x2010), u'-')
            .replace(QChar(0x2212), u'-');
    ASSERT_FALSE(page.isEmpty());
    const QString usage =
        QString::fromUtf8(Output(QStringLiteral(OLTC_CLI_PATH), {QStringLiteral("--help")}));
    const QString listing = usage.section(QStringLiteral("commands:\n"), 1);
    QStringList commands;
    for (const auto& match : QRegularExpression(QStringLiteral("^  ([a-z][a-z-]*) "),
                                                QRegularExpression::MultilineOption)
                                 .globalMatch(listing))
        commands << match.captured(1);
    EXPECT_GE(commands.size(), 10) << usage.toStdString();
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        // Its heading, then the first line of its own help.
        const qsizetype at = page.indexOf(QStringLiteral("oltc-cli ") + command + u'\n');
        EXPECT_GE(at, 0) << page.toStdString();
        const QString first =
            QString::fromUtf8(Output(QStringLiteral(OLTC_CLI_PATH), {command, "--help"}))
                .section(u'\n', 0, 0)
                .simplified();
        EXPECT_TRUE(page.mid(at).simplified().contains(first)) << first.toStdString();
    }
    for (const char* said : {"SERIAL PORTS", "ports/COMn", "sorted by device path",
                             "oltc-cli ports", "COMMANDS", "the main window's 导出 does"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(said))) << said;
#endif
}
