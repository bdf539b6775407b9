#include "SiBridge.h"

#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <memory>

namespace {

SiStatus SI_CALL NoNumDevices(quint32*) {
    return kSiNotAvailable;
}
SiStatus SI_CALL NoProductString(quint32, void*, quint32) {
    return kSiNotAvailable;
}
SiStatus SI_CALL NoOpen(quint32, SiHandle* handle) {
    if (handle)
        *handle = kSiInvalidHandle;
    return kSiNotAvailable;
}
SiStatus SI_CALL NoClose(SiHandle) {
    return kSiNotAvailable;
}
SiStatus SI_CALL NoTransfer(SiHandle, void*, quint32, quint32* count, void*) {
    if (count)
        *count = 0;
    return kSiNotAvailable;
}
SiStatus SI_CALL NoGetTimeouts(quint32*, quint32*) {
    return kSiNotAvailable;
}
SiStatus SI_CALL NoSetTimeouts(quint32, quint32) {
    return kSiNotAvailable;
}
SiStatus SI_CALL NoCheckRXQueue(SiHandle, quint32*, quint32*) {
    return kSiNotAvailable;
}

constexpr SiApi kMissing = {NoNumDevices, NoProductString, NoOpen,        NoClose,       NoTransfer,
                            NoTransfer,   NoGetTimeouts,   NoSetTimeouts, NoCheckRXQueue};

struct Bridge {
    QString requestedPath;
    bool loaded = false;
    std::unique_ptr<QLibrary> library;
    SiApi api = kMissing;
};

Bridge& TheBridge() {
    static Bridge bridge;
    return bridge;
}

bool Within(const QString& path, const QString& folder) {
    const auto real = [](const QString& p) {
        const QString canonical = QFileInfo(p).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(QDir(p).absolutePath()) : canonical;
    };
    const QString a = real(path), b = real(folder);
    return a == b || a.startsWith(b + u'/');
}

template <typename F> bool Resolve(QLibrary& library, const char* name, F& call) {
    call = reinterpret_cast<F>(library.resolve(name));
    return call != nullptr;
}

bool ResolveAll(QLibrary& library, SiApi& api) {
    return Resolve(library, "SI_GetNumDevices", api.GetNumDevices) &&
           Resolve(library, "SI_GetProductString", api.GetProductString) &&
           Resolve(library, "SI_Open", api.Open) && Resolve(library, "SI_Close", api.Close) &&
           Resolve(library, "SI_Read", api.Read) && Resolve(library, "SI_Write", api.Write) &&
           Resolve(library, "SI_GetTimeouts", api.GetTimeouts) &&
           Resolve(library, "SI_SetTimeouts", api.SetTimeouts) &&
           Resolve(library, "SI_CheckRXQueue", api.CheckRXQueue);
}

void Load(Bridge& bridge) {
    bridge.loaded = true;
    bridge.api = kMissing;
    bridge.library.reset();
    for (const QString& file : BridgeCandidates(bridge.requestedPath, CurrentPlaces())) {
        if (file.contains('/') && !QFileInfo::exists(file))
            continue;
        auto library = std::make_unique<QLibrary>(file);
        SiApi api;
        if (library->load() && ResolveAll(*library, api)) {
            bridge.api = api;
            bridge.library = std::move(library);
            return;
        }
    }
}

} // namespace

QString BridgeLibraryName() {
#ifdef Q_OS_WIN
    return QStringLiteral("SiUSBXp.dll");
#else
    return QStringLiteral("libSiUSBXp.so");
#endif
}

QStringList BridgeCandidates(const QString& requested, const ProgramPlaces& places) {
    QStringList files;
    if (!requested.isEmpty()) {
        const QFileInfo info(requested);
        files << (info.isDir() ? QDir(requested).filePath(BridgeLibraryName()) : requested);
    }
    // A folder its user can write is no place for code that root may run
    // (under "sudo -E" the user's data folder is still the user's).
    const bool ownFolder =
        places.installedData.isEmpty() && !places.executableFolder.isEmpty() &&
        (places.perUserData.isEmpty() || !Within(places.executableFolder, places.perUserData));
    if (ownFolder)
        files << QDir(places.executableFolder).filePath(BridgeLibraryName());
    if (!places.installedLibraries.isEmpty())
        files << QDir(places.installedLibraries).filePath(BridgeLibraryName());
    files << QStringLiteral("SiUSBXp"); // the system's library path
    return files;
}

void SetBridgeLibraryPath(const QString& path) {
    Bridge& bridge = TheBridge();
    if (path != bridge.requestedPath || !bridge.library) {
        bridge.requestedPath = path;
        bridge.loaded = false;
    }
}

const SiApi& BridgeApi() {
    Bridge& bridge = TheBridge();
    if (!bridge.loaded)
        Load(bridge);
    return bridge.api;
}

QString BridgeLibraryFile() {
    BridgeApi();
    const Bridge& bridge = TheBridge();
    return bridge.library ? bridge.library->fileName() : QString();
}
