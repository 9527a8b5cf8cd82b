#pragma once

#include <QByteArray>
#include <QString>

// Block structure, LZW minimum code sizes 2..8, and every frame's LZW data
// decoded by giflib.
QString FindGifDamage(const QByteArray& Data);
