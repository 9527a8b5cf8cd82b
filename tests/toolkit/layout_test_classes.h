#pragma once

// Small component classes that exercise every kind of value a window layout
// stores. Registered once per test program by RegisterLayoutTestClasses.

#include "toolkit/collection.h"
#include "toolkit/graphics/graphic.h"
#include "toolkit/layout/layout_component.h"
#include "toolkit/notify_event.h"
#include "toolkit/strings.h"

#include <QByteArray>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QWidget>

// What the components saw while being read, in order.
QStringList& LoadLog();

class TTestGraphic : public TGraphic
{
    Q_OBJECT
  public:
    explicit TTestGraphic(QObject* parent = nullptr) : TGraphic(parent) {}

    QByteArray Bytes;
    int StoredReads = 0;

    bool IsEmpty() const override { return Bytes.isEmpty(); }
    int Width() const override { return int(Bytes.size()); }
    int Height() const override { return Bytes.isEmpty() ? 0 : 1; }
    void DrawInRect(TCanvas&, const QRect&) override {}
    void LoadStream(QIODevice* Stream) override;
    void SaveStream(QIODevice* Stream) override;
    void ReadStoredData(QIODevice* Stream) override;
};

class TTestHint : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(TStrings* Notes READ Notes)
    Q_PROPERTY(TTestGraphic* Picture READ Picture)
    Q_PROPERTY(bool ShowHelp READ ShowHelp WRITE SetShowHelp)
  public:
    explicit TTestHint(QObject* parent = nullptr);

    QString Title() const { return TitleText; }
    void SetTitle(const QString& Value) { TitleText = Value; }
    TStrings* Notes() const { return NotesList; }
    TTestGraphic* Picture() const { return Graphic; }
    bool ShowHelp() const { return Help; }
    void SetShowHelp(bool Value) { Help = Value; }
    Q_INVOKABLE bool IsShowHelpStored() const { return Help; }

  private:
    QString TitleText;
    TStrings* NotesList;
    TTestGraphic* Graphic;
    bool Help = false;
};

class TTestItem : public TCollectionItem, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(TTestGraphic* Picture READ Picture)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
  public:
    explicit TTestItem(QObject* parent = nullptr);

    TTestGraphic* Picture() const { return Graphic; }
    QString Name() const { return ItemName; }
    void SetName(const QString& Value) { ItemName = Value; }
    int Tag() const { return ItemTag; }
    void SetTag(int Value) { ItemTag = Value; }
    void LayoutLoaded() override;

    void CopyFrom(const TPersistent* Source) override;

  private:
    TTestGraphic* Graphic;
    QString ItemName;
    int ItemTag = 0;
};

// A non-visual component that others refer to by name.
class TTestContainer : public QObject, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
  public:
    Q_INVOKABLE explicit TTestContainer(QObject* parent = nullptr) : QObject(parent) {}
    int Tag() const { return ContainerTag; }
    void SetTag(int Value) { ContainerTag = Value; }
    void LayoutLoaded() override;

  private:
    int ContainerTag = 0;
};

class TTestPanel : public QWidget, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
  public:
    explicit TTestPanel(QWidget* parent = nullptr) : QWidget(parent) {}
    QString Caption() const { return Text; }
    void SetCaption(const QString& Value);
    int Left() const { return LeftValue; }
    void SetLeft(int Value) { LeftValue = Value; }
    void LayoutLoaded() override;

  private:
    QString Text;
    int LeftValue = 0;
};

