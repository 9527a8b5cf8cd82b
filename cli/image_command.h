#pragma once

struct TImageCommandOptions;

// Runs "lumivex-cli image" for checked options; the exit status: 0 when every
// reflection was written, 1 when any failed.
int RunImageCommand(const TImageCommandOptions& Options);
