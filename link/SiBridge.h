#pragma once

#include "ProgramFolder.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#ifdef Q_OS_WIN
#define SI_CALL __stdcall
#else
#define SI_CALL
#endif

// The calls of the USB bridge library, resolved at run time.
using SiStatus = int;
using SiHandle = void*;
inline constexpr SiStatus kSiSuccess = 0;
inline constexpr SiStatus kSiNotAvailable = 0xFF; // what every call reports without the library
inline constexpr quint32 kSiRxReady = 2;          // data-ready bit of the queue status
inline const SiHandle kSiInvalidHandle = reinterpret_cast<SiHandle>(~quintptr(0));
inline constexpr int kSiProductStringSize = 257;

struct SiApi {
    SiStatus(SI_CALL* GetNumDevices)(quint32* count);
    SiStatus(SI_CALL* GetProductString)(quint32 device, void* text, quint32 options);
    SiStatus(SI_CALL* Open)(quint32 device, SiHandle* handle);
    SiStatus(SI_CALL* Close)(SiHandle handle);
    SiStatus(SI_CALL* Read)(SiHandle handle, void* data, quint32 length, quint32* read,
                            void* overlapped);
    SiStatus(SI_CALL* Write)(SiHandle handle, void* data, quint32 length, quint32* written,
                             void* overlapped);
    SiStatus(SI_CALL* GetTimeouts)(quint32* readMs, quint32* writeMs);
    SiStatus(SI_CALL* SetTimeouts)(quint32 readMs, quint32 writeMs);
    SiStatus(SI_CALL* CheckRXQueue)(SiHandle handle, quint32* queued, quint32* status);
};

// The bridge library's file name on this platform.
QString BridgeLibraryName();

// The files the library is loaded from, the first that loads: `requested`
// (a file, or a folder holding the library), the executable's folder when
// the program is not installed and that folder is not the per-user data
// folder, an installed program's library folder, then the system's library
// path. Never the per-user data folder: its user could put code there.
QStringList BridgeCandidates(const QString& requested, const ProgramPlaces& places);

// A file or a folder looked at first (tests, the simulator's double); empty
// for the places above only. Takes effect at the next call of BridgeApi().
void SetBridgeLibraryPath(const QString& path);

// The loaded library's calls; when it cannot be loaded (or lacks a call)
// every call reports kSiNotAvailable.
const SiApi& BridgeApi();

// Where the library was loaded from (loading it first); empty when it was
// not found.
QString BridgeLibraryFile();
