#pragma once

#include "imaging/saving/file_reflection.h"

#include <QByteArray>
#include <QImage>
#include <functional>

// The animation road of the saving plan: the request's input read frame by
// frame (animation_decoding.h), each frame reflected with the request's
// values as a single picture is, and handed to the format's animation
// writer before the next is read. Every frame counts against the decode
// options' pixel limit, checked from the file's structure before any frame
// is decoded. A damaged frame refuses the file (with KeepDamaged, the frames
// before it are written and the damage named). Nothing is left behind on
// failure.
TFileReflection WriteAnimationReflection(const TSaveRequest& Request, const TSavingPlan& Plan);

// The same road into memory, for a save that writes its bytes itself (the
// window's): Input's frames, each composition passed through Prepare when
// given (the window lays its background colour under the formats without
// alpha). Empty, with the reason, on failure, when the save of this thread
// is cancelled, or when Input is no animation Format holds. Frames receives
// the frames written.
QByteArray AnimationReflectionBytes(const QByteArray& Input, const TReflectionParameters& Reflection,
                                    ImageSaveFormat Format, int Quality,
                                    const std::function<QImage(const QImage&)>& Prepare, int* Frames,
                                    QString* Reason);