class TTestForm : public QWidget, public TLayoutComponent
{
    Q_OBJECT
  public:
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)
    enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8, akAll = 15 };
    Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
    Q_FLAG(TAnchors)

  private:
    Q_PROPERTY(qint64 Number READ Number WRITE SetNumber)
    Q_PROPERTY(int Width32 READ Width32 WRITE SetWidth32)
    Q_PROPERTY(short Small READ Small WRITE SetSmall)
    Q_PROPERTY(uint Unsigned READ Unsigned WRITE SetUnsigned)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(double Scale READ Scale WRITE SetScale)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TTestHint* OfficeHint READ OfficeHint)
    Q_PROPERTY(TStrings* Lines READ Lines)
    Q_PROPERTY(TTestGraphic* Picture READ Picture)
    Q_PROPERTY(TCollection* Items READ Items)
    Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick READ OnDblClick WRITE SetOnDblClick)
    Q_PROPERTY(TTestContainer* Container READ Container WRITE SetContainer)
    Q_PROPERTY(int Hidden READ Hidden WRITE SetHidden STORED false)

  public:
    explicit TTestForm(QWidget* parent = nullptr);

    qint64 Number() const { return NumberValue; }
    void SetNumber(qint64 Value) { NumberValue = Value; }
    int Width32() const { return Width32Value; }
    void SetWidth32(int Value) { Width32Value = Value; }
    short Small() const { return SmallValue; }
    void SetSmall(short Value) { SmallValue = Value; }
    uint Unsigned() const { return UnsignedValue; }
    void SetUnsigned(uint Value) { UnsignedValue = Value; }
    bool Enabled() const { return EnabledValue; }
    void SetEnabled(bool Value) { EnabledValue = Value; }
    QString Caption() const { return CaptionText; }
    void SetCaption(const QString& Value) { CaptionText = Value; }
    double Scale() const { return ScaleValue; }
    void SetScale(double Value) { ScaleValue = Value; }
    TAlign Align() const { return AlignValue; }
    void SetAlign(TAlign Value) { AlignValue = Value; }
    TAnchors Anchors() const { return AnchorsValue; }
    void SetAnchors(TAnchors Value) { AnchorsValue = Value; }
    TTestHint* OfficeHint() const { return Hint; }
    TStrings* Lines() const { return LinesList; }
    TTestGraphic* Picture() const { return Graphic; }
    TCollection* Items() const { return ItemList; }
    TNotifyEvent OnClick() const { return Click; }
    void SetOnClick(const TNotifyEvent& Value) { Click = Value; }
    TNotifyEvent OnDblClick() const { return DblClick; }
    void SetOnDblClick(const TNotifyEvent& Value) { DblClick = Value; }
    TTestContainer* Container() const { return ContainerRef; }
    void SetContainer(TTestContainer* Value) { ContainerRef = Value; }
    int Hidden() const { return HiddenValue; }
    void SetHidden(int Value) { HiddenValue = Value; }

    void LayoutLoaded() override;

    QList<QObject*> ClickSenders;
    int DblClicks = 0;

  public slots:
    void Button1Click(QObject* Sender) { ClickSenders.append(Sender); }

  public:
    Q_INVOKABLE void FormDblClick(QObject* Sender)
    {
        Q_UNUSED(Sender);
        ++DblClicks;
    }
    // Has the right name for a handler but the wrong parameters.
    Q_INVOKABLE void WrongHandler(int Value) { Q_UNUSED(Value); }

  private:
    qint64 NumberValue = 0;
    int Width32Value = 0;
    short SmallValue = 0;
    uint UnsignedValue = 0;
    bool EnabledValue = false;
    QString CaptionText;
    double ScaleValue = 0;
    TAlign AlignValue = alNone;
    TAnchors AnchorsValue;
    TTestHint* Hint;
    TStrings* LinesList;
    TTestGraphic* Graphic;
    TCollection* ItemList;
    TNotifyEvent Click;
    TNotifyEvent DblClick;
    QPointer<TTestContainer> ContainerRef;
    int HiddenValue = 0;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TTestForm::TAnchors)

// Publishes a value type that a layout cannot hold.
class TTestOddComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QPoint Origin READ Origin WRITE SetOrigin)
  public:
    explicit TTestOddComponent(QObject* parent = nullptr) : QObject(parent) {}
    QPoint Origin() const { return Point; }
    void SetOrigin(QPoint Value) { Point = Value; }

  private:
    QPoint Point;
};

void RegisterLayoutTestClasses();
