#pragma once

#include <QIcon>
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

// How Designer shows one control in its widget box and creates it on a form.
struct TDesignerWidgetInfo {
    QString ClassName;
    QString BoxName;    // the entry's text in the widget box
    QString ObjectName; // the first name a dropped control gets
    QString Header;     // what code generated from the form includes
    QString ToolTip;
    QIcon Icon;
    int Width = 0; // the size a newly dropped control gets
    int Height = 0;
    QString Properties;             // further <property> elements a dropped control gets
    QString PropertySpecifications; // how Designer edits some of its properties
    std::function<QWidget*(QWidget* Parent)> Create;
};

class TReflectionWidgetInterface : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
  public:
    TReflectionWidgetInterface(TDesignerWidgetInfo Info, QObject* Parent);

    QString name() const override { return FInfo.ClassName; }
    QString group() const override { return QStringLiteral("Lumivex"); }
    QString toolTip() const override { return FInfo.ToolTip; }
    QString whatsThis() const override { return FInfo.ToolTip; }
    QString includeFile() const override { return FInfo.Header; }
    QIcon icon() const override { return FInfo.Icon; }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* Parent) override;
    bool isInitialized() const override { return FInitialized; }
    void initialize(QDesignerFormEditorInterface* Core) override;
    QString domXml() const override;

  private:
    TDesignerWidgetInfo FInfo;
    bool FInitialized = false;
};
