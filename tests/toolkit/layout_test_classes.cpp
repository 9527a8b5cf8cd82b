#include "tests/toolkit/layout_test_classes.h"

#include "toolkit/widgets/widget_class_registry.h"

#include <QIODevice>

QStringList& LoadLog()
{
    static QStringList log;
    return log;
}

void TTestGraphic::LoadStream(QIODevice* Stream)
{
    Bytes = Stream->readAll();
    Changed();
}

void TTestGraphic::SaveStream(QIODevice* Stream)
{
    Stream->write(Bytes);
}

void TTestGraphic::ReadStoredData(QIODevice* Stream)
{
    ++StoredReads;
    Bytes = Stream->readAll();
}

TTestHint::TTestHint(QObject* parent)
    : TPersistent(parent), NotesList(new TStrings(this)), Graphic(new TTestGraphic(this))
{
}

TTestItem::TTestItem(QObject* parent) : TCollectionItem(parent), Graphic(new TTestGraphic(this)) {}

void TTestItem::LayoutLoaded()
{
    TLayoutComponent::LayoutLoaded();
    LoadLog().append(QStringLiteral("item %1 loaded").arg(ItemName));
}

void TTestItem::CopyFrom(const TPersistent* Source)
{
    const auto* source = qobject_cast<const TTestItem*>(Source);
    if (!source)
        return;
    ItemName = source->ItemName;
    ItemTag = source->ItemTag;
    Graphic->Bytes = source->Graphic->Bytes;
}

void TTestContainer::LayoutLoaded()
{
    TLayoutComponent::LayoutLoaded();
    LoadLog().append(QStringLiteral("%1 loaded tag=%2").arg(objectName()).arg(ContainerTag));
}

void TTestPanel::SetCaption(const QString& Value)
{
    Text = Value;
    LoadLog().append(QStringLiteral("%1 caption loading=%2").arg(objectName()).arg(IsLoading()));
}

void TTestPanel::LayoutLoaded()
{
    TLayoutComponent::LayoutLoaded();
    LoadLog().append(QStringLiteral("%1 loaded caption=%2 left=%3").arg(objectName(), Text).arg(LeftValue));
}

TTestForm::TTestForm(QWidget* parent)
    : QWidget(parent), Hint(new TTestHint(this)), LinesList(new TStrings(this)),
      Graphic(new TTestGraphic(this)), ItemList(new TCollection(TCollection::ItemClass<TTestItem>(), this))
{
}

void TTestForm::LayoutLoaded()
{
    TLayoutComponent::LayoutLoaded();
    // Proves that the whole stream was applied before the root hears of it.
    QStringList children;
    for (const TTestPanel* panel : findChildren<TTestPanel*>())
        children.append(panel->objectName() + QLatin1Char('=') + panel->Caption());
    LoadLog().append(
        QStringLiteral("%1 loaded children %2").arg(objectName(), children.join(QLatin1Char(','))));
}

void RegisterLayoutTestClasses()
{
    RegisterWidgetClass<TTestForm>();
    RegisterWidgetClass<TTestPanel>();
    RegisterWidgetClass<TTestContainer>();
}
