#pragma once

#include <QIODevice>

class TOutputFile;

// An open TOutputFile as a write-only device, for writers that take one.
class TOutputFileDevice : public QIODevice
{
  public:
    explicit TOutputFileDevice(TOutputFile& File);
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* Data, qint64 Size) override;

  private:
    TOutputFile& FFile;
};
