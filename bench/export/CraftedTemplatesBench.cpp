// Time and peak memory of the document export on templates made to break
// it, each in a child process of its own (so that its peak is its own, and
// a crash or a hang ends only the child): crafted_templates [SECONDS]
// gives each at most SECONDS (default 60).
#include "CraftedTemplates.h"
#include "Document.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ShownTest Shown() {
    TestRecord record;
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            record.WaveOf(p)[k - 1] = k < 100 || k >= 400 ? 50 : 900;
    record.HasData = true;
    return ShownTestOf(record, StartMarkers(record.params), false, {}, 1);
}

void Measure(const CraftedTemplate& crafted, int seconds) {
    QTemporaryDir folder;
    const QString model = folder.filePath(QStringLiteral("Model.pat"));
    QFile file(model);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(CraftedBytes(QStringLiteral(OLTC_TEMPLATE_PATH), crafted)) <= 0)
        return;
    file.close();
    const qint64 size = QFileInfo(model).size();
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(unsigned(seconds));
        const QImage chart(571, 586, QImage::Format_RGB32);
        const ExportResult result =
            WriteDocument(Shown(), chart, model, folder.filePath(QStringLiteral("t.docx")));
        ::_exit(result.ok() ? 0 : result.code == ExportResult::TemplateMismatch ? 1 : 2);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const char* outcome = WIFSIGNALED(status)
                              ? (WTERMSIG(status) == SIGALRM ? "did not end" : "crashed")
                          : WEXITSTATUS(status) == 0 ? "exported"
                          : WEXITSTATUS(status) == 1 ? "refused"
                                                     : "failed";
    std::printf("| %s | %lld KB | %s | %.3f s | %ld MB |\n", crafted.name,
                static_cast<long long>(size >> 10), outcome, elapsed, usage.ru_maxrss / 1024);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    std::printf("| template | file | outcome | time | peak memory |\n|---|---|---|---|---|\n");
    Measure({"the shipped template", [](std::vector<ZipEntry>&) {}}, seconds);
    for (const CraftedTemplate& c : RefusedTemplates())
        Measure(c, seconds);
    for (const CraftedTemplate& c : CrowdedTemplates())
        Measure(c, seconds);
    return 0;
}
