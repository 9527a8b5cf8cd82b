#pragma once

#include "imaging/saving/file_reflection.h"

// The animation road of the saving plan: the request's input read frame by
// frame (animation_decoding.h), each frame reflected with the request's
// values as a single picture is, and handed to the format's animation
// writer before the next is read. Every frame counts against the decode
// options' pixel limit, checked from the file's structure before any frame
// is decoded. A damaged frame refuses the file (with KeepDamaged, the frames
// before it are written and the damage named). Nothing is left behind on
// failure.
TFileReflection WriteAnimationReflection(const TSaveRequest& Request, const TSavingPlan& Plan);
