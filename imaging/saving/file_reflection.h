#pragma once

#include "imaging/failure.h"
#include "imaging/gp_status.h"
#include "imaging/saving/saving_plan.h"

#include <QString>

// What became of one file's reflection.
struct TFileReflection {
    TGpStatus Status = TGpStatus::GenericError;
    TFailure Failure; // why nothing was written
    QString Damage;   // written from a damaged file kept as far as it decodes
    TSavingPlan Plan; // the road the file took (the last one planned when it failed)
};

// Decodes the request's image file as the image control does (DecodeImage
// with its options), makes picture plus reflection and writes them to its
// sink by the road PlanSaving chooses. A damaged or truncated file is
// refused or kept exactly as DecodeImage decides, and never leaves part of
// an output behind.
TFileReflection WriteFileReflection(const TSaveRequest& Request);
