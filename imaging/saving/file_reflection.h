#pragma once

#include "imaging/failure.h"
#include "imaging/gp_status.h"
#include "imaging/saving/saving_plan.h"

#include <QString>
#include <QStringList>

// What became of one file's reflection.
struct TFileReflection {
    TGpStatus Status = TGpStatus::GenericError;
    TFailure Failure; // why nothing was written
    QString Damage;   // written from a damaged file kept as far as it decodes
    // Written without these packets of the input, each with its reason
    // ("the EXIF packet: libexif finds it damaged").
    QStringList Warnings;
    TSavingPlan Plan; // the road the file took (the last one planned when it failed)
    // Of an animation written to a format that holds one picture: "only the
    // first of the 24 frames is written (BMP holds one picture)".
    QString FirstFrameOnly;
};

// Decodes the request's image file as the image control does (DecodeImage
// with its options), makes picture plus reflection and writes them to its
// sink by the road PlanSaving chooses. A damaged or truncated file is
// refused or kept exactly as DecodeImage decides, and never leaves part of
// an output behind.
TFileReflection WriteFileReflection(const TSaveRequest& Request);
