#include "toolkit/graphics/graphic.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

void TGraphic::LoadFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file \"" + FileName.toStdString() +
                                 "\": " + file.errorString().toStdString());
    LoadStream(&file);
}

bool TGraphic::SaveFile(const QString& FileName)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    SaveStream(&file);
    return file.commit();
}
