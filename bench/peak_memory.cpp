#include "bench/peak_memory.h"

#include "bench/exchange_bench.h"
#include "bench/raw_baseline.h"
#include "bench/raw_sqlcipher.h"
#include "bench/search_bench.h"
#include "bench/store_rig.h"
#include "store/RecipeBas.h"
#include "ui/main/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTreeWidget>

#include <cstdio>

namespace bench {

namespace {

// VmHWM: the most this process ever had resident, in KiB.
long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

}  // namespace

double measurePeak(const QString &scenario, const QString &dataRoot)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--probe=") + scenario, QStringLiteral("--data-dir=") + dataRoot});
    if (!probe.waitForFinished(600000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return -1;
    bool ok = false;
    const long kib = probe.readAllStandardOutput().trimmed().toLong(&ok);
    return ok ? kib / 1024.0 : -1;
}

int runProbe(const QString &scenario, const QString &dataRoot)
{
    const QStringList parts = scenario.split(QLatin1Char('-'));
    const QString kind = parts.value(0);
    const QString folder = QDir(dataRoot).filePath(parts.value(1, QStringLiteral("large")));
    if (kind == QLatin1String("idle")) {
        StoreRig rig(folder + QStringLiteral("/Recipe"));
    } else if (kind == QLatin1String("store")) {
        StoreRig rig(folder + QStringLiteral("/Recipe"));
        rig.store.FillCatalogue();
    } else if (kind == QLatin1String("window")) {
        // The program as a user starts it: the window on the folder's file, shown and painted.
        AnsweringDialogs dialogs;
        QuietShell shell;
        mainform::MainWindow window(dialogs, shell, folder);
        window.show();
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        window.store().CloseStore();
    } else if (kind == QLatin1String("raw")) {
        QTreeWidget tree;
        RawConnection raw(folder + QStringLiteral("/Recipe.mdb"), RecipeBas::kPassword);
        fillTree(tree, treeIcons(treeImages()), readCatalogue(raw));
    } else if (!runSearchProbe(kind, dataRoot)) {
        try {
            if (!runExchangeProbe(scenario, dataRoot)) {
                std::fprintf(stderr, "unknown probe %s\n", qPrintable(scenario));
                return 2;
            }
        } catch (const std::exception &e) {
            std::fprintf(stderr, "probe %s failed: %s\n", qPrintable(scenario), e.what());
            return 1;
        }
    }
    // Read once the scenario is over: the peak stays.
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

}  // namespace bench
