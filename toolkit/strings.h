#pragma once

#include "toolkit/persistent.h"

#include <QString>
#include <QStringList>
#include <functional>

// A list of text lines. Stored in a window layout as "<Property>.Strings", a
// list of strings, written only when there are lines.
class TStrings : public TPersistent
{
    Q_OBJECT
  public:
    using TNotify = std::function<void(TStrings* Sender)>;

    explicit TStrings(QObject* parent = nullptr) : TPersistent(parent) {}

    // Fired after every change of the lines.
    TNotify OnChange;

    int Count() const { return int(Items.size()); }
    // The line at Index (0-based); throws std::out_of_range outside 0..Count-1.
    QString Strings(int Index) const;
    const QStringList& Lines() const { return Items; }

    void Add(const QString& Line);
    void Clear();
    void SetLines(const QStringList& Lines);

    // The lines joined, each followed by a line feed; SetText splits at CR LF,
    // LF or CR, and a final line break does not start another line.
    QString Text() const;
    void SetText(const QString& Text);

    // Takes over the lines of another TStrings (the two share nothing
    // afterwards); other sources leave the lines unchanged.
    void CopyFrom(const TPersistent* Source) override;

  private:
    void Changed();

    QStringList Items;
};
