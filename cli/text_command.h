#pragma once

struct TTextCommandOptions;

// Runs "lumivex-cli text" for checked options; the exit status: 0 when the
// file was written, 1 when it was not.
int RunTextCommand(const TTextCommandOptions& Options);
