#pragma once

// Exit codes of oltc-cli, the same for every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // a file could not be read or written, no such stored test
inline constexpr int kExitUsage = 2;
inline constexpr int kExitLinkFailed = 3; // an exchange with the tester failed
inline constexpr int kExitServer = 3;     // an archive's server refused or went away
