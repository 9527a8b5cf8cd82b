#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

// What Designer loads: the collection of our controls for its widget box.
class TLumivexDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
  public:
    explicit TLumivexDesignerPlugin(QObject* Parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override;

  private:
    QList<QDesignerCustomWidgetInterface*> FWidgets;
};
