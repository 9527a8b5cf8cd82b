#pragma once

#include <QString>
#include <cstdint>

struct TImageJob;

// What became of one job.
struct TImageJobResult {
    bool Written = false;
    QString Reason;  // why nothing was written
    QString Warning; // written, but from a damaged file (--lenient)
    QString Road;    // --verbose: the saving plan the file took
};

// Reads the input, decodes it as the image control does, renders picture and
// reflection with the control's functions and writes the composition. Safe
// to call from several threads at once for different jobs; at most one job
// may read standard input and one write standard output.
TImageJobResult RunImageJob(const TImageJob& Job);
