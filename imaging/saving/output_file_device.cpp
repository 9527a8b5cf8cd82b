#include "imaging/saving/output_file_device.h"

#include "imaging/saving/output_target.h"

TOutputFileDevice::TOutputFileDevice(TOutputFile& File) : FFile(File)
{
    open(QIODevice::WriteOnly);
}

qint64 TOutputFileDevice::writeData(const char* Data, qint64 Size)
{
    return FFile.Write(Data, Size) ? Size : -1;
}
