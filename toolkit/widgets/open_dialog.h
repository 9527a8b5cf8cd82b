#pragma once

#include "toolkit/layout/layout_component.h"
#include "toolkit/widgets/control_types.h"

#include <QObject>
#include <QString>

// The non-visual file-open dialog component. Execute asks the process-wide
// TUserInteraction and, when the user confirms, keeps the chosen FileName.
class TOpenDialog : public QObject, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(TControlTypes::TOpenOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
  public:
    explicit TOpenDialog(QObject* Parent = nullptr);

    QString DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const QString& Value) { FDefaultExt = Value; }
    QString FileName() const { return FFileName; }
    void SetFileName(const QString& Value) { FFileName = Value; }
    QString Filter() const { return FFilter; }
    void SetFilter(const QString& Value) { FFilter = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    QString Title() const { return FTitle; }
    // The filter entry shown first and, after Execute, the one the user left
    // selected, counted from 1.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    void SetTitle(const QString& Value) { FTitle = Value; }

    // True when the user confirmed; a cancel leaves FileName as it was.
    virtual bool Execute();

  private:
    QString FDefaultExt, FFileName, FFilter, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions = TOpenOptions(ofHideReadOnly) | ofEnableSizing;
};
